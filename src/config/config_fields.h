#pragma once
// The one table of the configuration editor's fields. Each row says what the
// field is (control name, caption, kind, choices), where it sits (page and
// group of the "Configuration" window), how it is checked (range, step), what
// it starts at, how it is stored in the unit's images (memory, address, bits,
// codec) and which reaction runs when it changes. The codec, the checks, the
// reactions and the window's widgets are all driven from here, so no field is
// described twice.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ardenvis::core {

// Field ids in decoding order: the unit's odometer and lap coordinates first,
// then the EEPROM fields by address (the LCD page mask at its first byte).
enum class FieldId : uint8_t {
  odometer_value,
  AbNumEdit1,
  AbNumEdit2,
  AbNumEdit3,
  AbNumEdit4,
  AbNumEdit5,
  AbNumEdit6,
  AbNumEdit7,
  AbNumEdit8,
  fuel_level_sender,
  RadioGroup12,
  CheckBox11,
  RadioGroup9,
  RadioGroup4,
  RadioGroup5,
  CheckBox2,
  RadioGroup3,
  RadioGroup2,
  veh_weight,
  CheckBox20,
  CheckBox21,
  CheckBox22,
  lapfuncena,
  CheckBox23,
  accelfuncena,
  CheckBox6,
  CheckBox4,
  tripfuncena,
  CheckBox5,
  maxfuncena,
  CheckBox24,
  CheckBox25,
  CheckBox18,
  CheckBox13,
  CheckBox14,
  CheckBox28,
  CheckBox29,
  CheckBox3,
  CheckBox8,
  CheckBox9,
  CheckBox7,
  CheckBox10,
  RadioGroup1,
  Edit4,
  RadioGroup10,
  RadioGroup20,
  CheckBox30,
  CheckBox27,
  CheckBox17,
  RadioGroup13,
  RadioGroup11,
  Edit9,
  RadioGroup19,
  CheckBox26,
  RadioGroup16,
  CheckBox16,
  CheckBox15,
  RadioGroup15,
  RadioGroup14,
  CheckBox12,
  ComboBox2,
  ComboBox3,
  ComboBox1,
  speedo_cal_value,
  accel_start_speed,
  accel_stop_speed,
  gear_cal_value,
  RadioGroup8,
  Edit7,
  fuel_level_value,
  rpm_oil_psi_value,
  water_temp_value,
  oil_psi_value,
  oil_temp_value,
  shift_value_delta,
  shift_value_peak,
  shift_light_mode,
  display_brightness,
  prim_ratio_value,
  gear_1_value,
  gear_2_value,
  gear_3_value,
  gear_4_value,
  gear_5_value,
  gear_6_value,
  mph_kmh_sel,
  num_gear_value,
  pulses_engine_cycle,
  lap_blank_period,
  Edit3,
  RadioGroup6,
  Edit6,
  Edit5,
  split_1_distance,
  split_2_distance,
  split_3_distance,
  AbNumSpin2,
  ComboBox5,
  ComboBox6,
  AbNumSpin3,
  AbNumSpin5,
  AbNumSpin1,
  RadioGroup21,
  CheckBox31,
  RadioGroup17,
  ComboBox4,
  AbNumSpin4,
  RadioGroup18,
  count
};
inline constexpr int kFieldCount = static_cast<int>(FieldId::count);

enum class FieldKind : uint8_t {
  Integer,     // digits only, checked against minimum..maximum and step
  Ratio,       // "9.999" text, ratio x 1000 in the image
  Real,        // a spin editor of real values (step and decimals below)
  Coordinate,  // degrees with six decimals
  Check,       // check box: item 0 or 1
  Choice,      // radio group: item index
  List,        // drop-down list: item index; setting it by code runs no reaction
};

// The window's twelve pages, in tab order.
enum class Page : uint8_t {
  Version,
  General,
  Alarms,
  Display,
  ShiftLights,
  Lap,
  Gears,
  Sensor,
  Calibrate,
  Logger,
  Camera,
  Dials
};
inline constexpr int kPageCount = 12;

