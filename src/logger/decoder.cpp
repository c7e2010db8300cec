#include "logger/decoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <span>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/format.h"
#include "common/savitzky_golay.h"
#include "logger/record_decoder.h"

namespace ardenvis::core {

using detail::DecodingFault;
using detail::Record;
using detail::RecordDecoder;

float hundredths_seconds(uint32_t milliseconds) {
  const float seconds = static_cast<float>(milliseconds) / 1000.0f;
  // A float times 100 is exact in a double, so the truncation sees the float's
  // own value (61.23f is 61.2299995..., which truncates to 6122).
  const double hundredths = std::floor(static_cast<double>(seconds) * 100.0);
  return static_cast<float>(hundredths) / 100.0f;
}

namespace detail {

namespace {
// The channels whose last value every sample repeats until a newer record
// changes it.
constexpr std::array kHeldChannels = {
    Channel::OilTemp,     Channel::WaterTemp, Channel::Battery,     Channel::Fuel,
    Channel::CanLoad,     Channel::GpsSpeed,  Channel::GpsLatitude, Channel::GpsLongitude,
    Channel::GpsAltitude, Channel::AnalogCh1, analog_channel(2),    analog_channel(3),
    analog_channel(4),    analog_channel(5),  analog_channel(6),    analog_channel(7),
    analog_channel(8),    analog_channel(9),  analog_channel(10),   analog_channel(11),
    analog_channel(12),   analog_channel(13), analog_channel(14),   analog_channel(15),
    Channel::AnalogCh16,  Channel::PulseCh1,  pulse_channel(2),     pulse_channel(3),
    Channel::PulseCh4,
};

bool is_held(Channel c) {
  return std::find(kHeldChannels.begin(), kHeldChannels.end(), c) != kHeldChannels.end() ||
         c == Channel::GearModule || c == Channel::Split;
}
}  // namespace

RecordDecoder::RecordDecoder(DataSet& set, const UnitIdentity& identity)
    : set_(set), identity_(identity) {
  sample_count_ = static_cast<long>(set.sample_count());
  lap_count_ = set.lap_count();
  const bool fast = set.info.sample_rate == 20;
  period_ = fast ? 0.05 : 0.1;
  gear_window_ = fast ? 6 : 3;
  gear_run_length_ = gear_window_;  // the history starts as W zeros
  now_ = period_;
  // Every sample writes these at its own index, so none needs clearing first.
  auto dense = [&](Channel c) { return set[c].storage_for_writing_from(1); };
  time_ = dense(Channel::PeloTime);
  g_lat_ = dense(Channel::GLat);
  g_long_ = dense(Channel::GLong);
  speed_ = dense(Channel::Speed);
  rpm_ = dense(Channel::Rpm);
  oil_pressure_ = dense(Channel::OilPressure);
  aux_pressure_ = dense(Channel::AuxPressure);
  brake_ = dense(Channel::Brake);
  gear_ = dense(Channel::Gear);
  lap_odo_ = dense(Channel::LapOdo);
  odo_ = dense(Channel::Odo);
}

void RecordDecoder::decode(const Record& record) {
  const int id = record.header.record_id;
  switch (id) {
    case 1:
      if (record.header.data_count >= 11) {
        sample(record.bytes + 1, record.header.data_count);
      } else {
        // A short sample record: its missing bytes read 0.
        std::array<uint8_t, 16> padded{};
        std::copy_n(record.bytes + 1, record.header.data_count, padded.begin());
        sample(padded.data(), record.header.data_count);
      }
      break;
    case 2:
      slow_channels(record);
      break;
    case 3:
      lap(record);
      break;
    case 4:
      split(record);
      break;
    default:
      if (id >= 8) can_frame(record);
      break;
  }
}

double RecordDecoder::pulses_to_distance(uint32_t pulses) const {
  const int divisor = identity_.distance_factor * identity_.pulses_per_rev;
  if (divisor == 0) throw DecodingFault{};
  return static_cast<double>(pulses * 1609u) / static_cast<double>(divisor);
}

double* RecordDecoder::column_from(Channel c, long from) {
  double*& column = columns_[static_cast<size_t>(c)];
  if (column == nullptr) {
    column = set_[c].storage_for_writing_from(from);
    written_to_[static_cast<size_t>(c)] = from - 1;
    if (is_held(c)) written_held_[static_cast<size_t>(written_held_count_++)] = c;
  }
  return column;
}

void RecordDecoder::hold(Channel c, double value) {
  const long j = k_ - 1;
  double& held = held_[static_cast<size_t>(c)];
  if (j < 1) {  // before the first sample there is no index to store at
    held = 0;
    return;
  }
  double* column = columns_[static_cast<size_t>(c)];
  if (column == nullptr) {
    if (Series::is_plain_zero(value)) {  // still 0 everywhere, and reads 0
      held = 0;
      return;
    }
    // Indexes before j read 0; j is written here and every later one by the samples.
    column = column_from(c, j);
  }
  write_held_up_to(c, j - 1);
  column[j - 1] = value;
  written_to_[static_cast<size_t>(c)] = j;
  held = value;
}

void RecordDecoder::write_held_up_to(Channel c, long k) {
  const auto i = static_cast<size_t>(c);
  double* column = columns_[i];
  if (column == nullptr || written_to_[i] >= k) return;
  std::fill(column + written_to_[i], column + k, held_[i]);
  written_to_[i] = k;
}

long RecordDecoder::settle_rows() {
  // A held value that changes before the next sample is stored at the latest
  // one, so that sample is not settled yet.
  const long rows = std::max(0L, k_ - 2);
  for (int i = 0; i < written_held_count_; ++i) {
    write_held_up_to(written_held_[static_cast<size_t>(i)], rows);
  }
  return rows;
}

void RecordDecoder::write_held_values() {
  for (int i = 0; i < written_held_count_; ++i) {
    write_held_up_to(written_held_[static_cast<size_t>(i)], k_ - 1);
  }
}

void RecordDecoder::sample(const uint8_t* p, int data_count) {
  const long k = k_;
  // Pass 1 counted exactly the sample records pass 2 meets, so k never passes N;
  // the check only keeps a broken invariant from writing outside the series.
  if (k > sample_count_) throw DecodingFault{};
  const long i = k - 1;
  // The running values in locals: every store below is of a double and might,
  // for all the compiler knows, change a double member.
  const double now = now_;

  const uint8_t p3 = p[2];
  const int speed_code = (p3 & 0x3F) * 256 + p[3];
  const int rpm_code = (p[4] & 0x7F) * 256 + p[5];
#if defined(__SSE2__)
  // The four quotients two at a time: a division rounds the same in either
  // form, and the divider sets much of the pace here.
  const __m128d g_lat_long = _mm_div_pd(_mm_set_pd(p[1], p[0]), _mm_set1_pd(10.0));
  const __m128d speed_rpm = _mm_div_pd(_mm_set_pd(rpm_code, speed_code), _mm_set_pd(100.0, 10.0));
  const double g_lat = signed_value(p3 & 0x80, _mm_cvtsd_f64(g_lat_long));
  const double g_long =
      signed_value(p3 & 0x40, _mm_cvtsd_f64(_mm_unpackhi_pd(g_lat_long, g_lat_long)));
  const double speed = _mm_cvtsd_f64(speed_rpm);
  const double rpm = _mm_cvtsd_f64(_mm_unpackhi_pd(speed_rpm, speed_rpm));
#else
  const double g_lat = signed_value(p3 & 0x80, p[0] / 10.0);
  const double g_long = signed_value(p3 & 0x40, p[1] / 10.0);
  const double speed = speed_code / 10.0;
  const double rpm = rpm_code / 100.0;
#endif
  const uint8_t p9 = p[8];

  // Gear: a new gear shows only after W equal codes, so a single noisy code
  // never flips the display; codes without gear information repeat the last.
  const int code = p9 & 0x0F;
  const int g = (code >= 1 && code <= 6) ? code : previous_gear_code_;
  if (g == gear_run_code_) {
    gear_run_length_ = std::min(gear_run_length_ + 1, gear_window_);
  } else {
    gear_run_code_ = g;
    gear_run_length_ = 1;
  }
  if (gear_run_length_ == gear_window_) gear_value_ = 10.0 * g;
  const double gear = gear_value_;
  previous_gear_code_ = g;

  const uint32_t v = static_cast<uint32_t>(p[9]) * 256 + p[10];
  const double lap_odo = (p9 & 0x20) ? static_cast<double>(v) : pulses_to_distance(v);
  const double delta = lap_odo - previous_lap_odo_;
  double distance = distance_;
  if (delta > 0) distance += delta;

  time_[i] = now;
  g_lat_[i] = g_lat;
  g_long_[i] = g_long;
  speed_[i] = speed;
  rpm_[i] = rpm;
  oil_pressure_[i] = p[6];
  aux_pressure_[i] = p[7];
  brake_[i] = (p9 & 0x80) ? 100.0 : 0.0;
  gear_[i] = gear;
  lap_odo_[i] = lap_odo;
  odo_[i] = distance;
  previous_lap_odo_ = lap_odo;
  distance_ = distance;

  if (data_count == 16) {
    if (!extra_inputs_written_) {
      for (int n = 1; n <= 4; ++n) column_from(extra_input_channel(n), k);
      extra_inputs_written_ = true;
    }
    const uint8_t high = p[15];
    for (int n = 1; n <= 4; ++n) {
      columns_[static_cast<size_t>(extra_input_channel(n))][i] =
          p[10 + n] + ((high >> (2 * (n - 1))) & 3) * 256;
    }
  } else if (extra_inputs_written_) {
    for (int n = 1; n <= 4; ++n) columns_[static_cast<size_t>(extra_input_channel(n))][i] = 0.0;
  }

  if (delta < 0) {  // the lap distance fell: a new lap started
    lap_start_time_ = now;
    split_time_ = 0;
    write_held_up_to(Channel::Split, k - 1);
    held_[static_cast<size_t>(Channel::Split)] = 0;
  }
  last_sample_time_ = now;

  // Oil Temp ... Pulse Ch4, Gear Module and Split repeat their held values at
  // this sample: written in runs when a value changes (write_held_up_to()).

  ++k_;
  now_ = now + period_;
}

void RecordDecoder::slow_channels(const Record& r) {
  hold(Channel::OilTemp, r.p(1));
  hold(Channel::WaterTemp, r.p(2));
  hold(Channel::Battery, r.p(3) / 10.0);
  hold(Channel::Fuel, r.p(4));
  hold(Channel::CanLoad, r.header.data_count >= 5 ? r.p(5) : 0.0);
}

}  // namespace detail

namespace {

void report(Host& host, const std::string& text) {
  host.message(MessageKind::Information, text, Buttons::Ok);
}

// The load-time filter: RPM once with window 5; speed, pressures and
// temperatures twice and the G channels three times with window 15.
struct LoadSmoothing {
  Channel channel;
  int window;
  int passes;
};
constexpr LoadSmoothing kLoadSmoothing[] = {
    {Channel::Rpm, 5, 1},          {Channel::Speed, 15, 2},     {Channel::OilPressure, 15, 2},
    {Channel::AuxPressure, 15, 2}, {Channel::GLat, 15, 3},      {Channel::GLong, 15, 3},
    {Channel::OilTemp, 15, 2},     {Channel::WaterTemp, 15, 2}, {Channel::Battery, 15, 2},
};

// The runs of the load-time filter for the channels `take` chooses among
// those that hold values. A channel that reads 0 everywhere stays 0 and is
// left alone, without storage.
template <typename Take>
std::vector<SmoothingRun> load_smoothing_runs(DataSet& set, Take take) {
  const long n = static_cast<long>(set.sample_count());
  std::vector<SmoothingRun> runs;
  for (const LoadSmoothing& s : kLoadSmoothing) {
    Series& series = set[s.channel];
    if (!series.has_storage() || !take(s.channel)) continue;
    runs.push_back(
        {std::span<double>(series.data(), static_cast<size_t>(std::min(n, series.size()))),
         s.window, s.passes});
  }
  return runs;
}

// The slow channels arrive about once a second, so the first second of
// samples has none yet: give them the first value the log holds.
void fill_first_second(DataSet& set) {
  const long m = static_cast<long>(set.info.sample_rate) + 1;
  for (Channel ch : {Channel::WaterTemp, Channel::OilTemp, Channel::Fuel, Channel::Battery}) {
    Series& s = set[ch];
    const double first = s[m];
    for (long i = 1; i <= m; ++i) s.set(i, first);
  }
}

// The load-time smoothing walking a little behind pass 2, so that it reads
// rows that are still in the cache rather than the whole slot again from
// memory afterwards. It starts once the first second of the slow channels
// can be filled; channels that get their first value only after that are
// smoothed at the end.
class SmoothingBehind {
 public:
  SmoothingBehind(const ProgramState& state, DataSet& set)
      : set_(set),
        on_(state.filter_when_loaded && set.sample_count() > 15),
        next_look_(on_ ? kLook : std::numeric_limits<long>::max()) {}

