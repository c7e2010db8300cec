#include "viewer/lap_export.h"

#include "common/format.h"
#include "files/file_dialogs.h"
#include "logger/data_set_units.h"

namespace ardenvis::core {
namespace {

constexpr const char* kTitle = "Save Lap Data .csv Data";
constexpr const char* kFilter = "Comma Seperated Variable files (*.csv)";
constexpr const char* kExtension = ".csv";

constexpr double kKilometresPerMetre = 0.001;
constexpr double kKilometresPerFoot = 0.0003048;

// The lateral column is the stored value with its sign inverted, so every
// small positive reading (smoothing leaves many) would print "-0.00", which
// only confuses a spreadsheet reader. The rule is on the printed text: a
// field that prints as zero prints "0.00".
std::string g_lat_field(double value) {
  std::string text = format("%.2f", value);
  if (text == "-0.00") text.erase(0, 1);
  return text;
}

}  // namespace

std::optional<ExportLap> export_lap(const LapSelection& selection) {
  if (!selection.has_lap) return std::nullopt;
  // The lap as it was logged: the beacon shift only slides the overlay.
  return ExportLap{selection.slot,    selection.start,      selection.end,
                   selection.session, selection.lap_number, selection.lap_time};
}

std::string lap_reference_name(const ExportLap& lap) {
  return format("Session_%d_Lap_%d", lap.session, lap.lap_number);
}

std::string motec_row(const DataSet& set, long start, long i, const UnitFlags& flags,
                      bool speed_calibration) {
  const double time = set[Channel::PeloTime][i] - set[Channel::PeloTime][start];
  const double distance = (set[Channel::Odo][i] - set[Channel::Odo][start]) *
                          (flags.distance_feet ? kKilometresPerFoot : kKilometresPerMetre);
  double speed = set[Channel::Speed][i] * (flags.speed_kmh ? 1.0 : kMphToKmh);
  if (!speed_calibration) speed *= kSpeedCalibration;
  return format("%.2f,%.3f,%.0f,%s,%.2f,%.1f,%.0f", time, distance, set[Channel::Rpm][i] * 100,
                g_lat_field(-set[Channel::GLat][i] / 10).c_str(), set[Channel::GLong][i] / 10,
                speed, set[Channel::Gear][i] / 10);
}

void write_motec_lap(AtomicTextWriter& out, const DataSet& set, const ExportLap& lap,
                     const UnitFlags& flags, bool speed_calibration) {
  out.line("Format, MoTeC CSV File");
  for (int i = 2; i <= 8; ++i) out.line("");
  out.line(format("Sample Rate,%d", set.info.sample_rate));
  out.line(format("Lap Time,%.2f", lap.lap_time));
  out.line(format("Reference,%s", lap_reference_name(lap).c_str()));
  out.line("");
  out.line(",,RPM,G Lat,G Long,CorrSpd,Gear");
  out.line(
      "Time,Distance,Engine RPM,G Force - Lateral,G Force - Longitudinal,Corrected Speed,Gear");
  out.line("sec,km,rpm,G,G,km/h,");
  out.line("");
  out.line("");
  for (long i = lap.start; i <= lap.end; ++i) {
    out.line(motec_row(set, lap.start, i, flags, speed_calibration));
  }
}

bool save_lap_data(ProgramState& state, Host& host, const std::optional<ExportLap>& lap) {
  const auto refuse = [&] {
    host.message(MessageKind::Information, lap_export_message::no_valid_lap, Buttons::Ok);
    return false;
  };
  if (!lap) return refuse();
  const DataSet& set = state.data_set(lap->slot);
  if (set.download_state == 0 || set.lap_count() == 0) return refuse();

  FileLocation& location = state.file(FileKind::LapExport);
  // The dialog offers the lap's own name in the remembered folder.
  FileLocation offered{location.folder, lap_reference_name(*lap) + kExtension};
  const auto file = save_text_file(
      host, offered, kTitle, kFilter, kExtension, [&](AtomicTextWriter& out, const ChosenFile&) {
        write_motec_lap(out, set, *lap, state.unit_flags, state.speed_calibration);
        return true;
      });
  if (!file) return false;
  location = offered;  // the chosen folder and name, as the save remembered them
  host.message(MessageKind::Information, file_message::file_saved_ok, Buttons::Ok);
  return true;
}

}  // namespace ardenvis::core
