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

// A magnitude and its sign bit as the unit stores them. The negation never
// yields -0, so a zero reads and prints as 0.
constexpr double signed_value(bool positive, double magnitude) {
  return positive ? magnitude : 0.0 - magnitude;
}

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
  // Sizes nothing: the slot's series already have the sample count as length
  // and read 0 everywhere.
  RecordDecoder(DataSet& set, const UnitIdentity& identity);

  // Pass 2 for one record. Throws DecodingFault.
  void decode(const Record& record);
  // Samples decoded so far.
  long samples_decoded() const { return k_ - 1; }
  // How many leading rows (samples) of every channel no later record can
  // change: all but the latest sample's, once the held channels' runs are
  // written out up to there.
  long settle_rows();
  // After pass 2: sessions and lap list (not when cancelled), per-sample lap
  // values, segment times, best lap. Throws DecodingFault.
  void finish_laps(bool cancelled);

 private:
  // `p` points at payload byte 1; p[0..10] are readable (zeros past the record).
  void sample(const uint8_t* p, int data_count);
  void slow_channels(const Record& r);
  void lap(const Record& r);
  void split(const Record& r);
  void can_frame(const Record& r);
  void sensor_frame(const Record& r, int can_id);
  // The distance formula shared by samples and laps: pulses x 1609 over factor x code.
  double pulses_to_distance(uint32_t pulses) const;

  // A channel that repeats its last value at every later sample: stores
  // `value` at the latest sample j (nothing before the first sample) and holds
  // what index j then reads. A channel gets storage only once it holds a value
  // other than 0; from then on every sample writes it.
  void hold(Channel c, double value);
  // Storage for channel c, written by this decode from index `from` on.
  double* column_from(Channel c, long from);
  // A held channel repeats its value at every sample, but the samples do not
  // write it one by one (a dozen scattered stores per sample): the run of
  // samples since its last write is filled when the held value is about to
  // change, and at the end. This fills indexes up to k with the held value.
  void write_held_up_to(Channel c, long k);
  // Every held channel up to the latest sample.
  void write_held_values();

  DataSet& set_;
  const UnitIdentity& identity_;
  long sample_count_;  // N; pass 2 never writes beyond it
  uint32_t lap_count_;

  // Written at every sample, so they take storage from the start.
  double* time_;
  double* g_lat_;
  double* g_long_;
  double* speed_;
  double* rpm_;
  double* oil_pressure_;
  double* aux_pressure_;
  double* brake_;
  double* gear_;
  double* lap_odo_;
  double* odo_;
  // Storage of the channels held or written only once a record gives them a
  // value; null while a channel still reads 0 everywhere.
  std::array<double*, kChannelCount> columns_{};
  // The held channels that have storage, in the order they got it.
  std::array<Channel, kChannelCount> written_held_{};
  int written_held_count_ = 0;
  // The last index each held channel's storage has been written up to.
  std::array<long, kChannelCount> written_to_{};
  bool extra_inputs_written_ = false;

  double period_;    // T
  int gear_window_;  // W
  double now_;       // t of the next sample
  long k_ = 1;       // index the next sample record fills
  double distance_ = 0;
  double previous_lap_odo_ = 0;
  double gear_value_ = 0;  // Gear at the last sample
  double lap_start_time_ = 0;
  double last_sample_time_ = 0;
  double split_time_ = 0;
  std::array<double, kChannelCount> held_{};
  int held_gear_ = 0;  // gear module, unscaled
  int previous_gear_code_ = 0;
  // The gear history as its last code and how many of the latest codes equal
  // it: all W entries are equal exactly when that run is W long.
  int gear_run_code_ = 0;
  int gear_run_length_;
  uint32_t lap_index_ = 0;
  int split_counter_ = 0;
};

}  // namespace ardenvis::core::detail