  // After each record: cheap until another stretch of samples is decoded.
  void after_record(detail::RecordDecoder& decoder) {
    if (decoder.samples_decoded() < next_look_) return;
    next_look_ += kLook;
    const long rows = decoder.settle_rows();
    if (!walk_) {
      if (rows <= static_cast<long>(set_.info.sample_rate) + 1) return;
      fill_first_second(set_);
      first_second_filled_ = true;
      const auto runs = load_smoothing_runs(set_, [](Channel) { return true; });
      for (const LoadSmoothing& s : kLoadSmoothing) {
        walking_[static_cast<size_t>(s.channel)] = set_[s.channel].has_storage();
      }
      walk_ = std::make_unique<SmoothingWalk>(runs);
    }
    walk_->advance(rows);
  }

  // Once pass 2 is through (and not cancelled): the first second if not
  // filled yet, the walk's remaining rows. Before the storage of zero-only
  // series goes back, which the walk still writes to.
  void finish_walk() {
    if (!first_second_filled_) fill_first_second(set_);
    if (walk_) walk_->finish();
  }
  // After that: the channels not in the walk (all of them without a walk).
  void smooth_the_rest() {
    if (!on_) return;
    savitzky_golay_smooth_runs(load_smoothing_runs(set_, [&](Channel c) { return !walking(c); }));
  }

