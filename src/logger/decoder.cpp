#include "logger/decoder.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <span>

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

RecordHeader read_record_header(const uint8_t* bytes) {
  RecordHeader h{};
  h.extended = bytes[0] >> 7;
  const int code = (bytes[0] >> 3) & 0x0F;
  h.data_count = code == 15 ? 16 : code;
  if (h.extended == 0) {
    h.record_id = bytes[0] & 0x07;
    h.length = 1 + h.data_count;
  } else {
    h.record_id = (bytes[0] & 0x07) * 256 + bytes[1] + 8;
    h.length = 2 + h.data_count;
  }
  return h;
}

namespace detail {

namespace {
// The channels whose last value every sample repeats until a newer record
// changes it.
constexpr std::array kHeldChannels = {
    Channel::OilTemp,     Channel::WaterTemp,    Channel::Battery,     Channel::Fuel,
    Channel::CanLoad,     Channel::GpsSpeed,     Channel::GpsLatitude, Channel::GpsLongitude,
    Channel::GpsAltitude, Channel::AnalogCh1,    analog_channel(2),    analog_channel(3),
    analog_channel(4),    analog_channel(5),     analog_channel(6),    analog_channel(7),
    analog_channel(8),    analog_channel(9),     analog_channel(10),   analog_channel(11),
    analog_channel(12),   analog_channel(13),    analog_channel(14),   analog_channel(15),
    Channel::AnalogCh16,  Channel::PulseCh1,     pulse_channel(2),     pulse_channel(3),
    Channel::PulseCh4,
};

// Negation that never yields -0, so a zero reads and prints as 0.
constexpr double signed_value(bool positive, double magnitude) {
  return positive ? magnitude : 0.0 - magnitude;
}
}  // namespace

RecordDecoder::RecordDecoder(DataSet& set, const UnitIdentity& identity)
    : set_(set), identity_(identity) {
  for (int c = 0; c < kChannelCount; ++c) columns_[static_cast<size_t>(c)] = set.series[static_cast<size_t>(c)].data();
  sample_count_ = static_cast<long>(set.sample_count());
  lap_count_ = set.lap_count();
  const bool fast = set.info.sample_rate == 20;
  period_ = fast ? 0.05 : 0.1;
  gear_window_ = fast ? 6 : 3;
  time_ = period_;
}

void RecordDecoder::decode(const Record& record) {
  const int id = record.header.record_id;
  switch (id) {
    case 1: sample(record); break;
    case 2: slow_channels(record); break;
    case 3: lap(record); break;
    case 4: split(record); break;
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

void RecordDecoder::sample(const Record& r) {
  const long k = k_;
  // Pass 1 counted exactly the sample records pass 2 meets, so k never passes N;
  // the check only keeps a broken invariant from writing outside the series.
  if (k > sample_count_) throw DecodingFault{};

  at(Channel::PeloTime, k) = time_;

  const uint8_t p3 = r.p(3);
  at(Channel::GLat, k) = signed_value(p3 & 0x80, r.p(1) / 10.0);
  at(Channel::GLong, k) = signed_value(p3 & 0x40, r.p(2) / 10.0);
  at(Channel::Speed, k) = ((p3 & 0x3F) * 256 + r.p(4)) / 10.0;
  at(Channel::Rpm, k) = ((r.p(5) & 0x7F) * 256 + r.p(6)) / 100.0;
  at(Channel::OilPressure, k) = r.p(7);
  at(Channel::AuxPressure, k) = r.p(8);
  const uint8_t p9 = r.p(9);
  at(Channel::Brake, k) = (p9 & 0x80) ? 100.0 : 0.0;

  // Gear: a new gear shows only after W equal codes, so a single noisy code
  // never flips the display; codes without gear information repeat the last.
  const int code = p9 & 0x0F;
  const int g = (code >= 1 && code <= 6) ? code : previous_gear_code_;
  const int w = gear_window_;
  std::copy(gear_history_.begin() + 1, gear_history_.begin() + w, gear_history_.begin());
  gear_history_[static_cast<size_t>(w - 1)] = g;
  const bool steady = std::all_of(gear_history_.begin(), gear_history_.begin() + w,
                                  [&](int v) { return v == gear_history_[0]; });
  at(Channel::Gear, k) = steady ? 10.0 * g : (k > 1 ? at(Channel::Gear, k - 1) : 0.0);
  previous_gear_code_ = g;

  const uint32_t v = static_cast<uint32_t>(r.p(10)) * 256 + r.p(11);
  const double lap_odo = (p9 & 0x20) ? static_cast<double>(v) : pulses_to_distance(v);
  at(Channel::LapOdo, k) = lap_odo;
  const double delta = lap_odo - (k > 1 ? at(Channel::LapOdo, k - 1) : 0.0);
  if (delta > 0) distance_ += delta;
  at(Channel::Odo, k) = distance_;

  if (r.header.data_count == 16) {
    const uint8_t high = r.p(16);
    for (int i = 1; i <= 4; ++i) {
      at(extra_input_channel(i), k) = r.p(11 + i) + ((high >> (2 * (i - 1))) & 3) * 256;
    }
  } else {
    for (int i = 1; i <= 4; ++i) at(extra_input_channel(i), k) = 0.0;
  }

  if (delta < 0) {  // the lap distance fell: a new lap started
    lap_start_time_ = time_;
    split_time_ = 0;
  }
  last_sample_time_ = time_;

  for (Channel c : kHeldChannels) at(c, k) = held_[static_cast<size_t>(c)];
  at(Channel::GearModule, k) = 10.0 * held_gear_;
  at(Channel::Split, k) = split_time_;

  ++k_;
  time_ += period_;
}

void RecordDecoder::slow_channels(const Record& r) {
  const long j = k_ - 1;
  Series& oil = set_[Channel::OilTemp];
  Series& water = set_[Channel::WaterTemp];
  Series& battery = set_[Channel::Battery];
  Series& fuel = set_[Channel::Fuel];
  Series& load = set_[Channel::CanLoad];
  oil.set(j, r.p(1));
  water.set(j, r.p(2));
  battery.set(j, r.p(3) / 10.0);
  fuel.set(j, r.p(4));
  load.set(j, r.header.data_count >= 5 ? r.p(5) : 0.0);
  // Read back: before the first sample there is no index j and the values are lost.
  held_[static_cast<size_t>(Channel::OilTemp)] = oil[j];
  held_[static_cast<size_t>(Channel::WaterTemp)] = water[j];
  held_[static_cast<size_t>(Channel::Battery)] = battery[j];
  held_[static_cast<size_t>(Channel::Fuel)] = fuel[j];
  held_[static_cast<size_t>(Channel::CanLoad)] = load[j];
}

}  // namespace detail

namespace {

void report(Host& host, const std::string& text) {
  host.message(MessageKind::Information, text, Buttons::Ok);
}

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
      report(host, format(message::stopped_processing, static_cast<int>(c), h.extended,
                          h.record_id, h.length));
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
  if (samples > 0) {
    for (Series& s : set.series) s.resize(samples);
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

  // Pass 2: decoding.
  detail::RecordDecoder decoder(set, state.identity);
  BarReporter formatting{progress, ProgressBar::Formatting, static_cast<long>(n)};
  c = 0;
  while (c < n && !cancel) {
    host.process_events();
    const Record record{raw + c, read_record_header(raw + c)};
    decoder.decode(record);
    c += static_cast<size_t>(record.header.length);
    formatting.at(c);
  }

  if (cancel) set.loaded = kNotLoaded;
  decoder.finish_laps(cancel);

  if (set.loaded != kNotLoaded) {
    // The slow channels arrive about once a second, so the first second of
    // samples has none yet: give them the first value the log holds.
    const long m = static_cast<long>(set.info.sample_rate) + 1;
    for (Channel ch : {Channel::WaterTemp, Channel::OilTemp, Channel::Fuel, Channel::Battery}) {
      Series& s = set[ch];
      const double first = s[m];
      for (long i = 1; i <= m; ++i) s.set(i, first);
    }
    smoothAllDataOnLoad(state);
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
  const long n = static_cast<long>(set.sample_count());
  if (!state.filter_when_loaded || n <= 15) return;
  auto values = [&](Channel c) {
    Series& s = set[c];
    return std::span<double>(s.data(), static_cast<size_t>(std::min(n, s.size())));
  };
  // RPM once with window 5; speed, pressures and temperatures twice and the G
  // channels three times with window 15. The series are independent, so the
  // passes of different series are run side by side.
  const std::span<double> rpm[] = {values(Channel::Rpm)};
  const std::span<double> twice[] = {
      values(Channel::Speed),   values(Channel::OilPressure), values(Channel::AuxPressure),
      values(Channel::GLat),    values(Channel::GLong),       values(Channel::OilTemp),
      values(Channel::WaterTemp), values(Channel::Battery)};
  const std::span<double> third[] = {values(Channel::GLat), values(Channel::GLong)};
  savitzky_golay_smooth_together(rpm, 5);
  savitzky_golay_smooth_together(twice, 15);
  savitzky_golay_smooth_together(twice, 15);
  savitzky_golay_smooth_together(third, 15);
}

}  // namespace ardenvis::core
