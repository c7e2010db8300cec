#pragma once
// The session report: one PDF of one or two A4 pages for the session held in
// a data set, to print and keep in the set-up binder. What it says is decided
// here (which lap is drawn, which rows go on which page, every text); the
// windows and the command line only paint it.
//
// Page 1: the session's particulars with the best lap's track map beside
// them, the lap figures (best lap, ideal lap, consistency), the best lap's
// plot (engine speed, speed and gear against distance) and the first laps of
// the lap table. Page 2, when there is more to say: the rest of the lap
// table, the set-up notes and the set-up sheet.

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "viewer/lap_figures.h"

namespace ardenvis::core {

struct ReportOptions {
  // The log's session to report (its laps and samples); 0 reports every lap
  // and sample of the data set.
  int session = 0;
  // The file's modification time, for a log not saved under the unit's
  // date-and-time name.
  std::optional<std::time_t> file_time;
  // The venue the session library knows for this session, where it knows one.
  std::function<std::optional<std::string>(const DataSet& set, int session)> venue;
};

// One "label: value" line of the particulars.
struct ReportField {
  std::string label;
  std::string value;
};

struct ReportLapRow {
  std::string lap;       // "%d"
  std::string session;   // "%d"
  std::string time;      // "%.2f", or "-" without a time
  std::string gap;       // "+%.2f" to the best lap, empty for the best and laps without a time
  std::string distance;  // "%.1f" in the distance unit
  std::string average;   // "%.1f" in the speed unit, or "-"
  std::string note;      // "Best", "No time", "Over 107 %" or empty
  bool best = false;
};

// The best lap's plot: three traces against the distance from the lap's start.
struct ReportPlot {
  std::string title;           // "Best lap: lap 4, session 1"
  std::string distance_label;  // "Distance (m)" / "Distance (ft)"
  std::string speed_label;     // "Speed (MPH)" / "Speed (KMH)"
  std::vector<double> distance;
  std::vector<double> rpm;  // rpm (not hundreds)
  std::vector<double> speed;
  std::vector<double> gear;
};

struct ReportTrack {
  std::string caption;    // "Track map (GPS)" / "Track map (from speed and G)"
  std::vector<double> x;  // normalised 0..1 on the longer side
  std::vector<double> y;
  std::string problem;  // why there is no map, when there is none
};

struct ReportSetupRow {
  std::string label;
  std::string value;  // the fields joined by " / "
};
struct ReportSetupBlock {
  std::string heading;
  std::vector<ReportSetupRow> rows;
};

struct SessionReport {
  std::string title;  // "Ardenvis Session Report"
  std::vector<ReportField> particulars;
  std::vector<std::string> figures;  // best lap, ideal lap, consistency lines
  // The ideal lap's segments, each kept on one line: "Segment 1: 12.70 s
  // (lap 3, session 1)", or "S1 12.70" when there are more than
  // kFullSegmentEntries (they must fit three lines).
  std::vector<std::string> ideal_segments;
  std::optional<ReportPlot> plot;
  ReportTrack track;
  std::vector<std::string> lap_columns;  // header of the lap table
  std::vector<ReportLapRow> first_page_laps;
  std::vector<ReportLapRow> second_page_laps;
  std::string laps_left_out;            // "%d further laps not listed", or empty
  std::vector<std::string> notes;       // the set-up notes lines
  std::vector<ReportSetupBlock> setup;  // empty when the sheet is empty
  int page_count = 1;
  std::string footer;  // "%s - page %d of %d" is painted from it per page
};

inline constexpr size_t kFullSegmentEntries = 8;

// Lap rows that fit on each page (with the notes and sheet on page 2).
inline constexpr size_t kFirstPageLapRows = 16;
inline constexpr size_t kSecondPageLapRows = 30;

namespace report_message {
inline constexpr const char* no_data = "No Valid Data Loaded to Report";
inline constexpr const char* no_such_session = "No Laps or Samples in that Session";
inline constexpr const char* problem = "Problem Saving Session Report";
}  // namespace report_message

inline constexpr const char* kReportTitle = "Save Session Report";
inline constexpr const char* kReportFilter = "PDF document (*.pdf)|*.pdf";
inline constexpr const char* kReportExtension = ".pdf";
// "brands_report.pdf" for the log "brands.plr"; "report.pdf" without a name.
std::string report_default_name(const std::string& log_file_name);

// The report of data set `slot`, in the units in force; nullopt (with the
// reason in `problem`) when the slot holds no data or not the session asked for.
std::optional<SessionReport> build_session_report(const ProgramState& state, DataSetId slot,
                                                  const ReportOptions& options,
                                                  std::string* problem = nullptr);

// The date and time of a log: from a name the download gave it
// ("26y12d05m_14h05m_LogID_3.plr": 12/05/2026 14:05), otherwise from the
// file's modification time (local time); "Unknown" without either.
std::string log_date_text(const std::string& file_name, std::optional<std::time_t> file_time);

}  // namespace ardenvis::core
