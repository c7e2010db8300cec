#include "config/config_editor.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/format.h"

namespace ardenvis::core {

namespace {

using F = FieldId;

double parse_real(const std::string& text) {
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin < end && *begin == ' ') ++begin;
  if (begin < end && *begin == '+') ++begin;
  std::from_chars(begin, end, value);
  return std::isfinite(value) ? value : 0;
}

bool is_integer_field(const FieldMeta& meta) { return meta.kind == FieldKind::Integer; }

constexpr std::array<const char*, 18> kProPlusCaptions{"1:  Oil Pressure and Temps",
                                                       "2:  Odo, Battery and Fuel",
                                                       "3:  RPM, Speed and Gear",
                                                       "4:  Lap Timer",
                                                       "5:  Split Timer",
                                                       "6:  Accel/Brake Timer",
                                                       "7:  Engine Power Estimate",
                                                       "8:  G Sensor Display",
                                                       "9:  Trip Distance/Timer",
                                                       "10: Engine Time + Fuel",
                                                       "11: Max Oil Pressure + Temp",
                                                       "12: Max Water Temp + Battery",
                                                       "13: Max RPM + Speed",
                                                       "14: Max G Sensor Lat/Long",
                                                       "15: Brake Bias Front/Rear",
                                                       "16: RTC/GPS Date and Time",
                                                       "17: GPS Position",
                                                       "18: GPS Direction"};

}  // namespace

bool parse_field_integer(const std::string& text, long long& value) {
  if (text.empty()) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (*begin == '+') ++begin;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  return ec == std::errc() && ptr == end && value >= -2147483648LL && value <= 2147483647LL;
}

std::string word_to_TMaskEdit(int word) {
  std::string text = format("%.3f", word / 1000.0);
  std::replace(text.begin(), text.end(), '0', ' ');
  return text;
}

int TMaskEdit_to_word(const std::string& text) {
  std::string digits = text;
  std::replace(digits.begin(), digits.end(), ' ', '0');
  const double word = std::nearbyint(parse_real(digits) * 1000.0);
  return static_cast<int>(std::clamp(word, -2147483648.0, 2147483647.0));
}

std::string ratio_display_text(const std::string& text) {
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), ' ', '0');
  return shown;
}

IntKeyAction TEdit_int_key_press(char key, int max_length) {
  if (key == '\b') return IntKeyAction::Accept;
  if (key < '0' || key > '9') return IntKeyAction::Discard;
  return max_length == 1 ? IntKeyAction::ReplaceText : IntKeyAction::Accept;
}

int integer_field_length(const FieldMeta& meta) {
  return static_cast<int>(std::to_string(static_cast<long long>(meta.maximum)).size());
}

std::string lcd_page_caption(int model, int page) {
  if (page < 1 || page > 18) return {};
  std::string caption = kProPlusCaptions[page - 1];
  const bool dial = model == static_cast<int>(LcdModel::TachoDial) ||
                    model == static_cast<int>(LcdModel::SpeedDial);
  if (model < 0 && page == 18) return "18: GPS Heading";
  if (model == static_cast<int>(LcdModel::Lite)) {
    switch (page) {
      case 7:
        return "7:  Not Used";
      case 8:
        return "8:  Camera Warning Screen";
      case 14:
        return "14: GPS Position";
      case 15:
        return "15: GPS Direction";
      case 17:
        return "17: Not Used";
      case 18:
        return "18: Not Used";
      default:
        break;
    }
  } else if (dial) {
    switch (page) {
      case 1:
        return "1:  Oil Pressure and Temp";
      case 2:
        return "2:  Odo and Fuel";
      case 3:
        return "3:  RPM/Speed and Gear";
      case 7:
        return "7:  Battery";
      case 8:
        return "8:  Not Used";
      case 14:
        return "14: Not Used";
      case 15:
        return "15: Not Used";
      case 17:
        return "17: Not Used";
      case 18:
        return "18: Not Used";
      default:
        break;
    }
  }
  return caption;
}

