#pragma once
// The spreadsheet export (".csv"): the current data set as comma-separated text
// for a spreadsheet program: the setup notes, the lap tables (split times,
// split sample indexes, segment times), the raw CAN frames, a CAN load summary
// and one line per sample in the units the viewer shows.

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/host.h"
#include "common/text_file.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace file_message {
inline constexpr const char* preference_question =
    "Load Display Preference File for Sensor Module Channel IDs?";
}  // namespace file_message

// A column appended to the sample lines after the standard ones (a math
// channel): its header, and its value at sample k as values[k - 1], written
// with up to 10 significant digits; a NaN, or a sample beyond the values,
// leaves the field empty.
struct CsvExtraColumn {
  std::string header;
  std::vector<double> values;
};

struct CsvExportOptions {
  // The viewer's display preference file load, run when the user accepts the
  // question; empty where there is no viewer.
  std::function<void(ProgramState&, Host&)> load_display_preferences;
  std::vector<CsvExtraColumn> extra_columns;
};

// Asks the preference question and a file name, and exports the current data
// set in the units the viewer shows (the unit flags and "-3% Calibration" of
// the program state). True after "File Saved OK".
bool save_csv_data(ProgramState& state, Host& host, const CsvExportOptions& options);

// Writes every section of the export for `set`; the series are taken to be in
// the units `flags` name.
void write_csv(AtomicTextWriter& out, const DataSet& set, const UnitFlags& flags,
               bool speed_calibration_removed, Host& host,
               std::span<const CsvExtraColumn> extra_columns = {});

// The sample indexes a lap starts and stops at, from its end time and lap time
// and the slot's sample rate: rounded to the nearest, ties to even, and never
// negative.
struct LapSampleRange {
  int start;
  int stop;
};
LapSampleRange lap_sample_range(const LapEntry& lap, uint8_t sample_rate);

struct CanLoadSummary {
  double maximum, minimum, mean, variance;
};
CanLoadSummary can_load_summary(const DataSet& set);

}  // namespace ardenvis::core
