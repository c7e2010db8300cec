#pragma once
// Internal to decoding: the state one decode of a slot shares between the
// engine-sample records and the lap, split and CAN records. Callers use
// process_data_packets() in decoder.h.

#include <array>
#include <cstdint>
#include <string>

#include "common/host.h"
#include "logger/decoder.h"
#include "state/data_set.h"
#include "state/program_state.h"

namespace ardenvis::core::detail {

// A failed consistency check: decoding stops at once and the slot counts as
// empty. `warning` is shown first when not empty.
struct DecodingFault {
  std::string warning;
};

// One record in the raw bytes. Payload bytes beyond the record's own data
// count read as 0, so a short record never borrows its neighbour's bytes.
struct Record {
  const uint8_t* bytes;  // the record's first header byte
  RecordHeader header;
  uint8_t p(int k) const {  // payload byte k = 1, 2, ...
    return k >= 1 && k <= header.data_count ? bytes[header.extended + k] : uint8_t{0};
  }
};

class RecordDecoder {
 public:
  RecordDecoder(DataSet& set, const UnitIdentity& identity);

  // Pass 2 for one record. Throws DecodingFault.
  void decode(const Record& record);
  // After pass 2: sessions and lap list (not when cancelled), per-sample lap
  // values, segment times, best lap. Throws DecodingFault.
  void finish_laps(bool cancelled);

 private:
  void sample(const Record& r);
  void slow_channels(const Record& r);
  void lap(const Record& r);
  void split(const Record& r);
  void can_frame(const Record& r);
  void sensor_frame(const Record& r, int can_id);
  // The distance formula shared by samples and laps: pulses x 1609 over factor x code.
  double pulses_to_distance(uint32_t pulses) const;
  double& at(Channel c, long index) { return columns_[static_cast<size_t>(c)][index - 1]; }

  DataSet& set_;
  const UnitIdentity& identity_;
  std::array<double*, kChannelCount> columns_{};
  long sample_count_;  // N; pass 2 never writes beyond it
  uint32_t lap_count_;

  double period_;    // T
  int gear_window_;  // W
  double time_;      // t of the next sample
  long k_ = 1;       // index the next sample record fills
  double distance_ = 0;
  double lap_start_time_ = 0;
  double last_sample_time_ = 0;
  double split_time_ = 0;
  std::array<double, kChannelCount> held_{};
  int held_gear_ = 0;  // gear module, unscaled
  int previous_gear_code_ = 0;
  std::array<int, 6> gear_history_{};
  uint32_t lap_index_ = 0;
  int split_counter_ = 0;
};

}  // namespace ardenvis::core::detail
