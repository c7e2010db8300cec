#pragma once
// The configuration editor's model: the value, colour and visibility of every
// field of the "Configuration" window, the notes and labels its reactions
// write, and the change reactions themselves. The window shows this model and
// forwards the user's edits to it; decoding sets fields through the same entry
// points, so its reactions run exactly as on a user's edit.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "config/config_fields.h"
#include "state/config_buffer.h"
#include "state/program_state.h"

namespace ardenvis::core {

// Field colours: the field's own colour when valid, red for an error, and the
// window's background colour for fields that take no part (hidden gears,
// disabled fixed splits).
enum class FieldColour : uint8_t { Valid, Error, Background };

struct FieldState {
  std::string text;  // Integer, Ratio, Real, Coordinate
  int item = 0;      // Check (0/1), Choice and List (-1 = none selected)
  FieldColour colour = FieldColour::Valid;
  bool visible = true;
  bool enabled = true;
  bool read_only = false;
};

// The unit models of the "LCD Menu Options" tabs.
enum class LcdModel : uint8_t { ProPlus, Lite, TachoDial, SpeedDial };
inline constexpr std::array<const char*, 4> kLcdModelTabs{"Pro+", "Lite", "Tacho Dial",
                                                          "Speed Dial"};

// Everything the reactions write besides the fields.
struct EditorNotes {
  std::string accel_text = "Accel Test Selected";
  bool accel_red = false;
  std::string speed_unit = "MPH";  // the start, stop and speed alarm unit labels
  std::string split_note;
  bool split_note_red = false;
  bool ratio_problem = false;   // "Problem with Ratio Values" shown
  bool pulley_warning = false;  // "Pulley Ratio too High at > 5.00" shown
  std::array<std::string, 4> lap_rows{"S/F", "Split #1", "Split #2", "Split #3"};
  bool computed_splits_visible = true;  // "Computed Split Distance" group
  bool preset_splits_visible = false;   // "Pre Selected Split Distances (Limit 3)" group
  bool ecu_pickup_visible = true;       // "Standard ECU or Coil Pack" group
  bool alternator_pickup_visible = false;
  int lcd_model = -1;  // -1 before any model tab is chosen
  std::array<std::string, 18> lcd_captions{};
  bool add_enabled = true;     // the "Add:" label with its three check boxes
  bool factory_set = false;    // the odometer group's "Factory Set" box
  bool window_enabled = true;  // false while the password window is open
};

// What the "Version" page shows; filled by a read from the unit.
struct VersionPage {
  std::string ver;
  std::string rev;
  std::string mbits;
  std::vector<std::string> modules{"Read the Pelorant Config to obtain CAN module Revisions"};
};

inline constexpr const char* kRatioProblem = "Problem with Ratio Values";
inline constexpr const char* kValidRatios = "Valid Ratios 0.500 to 5.000";
inline constexpr const char* kPulleyWarning = "Pulley Ratio too High at > 5.00";
inline constexpr const char* kOdometerPassword = "fenbox";

class ConfigEditor {
 public:
  ConfigEditor(ConfigState& config, CalculatorParameters& calculator);

  ConfigState& config() { return config_; }
  CalculatorParameters& calculator() { return calculator_; }

  const FieldState& field(FieldId id) const { return fields_[field_index(id)]; }
  const std::string& text(FieldId id) const { return field(id).text; }
  int item(FieldId id) const { return field(id).item; }
  bool checked(FieldId id) const { return field(id).item != 0; }
  const EditorNotes& notes() const { return notes_; }
  VersionPage& version_page() { return version_; }
  const VersionPage& version_page() const { return version_; }

  // A text field typed into or set by decoding: runs its change reaction.
  void set_text(FieldId id, const std::string& text);
  // A real-valued spin or coordinate field: clamped to its range, shown with
  // its decimals, then as set_text.
  void set_value(FieldId id, double value);
  // A check box or radio group clicked or set by decoding: runs its reaction.
  // A list set this way runs none (decoding); user_select() is the user's pick.
  void set_item(FieldId id, int item);
  void set_checked(FieldId id, bool on) { set_item(id, on ? 1 : 0); }
  void user_select(FieldId list, int item);

  // Window-level events.
  void LCDTabChange(int model);
  void resetGPSLapCoords();
  void set_factory_set(bool on);  // the user's click; true opens the password window
  // The password window: activation, "Enter", closing.
  void open_password_window();
  bool enter_password(const std::string& entry);  // true when it matched
  void close_password_window();

  // Change notifications for the window (one call per completed change).
  std::function<void()> on_change;

  // --- the checks and reactions (also run by check_form_data) ---
  // Integer field check: empty -> "0" and an error; out of range or off the
  // step -> red and an error. Returns whether the field passed.
  bool check_int_display_TEdit(FieldId id);
  bool check_TMaskEdit(FieldId id);  // ratio range 0.500..5.000
  void update_gear_display();
  void update_accel_display(FieldId sender);
  void update_lap_display(FieldId sender);
  void fixed_split_rule();
  void change_lap_mode();
  void updateLapMenuSystem();
  void updateLapMode();
  void changeRPMMode();
  void checkPulleyRatio();
  void refresh_lap_labels();

  // Sets a field's state without any reaction (codec and reset use it).
  FieldState& raw(FieldId id) { return fields_[field_index(id)]; }
  void set_error() { config_.range_error = 1; }
  void notify() {
    if (on_change && depth_ == 0) on_change();
  }

 private:
  void run_reaction(const FieldMeta& meta);
  void apply_lcd_captions();

  ConfigState& config_;
  CalculatorParameters& calculator_;
  std::array<FieldState, kFieldCount> fields_;
  EditorNotes notes_;
  VersionPage version_;
  int depth_ = 0;
};

// Ratio text of the "9.999" mask: blank positions are held as spaces and
// shown as 0, so 1.000 is held as "1.   ".
std::string word_to_TMaskEdit(int word);
int TMaskEdit_to_word(const std::string& text);
// A ratio field's text as the user sees it (spaces shown as 0).
std::string ratio_display_text(const std::string& text);

// The digit filter of the integer fields: keys other than 0..9 and backspace
// are dropped; in a field of one character a digit replaces the text.
enum class IntKeyAction { Accept, Discard, ReplaceText };
IntKeyAction TEdit_int_key_press(char key, int max_length);
// Characters an integer field holds at most (the digits of its maximum).
int integer_field_length(const FieldMeta& meta);

// Parses an integer field's text; false when it is not a number that fits.
bool parse_field_integer(const std::string& text, long long& value);

// The LCD page captions of a model (-1: before any model tab was chosen).
std::string lcd_page_caption(int model, int page);

}  // namespace ardenvis::core