ConfigEditor::ConfigEditor(ConfigState& config, CalculatorParameters& calculator)
    : config_(config), calculator_(calculator) {
  for (const FieldMeta& meta : config_fields()) {
    FieldState& f = raw(meta.id);
    f.visible = meta.visible;
    f.enabled = meta.enabled;
    switch (meta.kind) {
      case FieldKind::Integer:
      case FieldKind::Real:
      case FieldKind::Coordinate:
        f.text = std::string(meta.default_value);
        break;
      case FieldKind::Ratio:
        f.text = word_to_TMaskEdit(TMaskEdit_to_word(std::string(meta.default_value)));
        break;
      default: {
        long long v = 0;
        parse_field_integer(std::string(meta.default_value), v);
        f.item = static_cast<int>(v);
      }
    }
  }
  raw(F::odometer_value).read_only = true;
  apply_lcd_captions();
  // The window's design state: the layouts the choices above stand for. The
  // checks they run belong to no operation, so the flag is left as it was.
  const uint8_t flag = config_.range_error;
  change_lap_mode();
  updateLapMenuSystem();
  changeRPMMode();
  update_gear_display();
  update_accel_display(F::RadioGroup2);
  checkPulleyRatio();
  config_.range_error = flag;
}

void ConfigEditor::set_text(FieldId id, const std::string& text) {
  raw(id).text = text;
  run_reaction(field_meta(id));
  notify();
}

void ConfigEditor::set_value(FieldId id, double value) {
  const FieldMeta& meta = field_meta(id);
  if (!std::isfinite(value)) value = meta.minimum;
  value = std::clamp(value, meta.minimum, meta.maximum);
  // Keep a tiny negative from showing as "-0.000000".
  std::string text = format("%.*f", meta.decimals, value);
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
  set_text(id, text);
}

void ConfigEditor::set_item(FieldId id, int item) {
  const FieldMeta& meta = field_meta(id);
  raw(id).item = item;
  if (meta.kind != FieldKind::List) run_reaction(meta);
  notify();
}

void ConfigEditor::user_select(FieldId list, int item) {
  raw(list).item = item;
  if (field_meta(list).reaction == Reaction::update_pukses_per_rev) {
    config_.pulses_per_rev_code = item == 1 ? 2 : item == 2 ? 4 : 1;
  }
  notify();
}

void ConfigEditor::run_reaction(const FieldMeta& meta) {
  switch (meta.reaction) {
    case Reaction::None:
    case Reaction::update_pukses_per_rev:
      break;
    case Reaction::update_alarm_display:
    case Reaction::update_cal_values:
    case Reaction::update_brightness_display:
    case Reaction::update_ignition_display:
    case Reaction::update_odometer_display:
      check_int_display_TEdit(meta.id);
      break;
    case Reaction::update_shift_display:
      if (is_integer_field(meta)) {
        check_int_display_TEdit(meta.id);
      } else {
        check_int_display_TEdit(F::shift_value_peak);
        check_int_display_TEdit(F::shift_value_delta);
      }
      break;
    case Reaction::update_accel_display:
      update_accel_display(meta.id);
      break;
    case Reaction::update_lap_display:
      update_lap_display(meta.id);
      break;
    case Reaction::update_gear_display:
      update_gear_display();
      break;
    case Reaction::change_lap_mode:
      change_lap_mode();
      break;
    case Reaction::lCDMenu1AlwaysChecked:
      raw(meta.id).item = 1;
      break;
    case Reaction::updateSplitTimerCheckbox:
      if (!checked(F::lapfuncena)) raw(F::CheckBox23).item = 0;
      break;
    case Reaction::updateLapMenuSystem:
      updateLapMenuSystem();
      break;
    case Reaction::updateLapMode:
      updateLapMode();
      break;
    case Reaction::changeRPMMode:
      changeRPMMode();
      break;
    case Reaction::checkPulleyRatio:
      checkPulleyRatio();
      break;
  }
}

