#pragma once
// A data set slot: the raw log bytes of one session and everything decoding
// makes of them (channel series, lap table, CAN frames), plus the notes and
// setup texts that travel with it. The program holds two slots, A and B.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ardenvis::core {

// A channel series: 1-based doubles, indexes 1..size(). Reads outside give 0 and
// writes outside do nothing, so readers never need to guard an index; every
// series of a slot has the same length and index k is the same sample in all.
//
// A series that has only ever been given zeros holds no storage of its own: it
// reads 0 at every index (its data() points at a shared read-only page range
// of zeros the kernel backs with one page), and the first write of another
// value gives it storage. Most logs carry no GPS, sensor or gear module, so
// about half of a slot's channels cost nothing. Storage is a block of its own
// per series, aligned so the kernel may back it with huge pages (a full log's
// series are megabytes, and faulting them in 4 KB at a time costs more than
// decoding them); a block is kept when the series goes back to zeros, so a
// slot decoded again reuses it.
class Series {
 public:
  Series() = default;
  Series(const Series& other);
  Series& operator=(const Series& other);
  Series(Series&& other) noexcept { swap(other); }
  Series& operator=(Series&& other) noexcept {
    Series moved(std::move(other));
    swap(moved);
    return *this;
  }
  ~Series() { release_block(); }

  long size() const { return size_; }
  bool empty() const { return size_ == 0; }

  double operator[](long index) const { return get(index); }
  double get(long index) const { return (index >= 1 && index <= size_) ? values_[index - 1] : 0.0; }
  void set(long index, double value) {
    if (index < 1 || index > size_) return;
    if (!has_storage()) {
      if (is_plain_zero(value)) return;
      materialise();
    }
    values_[index - 1] = value;
  }

  // Keeps the values of the indexes that remain; new indexes read 0. A length
  // below 1 is refused and leaves the series as it was. Throws std::bad_alloc.
  void resize(long length);
  // Length `length` (refused below 1, as resize), every index reading 0. The
  // storage block is kept for the next writes. Throws std::bad_alloc.
  void assign_zeros(long length);
  // Drops everything (start-up and "discard the channel arrays" only).
  void clear();
  // Frees the kept block of a series that reads 0 everywhere.
  void release_spare();
  // A series whose every value is +0 gives up its storage (and reads 0 as
  // before). True when it did.
  bool release_if_zero();
  // True when the series holds storage of its own; false when it reads 0 at
  // every index without any.
  bool has_storage() const { return values_ != nullptr && values_ == block_; }
  // Gives a zero-only series storage without clearing indexes from..size():
  // the caller writes every one of them. Indexes below `from` read 0. A series
  // with storage is returned as it is. Throws std::bad_alloc.
  double* storage_for_writing_from(long from);
  // Gives each zero-only series whose kept block is too small for its length
  // a spare block for its coming writes, all carved out of one mapping that
  // the kernel may back with huge pages: a fresh slot's series of a few MB
  // each would otherwise be faulted in 4 KB at a time. Each block is still
  // its series' own (freed alone). Does nothing where it gains nothing.
  static void reserve_blocks_together(std::span<Series* const> series);

  // Direct 0-based access for whole-series loops (smoothing, plotting, unit
  // conversion): element i is index i + 1. The mutable form gives a zero-only
  // series storage first (filled with zeros); the const form never allocates.
  double* data() {
    if (!has_storage() && size_ > 0) materialise();
    return values_;
  }
  const double* data() const { return values_; }
  size_t capacity_bytes() const { return block_bytes_; }

  static bool is_plain_zero(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits == 0;  // +0 only: a -0 prints as "-0" and must be kept
  }

 private:
  void swap(Series& other) noexcept {
    std::swap(values_, other.values_);
    std::swap(size_, other.size_);
    std::swap(block_, other.block_);
    std::swap(block_bytes_, other.block_bytes_);
    std::swap(block_mapped_, other.block_mapped_);
    std::swap(block_zeroed_, other.block_zeroed_);
  }
  void materialise() { storage_for_writing_from(size_ + 1); }
  // A block for at least `count` doubles, all zero.
  void fresh_block(size_t count);
  void release_block();

  // Either block_ (storage of its own) or the shared zeros (none), or null
  // when the series is empty.
  double* values_ = nullptr;
  long size_ = 0;
  double* block_ = nullptr;
  size_t block_bytes_ = 0;
  bool block_mapped_ = false;  // from the page allocator, else from malloc
  bool block_zeroed_ = false;  // untouched since it was allocated
};

// Every channel a slot holds. Order is the storage order; names are in
// channel_name(). Stored scalings: RPM holds rpm / 100, Gear and Gear Module 10 x
// the gear, G Lat and G Long 10 x g; speed mph, pressures psi, temperatures
// degrees C and distances metres unless the unit flags say otherwise.
enum class Channel : uint8_t {
  PeloTime,
  Rpm,
  Speed,
  OilPressure,
  AuxPressure,
  Brake,
  Gear,
  LapOdo,
  Odo,
  GLat,
  GLong,
  ExtraInput1,
  ExtraInput2,
  ExtraInput3,
  ExtraInput4,
  OilTemp,
  WaterTemp,
  Battery,
  Fuel,
  CanLoad,
  Lap,
  Session,
  LapTime,
  Split,
  GpsLatitude,
  GpsLongitude,
  GpsSpeed,
  GpsAltitude,
  GearModule,
  AnalogCh1,
  AnalogCh16 = AnalogCh1 + 15,
  PulseCh1,
  PulseCh4 = PulseCh1 + 3,
  // Owned by the viewer: its copy of the series chosen as x-axis.
  XAxis,
};
inline constexpr int kChannelCount = static_cast<int>(Channel::XAxis) + 1;

