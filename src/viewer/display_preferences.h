#pragma once
// Display preferences (".cfg"): how the user likes the plot laid out: which
// channels are shown, their colours, line styles, grid, units, the slip traces
// and the load-time filter. The viewer loads "default.cfg" from the preference
// folder every time it opens, and any file from the "Display Preferences" box.
//
// The file is 70 lines, one value a line: colours as the decimal 0x00BBGGRR
// number, booleans "TRUE"/"FALSE", choices as the position in their list. A few
// lines hold constants kept for the layout's sake. Older program versions wrote
// fewer lines; such a file loads as far as it goes and the user is asked to
// save it again.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/text_file.h"
#include "state/program_state.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {

namespace preference_message {
inline constexpr const char* loaded = "Display Preferences Loaded";
inline constexpr const char* old_format = "Old Preference File Format, Please Re-Save to Update";
inline constexpr const char* using_standard = "Using Standard Display Preferences";
inline constexpr const char* not_loaded = "Display Preferences Not Loaded";
inline constexpr const char* invalid_not_loaded =
    "Invalid Filename, Display Preferences Not Loaded";
inline constexpr const char* missing = "Filename Does Not Exist, Display Preferences Not Loaded";
inline constexpr const char* file_problem = "File Problem! Display Preferences Not Loaded";
inline constexpr const char* cancelled_not_saved = "Cancelled, Display Preferences Not Saved";
inline constexpr const char* invalid_not_saved = "Invalid Filename, Display Preferences Not Saved";
inline constexpr const char* already_open = "File Already Open, Display Preferences Not Saved";
// The user declined to overwrite an existing file.
inline constexpr const char* not_saved = "Display Preferences Not Saved";
}  // namespace preference_message

inline constexpr int kPreferenceLineCount = 70;
inline constexpr const char* kDefaultPreferenceFile = "default.cfg";

// Choice lists as the controls hold them; a preference line stores the position.
inline constexpr int kLineStyleChoices = 3;      // "Solid Line", "Dotted Line", "Points"
inline constexpr int kGridEnableChoices = 3;     // "Off", "Axis1", "Axis2"
inline constexpr int kGridLinesChoices = 3;      // "Vert + Horiz Grid", "Vertical Only ", ...
inline constexpr int kTimeSlipScaleChoices = 4;  // "x1", "x10", "x100", "x1000"
inline constexpr int kOdoSlipScaleChoices = 3;   // "x1", "x10", "x100"

struct SlipTracePreference {
  uint32_t colour = 0;
  int scale = 0;  // "Scale" choice position
  bool shown = false;
  bool operator==(const SlipTracePreference&) const = default;
};

// Everything a preference file holds, as the viewer's controls show it.
struct DisplayPreferences {
  // Per row of the channel table (plot_channels()).
  std::array<uint32_t, kPlotChannelCount> colour_a{};
  std::array<uint32_t, kPlotChannelCount> colour_b{};
  std::array<bool, kPlotChannelCount> shown{};
  int line_a = 0;  // "Data A Line" choice
  int line_b = 1;  // "Data B Line" choice
  int grid_enable = 1;
  int grid_lines = 0;
  UnitFlags units;                 // the "Options" page's four unit choices
  bool speed_calibration = false;  // "-3% Calibration"
  SlipTracePreference time_slip{colour::red, 0, false};
  SlipTracePreference odo_slip{colour::fuchsia, 0, false};
  bool filter_when_loaded = true;  // "Filter when Data Loaded"

  // The window's start-up state.
  static DisplayPreferences defaults();
  bool operator==(const DisplayPreferences&) const = default;
};

// The 70 lines of a preference file.
void write_preferences(AtomicTextWriter& out, const DisplayPreferences& preferences);

// Reads a preference file's text line by line on top of `current`. Lines read
// before the first one that cannot be converted (a number expected and the line
// is not one, or the text ends early) are applied; the rest keep their values.
// A choice outside its list keeps the control's value and reading goes on.
struct PreferenceRead {
  DisplayPreferences values;
  int lines_applied = 0;  // 0..70
  bool complete() const { return lines_applied == kPreferenceLineCount; }
};
PreferenceRead read_preferences(std::string_view text, const DisplayPreferences& current);

// Makes the program follow preferences as the user's own changes of the unit
// choices, "-3% Calibration" and "Filter when Data Loaded" would: a unit that
// differs converts the loaded data sets, one that agrees changes nothing.
// True when any series was converted.
bool apply_preferences(ProgramState& state, const DisplayPreferences& preferences);

enum class PreferenceLoad { NotLoaded, Loaded, OldFormat };
// Where a load comes from: the "Load File" button (a dialog, every outcome
// reported) or the window being shown ("default.cfg" in the preference folder,
// only a missing file and an old layout reported).
enum class PreferenceSource { LoadButton, WindowShown };

// load_cfg_data: reads a preference file into `preferences` (the controls'
// present values on entry) and applies it to the program. Loaded means the
// caller redraws the plot; OldFormat means what loaded stays but no redraw.
PreferenceLoad load_cfg_data(ProgramState& state, Host& host, DisplayPreferences& preferences,
                             PreferenceSource source);

// save_cfg_data: asks a file name and writes the 70 lines. True after
// "File Saved OK".
bool save_cfg_data(ProgramState& state, Host& host, const DisplayPreferences& preferences);

}  // namespace ardenvis::core
