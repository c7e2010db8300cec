#include "viewer/session_report.h"

#include <algorithm>
#include <cmath>

#include "common/format.h"
#include "files/log_file.h"
#include "files/setup_notes.h"
#include "logger/data_set_units.h"
#include "logger/download.h"
#include "viewer/lap_selection.h"
#include "viewer/track_map.h"

namespace ardenvis::core {

namespace {

// The lap table entries the figures see, in record order: those of
// `session`, or all when it is 0 (the same laps lap_timings takes).
std::vector<size_t> reported_entries(const DataSet& set, int session) {
  std::vector<size_t> entries;
  const size_t count = std::min<size_t>(set.lap_count(), set.laps.size());
  for (size_t i = 0; i < count; ++i) {
    if (session > 0 && set.laps[i].session != session) continue;
    entries.push_back(i);
  }
  return entries;
}

// First and last sample of the session (1-based), or nullopt without one.
std::optional<std::pair<long, long>> session_samples(const DataSet& set, int session) {
  const long n = static_cast<long>(
      std::min<uint32_t>(set.sample_count(), static_cast<uint32_t>(set[Channel::PeloTime].size())));
  if (n < 1) return std::nullopt;
  if (session <= 0) return std::pair<long, long>{1, n};
  const Series& sessions = set[Channel::Session];
  long first = 0;
  long last = 0;
  for (long i = 1; i <= n; ++i) {
    if (static_cast<int>(std::lround(sessions[i])) != session) continue;
    if (first == 0) first = i;
    last = i;
  }
  if (first == 0) return std::nullopt;
  return std::pair<long, long>{first, last};
}

std::string duration_text(double seconds) {
  const long whole = std::max(0L, std::lround(seconds));
  return format("%ld:%.2ld:%.2ld", whole / 3600, whole / 60 % 60, whole % 60);
}

std::string distance_text(double distance, bool feet) {
  if (feet) return format("%.2f mi", distance / 5280.0);
  return format("%.2f km", distance / 1000.0);
}

std::string unit_text(const DataSet& set) {
  std::string text;
  if (set.unit) text = format("type %d, ", set.unit->unit_type);
  text += format("firmware %d.%.2d, ", set.info.firmware_major, set.info.firmware_minor);
  if (set.unit) text += format("identity %d, ", set.unit->identity_word);
  return text + format("%d samples/s", set.info.sample_rate == 20 ? 20 : 10);
}

std::string sessions_text(const std::vector<LapTiming>& laps) {
  std::vector<int> sessions;
  for (const LapTiming& lap : laps) {
    if (std::find(sessions.begin(), sessions.end(), lap.session) == sessions.end()) {
      sessions.push_back(lap.session);
    }
  }
  if (sessions.empty()) return "-";
  std::string text;
  for (int s : sessions) text += (text.empty() ? "" : ", ") + std::to_string(s);
  return text;
}

ReportLapRow lap_row(const LapEntry& entry, const LapTiming& lap, std::optional<double> best,
                     bool in_window, bool is_best, bool feet, bool kmh) {
  ReportLapRow row;
  row.lap = format("%d", lap.lap_number);
  row.session = format("%d", lap.session);
  row.distance = format("%.1f", entry.lap_distance * (feet ? kMetresToFeet : 1.0));
  row.best = is_best;
  if (!has_time(lap)) {
    row.time = "-";
    row.average = "-";
    row.note = "No time";
    return row;
  }
  row.time = format("%.2f", lap.lap_time);
  const double kmh_average = entry.lap_distance / lap.lap_time * 3.6;
  row.average = format("%.1f", kmh ? kmh_average : kmh_average * kKmhToMph);
  if (is_best) {
    row.note = "Best";
  } else {
    if (best) row.gap = format("+%.2f", lap.lap_time - *best);
    if (!in_window) row.note = "Over 107 %";
  }
  return row;
}

ReportPlot best_lap_plot(const DataSet& set, const LapEntry& entry, long start, long end,
                         const UnitFlags& units) {
  ReportPlot plot;
  plot.title = format("Best lap: lap %d, session %d", entry.lap_number, entry.session);
  plot.distance_label = units.distance_feet ? "Distance (ft)" : "Distance (m)";
  plot.speed_label = "Speed (" + speed_unit(units) + ")";
  const Series& odo = set[Channel::Odo];
  for (long i = start; i <= end; ++i) {
    plot.distance.push_back(odo[i] - odo[start]);
    plot.rpm.push_back(set[Channel::Rpm][i] * 100.0);
    plot.speed.push_back(set[Channel::Speed][i]);
    plot.gear.push_back(set[Channel::Gear][i] / 10.0);
  }
  return plot;
}

ReportTrack best_lap_track(const ProgramState& state, DataSetId slot, const DataSet& set,
                           const LapRange& range) {
  LapSelection selection;
  selection.has_lap = true;
  selection.slot = slot;
  selection.start = range.start;
  selection.end = range.end;
  selection.sample_count = range.end - range.start + 1;
  selection.dt = selection_sample_interval(set);
  ReportTrack track;
  // The logged position where the unit had a fix, else the reconstruction.
  TrackOptions options;
  options.source = TrackSource::GpsData;
  TrackCoordinates coordinates = processTrackData(state, selection, options);
  track.caption = "Track map (GPS)";
  if (!coordinates.drawable()) {
    options.source = TrackSource::GData;
    coordinates = processTrackData(state, selection, options);
    track.caption = "Track map (from speed and G)";
  }
  if (!coordinates.drawable()) {
    track.problem = coordinates.problem.empty() ? track_problem::no_samples : coordinates.problem;
    return track;
  }
  track.x = std::move(coordinates.x);
  track.y = std::move(coordinates.y);
  return track;
}

std::vector<ReportSetupBlock> setup_sheet(const DataSet& set) {
  const bool any = std::any_of(set.setup_texts.begin(), set.setup_texts.begin() + kSetupFieldCount,
                               [](const std::string& text) { return !text.empty(); });
  std::vector<ReportSetupBlock> blocks;
  if (!any) return blocks;
  struct Named {
    SetupBlockId id;
    const char* heading;  // the sheet's rear blocks have no heading of their own
  };
  const Named named[] = {{SetupBlockId::FrontLeft, "Front Left"},
                         {SetupBlockId::FrontRight, "Front Right"},
                         {SetupBlockId::RearLeft, "Rear Left"},
                         {SetupBlockId::RearRight, "Rear Right"},
                         {SetupBlockId::General, "General"}};
  for (const Named& n : named) {
    const SetupBlock& block = setup_block(n.id);
    ReportSetupBlock out{n.heading, {}};
    for (const SetupRow& row : block.rows) {
      std::string value;
      for (int k : row.texts) {
        if (k == 0) break;
        const std::string& text = set.setup_texts[static_cast<size_t>(k - 1)];
        value += (value.empty() ? "" : " / ") + (text.empty() ? std::string("-") : text);
      }
      if (block.temperature_columns && row.texts[2] != 0) {
        // The sheet spaces its column letters out over the fields; one space
        // between them will do here.
        std::string columns;
        for (const char c : std::string_view(block.temperature_columns)) {
          if (c != ' ' || (!columns.empty() && columns.back() != ' ')) columns += c;
        }
        out.rows.push_back({std::string(row.label) + " (" + columns + ")", value});
      } else {
        out.rows.push_back({row.label, value});
      }
    }
    blocks.push_back(std::move(out));
  }
  return blocks;
}

}  // namespace

std::string report_default_name(const std::string& log_file_name) {
  const size_t slash = log_file_name.find_last_of("/\\");
  std::string stem = log_file_name.substr(slash == std::string::npos ? 0 : slash + 1);
  const size_t dot = stem.rfind('.');
  if (dot != std::string::npos) stem.erase(dot);
  return stem.empty() ? std::string("report.pdf") : stem + "_report.pdf";
}

std::string log_date_text(const std::string& file_name, std::optional<std::time_t> file_time) {
  if (const auto named = automatic_name_date(file_name)) {
    return format("%.2d/%.2d/%d %.2d:%.2d", named->day, named->month, named->year, named->hour,
                  named->minute);
  }
  if (file_time) {
    std::tm local{};
    if (localtime_r(&*file_time, &local)) {
      return format("%.2d/%.2d/%d %.2d:%.2d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
                    local.tm_hour, local.tm_min);
    }
  }
  return "Unknown";
}

std::optional<SessionReport> build_session_report(const ProgramState& state, DataSetId slot,
                                                  const ReportOptions& options,
                                                  std::string* problem) {
  const DataSet& set = state.data_sets[slot == DataSetId::B ? 1 : 0];
  auto refuse = [&](const char* why) {
    if (problem) *problem = why;
    return std::nullopt;
  };
  if (!set.has_data()) return refuse(report_message::no_data);
  const auto samples = session_samples(set, options.session);
  const std::vector<size_t> entries = reported_entries(set, options.session);
  if (!samples && entries.empty()) return refuse(report_message::no_such_session);
  const std::vector<LapTiming> laps = lap_timings(set, 0, options.session);
  const UnitFlags& units = state.unit_flags;

  SessionReport report;
  report.title = "Ardenvis Session Report";
  report.footer = set.file_name.empty() ? std::string("Ardenvis") : set.file_name;
  auto add = [&](const char* label, std::string value) {
    report.particulars.push_back({label, std::move(value)});
  };
  add("File", set.file_name.empty() ? std::string("-") : set.file_name);
  add("Date", log_date_text(set.file_name, options.file_time));
  if (options.venue) {
    if (auto venue = options.venue(set, options.session)) add("Venue", *venue);
  }
  add("Session", options.session > 0 ? std::to_string(options.session) : sessions_text(laps));
  add("Unit", unit_text(set));
  if (samples) {
    const Series& time = set[Channel::PeloTime];
    const Series& odo = set[Channel::Odo];
    add("Duration", duration_text(time[samples->second] - time[samples->first]));
    add("Distance", distance_text(odo[samples->second] - odo[samples->first], units.distance_feet));
  }
  const long timed = std::count_if(laps.begin(), laps.end(), has_time);
  add("Laps", format("%d (%ld with a time)", static_cast<int>(laps.size()), timed));

  // The figures.
  const std::optional<size_t> best = best_lap_index(laps);
  const std::optional<double> best_time =
      best ? std::optional<double>(laps[*best].lap_time) : std::nullopt;
  if (best) {
    report.figures.push_back(format("Best lap: %.2f s (lap %d, session %d)", laps[*best].lap_time,
                                    laps[*best].lap_number, laps[*best].session));
  } else {
    report.figures.push_back("Best lap: no lap with a time");
  }
  if (const auto ideal = ideal_lap_of_best(laps)) {
    report.figures.push_back(format("Ideal lap: %.2f s (best segments of the laps with %d splits)",
                                    ideal->time, ideal->split_count));
    const bool full = ideal->segments.size() <= kFullSegmentEntries;
    for (size_t k = 0; k < ideal->segments.size(); ++k) {
      const IdealSegment& segment = ideal->segments[k];
      const int number = static_cast<int>(k) + 1;
      report.ideal_segments.push_back(full ? format("Segment %d: %.2f s (lap %d, session %d)",
                                                    number, segment.time, segment.lap_number,
                                                    segment.session)
                                           : format("S%d %.2f", number, segment.time));
    }
  } else if (best) {
    report.figures.push_back("Ideal lap: the best lap logged no splits");
  }
  if (const auto figures = consistency(laps)) {
    report.figures.push_back(
        format("Consistency: mean %.2f s, standard deviation %.2f s (%d laps within 107 %% of "
               "the best)",
               figures->mean, figures->std_dev, figures->lap_count));
  }

  // The lap table.
  report.lap_columns = {"Lap",
                        "Session",
                        "Time (s)",
                        "Gap (s)",
                        units.distance_feet ? "Distance (ft)" : "Distance (m)",
                        "Avg " + speed_unit(units),
                        ""};
  std::vector<ReportLapRow> rows;
  for (size_t i = 0; i < laps.size(); ++i) {
    const bool in_window =
        best_time && has_time(laps[i]) && laps[i].lap_time <= *best_time * kConsistencyWindow;
    rows.push_back(lap_row(set.laps[entries[i]], laps[i], best_time, in_window, best && *best == i,
                           units.distance_feet, units.speed_kmh));
  }
  const size_t first = std::min(rows.size(), kFirstPageLapRows);
  const size_t second = std::min(rows.size() - first, kSecondPageLapRows);
  report.first_page_laps.assign(rows.begin(), rows.begin() + static_cast<long>(first));
  report.second_page_laps.assign(rows.begin() + static_cast<long>(first),
                                 rows.begin() + static_cast<long>(first + second));
  if (rows.size() > first + second) {
    report.laps_left_out =
        format("%d further laps not listed", static_cast<int>(rows.size() - first - second));
  }

  // The best lap's plot and track map.
  if (best) {
    const LapEntry& entry = set.laps[entries[*best]];
    const LapRange range = lap_sample_range(entry, selection_sample_interval(set),
                                            static_cast<long>(set.sample_count()));
    if (range.end > range.start) {
      report.plot = best_lap_plot(set, entry, range.start, range.end, units);
      report.track = best_lap_track(state, slot, set, range);
    } else {
      report.track.problem = track_problem::no_samples;
    }
  } else {
    report.track.problem = "No lap with a time to draw";
  }

  report.notes = set.notes;
  // A loaded log's first line ("// Filename: ...") comes back as a notes
  // line; the report names the file already.
  if (!report.notes.empty() && is_file_name_note(report.notes.front())) {
    report.notes.erase(report.notes.begin());
  }
  report.setup = setup_sheet(set);
  const bool second_page =
      !report.second_page_laps.empty() || !report.notes.empty() || !report.setup.empty();
  report.page_count = second_page ? 2 : 1;
  return report;
}

}  // namespace ardenvis::core
