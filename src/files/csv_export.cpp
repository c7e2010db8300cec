#include "files/csv_export.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/format.h"
#include "files/csv_numbers.h"
#include "files/file_dialogs.h"
#include "files/physical_values.h"
#include "link/unit_session.h"

namespace ardenvis::core {

namespace {

constexpr const char* kTitle = "Save Excel .csv Data";
constexpr const char* kFilter = "Comma Seperated Variable files (*.csv)";
constexpr const char* kExtension = ".csv";

constexpr const char* kLapColumns =
    "PeloTime(s),Start Index,Stop Index,Lap,Lap Distance(m),Lap Time(s),Session,";
constexpr const char* kLapValues = "%1.1f,%d,%d,%d,%.1f,%.2f,%d,%d,";
// Room for one extra column's number: 10 significant digits, sign, point and
// exponent.
constexpr size_t kExtraColumnChars = 24;

int rounded_index(double value) {
  const double r = std::nearbyint(value);  // the default rounding: nearest, ties to even
  if (!(r > 0)) return 0;                  // negative, or not a number
  return r >= INT_MAX ? INT_MAX : static_cast<int>(r);
}

// The laps and CAN frames a reader may use: the counts, never past the tables.
size_t lap_rows(const DataSet& set) { return std::min<size_t>(set.lap_count(), set.laps.size()); }
size_t can_rows(const DataSet& set) {
  return std::min<size_t>(set.info.can_frame_count, set.can_frames.size());
}

void write_lap_row(AtomicTextWriter& out, const DataSet& set, const LapEntry& lap, int eighth) {
  const LapSampleRange range = lap_sample_range(lap, set.info.sample_rate);
  out.buffer() += format(kLapValues, lap.end_time, range.start, range.stop, lap.lap_number,
                         static_cast<double>(lap.lap_distance), static_cast<double>(lap.lap_time),
                         lap.session, eighth);
}

// "%.2f," (or "%d,") of every value, at the end of the line being built.
template <typename Values>
void append_columns(std::string& line, const Values& values) {
  char text[kMaxFixedChars + 1];
  for (auto value : values) {
    char* end;
    if constexpr (std::is_floating_point_v<decltype(value)>) {
      end = write_fixed<2>(text, static_cast<double>(value));
    } else {
      end = write_int(text, value);
    }
    *end++ = ',';
    line.append(text, static_cast<size_t>(end - text));
  }
}

void write_lap_tables(AtomicTextWriter& out, const DataSet& set) {
  const size_t laps = lap_rows(set);
  if (laps == 0) return;
  std::string header;

  out.line("");
  out.line("");
  out.line(
      "Lap Times with Split and Segment Times (Logged in Memory and used for Split Display "
      "Update):");
  out.line(format("Max Splits per Lap=,%d", kMaxSplits));
  header = std::string(kLapColumns) + "N Splits,";
  for (int i = 1; i <= kMaxSplits; ++i) header += format("Split %d,", i);
  out.line(header);
  for (size_t i = 0; i < laps; ++i) {
    const LapEntry& lap = set.laps[i];
    write_lap_row(out, set, lap, lap.split_count);
    append_columns(out.buffer(), lap.split_times);
    out.end_line();
  }

  out.line("");
  out.line("Split Time Indexes: (Stored in Pelorant for Split Lap Updates)");
  out.line("");
  out.line("Data index for each split in Lap:");
  out.line(format("Max Splits per Lap=,%d", kMaxSplits));
  header = ",,,Lap,Lap Distance(m),Lap Time(s),Session,N Splits,";
  for (int i = 1; i <= kMaxSplits; ++i) header += format("Index %d,", i);
  out.line(header);
  for (size_t i = 0; i < laps; ++i) {
    const LapEntry& lap = set.laps[i];
    out.buffer() +=
        format(",,,%d,%.1f,%.2f,%d,%d,", lap.lap_number, static_cast<double>(lap.lap_distance),
               static_cast<double>(lap.lap_time), lap.session, lap.split_count);
    append_columns(out.buffer(), lap.split_sample_indexes);
    out.end_line();
  }

  out.line("");
  out.line("");
  out.line("Segment Times:");
  header = std::string(kLapColumns) + "N Segments,";
  for (int i = 1; i <= kMaxSegments; ++i) header += format("Segment %d,", i);
  out.line(header);
  for (size_t i = 0; i < laps; ++i) {
    const LapEntry& lap = set.laps[i];
    write_lap_row(out, set, lap, lap.split_count + 1);
    append_columns(out.buffer(), lap.segment_times);
    out.end_line();
  }
}

void write_can_frames(AtomicTextWriter& out, const DataSet& set) {
  const size_t frames = can_rows(set);
  if (frames == 0) return;
  out.line("");
  out.line("");
  out.line("CAN Bus Activity (Other than logged items):");
  out.line("");
  out.line("e.g. Display Button Press = CAN ID: 128");
  out.line("");
  out.line(
      "PeloTime(s),CAN_id,CAN_len,CAN_data[0],CAN_data[1],CAN_data[2],CAN_data[3],CAN_data[4],"
      "CAN_data[5],CAN_data[6],CAN_data[7],Time Stamp(ms)");
  for (size_t i = 0; i < frames; ++i) {
    const CanFrame& f = set.can_frames[i];
    // "%1.2f,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d": time, id, count, data[0..7], stamp.
    char line[kMaxFixedChars + 12 * 21];
    char* p = write_fixed(line, f.time, 2);
    for (int value : {static_cast<int>(f.can_id), static_cast<int>(f.data_count)}) {
      *p++ = ',';
      p = write_int(p, value);
    }
    for (uint8_t byte : f.data) {
      *p++ = ',';
      p = write_int(p, byte);
    }
    *p++ = ',';
    p = write_int(p, f.stamp);
    out.buffer().append(line, static_cast<size_t>(p - line));
    out.end_line();
  }
}

// A column whose value stays the same for many lines (gear, brake, the slow
// channels, lap, session, lap and split times, CAN load): the text it had on
// the line before is kept and copied while the value's bits are unchanged.
template <int Precision, int Width = 0>
class HeldColumn {
 public:
  HeldColumn() { length_ = write_fixed<Precision, Width>(text_, 0.0) - text_; }
  char* write(char* out, double value) {
    const auto bits = std::bit_cast<uint64_t>(value);
    if (bits == bits_) {
      std::memcpy(out, text_, kKept);
      return out + length_;
    }
    char* end = write_fixed<Precision, Width>(out, value);
    if (end - out <= kKept) {  // longer texts (huge numbers) are not kept
      bits_ = bits;
      std::memcpy(text_, out, kKept);
      length_ = end - out;
    }
    return end;
  }

