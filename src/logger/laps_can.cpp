// Lap, split and CAN frame records, sensor-module frames and the lap
// post-processing that runs after the last record.

#include <algorithm>

#include "common/format.h"
#include "logger/record_decoder.h"

namespace ardenvis::core::detail {

namespace {
uint32_t milliseconds_20bit(const Record& r) {
  return static_cast<uint32_t>(r.p(1) & 0x0F) * 65536 + static_cast<uint32_t>(r.p(2)) * 256 +
         r.p(3);
}

// Gear module codes: 1..6 a gear, 24 reverse, 11 "no change", the rest neutral.
int gear_module_value(int code, int previous) {
  if (code >= 1 && code <= 6) return code;
  if (code == 11) return previous;
  if (code == 24) return -1;
  return 0;
}
}  // namespace

void RecordDecoder::lap(const Record& r) {
  // Pass 1 sized the table from the same records; the check only guards the table.
  if (lap_index_ >= lap_count_) throw DecodingFault{};
  LapEntry& entry = set_.laps[lap_index_];
  entry.lap_time = hundredths_seconds(milliseconds_20bit(r));
  entry.lap_number = r.p(4);
  const uint32_t v = static_cast<uint32_t>(r.p(5)) * 256 + r.p(6);
  entry.lap_distance = static_cast<float>((r.p(1) & 0x80) ? v : pulses_to_distance(v));
  entry.start_time = lap_start_time_;
  entry.end_time = last_sample_time_;
  entry.split_count = static_cast<uint8_t>(split_counter_);
  split_counter_ = 0;
  ++lap_index_;
}

void RecordDecoder::split(const Record& r) {
  const int u = (r.p(4) >> 6) * 16 + (r.p(1) >> 4);
  if (u >= kMaxSplits) return;
  const float time = hundredths_seconds(milliseconds_20bit(r));
  split_time_ = time;
  // The Split series repeats the split time from the next sample on.
  write_held_up_to(Channel::Split, k_ - 1);
  held_[static_cast<size_t>(Channel::Split)] = split_time_;
  if (!Series::is_plain_zero(split_time_)) column_from(Channel::Split, k_);
  // A split after the last lap record has no lap to go to. A lap never keeps
  // more splits than its table holds; later ones only move the Split series.
  if (lap_index_ < lap_count_ && split_counter_ < kMaxSplits) {
    LapEntry& entry = set_.laps[lap_index_];
    entry.split_times[static_cast<size_t>(u)] = time;
    entry.split_sample_indexes[static_cast<size_t>(u)] = static_cast<int32_t>(k_);
    ++split_counter_;
  }
}

void RecordDecoder::can_frame(const Record& r) {
  const int can_id = r.header.record_id - 8;
  if (can_id >= 140 && can_id <= 147) {
    sensor_frame(r, can_id);
    return;
  }
  CanFrame& frame = set_.can_frames.emplace_back();
  set_.info.can_frame_count = static_cast<uint32_t>(set_.can_frames.size());
  frame.can_id = static_cast<int16_t>(can_id);
  frame.time = last_sample_time_;
  const int count = r.header.data_count - 1;
  if (count < 1 || count > 8) throw DecodingFault{format(message::can_data_count, count)};
  frame.data_count = static_cast<uint8_t>(count);
  for (int i = 0; i < count; ++i) frame.data[static_cast<size_t>(i)] = r.p(i + 1);
  frame.stamp = r.p(count + 1);
}

void RecordDecoder::sensor_frame(const Record& r, int can_id) {
  if (can_id == 142) return;
  auto store = [&](Channel c, double value) { hold(c, value); };
  auto word32 = [&](int first) {
    return static_cast<uint32_t>(r.p(first)) | static_cast<uint32_t>(r.p(first + 1)) << 8 |
           static_cast<uint32_t>(r.p(first + 2)) << 16 |
           static_cast<uint32_t>(r.p(first + 3)) << 24;
  };

  switch (can_id) {
    case 140: {
      const uint32_t lat = word32(1);
      const uint32_t lon = word32(5);
      store(Channel::GpsLatitude, signed_value(lat >> 31, (lat & 0x0FFFFFFF) / 1000000.0));
      store(Channel::GpsLongitude, signed_value(lon >> 31, (lon & 0x7FFFFFFF) / 1000000.0));
      break;
    }
    case 141: {
      const int speed = r.p(1) | r.p(2) << 8;
      const int altitude = r.p(3) | r.p(4) << 8;
      store(Channel::GpsSpeed, speed / 10.0);
      store(Channel::GpsAltitude, signed_value(altitude & 0x8000, altitude & 0x7FFF));
      break;
    }
    case 145: {
      const int gear = gear_module_value(r.p(1) & 0x1F, held_gear_);
      hold(Channel::GearModule, 10.0 * gear);
      held_gear_ = k_ > 1 ? gear : 0;  // nothing is held before the first sample
      break;
    }
    default: {  // 143, 144, 146, 147: an analog block of four channels and a pulse
      const int block = can_id == 143 ? 0 : can_id == 144 ? 1 : can_id == 146 ? 2 : 3;
      const uint8_t high = r.p(5);
      for (int i = 1; i <= 4; ++i) {
        store(analog_channel(block * 4 + i), r.p(i) + ((high >> (2 * (i - 1))) & 3) * 256);
      }
      const uint32_t period = r.p(6) + static_cast<uint32_t>(r.p(7)) * 256 +
                              static_cast<uint32_t>(r.p(8) & 0x7F) * 65536;
      store(pulse_channel(block + 1), period > 0 ? (625000.0 / period) * 3600.0 : 0.0);
      break;
    }
  }
}

void RecordDecoder::finish_laps(bool cancelled) {
  write_held_values();  // the runs since each held value's last change
  const uint32_t laps = lap_count_;
  std::vector<LapEntry>& table = set_.laps;

  if (laps > 0 && !cancelled) {
    int session = 1;
    for (uint32_t i = 0; i < laps; ++i) {
      set_.lap_list[i] = static_cast<uint16_t>(i);
      if (i >= 1 && static_cast<int>(table[i].lap_number) - table[i - 1].lap_number != 1) {
        ++session;
      }
      if (session > 255) throw DecodingFault{};
      table[i].session = static_cast<uint8_t>(session);
    }
  }

  // Without a lap every sample's Lap, Session and Lap Time are 0, which the
  // series read already.
  if (sample_count_ >= 1 && laps > 0) {
    double* lap_column = set_[Channel::Lap].storage_for_writing_from(1);
    double* session_column = set_[Channel::Session].storage_for_writing_from(1);
    double* lap_time_column = set_[Channel::LapTime].storage_for_writing_from(1);
    double lap = 0, session = 0, lap_time = 0;
    uint32_t i = 0;
    auto take = [&] {
      if (i < laps) {
        lap = table[i].lap_number;
        session = table[i].session;
        lap_time = table[i].lap_time;
      } else {
        lap = table[laps - 1].lap_number + 1;
        session = table[laps - 1].session;
        lap_time = table[laps - 1].lap_time;
      }
    };
    take();
    for (long k = 1; k <= sample_count_; ++k) {
      // Lap end times are sample times from the same accumulation, so a sample
      // meets its lap's end exactly. Passing every lap whose end has been reached
      // (rather than one per sample) keeps two lap records without a sample
      // between them, or one before the first sample, from stalling the walk.
      const double now = time_[k - 1];
      bool moved = false;
      while (i < laps && table[i].end_time <= now) {
        ++i;
        moved = true;
      }
      if (moved) take();
      lap_column[k - 1] = lap;
      session_column[k - 1] = session;
      lap_time_column[k - 1] = lap_time;
    }
  }

  if (laps > 0) {
    for (uint32_t i = 0; i < laps; ++i) {
      LapEntry& e = table[i];
      const int n = std::min<int>(e.split_count, kMaxSplits);
      e.segment_times[0] = e.split_times[0];
      for (int j = 1; j < n; ++j) {
        e.segment_times[static_cast<size_t>(j)] =
            e.split_times[static_cast<size_t>(j)] - e.split_times[static_cast<size_t>(j - 1)];
      }
      if (n >= 1)
        e.segment_times[static_cast<size_t>(n)] =
            e.lap_time - e.split_times[static_cast<size_t>(n - 1)];
    }

    uint32_t best = 0;
    for (uint32_t i = 1; i < laps; ++i) {
      if (table[i].lap_time < table[best].lap_time) best = i;
    }
    if (best > 255) throw DecodingFault{};
    set_.best_lap = static_cast<uint8_t>(best);
  }
}

}  // namespace ardenvis::core::detail