bool ConfigEditor::check_int_display_TEdit(FieldId id) {
  const FieldMeta& meta = field_meta(id);
  FieldState& f = raw(id);
  if (f.text.empty()) {
    f.colour = FieldColour::Error;
    f.text.assign(1, '0');  // (a one-character assign: g++ 12 -O3 misreads "0" as overlapping)
    set_error();
    return false;
  }
  long long value = 0;
  if (!parse_field_integer(f.text, value) || value < meta.minimum || value > meta.maximum) {
    f.colour = FieldColour::Error;
    set_error();
    return false;
  }
  f.colour = FieldColour::Valid;
  if (meta.step > 1 && value % meta.step != 0) {
    f.colour = FieldColour::Error;
    set_error();
    return false;
  }
  return true;
}

bool ConfigEditor::check_TMaskEdit(FieldId id) {
  const int word = TMaskEdit_to_word(text(id));
  FieldState& f = raw(id);
  if (word < 500 || word > 5000) {
    f.colour = FieldColour::Error;
    set_error();
    return false;
  }
  f.colour = FieldColour::Valid;
  return true;
}

void ConfigEditor::update_gear_display() {
  if (!check_int_display_TEdit(F::num_gear_value)) {
    long long typed = 0;
    const bool number = parse_field_integer(text(F::num_gear_value), typed);
    raw(F::num_gear_value).text.assign(1, number && typed > 6 ? '6' : '2');
  }
  long long gears = 6;
  parse_field_integer(text(F::num_gear_value), gears);
  for (int k = 0; k <= 2; ++k) check_TMaskEdit(ratio_field(k));
  for (int k = 3; k <= 6; ++k) {
    FieldState& f = raw(ratio_field(k));
    if (k > gears) {
      f.visible = false;
      f.colour = FieldColour::Background;
      f.text = text(ratio_field(k - 1));
    } else {
      f.visible = true;
      check_TMaskEdit(ratio_field(k));
    }
  }
  bool in_order = true;
  for (int k = 2; k <= 6; ++k) {
    if (TMaskEdit_to_word(text(ratio_field(k))) > TMaskEdit_to_word(text(ratio_field(k - 1)))) {
      in_order = false;
    }
  }
  notes_.ratio_problem = !in_order;
  if (!in_order) {
    set_error();
    for (int k = 1; k <= 6; ++k) raw(ratio_field(k)).colour = FieldColour::Error;
  }
}

void ConfigEditor::update_accel_display(FieldId sender) {
  if (sender == F::accel_start_speed || sender == F::accel_stop_speed) {
    check_int_display_TEdit(sender);
  }
  notes_.speed_unit = item(F::mph_kmh_sel) == 1 ? "KMH" : "MPH";
  long long start = 0, stop = 0;
  parse_field_integer(text(F::accel_start_speed), start);
  parse_field_integer(text(F::accel_stop_speed), stop);
  const uint16_t start16 = static_cast<uint16_t>(start);
  const uint16_t stop16 = static_cast<uint16_t>(stop);
  notes_.accel_red = start16 == stop16;
  notes_.accel_text = start16 < stop16   ? "Accel Test Selected"
                      : start16 > stop16 ? "Brake Test Selected"
                                         : "?? Start == Stop ??";
}

void ConfigEditor::update_lap_display(FieldId sender) {
  if (!checked(F::lapfuncena)) raw(F::CheckBox23).item = 0;
  if (is_integer_field(field_meta(sender))) check_int_display_TEdit(sender);
  if (item(F::RadioGroup6) == 1) fixed_split_rule();
}

void ConfigEditor::fixed_split_rule() {
  long long s1 = 0, s2 = 0, s3 = 0;
  parse_field_integer(text(F::split_1_distance), s1);
  parse_field_integer(text(F::split_2_distance), s2);
  parse_field_integer(text(F::split_3_distance), s3);
  FieldColour colour = FieldColour::Valid;
  notes_.split_note_red = false;
  if (s1 <= 0) {
    colour = FieldColour::Background;
    notes_.split_note = "Split 1 distance = 0 which disables the option";
  } else if (s1 < s2 && s2 < s3) {
    notes_.split_note =
        checked(F::lapfuncena) ? "Split Timer Function Enabled" : "Split Timer Function Disabled";
  } else {
    colour = FieldColour::Error;
    notes_.split_note = "Error (Split 2 > Split 1) and (Split 3 > Split 2)";
    notes_.split_note_red = true;
    set_error();
  }
  for (FieldId id : {F::split_1_distance, F::split_2_distance, F::split_3_distance}) {
    raw(id).colour = colour;
  }
}