enum class Memory : uint8_t { Eeprom, Fram };

// How a field's value becomes image bits and back.
enum class Codec : uint8_t {
  Plain,           // unsigned little-endian integer of `bytes` bytes
  Index,           // item index in one byte; a stored value past the last item decodes as 0
  Bits,            // `bits` bits at `shift` of one byte (check, radio item or small integer)
  Hundreds,        // rpm / 100, rounded down
  Ratio,           // ratio x 1000, rounded
  Tenths,          // value x 10, rounded (volts, centimetres)
  LcdPage,         // bit n-1 of the 24-bit page mask in bytes 6, 7 and 88
  LoggerControl,   // byte 8 bits 2..0
  PulsesPerRev,    // byte 14: the held code 1, 2 or 4
  HoldOver,        // byte 15: item + 1
  CameraDistance,  // byte 87: tens of metres
  TriggerZone,     // byte 89: units of 2 m
  DialRate,        // bytes 144..145
  DialStep,        // bytes 146..147
  DialOffset,      // bytes 148..149: degrees x 3240 / 270
  DialFilter,      // byte 150
  SvaScreen,       // byte 95: 2 = on
  SignMagnitude,   // 4-byte GPS coordinate
};

// The change handler a field runs, named as the window's handlers are.
enum class Reaction : uint8_t {
  None,
  update_alarm_display,
  update_accel_display,
  update_lap_display,
  update_shift_display,
  update_gear_display,
  update_cal_values,
  update_brightness_display,
  update_ignition_display,
  update_odometer_display,
  change_lap_mode,
  update_pukses_per_rev,
  lCDMenu1AlwaysChecked,
  updateSplitTimerCheckbox,
  updateLapMenuSystem,
  updateLapMode,
  changeRPMMode,
  checkPulleyRatio,
};

struct FieldMeta {
  FieldId id = FieldId::count;
  std::string_view name;     // the control's name
  std::string_view caption;  // its caption or label (may be empty)
  FieldKind kind = FieldKind::Integer;
  Page page = Page::Version;
  std::string_view group;  // caption of the group box it sits in
  Memory memory = Memory::Eeprom;
  int address = 0;
  Codec codec = Codec::Plain;
  int bytes = 1;  // Plain and the coded words
  int shift = 0;  // Bits
  int bits = 0;   // Bits
  double minimum = 0;
  double maximum = 0;
  int step = 1;
  std::string_view default_value;  // text, or item index as text, or "1"/"0" for a check box
  Reaction reaction = Reaction::None;
  std::span<const std::string_view> choices = {};
  int decimals = 0;      // Real and Coordinate
  double increment = 1;  // Real: the spin step
  bool enabled = true;   // false: shown but not editable (the dial options)
  bool visible = true;   // false: never shown (the trigger zone list)
  std::string_view hint = {};
  std::string_view unit_label = {};  // a label after the field ("MPH", "Degree")
};

const std::vector<FieldMeta>& config_fields();
const FieldMeta& field_meta(FieldId id);
inline int field_index(FieldId id) { return static_cast<int>(id); }

// LCD menu page n (1..18) and its check box.
FieldId lcd_page_field(int page);
// The gear ratio fields: 0 = primary, 1..6 = gears.
FieldId ratio_field(int gear);
// GPS coordinate fields: row 0 = S/F, 1..3 = splits; latitude then longitude.
FieldId coordinate_field(int row, bool longitude);

// A group box of a page, with its hint (may be empty).
struct GroupMeta {
  Page page;
  std::string_view caption;
  std::string_view hint;
};
const std::vector<GroupMeta>& config_groups();

struct PageMeta {
  Page page;
  std::string_view caption;  // the tab's caption
  std::string_view panel;    // the panel's name
};
const std::vector<PageMeta>& config_pages();

}  // namespace ardenvis::core
