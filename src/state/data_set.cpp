#include "state/data_set.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#define ARDENVIS_HAVE_MMAP 1
#else
#define ARDENVIS_HAVE_MMAP 0
#endif

namespace ardenvis::core {

namespace {
constexpr std::array<std::string_view, kChannelCount> kChannelNames{
    "PeloTime",      "RPM",           "Speed",         "Oil Pressure",  "Aux Pressure",
    "Brake",         "Gear",          "Lap Odo",       "Odo",           "G Lat",
    "G Long",        "Extra Input 1", "Extra Input 2", "Extra Input 3", "Extra Input 4",
    "Oil Temp",      "Water Temp",    "Battery",       "Fuel",          "CAN Load",
    "Lap",           "Session",       "Lap Time",      "Split",         "GPS Latitude",
    "GPS Longitude", "GPS Speed",     "GPS Altitude",  "Gear Module",   "Analog Ch1",
    "Analog Ch2",    "Analog Ch3",    "Analog Ch4",    "Analog Ch5",    "Analog Ch6",
    "Analog Ch7",    "Analog Ch8",    "Analog Ch9",    "Analog Ch10",   "Analog Ch11",
    "Analog Ch12",   "Analog Ch13",   "Analog Ch14",   "Analog Ch15",   "Analog Ch16",
    "Pulse Ch1",     "Pulse Ch2",     "Pulse Ch3",     "Pulse Ch4",     "X Axis",
};
static_assert(static_cast<int>(Channel::AnalogCh16) == 44);
static_assert(static_cast<int>(Channel::PulseCh4) == 48);
}  // namespace

namespace {

constexpr size_t kPageBytes = 4096;
constexpr size_t kHugePageBytes = size_t{2} << 20;
// Below this a block comes from malloc: mapping pages of its own for a short
// series gains nothing.
constexpr size_t kMappedBlockBytes = 256 * 1024;

size_t round_up(size_t value, size_t step) { return (value + step - 1) / step * step; }

#if ARDENVIS_HAVE_MMAP
// Read-only zeros for every zero-only series to point at. Pages of a private
// anonymous read-only mapping all map the kernel's one zero page, so however
// long the range, it costs no memory. A longer range is mapped when one is
// needed; earlier ranges stay mapped because series still point into them.
const double* shared_zeros(size_t count) {
  static std::mutex guard;
  static const double* zeros = nullptr;
  static size_t zero_count = 0;
  std::lock_guard lock(guard);
  if (count > zero_count) {
    const size_t bytes = round_up(std::max(count, zero_count * 2) * sizeof(double), kPageBytes);
    void* p = mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    zeros = static_cast<const double*>(p);
    zero_count = bytes / sizeof(double);
  }
  return zeros;
}

// Anonymous pages, zero-filled by the kernel on first touch, starting on a
// huge page boundary and offered for huge pages; null when the mapping fails.
void* map_block(size_t bytes) {
  const size_t span = bytes + kHugePageBytes - kPageBytes;
  void* p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(p);
  const uintptr_t aligned = round_up(start, kHugePageBytes);
  const size_t head = aligned - start;
  if (head > 0) munmap(p, head);
  if (span - head > bytes) munmap(reinterpret_cast<void*>(aligned + bytes), span - head - bytes);
#ifdef MADV_HUGEPAGE
  // Kernels without transparent huge pages refuse; small pages serve as well.
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

void unmap_block(void* p, size_t bytes) { munmap(p, bytes); }
#else
const double* shared_zeros(size_t count) {
  static std::mutex guard;
  static std::vector<std::unique_ptr<double[]> > ranges;  // kept: series point into them
  static size_t zero_count = 0;
  std::lock_guard lock(guard);
  if (count > zero_count) {
    zero_count = std::max(count, zero_count * 2);
    ranges.push_back(std::make_unique<double[]>(zero_count));
  }
  return ranges.back().get();
}
void* map_block(size_t) { return nullptr; }
void unmap_block(void*, size_t) {}
#endif

}  // namespace

Series::Series(const Series& other) {
  if (other.size_ <= 0) return;
  assign_zeros(other.size_);
  if (other.has_storage()) {
    std::copy(other.values_, other.values_ + other.size_, storage_for_writing_from(1));
  }
}

Series& Series::operator=(const Series& other) {
  if (this != &other) {
    Series copy(other);
    swap(copy);
  }
  return *this;
}

void Series::fresh_block(size_t count) {
  release_block();
  size_t bytes = count * sizeof(double);
  void* p = nullptr;
  if (bytes >= kMappedBlockBytes) {
    bytes = round_up(bytes, kPageBytes);
    p = map_block(bytes);
    block_mapped_ = p != nullptr;
  }
  if (p == nullptr) {
    bytes = count * sizeof(double);
    p = std::calloc(count, sizeof(double));
    if (p == nullptr) throw std::bad_alloc();
  }
  block_ = static_cast<double*>(p);
  block_bytes_ = bytes;
  block_zeroed_ = true;
}

void Series::release_block() {
  if (block_ == nullptr) return;
  if (values_ == block_) values_ = nullptr;
  if (block_mapped_) {
    unmap_block(block_, block_bytes_);
  } else {
    std::free(block_);
  }
  block_ = nullptr;
  block_bytes_ = 0;
  block_mapped_ = false;
  block_zeroed_ = false;
}

double* Series::storage_for_writing_from(long from) {
  if (has_storage() || size_ <= 0) return values_;
  const size_t count = static_cast<size_t>(size_);
  if (block_bytes_ < count * sizeof(double)) fresh_block(count);
  const size_t zeros = static_cast<size_t>(std::clamp<long>(from - 1, 0, size_));
  if (!block_zeroed_) std::fill(block_, block_ + zeros, 0.0);
  block_zeroed_ = false;
  values_ = block_;
  return values_;
}

void Series::reserve_blocks_together(std::span<Series* const> series) {
  auto wants = [](const Series& s) {
    const size_t bytes = static_cast<size_t>(s.size_) * sizeof(double);
    return !s.has_storage() && s.size_ > 0 && bytes >= kMappedBlockBytes && s.block_bytes_ < bytes;
  };
  auto block_bytes = [](const Series& s) {
    return round_up(static_cast<size_t>(s.size_) * sizeof(double), kPageBytes);
  };
  size_t total = 0;
  for (const Series* s : series) {
    if (wants(*s)) total += block_bytes(*s);
  }
  if (total < kHugePageBytes) return;
  void* p = map_block(total);  // page-aligned parts of a mapping unmap on their own
  if (p == nullptr) return;
  auto* at = static_cast<char*>(p);
  for (Series* s : series) {
    if (!wants(*s)) continue;
    s->release_block();
    s->block_ = reinterpret_cast<double*>(at);
    s->block_bytes_ = block_bytes(*s);
    s->block_mapped_ = true;
    s->block_zeroed_ = true;
    at += s->block_bytes_;
  }
}

void Series::resize(long length) {
  if (length < 1) return;
  if (!has_storage()) {
    assign_zeros(length);
    return;
  }
  const size_t count = static_cast<size_t>(length);
  if (count * sizeof(double) <= block_bytes_) {
    if (length > size_) std::fill(values_ + size_, values_ + length, 0.0);
    size_ = length;
    return;
  }
  Series grown;
  grown.fresh_block(count);
  std::copy(values_, values_ + size_, grown.block_);
  grown.block_zeroed_ = false;
  grown.values_ = grown.block_;
  grown.size_ = length;
  swap(grown);
}

void Series::assign_zeros(long length) {
  if (length < 1) return;
  values_ = const_cast<double*>(shared_zeros(static_cast<size_t>(length)));
  size_ = length;
}

void Series::release_spare() {
  if (!has_storage()) release_block();
}

bool Series::release_if_zero() {
  if (!has_storage()) return false;
  for (long i = 0; i < size_; ++i) {
    if (!is_plain_zero(values_[i])) return false;
  }
  assign_zeros(size_);
  release_block();
  return true;
}

void Series::clear() {
  release_block();
  values_ = nullptr;
  size_ = 0;
}

std::string_view channel_name(Channel channel) {
  auto i = static_cast<size_t>(channel);
  return i < kChannelNames.size() ? kChannelNames[i] : std::string_view{};
}

size_t DataSet::memory_bytes() const {
  size_t bytes = sizeof(DataSet) + raw.capacity();
  for (const auto& s : series) bytes += s.capacity_bytes();
  bytes += laps.capacity() * sizeof(LapEntry) + lap_list.capacity() * sizeof(uint16_t);
  bytes += can_frames.capacity() * sizeof(CanFrame);
  for (const auto& m : math) bytes += sizeof(m) + m.values.capacity_bytes();
  return bytes;
}

}  // namespace ardenvis::core
