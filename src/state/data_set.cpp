#include "state/data_set.h"

#include <algorithm>
#include <new>

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

Series::Series(const Series& other) {
  if (other.size_ > 0) {
    resize(other.size_);
    std::copy(other.values_, other.values_ + other.size_, values_);
  }
}

Series& Series::operator=(const Series& other) {
  if (this != &other) {
    Series copy(other);
    swap(copy);
  }
  return *this;
}

void Series::resize(long length) {
  if (length < 1) return;
  if (length <= capacity_) {
    if (length > size_) std::fill(values_ + size_, values_ + length, 0.0);
    size_ = length;
    return;
  }
  auto* fresh = static_cast<double*>(std::calloc(static_cast<size_t>(length), sizeof(double)));
  if (fresh == nullptr) throw std::bad_alloc();
  if (size_ > 0) std::copy(values_, values_ + size_, fresh);
  std::free(values_);
  values_ = fresh;
  size_ = length;
  capacity_ = length;
}

void Series::clear() {
  std::free(values_);
  values_ = nullptr;
  size_ = 0;
  capacity_ = 0;
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
  return bytes;
}

}  // namespace ardenvis::core
