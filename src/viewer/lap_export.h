#pragma once
// Lap export: one lap as a comma-separated file in the layout MoTeC's CSV
// import reads: 17 header lines (format, sample rate, lap time, a reference
// name, the channel names and units), then one row per sample of the lap:
// time and distance from the lap start, engine speed, lateral and longitudinal
// G, corrected speed and gear.
//
// MoTeC wants kilometres and km/h whatever the viewer shows, and the true
// speed: the unit displays 3 % above it, so unless "-3% Calibration" already
// took that off, it is taken off here.

#include <optional>
#include <string>

#include "common/host.h"
#include "common/text_file.h"
#include "state/program_state.h"
#include "viewer/lap_selection.h"

namespace ardenvis::core {

namespace lap_export_message {
inline constexpr const char* no_valid_lap = "No Valid Lap Data Selected";
}  // namespace lap_export_message

inline constexpr int kMotecHeaderLines = 17;

// The lap to export: its data set, its first and last sample index (as the lap
// selection holds them, without the beacon shift), session, lap number and
// lap time.
struct ExportLap {
  DataSetId slot = DataSetId::A;
  long start = 0;
  long end = -1;
  int session = 0;
  int lap_number = 0;
  double lap_time = 0;
};

// The lap a lap selection holds ("Lap Selection 1" / "Lap Selection 2"),
// or nullopt when it holds none.
std::optional<ExportLap> export_lap(const LapSelection& selection);

// "Session_%d_Lap_%d": the reference name, and with ".csv" the offered file name.
std::string lap_reference_name(const ExportLap& lap);

// One sample row of the lap, i from lap.start: "%.2f,%.3f,%.0f,%.2f,%.2f,%.1f,%.0f",
// except that a G Lat field printing as zero prints "0.00", never "-0.00".
std::string motec_row(const DataSet& set, long start, long i, const UnitFlags& flags,
                      bool speed_calibration);

// The whole file: header lines, then rows start..end (none when end < start).
void write_motec_lap(AtomicTextWriter& out, const DataSet& set, const ExportLap& lap,
                     const UnitFlags& flags, bool speed_calibration);

// save_lap_data ("Export Lap"): `lap` is the chosen selection's lap, nullopt
// when the selection holds none. Checks the lap's data set, asks the file
// name, writes the file. True after "File Saved OK".
bool save_lap_data(ProgramState& state, Host& host, const std::optional<ExportLap>& lap);

}  // namespace ardenvis::core