 private:
  static constexpr ptrdiff_t kKept = 16;
  uint64_t bits_ = 0;  // the bits of +0, whose text the constructor writes
  char text_[kMaxFixedChars] = {};
  ptrdiff_t length_ = 0;
};

// ",value" of every extra column at sample index k - 1 (an empty field for
// a gap).
char* write_extra_columns(char* p, std::span<const CsvExtraColumn> columns, size_t index) {
  for (const CsvExtraColumn& column : columns) {
    *p++ = ',';
    if (index < column.values.size() && !std::isnan(column.values[index])) {
      p = std::to_chars(p, p + kExtraColumnChars, column.values[index], std::chars_format::general,
                        10)
              .ptr;
    }
  }
  return p;
}

void write_samples(AtomicTextWriter& out, const DataSet& set, const UnitFlags& flags,
                   bool speed_calibration_removed, Host& host,
                   std::span<const CsvExtraColumn> extra_columns) {
  const long n = static_cast<long>(set.sample_count());
  if (n <= 0) return;
  out.line("");
  out.line("");
  out.line("Pelorant2 Data:");
  out.line(speed_calibration_removed ? "Note: Orvik Speed +3% over reading REMOVED FROM DATA"
                                     : "Note: Orvik Speed +3% over reading IN DATA");
  out.line("");
  out.line("");
  const char* speed = flags.speed_kmh ? "KMH" : "MPH";
  const char* pressure = flags.pressure_bar ? "Bar" : "psi";
  const char* temperature = flags.temperature_degf ? "degF" : "degC";
  const char* distance = flags.distance_feet ? "ft" : "m";
  std::string header = format(
      "PeloTime (s),Index,RPM,Speed (%s),Gear (Calc),Brake (%%),Oil Pressure (%s),Oil Temp "
      "(%s),Water Temp (%s),Battery (VDC),Fuel (%%),Aux Pressure (%s),G Lat (g),G Long (g),Odo "
      "(%s),Lap Odo (%s),Lap,Session,Lap Time (s),Split (s),CAN Load",
      speed, pressure, temperature, temperature, pressure, distance, distance);
  for (const CsvExtraColumn& column : extra_columns) header += "," + column.header;
  out.line(header);

  // One line per sample in the format
  //   "%1.2f,%d,%0.f,%.1f,%0.f,%0.f,%.1f,%0.f,%0.f,%2.1f,%0.f,%.1f,%1.2f,%1.2f,%0.f,%0.f,%0.f,
  //    %0.f,%1.2f,%1.2f, " then "  %2.0f" (the CAN load right-aligned after a comma and three
  //    spaces), written number by number with the same digits.
  // Every series of the slot holds the n samples; a shorter one (a damaged
  // slot) reads 0 beyond its end, as ever: it is read from a copy padded with
  // zeros, so the loop below reads every column straight from an array.
  const double* values[kChannelCount] = {};
  std::vector<std::vector<double>> padded;
  for (Channel c :
       {Channel::PeloTime, Channel::Rpm,         Channel::Speed,       Channel::Gear,
        Channel::Brake,    Channel::OilPressure, Channel::OilTemp,     Channel::WaterTemp,
        Channel::Battery,  Channel::Fuel,        Channel::AuxPressure, Channel::GLat,
        Channel::GLong,    Channel::Odo,         Channel::LapOdo,      Channel::Lap,
        Channel::Session,  Channel::LapTime,     Channel::Split,       Channel::CanLoad}) {
    const Series& series = set[c];
    if (series.size() >= n) {
      values[static_cast<size_t>(c)] = series.data();
      continue;
    }
    std::vector<double>& copy = padded.emplace_back(static_cast<size_t>(n), 0.0);
    std::copy_n(series.data(), std::max<long>(series.size(), 0), copy.begin());
    values[static_cast<size_t>(c)] = copy.data();
  }

  // Lines are written straight into the writer's buffer, a block at a time.
  const size_t kLineRoom = 24 * kMaxFixedChars + extra_columns.size() * (kExtraColumnChars + 1);
  constexpr size_t kBlock = 64 * 1024;
  char* p = out.room(kBlock + kLineRoom);
  const char* full = p + kBlock;
  HeldColumn<0> gear, brake, oil_temp, water_temp, fuel, lap, session;
  HeldColumn<1, 2> battery;
  HeldColumn<2> lap_time, split;
  HeldColumn<0, 2> can_load;
  for (long k = 1; k <= n; ++k) {
    if ((k & 0x3FF) == 0) host.process_events();
    // Physical values: RPM x 100, Gear / 10 and the G channels / 10.
    auto v = [&](Channel c) { return physical_value(c, values[static_cast<size_t>(c)][k - 1]); };
    auto next = [&] { *p++ = ','; };
    p = write_fixed<2>(p, v(Channel::PeloTime));
    next();
    p = write_int(p, static_cast<int>(k));
    next();
    p = write_fixed<0>(p, v(Channel::Rpm));
    next();
    p = write_fixed<1>(p, v(Channel::Speed));
    next();
    p = gear.write(p, v(Channel::Gear));
    next();
    p = brake.write(p, v(Channel::Brake));
    next();
    p = write_fixed<1>(p, v(Channel::OilPressure));
    next();
    p = oil_temp.write(p, v(Channel::OilTemp));
    next();
    p = water_temp.write(p, v(Channel::WaterTemp));
    next();
    p = battery.write(p, v(Channel::Battery));
    next();
    p = fuel.write(p, v(Channel::Fuel));
    next();
    p = write_fixed<1>(p, v(Channel::AuxPressure));
    next();
    p = write_fixed<2>(p, v(Channel::GLat));
    next();
    p = write_fixed<2>(p, v(Channel::GLong));
    next();
    p = write_fixed<0>(p, v(Channel::Odo));
    next();
    p = write_fixed<0>(p, v(Channel::LapOdo));
    next();
    p = lap.write(p, v(Channel::Lap));
    next();
    p = session.write(p, v(Channel::Session));
    next();
    p = lap_time.write(p, v(Channel::LapTime));
    next();
    p = split.write(p, v(Channel::Split));
    std::memcpy(p, ",   ", 4);  // the format's ", " then "  %2.0f"
    p = can_load.write(p + 4, v(Channel::CanLoad));
    if (!extra_columns.empty())
      p = write_extra_columns(p, extra_columns, static_cast<size_t>(k - 1));
    *p++ = '\r';
    *p++ = '\n';
    if (p >= full || k == n) {
      out.keep(p);
      if (k == n) break;
      p = out.room(kBlock + kLineRoom);
      full = p + kBlock;
    }
  }
}

}  // namespace

LapSampleRange lap_sample_range(const LapEntry& lap, uint8_t sample_rate) {
  // A log data file may carry a sample rate of 0; its samples were timed at
  // the decoding's period for such a rate, 0.1 s, so the indexes use that.
  const double period = sample_rate == 0 ? 0.1 : 1.0 / sample_rate;
  const double start_time = lap.end_time - static_cast<double>(lap.lap_time);
  return {rounded_index(start_time / period), rounded_index((lap.end_time - period) / period)};
}

CanLoadSummary can_load_summary(const DataSet& set) {
  const Series& load = set[Channel::CanLoad];
  // A slot always reads at least one value (index 1 reads 0 when empty).
  const long count = std::max<long>(static_cast<long>(set.sample_count()), 1);
  double maximum = load[1], minimum = load[1], sum = 0, squares = 0;
  for (long k = 1; k <= count; ++k) {
    const double v = load[k];
    maximum = std::max(maximum, v);
    minimum = std::min(minimum, v);
    sum += v;
    squares += v * v;
  }
  const double mean = sum / static_cast<double>(count);
  const double variance =
      count < 3 ? 1.0 : (squares - sum * sum / static_cast<double>(count)) / (count - 1);
  return {maximum, minimum, mean, variance};
}

void write_csv(AtomicTextWriter& out, const DataSet& set, const UnitFlags& flags,
               bool speed_calibration_removed, Host& host,
               std::span<const CsvExtraColumn> extra_columns) {
  out.line("// Pelorant2 Data File:");
  out.line("");
  out.line("// Information from SETUP notes:");
  for (const std::string& note : set.notes) out.line("//" + note);
  out.line("");

  write_lap_tables(out, set);
  write_can_frames(out, set);

  const CanLoadSummary load = can_load_summary(set);
  out.line("");
  out.line(",MAX,MIN,MEAN,VAR");
  out.line(format("CAN Load:, %2.0f,%2.0f,%2.2f,%2.2f", load.maximum, load.minimum, load.mean,
                  load.variance));

  write_samples(out, set, flags, speed_calibration_removed, host, extra_columns);
}

bool save_csv_data(ProgramState& state, Host& host, const CsvExportOptions& options) {
  if (state.current().download_state == 0) {
    host.message(MessageKind::Information, file_message::no_valid_data_to_save, Buttons::Ok);
    return false;
  }
  if (host.message(MessageKind::Information, file_message::preference_question, Buttons::YesNo) ==
          Answer::Yes &&
      options.load_display_preferences) {
    options.load_display_preferences(state, host);
  }
  const auto file =
      save_text_file(host, state.file(FileKind::SpreadsheetExport), kTitle, kFilter, kExtension,
                     [&](AtomicTextWriter& out, const ChosenFile&) {
                       write_csv(out, state.current(), state.unit_flags, state.speed_calibration,
                                 host, options.extra_columns);
                       return true;
                     });
  if (!file) return false;
  host.message(MessageKind::Information, file_message::file_saved_ok, Buttons::Ok);
  return true;
}

}  // namespace ardenvis::core