// i = 1..4 / 1..16 / 1..4.
constexpr Channel extra_input_channel(int i) {
  return static_cast<Channel>(static_cast<int>(Channel::ExtraInput1) + i - 1);
}
constexpr Channel analog_channel(int i) {
  return static_cast<Channel>(static_cast<int>(Channel::AnalogCh1) + i - 1);
}
constexpr Channel pulse_channel(int i) {
  return static_cast<Channel>(static_cast<int>(Channel::PulseCh1) + i - 1);
}

// "PeloTime", "RPM", "Speed", "Oil Pressure", ..., "Analog Ch16", "Pulse Ch4".
std::string_view channel_name(Channel channel);

struct TDataSetInfo {
  std::string label = "No Data";
  uint8_t sample_rate = 0;          // 20 means 0.05 s per sample, anything else 0.1 s
  uint32_t raw_byte_count = 0;      // valid bytes in raw; decoding trims to whole records
  uint32_t can_frame_count = 0;     // entries of the CAN frame table
  uint16_t unit_identity_word = 0;  // carried for the unit and the file, never decoded
  uint8_t firmware_major = 0;
  uint8_t firmware_minor = 0;
  double reference_lap_distance = 0;  // owned by the viewer
};

inline constexpr int kMaxSplits = 32;
inline constexpr int kMaxSegments = kMaxSplits + 1;

struct LapEntry {
  double end_time = 0;    // s, time of the last sample before the lap record
  double start_time = 0;  // s, time the lap distance last fell (0 until then)
  uint8_t lap_number = 0;
  float lap_time = 0;        // s, in hundredths
  float lap_distance = 0;    // m (never unit-converted)
  uint8_t session = 0;       // 1-based
  double average_speed = 0;  // owned by the viewer
  uint8_t split_count = 0;   // never above kMaxSplits
  std::array<float, kMaxSplits> split_times{};
  std::array<int32_t, kMaxSplits> split_sample_indexes{};
  std::array<float, kMaxSegments> segment_times{};
  // Owned by the viewer.
  std::array<float, kMaxSplits> distance_split_times{};
  std::array<float, kMaxSegments> distance_segment_times{};
  std::array<int32_t, kMaxSplits> distance_split_indexes{};
  uint8_t selected = 0;
};

struct CanFrame {
  int16_t can_id = 0;      // 0..2047
  uint8_t data_count = 0;  // 1..8
  std::array<uint8_t, 8> data{};
  double time = 0;    // s, time of the last sample before the frame
  uint8_t stamp = 0;  // the frame's last payload byte (ms)
};

// The unit's identity and calibration as a download reads them from the unit
// or a log data file carries them.
struct UnitIdentity {
  uint16_t unit_type = 0;
  uint16_t identity_word = 0;
  uint16_t distance_factor = 0;  // distance calibration factor
  uint16_t third_word = 0;
  std::array<uint8_t, 5> identity_bytes{};
  uint8_t pulses_per_rev = 1;  // pulses-per-revolution code, 1 or 2
};

// A math channel worked out from a slot's series (owned by the viewer, which
// works them out again whenever the series change).
struct MathChannelValues {
  Series values;     // NaN where the channel has no value
  std::string note;  // why the channel has no value anywhere, or empty
};

inline constexpr int kRecordIdCount = 2056;
inline constexpr int kSetupTextCount = 80;

// Loaded flag values.
inline constexpr uint8_t kNotLoaded = 0;
inline constexpr uint8_t kDecoded = 1;
inline constexpr uint8_t kDecodedToFramingStop = 2;

struct DataSet {
  TDataSetInfo info;
  std::vector<uint8_t> raw;  // at least info.raw_byte_count long
  // One count per record id 0..2055; id 1 is the sample count, id 3 the lap count.
  std::array<uint32_t, kRecordIdCount> record_counts{};
  uint8_t loaded = kNotLoaded;  // any non-zero value means the slot holds data
  std::array<Series, kChannelCount> series;

  // Only the first lap_count() entries are valid.
  std::vector<LapEntry> laps;
  std::vector<uint16_t> lap_list;  // display order of the laps (the viewer sorts it)
  uint8_t best_lap = 0;
  std::vector<CanFrame> can_frames;  // info.can_frame_count entries

  // Raw bytes held as received or loaded. Decoding shortens info.raw_byte_count
  // to the records it framed; a save writes every whole record of the held
  // bytes, so saving and reloading loses nothing.
  uint32_t held_byte_count = 0;
  // The unit values that came with this slot's own download or file load; its
  // save writes these rather than those of whichever slot came last. Empty
  // until a download or load sets them (a save then uses the program-wide ones).
  std::optional<UnitIdentity> unit;
  // The file the slot was last saved to or loaded from (name only), for the
  // windows' file name boxes; empty when there is none.
  std::string file_name;

  uint8_t download_state = 0;
  std::vector<std::string> notes;                        // setup notes text, one entry per line
  std::array<std::string, kSetupTextCount> setup_texts;  // setup text k is [k - 1]

  // The user's math channels over this slot, in the order of the library;
  // owned by the viewer.
  std::vector<MathChannelValues> math;

  Series& operator[](Channel c) { return series[static_cast<size_t>(c)]; }
  const Series& operator[](Channel c) const { return series[static_cast<size_t>(c)]; }

  uint32_t sample_count() const { return record_counts[1]; }
  uint32_t lap_count() const { return record_counts[3]; }
  bool has_data() const { return loaded != kNotLoaded; }

  // Bytes of memory the slot holds (raw bytes, series, tables).
  size_t memory_bytes() const;
};

}  // namespace ardenvis::core
