#include "library/session_summary.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <numbers>

#include "common/format.h"
#include "common/text_file.h"
#include "files/log_file.h"
#include "logger/data_set_units.h"
#include "logger/download.h"

namespace ardenvis::core {

namespace {

double sample_interval(const DataSet& set) { return set.info.sample_rate == 20 ? 0.05 : 0.1; }

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

std::optional<NamedDateTime> date_time_from_name(std::string_view file_name) {
  const std::optional<AutomaticNameDate> named_by_download = automatic_name_date(file_name);
  if (!named_by_download) return std::nullopt;
  const AutomaticNameDate& d = *named_by_download;
  NamedDateTime named;
  named.date = format("%04d-%02d-%02d", d.year, d.month, d.day);
  named.time = format("%02d:%02d", d.hour, d.minute);
  named.session_number = d.session;
  return named;
}

NamedDateTime date_time_from_mtime(int64_t mtime_ns) {
  const std::time_t seconds = static_cast<std::time_t>(mtime_ns / 1000000000);
  std::tm local{};
  localtime_r(&seconds, &local);
  NamedDateTime named;
  named.date = format("%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  named.time = format("%02d:%02d", local.tm_hour, local.tm_min);
  return named;
}

std::string log_file_units(std::string_view content) {
  LineReader lines(content);
  std::string_view line;
  int header_line = 0;
  while (lines.next(line)) {
    if (line.starts_with("//") || line.starts_with("@@")) continue;
    // Unit type, version, identity word, distance factor, third word, flags.
    if (++header_line < 6) continue;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    unsigned flags = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), flags, 16);
    if (error != std::errc{} || line.empty()) return {};
    std::string units = (flags & 4) ? "km/h" : "mph";
    units += (flags & 2) ? ",bar" : ",psi";
    units += (flags & 1) ? ",F" : ",C";
    return units;
  }
  return {};
}

std::string setup_note_first_line(const std::vector<std::string>& notes) {
  for (const std::string& note : notes) {
    std::string_view text = note;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
      text.remove_suffix(1);
    if (text.empty() || is_file_name_note(text)) continue;
    return std::string(text);
  }
  return {};
}

LapTiming timing_of(const LapRecord& lap, int64_t source) {
  return {source, lap.log_session, lap.lap_number, lap.lap_time, lap.segment_times};
}

std::vector<LapTiming> timings_of(const std::vector<LapRecord>& laps, int64_t source) {
  std::vector<LapTiming> out;
  out.reserve(laps.size());
  for (const LapRecord& lap : laps) out.push_back(timing_of(lap, source));
  return out;
}

SessionFigures figures_of(const std::vector<LapTiming>& laps) {
  SessionFigures f;
  f.lap_count = static_cast<int>(laps.size());
  if (const auto best = best_lap_index(laps)) {
    f.best_lap = laps[*best].lap_time;
    f.best_lap_number = laps[*best].lap_number;
  }
  if (const auto ideal = ideal_lap_of_best(laps)) f.ideal_lap = ideal->time;
  if (const auto c = consistency(laps)) {
    f.mean = c->mean;
    f.std_dev = c->std_dev;
  }
  return f;
}

double distance_between(double latitude1, double longitude1, double latitude2, double longitude2) {
  constexpr double kEarthRadius = 6371000.0;
  constexpr double kRadians = std::numbers::pi / 180.0;
  const double dlat = (latitude2 - latitude1) * kRadians;
  const double dlon = (longitude2 - longitude1) * kRadians;
  const double a = std::sin(dlat / 2) * std::sin(dlat / 2) +
                   std::cos(latitude1 * kRadians) * std::cos(latitude2 * kRadians) *
                       std::sin(dlon / 2) * std::sin(dlon / 2);
  return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

SessionRecord summarise_session(const DataSet& set, const UnitFlags& series_units,
                                const FileIdentity& file, std::string_view content) {
  SessionRecord r;
  r.file = file;
  SessionFacts& f = r.facts;
  const std::string name = std::filesystem::path(file.path).filename().string();
  const NamedDateTime when =
      date_time_from_name(name).value_or(date_time_from_mtime(file.mtime_ns));
  f.date = when.date;
  f.time = when.time;
  f.session_number = when.session_number;
  f.unit_identity = set.unit ? set.unit->identity_word : set.info.unit_identity_word;
  f.sample_rate = set.info.sample_rate == 20 ? 20 : 10;
  const long n = static_cast<long>(set.sample_count());
  f.duration = static_cast<double>(n) * sample_interval(set);
  const double metres_per_unit = series_units.distance_feet ? kFeetToMetres : 1.0;
  f.distance = set[Channel::Odo][n] * metres_per_unit;
  f.units = log_file_units(content);
  f.setup_note = setup_note_first_line(set.notes);

  const std::vector<LapTiming> timings = lap_timings(set, 0);
  const double kmh_per_unit = series_units.speed_kmh ? 1.0 : kMphToKmh;
  const Series& time = set[Channel::PeloTime];
  const Series& speed = set[Channel::Speed];
  const Series& rpm = set[Channel::Rpm];
  const Series& latitude = set[Channel::GpsLatitude];
  const Series& longitude = set[Channel::GpsLongitude];
  const bool gps = latitude.has_storage() && longitude.has_storage();
  double sum_latitude = 0, sum_longitude = 0;
  int fixes = 0;
  auto take_fix = [&](long k) {
    if (latitude[k] == 0 && longitude[k] == 0) return;
    sum_latitude += latitude[k];
    sum_longitude += longitude[k];
    ++fixes;
  };

  // One walk over the samples: each lap's samples run from the previous
  // lap's end (the sample at a lap's end time already belongs to the next).
  long k = 1;
  std::vector<double> lap_distances;
  r.laps.reserve(timings.size());
  for (size_t i = 0; i < timings.size(); ++i) {
    const LapEntry& entry = set.laps[i];
    LapRecord lap;
    lap.log_session = timings[i].session;
    lap.lap_number = timings[i].lap_number;
    lap.lap_time = timings[i].lap_time;
    lap.distance = entry.lap_distance;
    lap.segment_times = timings[i].segment_times;
    const int splits = static_cast<int>(lap.segment_times.size()) - 1;
    for (int s = 0; s < splits; ++s) lap.split_times.push_back(entry.split_times[s]);
    if (lap.lap_time > 0) {
      lap.average_speed = lap.distance / lap.lap_time * 3600.0 / 1000.0;
      lap_distances.push_back(lap.distance);
    }
    double max_speed = 0, max_rpm = 0;
    for (; k <= n && time[k] < entry.end_time; ++k) {
      max_speed = std::max(max_speed, speed[k]);
      max_rpm = std::max(max_rpm, rpm[k]);
    }
    if (gps && k <= n) take_fix(k);
    lap.max_speed = max_speed * kmh_per_unit;
    lap.max_rpm = max_rpm * 100.0;
    r.laps.push_back(std::move(lap));
  }
  if (gps && fixes == 0) {
    for (long j = 1; j <= n && fixes == 0; ++j) take_fix(j);
  }
  if (fixes > 0) {
    f.start_latitude = sum_latitude / fixes;
    f.start_longitude = sum_longitude / fixes;
  }
  f.lap_distance = median(std::move(lap_distances));
  r.figures = figures_of(timings);
  return r;
}

}  // namespace ardenvis::core