void ConfigEditor::change_lap_mode() {
  notes_.computed_splits_visible = item(F::RadioGroup6) != 1;
  notes_.preset_splits_visible = item(F::RadioGroup6) == 1;
  update_lap_display(F::RadioGroup6);
}

void ConfigEditor::updateLapMenuSystem() {
  const bool gps = item(F::RadioGroup19) == 1;
  for (FieldId id : {F::lap_blank_period, F::RadioGroup6, F::Edit6, F::Edit5, F::split_1_distance,
                     F::split_2_distance, F::split_3_distance}) {
    raw(id).enabled = !gps;
  }
  for (int row = 0; row < 4; ++row) {
    raw(coordinate_field(row, false)).enabled = gps;
    raw(coordinate_field(row, true)).enabled = gps;
  }
  raw(F::ComboBox6).enabled = gps;
  updateLapMode();
}

void ConfigEditor::updateLapMode() {
  const bool gps = item(F::RadioGroup19) == 1;
  const bool sprint = gps && checked(F::CheckBox17);
  notes_.lap_rows = sprint ? std::array<std::string, 4>{"Finish", "    NA", "    NA", "    NA"}
                           : std::array<std::string, 4>{"S/F", "Split #1", "Split #2", "Split #3"};
  for (int row = 0; row < 4; ++row) {
    const bool on = gps && (!sprint || row == 0);
    raw(coordinate_field(row, false)).enabled = on;
    raw(coordinate_field(row, true)).enabled = on;
  }
}

void ConfigEditor::refresh_lap_labels() { updateLapMode(); }

void ConfigEditor::changeRPMMode() {
  notes_.ecu_pickup_visible = item(F::RadioGroup20) != 1;
  notes_.alternator_pickup_visible = item(F::RadioGroup20) == 1;
}

void ConfigEditor::checkPulleyRatio() {
  const double crank = parse_real(text(F::AbNumSpin1));
  const double alternator = parse_real(text(F::AbNumSpin3));
  notes_.pulley_warning = alternator > 0 ? crank / alternator > 5.0 : crank > 0;
}

void ConfigEditor::apply_lcd_captions() {
  for (int page = 1; page <= 18; ++page) {
    notes_.lcd_captions[page - 1] = lcd_page_caption(notes_.lcd_model, page);
  }
}

void ConfigEditor::LCDTabChange(int model) {
  notes_.lcd_model = std::clamp(model, 0, 3);
  apply_lcd_captions();
  notes_.add_enabled = notes_.lcd_model <= static_cast<int>(LcdModel::Lite);
  for (FieldId id : {F::CheckBox12, F::CheckBox15, F::CheckBox16}) {
    raw(id).enabled = notes_.add_enabled;
  }
  notify();
}

void ConfigEditor::resetGPSLapCoords() {
  for (int row = 0; row < 4; ++row) {
    raw(coordinate_field(row, false)).text = "0.000000";
    raw(coordinate_field(row, true)).text = "0.000000";
  }
  raw(F::ComboBox6).item = 3;
  notify();
}

void ConfigEditor::set_factory_set(bool on) {
  notes_.factory_set = on;
  if (on) {
    notes_.window_enabled = false;
  } else {
    raw(F::odometer_value).read_only = true;
  }
  notify();
}

void ConfigEditor::open_password_window() { config_.odometer_overwrite = false; }

bool ConfigEditor::enter_password(const std::string& entry) {
  const bool match = entry == kOdometerPassword;
  if (match) {
    config_.odometer_overwrite = true;
    raw(F::odometer_value).read_only = false;
  } else {
    notes_.factory_set = false;
    raw(F::odometer_value).read_only = true;
  }
  notify();
  return match;
}

void ConfigEditor::close_password_window() {
  if (!config_.odometer_overwrite) {
    notes_.factory_set = false;
    raw(F::odometer_value).read_only = true;
  }
  notes_.window_enabled = true;
  notify();
}

}  // namespace ardenvis::core
