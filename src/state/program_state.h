#pragma once
// Program-wide state: created once in main() and passed by reference to every
// window and routine that needs it. There are no mutable globals.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "common/host.h"
#include "state/camera_flash_data.h"
#include "state/config_buffer.h"
#include "state/data_set.h"
#include "state/log_index_table.h"
#include "state/unit_link.h"

namespace ardenvis::core {

// The kinds of file the program reads and writes; each remembers a folder and
// a default name, updated by every successful save or load of that kind.
enum class FileKind {
  LogData,
  SpreadsheetExport,
  Configuration,
  SetupNotes,
  PlotPicture,
  DisplayPreferences,
  ChannelLabels,
  LapExport,
  Video,
  Figure,         // a chart saved as PNG, SVG or PDF
  SessionReport,  // the PDF report of a session
};
inline constexpr int kFileKindCount = 11;

struct FileLocation {
  std::string folder;  // with trailing separator
  std::string name;
};

// Program-wide display units; all false at start.
struct UnitFlags {
  bool speed_kmh = false;
  bool pressure_bar = false;
  bool temperature_degf = false;
  bool distance_feet = false;
  bool operator==(const UnitFlags&) const = default;
};

// Gearing calculator parameters and their start-up values.
struct CalculatorParameters {
  int tyre_type = 0;
  int final_drive_type = 1;
  int drive_and_sensor_position = 3;
  int differential_ratio = 3210;  // thousandths
  int engine_sprocket_teeth = 15;
  int axle_sprocket_teeth = 44;
  std::array<int, 6> tyre_size_positions{};
  int front_tyre_diameter_mm = 450;
  int rear_tyre_diameter_mm = 550;
  int front_tyre_circumference_mm = 1600;
  int rear_tyre_circumference_mm = 1800;
};

enum class DataSetId : uint8_t { A = 1, B = 2 };

struct ProgramState;

// Told of every log data file the program saves or loads (the session
// library keeps its catalogue up to date this way). `series_units` are the
// units the slot's series hold at that moment; `content` is the file's text
// when the caller has it at hand (a load), nullptr when it must be read (a
// save).
class SessionFileListener {
 public:
  virtual ~SessionFileListener() = default;
  virtual void session_file(const std::string& path, const DataSet& set,
                            const UnitFlags& series_units, const std::string* content) = 0;
};

// Saves the current data set as a log data file, asking for the name.
using SaveLogDataFn = std::function<void(ProgramState& state, Host& host)>;

struct ProgramState {
  UnitLink link;

  std::array<FileLocation, kFileKindCount> files;
  FileLocation& file(FileKind kind) { return files[static_cast<size_t>(kind)]; }
  const FileLocation& file(FileKind kind) const { return files[static_cast<size_t>(kind)]; }

  DataSetId current_data_set = DataSetId::A;
  // The two data set slots, A then B.
  std::array<DataSet, 2> data_sets;
  DataSet& data_set(DataSetId id) { return data_sets[id == DataSetId::B ? 1 : 0]; }
  DataSet& current() { return data_set(current_data_set); }
  // The unit values the last download or log file load left (UnitIdentity is in
  // state/data_set.h): decoding reads the distance factor and the
  // pulses-per-revolution code from here whichever slot it works on.
  UnitIdentity identity;
  // The unit's log memory and session index as the last index read left them.
  LogIndex log_index;
  UnitFlags unit_flags;
  bool filter_when_loaded = true;

  // Viewer state started by start-up.
  int label_counter = 1;  // 1 = no labels
  int track_map_lap = 0;  // 0 = none
  // The viewer's "-3% Calibration": while set, the Speed series hold 0.97 x the
  // speed the unit logged (the export and the lap export read it).
  bool speed_calibration = false;

  CalculatorParameters calculator;
  // The configuration images, their staging copies and the values kept beside
  // them (version, memory size, pulses-per-revolution code, flags).
  ConfigState config;

  // Cancel flag of the "Log Analysis" window: set by the progress window's
  // "Cancel", by closing that window or by a watchdog; polled by the log
  // transfers, decoding and file loading.
  bool log_cancel = false;
  // Cancel flag of the "Configuration" window, set by the same progress window
  // "Cancel" and by the camera transfers' watchdog; polled by the camera
  // database load, upload and check.
  bool config_cancel = false;

  // The camera database last loaded from a file.
  TCameraFlashData camera;

  // Offered after a decoding fault ("Save to File ... ?"): saves the current data
  // set as a log data file. Empty until the log data file code is wired in.
  SaveLogDataFn save_log_data;

  // Told of every saved or loaded log data file; none when null.
  SessionFileListener* session_files = nullptr;
};

}  // namespace ardenvis::core