 private:
  // Samples per look: the rows decoded since the last one are still in the
  // cache when the walk reads them.
  static constexpr long kLook = 2048;
  bool walking(Channel c) const { return walking_[static_cast<size_t>(c)]; }

  DataSet& set_;
  const bool on_;
  long next_look_;
  bool first_second_filled_ = false;
  std::array<bool, kChannelCount> walking_{};
  std::unique_ptr<SmoothingWalk> walk_;
};

// Hide the progress window and restore the cursor, as every outcome does first.
void end_progress(Host& host) {
  host.analysis_progress().hide();
  host.busy_cursor(false);
}

void offer_fault_save(ProgramState& state, Host& host, const std::string& warning) {
  end_progress(host);
  if (!warning.empty()) host.message(MessageKind::Warning, warning, Buttons::Ok);
  const Answer answer = host.message(MessageKind::Warning, message::decoding_fault, Buttons::YesNo);
  if (answer == Answer::Yes && state.save_log_data) state.save_log_data(state, host);
}

// Moves a bar only after more than 1000 bytes since its last move.
struct BarReporter {
  AnalysisProgress& progress;
  ProgressBar bar;
  long maximum;
  size_t last = 0;
  void at(size_t position) {
    if (position > last + 1000) {
      progress.set_bar(bar, static_cast<long>(position), maximum);
      last = position;
    }
  }
};

// Everything from pass 1 to the lap post-processing. Throws DecodingFault.
void decode_slot(ProgramState& state, Host& host, DataSet& set) {
  AnalysisProgress& progress = host.analysis_progress();
  bool& cancel = state.log_cancel;
  // A slot whose raw bytes are shorter than its count (a damaged file) decodes
  // what it has rather than reading past the end.
  size_t n = std::min<size_t>(set.info.raw_byte_count, set.raw.size());

  if (n <= 64) {
    end_progress(host);
    set.loaded = kNotLoaded;
    report(host, message::not_enough_data);
    return;
  }

  set.record_counts.fill(0);
  set.info.can_frame_count = 0;
  set.loaded = kDecoded;
  host.busy_cursor(false);
  progress.set_bar(ProgressBar::Processing, 0, static_cast<long>(n));
  progress.show();
  cancel = false;

  // Pass 1: framing. A record may start only where 64 more bytes follow.
  const uint8_t* raw = set.raw.data();
  size_t c = 0;
  BarReporter processing{progress, ProgressBar::Processing, static_cast<long>(n)};
  while (c + 65 <= n && !cancel) {
    host.process_events();
    const RecordHeader h = read_record_header(raw + c);
    if (h.record_id == 0) {
      set.loaded = kDecodedToFramingStop;
      report(host, format(message::stopped_processing, static_cast<int>(c), h.extended, h.record_id,
                          h.length));
      host.busy_cursor(false);
      break;
    }
    ++set.record_counts[static_cast<size_t>(h.record_id)];
    c += static_cast<size_t>(h.length);
    processing.at(c);
  }

  if (cancel) {
    set.loaded = kNotLoaded;
    end_progress(host);
    report(host, message::processing_cancelled);
    return;
  }
  n = c;
  set.info.raw_byte_count = static_cast<uint32_t>(n);
  progress.set_bar(ProgressBar::Formatting, 0, static_cast<long>(n));

  // Sizing: every table is sized once here; pass 2 never grows a series.
  const uint32_t samples = set.sample_count();
  const uint32_t laps = set.lap_count();
  // The decoded channels start reading 0 everywhere, keeping their storage
  // for the writes to come; the viewer's own x-axis copy keeps its values.
  if (samples > 0) {
    std::array<Series*, kChannelCount> decoded{};
    size_t decoded_count = 0;
    for (int c = 0; c < kChannelCount; ++c) {
      Series& s = set.series[static_cast<size_t>(c)];
      if (static_cast<Channel>(c) == Channel::XAxis) {
        s.resize(samples);
      } else {
        s.assign_zeros(samples);
        decoded[decoded_count++] = &s;
      }
    }
    // A slot decoded for the first time: blocks for whichever channels the
    // log fills, from one huge-page mapping (those left unwritten are given
    // back after the decode, untouched).
    Series::reserve_blocks_together(std::span(decoded.data(), decoded_count));
  }
  // With no lap the old table would be unreadable anyway (readers go by the
  // lap count); emptying it keeps stale laps from outliving their decode.
  set.laps.assign(laps, LapEntry{});
  set.lap_list.assign(laps, 0);
  size_t can_frames = 0;
  for (int id = 8; id < kRecordIdCount; ++id) {
    const int can_id = id - 8;
    if (can_id < 140 || can_id > 147) can_frames += set.record_counts[static_cast<size_t>(id)];
  }
  set.can_frames.clear();
  set.can_frames.reserve(can_frames);

  if (samples == 0) {
    end_progress(host);
    set.loaded = kNotLoaded;
    report(host, cancel ? message::processing_cancelled : message::no_valid_data);
    return;
  }

  // Pass 2: decoding, the load-time smoothing going along behind it.
  detail::RecordDecoder decoder(set, state.identity);
  SmoothingBehind smoothing(state, set);
  BarReporter formatting{progress, ProgressBar::Formatting, static_cast<long>(n)};
  c = 0;
  while (c < n && !cancel) {
    host.process_events();
    const Record record{raw + c, read_record_header(raw + c)};
    decoder.decode(record);
    c += static_cast<size_t>(record.header.length);
    formatting.at(c);
    smoothing.after_record(decoder);
  }

  if (cancel) set.loaded = kNotLoaded;
  decoder.finish_laps(cancel);

  if (set.loaded != kNotLoaded) {
    smoothing.finish_walk();
    // A channel the log never gave a value other than 0 (an input not wired,
    // a module not fitted) needs no storage: it reads 0 as it is, and the
    // block an earlier log gave it goes back to the system.
    for (int c = 0; c < kChannelCount; ++c) {
      if (static_cast<Channel>(c) == Channel::XAxis) continue;
      Series& s = set.series[static_cast<size_t>(c)];
      s.release_if_zero();
      s.release_spare();
    }
    smoothing.smooth_the_rest();
    end_progress(host);
    report(host, format(message::processed_bytes, static_cast<int>(n)));
  } else {
    end_progress(host);
    report(host, cancel ? message::processing_cancelled : message::no_valid_data);
  }
}

}  // namespace

void process_data_packets(ProgramState& state, Host& host) {
  DataSet& set = state.current();
  try {
    decode_slot(state, host, set);
  } catch (const DecodingFault& fault) {
    set.loaded = kNotLoaded;
    offer_fault_save(state, host, fault.warning);
  } catch (const std::bad_alloc&) {
    // A log too large for this computer's memory: report it like any other
    // failed check rather than ending the program.
    set.loaded = kNotLoaded;
    offer_fault_save(state, host, "");
  }
}

void smoothAllDataOnLoad(ProgramState& state) {
  DataSet& set = state.current();
  if (!state.filter_when_loaded || set.sample_count() <= 15) return;
  savitzky_golay_smooth_runs(load_smoothing_runs(set, [](Channel) { return true; }));
}

}  // namespace ardenvis::core
