#include "viewer/display_preferences.h"

#include "common/format.h"
#include "common/number_text.h"
#include "files/file_dialogs.h"
#include "logger/data_set_units.h"

namespace ardenvis::core {
namespace {

constexpr const char* kLoadTitle = "Load Display Preferences";
constexpr const char* kLoadFilter = "Display Preference files (*.cfg)";
constexpr const char* kSaveTitle = "Save Display Preferences";
constexpr const char* kSaveFilter = "Display Preference Files (*.cfg)";
constexpr const char* kExtension = ".cfg";

// What one line of the file holds.
enum class Field : uint8_t {
  ColourA,  // colour of a channel row, Data A
  ColourB,
  Shown,  // a channel row's check box
  LineA,
  LineB,
  GridEnable,
  GridLines,
  SpeedUnit,
  DistanceUnit,
  TemperatureUnit,
  PressureUnit,
  Calibration,
  TimeSlipColour,
  TimeSlipScale,
  TimeSlipShown,
  OdoSlipColour,
  OdoSlipScale,
  OdoSlipShown,
  Filter,
  ConstantOne,   // written "1", skipped on reading
  ConstantTrue,  // written "TRUE", skipped on reading
};

struct Line {
  Field field;
  Channel channel = Channel::Rpm;  // for the per-row fields
};

using C = Channel;
using F = Field;
constexpr std::array<Line, kPreferenceLineCount> kLines{{
    {F::ColourA, C::Rpm},          // 1
    {F::ColourA, C::Speed},        // 2
    {F::ColourA, C::Gear},         // 3
    {F::ColourA, C::Brake},        // 4
    {F::ColourA, C::OilPressure},  // 5
    {F::ColourA, C::OilTemp},      // 6
    {F::ColourA, C::WaterTemp},    // 7
    {F::ColourA, C::Fuel},         // 8
    {F::ColourA, C::Battery},      // 9
    {F::ColourB, C::Rpm},          // 10
    {F::ColourB, C::Speed},        // 11
    {F::ColourB, C::Gear},         // 12
    {F::ColourB, C::Brake},        // 13
    {F::ColourB, C::OilPressure},  // 14
    {F::ColourB, C::OilTemp},      // 15
    {F::ColourB, C::WaterTemp},    // 16
    {F::ColourB, C::Fuel},         // 17
    {F::ColourB, C::Battery},      // 18
    {F::ConstantOne},              // 19
    {F::ConstantOne},              // 20
    {F::ColourA, C::LapTime},      // 21
    {F::ColourB, C::LapTime},      // 22
    {F::ConstantOne},              // 23
    {F::ConstantOne},              // 24
    {F::ColourA, C::GLat},         // 25
    {F::ColourB, C::GLat},         // 26
    {F::ColourA, C::GLong},        // 27
    {F::ColourB, C::GLong},        // 28
    {F::ColourA, C::AuxPressure},  // 29
    {F::ColourB, C::AuxPressure},  // 30
    {F::Shown, C::Rpm},            // 31
    {F::Shown, C::Speed},          // 32
    {F::Shown, C::Gear},           // 33
    {F::Shown, C::Brake},          // 34
    {F::Shown, C::OilPressure},    // 35
    {F::Shown, C::OilTemp},        // 36
    {F::Shown, C::WaterTemp},      // 37
    {F::Shown, C::Fuel},           // 38
    {F::Shown, C::AuxPressure},    // 39
    {F::Shown, C::Battery},        // 40
    {F::ConstantTrue},             // 41
    {F::Shown, C::LapTime},        // 42
    {F::ConstantTrue},             // 43
    {F::Shown, C::GLat},           // 44
    {F::Shown, C::GLong},          // 45
    {F::LineA},                    // 46
    {F::LineB},                    // 47
    {F::GridEnable},               // 48
    {F::GridLines},                // 49
    {F::SpeedUnit},                // 50
    {F::DistanceUnit},             // 51
    {F::TemperatureUnit},          // 52
    {F::PressureUnit},             // 53
    {F::Calibration},              // 54
    {F::ColourA, C::Odo},          // 55
    {F::ColourB, C::Odo},          // 56
    {F::Shown, C::Odo},            // 57
    {F::ConstantOne},              // 58
    {F::ConstantOne},              // 59
    {F::ConstantTrue},             // 60
    {F::ConstantOne},              // 61
    {F::ConstantOne},              // 62
    {F::ConstantTrue},             // 63
    {F::TimeSlipColour},           // 64
    {F::TimeSlipScale},            // 65
    {F::TimeSlipShown},            // 66
    {F::OdoSlipColour},            // 67
    {F::OdoSlipScale},             // 68
    {F::OdoSlipShown},             // 69
    {F::Filter},                   // 70
}};

size_t row_of(Channel channel) { return static_cast<size_t>(plot_channel_row(channel)); }

const char* boolean_text(bool value) { return value ? "TRUE" : "FALSE"; }

// A colour value the selectors can hold: the 0x00BBGGRR range. Other numbers
// (system colour codes of other programs) leave the colour as it was.
void set_colour(uint32_t& colour, long long value) {
  if (value >= 0 && value <= 0xFFFFFF) colour = static_cast<uint32_t>(value);
}

// A choice position inside its list; anything else leaves the control alone.
void set_choice(int& choice, long long value, int choices) {
  if (value >= 0 && value < choices) choice = static_cast<int>(value);
}

bool is_number_field(Field field) {
  switch (field) {
    case F::Shown:
    case F::Calibration:
    case F::TimeSlipShown:
    case F::OdoSlipShown:
    case F::Filter:
    case F::ConstantTrue:
    case F::ConstantOne:
      return false;
    default:
      return true;
  }
}

}  // namespace

DisplayPreferences DisplayPreferences::defaults() {
  DisplayPreferences p;
  const auto rows = plot_channels();
  for (size_t i = 0; i < rows.size(); ++i) {
    p.colour_a[i] = rows[i].colour_a;
    p.colour_b[i] = rows[i].colour_b;
    p.shown[i] = rows[i].checked_at_start;
  }
  return p;
}

void write_preferences(AtomicTextWriter& out, const DisplayPreferences& p) {
  for (const Line& line : kLines) {
    const size_t row = row_of(line.channel);
    switch (line.field) {
      case F::ColourA:
        out.line(format("%u", p.colour_a[row]));
        break;
      case F::ColourB:
        out.line(format("%u", p.colour_b[row]));
        break;
      case F::Shown:
        out.line(boolean_text(p.shown[row]));
        break;
      case F::LineA:
        out.line(format("%d", p.line_a));
        break;
      case F::LineB:
        out.line(format("%d", p.line_b));
        break;
      case F::GridEnable:
        out.line(format("%d", p.grid_enable));
        break;
      case F::GridLines:
        out.line(format("%d", p.grid_lines));
        break;
      case F::SpeedUnit:
        out.line(p.units.speed_kmh ? "1" : "0");
        break;
      case F::DistanceUnit:
        out.line(p.units.distance_feet ? "1" : "0");
        break;
      case F::TemperatureUnit:
        out.line(p.units.temperature_degf ? "1" : "0");
        break;
      case F::PressureUnit:
        out.line(p.units.pressure_bar ? "1" : "0");
        break;
      case F::Calibration:
        out.line(boolean_text(p.speed_calibration));
        break;
      case F::TimeSlipColour:
        out.line(format("%u", p.time_slip.colour));
        break;
      case F::TimeSlipScale:
        out.line(format("%d", p.time_slip.scale));
        break;
      case F::TimeSlipShown:
        out.line(boolean_text(p.time_slip.shown));
        break;
      case F::OdoSlipColour:
        out.line(format("%u", p.odo_slip.colour));
        break;
      case F::OdoSlipScale:
        out.line(format("%d", p.odo_slip.scale));
        break;
      case F::OdoSlipShown:
        out.line(boolean_text(p.odo_slip.shown));
        break;
      case F::Filter:
        out.line(boolean_text(p.filter_when_loaded));
        break;
      case F::ConstantOne:
        out.line("1");
        break;
      case F::ConstantTrue:
        out.line("TRUE");
        break;
    }
  }
}

PreferenceRead read_preferences(std::string_view text, const DisplayPreferences& current) {
  PreferenceRead read{current, 0};
  DisplayPreferences& p = read.values;
  LineReader lines(text);
  for (const Line& line : kLines) {
    std::string_view content;
    if (!lines.next(content)) break;  // an older, shorter layout
    long long number = 0;
    if (is_number_field(line.field)) {
      const auto value = parse_integer(content);
      if (!value) break;
      number = *value;
    }
    const bool checked = content == "TRUE";
    const size_t row = row_of(line.channel);
    switch (line.field) {
      case F::ColourA:
        set_colour(p.colour_a[row], number);
        break;
      case F::ColourB:
        set_colour(p.colour_b[row], number);
        break;
      case F::Shown:
        p.shown[row] = checked;
        break;
      case F::LineA:
        set_choice(p.line_a, number, kLineStyleChoices);
        break;
      case F::LineB:
        set_choice(p.line_b, number, kLineStyleChoices);
        break;
      case F::GridEnable:
        set_choice(p.grid_enable, number, kGridEnableChoices);
        break;
      case F::GridLines:
        set_choice(p.grid_lines, number, kGridLinesChoices);
        break;
      case F::SpeedUnit:
        if (number == 0 || number == 1) p.units.speed_kmh = number == 1;
        break;
      case F::DistanceUnit:
        if (number == 0 || number == 1) p.units.distance_feet = number == 1;
        break;
      case F::TemperatureUnit:
        if (number == 0 || number == 1) p.units.temperature_degf = number == 1;
        break;
      case F::PressureUnit:
        if (number == 0 || number == 1) p.units.pressure_bar = number == 1;
        break;
      case F::Calibration:
        p.speed_calibration = checked;
        break;
      case F::TimeSlipColour:
        set_colour(p.time_slip.colour, number);
        break;
      case F::TimeSlipScale:
        set_choice(p.time_slip.scale, number, kTimeSlipScaleChoices);
        break;
      case F::TimeSlipShown:
        p.time_slip.shown = checked;
        break;
      case F::OdoSlipColour:
        set_colour(p.odo_slip.colour, number);
        break;
      case F::OdoSlipScale:
        set_choice(p.odo_slip.scale, number, kOdoSlipScaleChoices);
        break;
      case F::OdoSlipShown:
        p.odo_slip.shown = checked;
        break;
      case F::Filter:
        p.filter_when_loaded = checked;
        break;
      case F::ConstantOne:
      case F::ConstantTrue:
        break;
    }
    ++read.lines_applied;
  }
  return read;
}

bool apply_preferences(ProgramState& state, const DisplayPreferences& p) {
  // In the order the file holds them; each converts only when it differs.
  bool converted = change_mph_kmh(state, p.units.speed_kmh);
  converted |= change_metre_feet(state, p.units.distance_feet);
  converted |= change_degC_degF(state, p.units.temperature_degf);
  converted |= change_psi_bar(state, p.units.pressure_bar);
  converted |= changeSvaCal(state, p.speed_calibration);
  state.filter_when_loaded = p.filter_when_loaded;
  return converted;
}

PreferenceLoad load_cfg_data(ProgramState& state, Host& host, DisplayPreferences& preferences,
                             PreferenceSource source) {
  const bool from_button = source == PreferenceSource::LoadButton;
  const FileLocation& location = state.file(FileKind::DisplayPreferences);
  std::string path;
  if (from_button) {
    LoadMessages messages;
    messages.cancelled = preference_message::not_loaded;
    messages.invalid_name = preference_message::invalid_not_loaded;
    messages.missing = preference_message::missing;
    const auto file =
        choose_file_to_load(host, location, kLoadTitle, kLoadFilter, kExtension, messages);
    if (!file) return PreferenceLoad::NotLoaded;
    path = file->path;
  } else {
    path = location.folder + kDefaultPreferenceFile;
    if (!file_exists(path)) {
      host.message(MessageKind::Information, preference_message::using_standard, Buttons::Ok);
      return PreferenceLoad::NotLoaded;
    }
  }
  const auto text = read_text_file(path);
  if (!text) {
    if (from_button) {
      host.message(MessageKind::Warning, preference_message::file_problem, Buttons::Ok);
    }
    return PreferenceLoad::NotLoaded;
  }

  const PreferenceRead read = read_preferences(*text, preferences);
  preferences = read.values;
  apply_preferences(state, preferences);
  if (!read.complete()) {
    host.message(MessageKind::Information, preference_message::loaded, Buttons::Ok);
    host.message(MessageKind::Warning, preference_message::old_format, Buttons::Ok);
    return PreferenceLoad::OldFormat;
  }
  if (from_button) host.message(MessageKind::Information, preference_message::loaded, Buttons::Ok);
  return PreferenceLoad::Loaded;
}

bool save_cfg_data(ProgramState& state, Host& host, const DisplayPreferences& preferences) {
  SaveMessages messages;
  messages.cancelled = preference_message::cancelled_not_saved;
  messages.invalid_name = preference_message::invalid_not_saved;
  messages.overwrite_refused = preference_message::not_saved;
  messages.cannot_create = preference_message::already_open;
  const auto file = save_text_file(
      host, state.file(FileKind::DisplayPreferences), kSaveTitle, kSaveFilter, kExtension,
      [&](AtomicTextWriter& out, const ChosenFile&) {
        write_preferences(out, preferences);
        return true;
      },
      messages);
  if (!file) return false;
  host.message(MessageKind::Information, file_message::file_saved_ok, Buttons::Ok);
  return true;
}

}  // namespace ardenvis::core
