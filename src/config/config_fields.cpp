#include "config/config_fields.h"

#include <array>
#include <cstdlib>

namespace ardenvis::core {

namespace {

using sv = std::string_view;
using enum FieldKind;
using enum Memory;
using R = Reaction;
using P = Page;

// clang-format off
constexpr std::array<sv, 6> kFuelSenders{"Orvik Lever Sensor", "VDO Dip Pipe Sensor",
    "VDO Lever Sensor", "CAP Sensor", "General 1 (240 Ohm Empty -> 33 Ohm Full)",
    "General 2 (132 Ohm Empty -> 52 Ohm Full)"};
constexpr std::array<sv, 2> kBestLapReset{"Normal Button B Menu Reset", "Power Up && on Button B Reset"};
constexpr std::array<sv, 2> kDecimalPoint{"Not Used", "Logger On"};
constexpr std::array<sv, 2> kOilAlarmDisplay{"O.I.L.", "L E V"};
constexpr std::array<sv, 2> kOilAlarmSwitch{"NO", "NC"};
constexpr std::array<sv, 2> kPressure{"PSI", "BAR"};
constexpr std::array<sv, 2> kTemperature{"Deg C", "Deg F"};
constexpr std::array<sv, 3> kLoggerControl{"Logger Disabled",
    "Display Button A (On/Off hold button down until logger changes)",
    "Logger Switch (On/Off SPST switch on logger unit wiring loom)"};
constexpr std::array<sv, 3> kLoggerBoxLed{"Sensor", "Log On/Off", "GPS NOT Locked"};
constexpr std::array<sv, 2> kPickup{"ECU or Coil Pack", "Alternator Terminal"};
constexpr std::array<sv, 2> kSpeedAlarmWarning{"Under (pit lane) ", "Over   (open road)"};
constexpr std::array<sv, 2> kSamplingRate{"10 Hz", "20 Hz"};
constexpr std::array<sv, 2> kLapTimingMode{"Infra Red or Magnetic Beacon",
    "GPS Lap Timing Coords - uses GPS Speed"};
constexpr std::array<sv, 2> kTimeDate{"RTC (fit option)", "GPS Module"};
constexpr std::array<sv, 2> kSpeedDisplay{"Orvik Sensor", "GPS Module "};
constexpr std::array<sv, 2> kGearCalculation{"Calculation Based (All PL2 Range)",
    "CAN Gear Module (PL2 Pro Only)"};
constexpr std::array<sv, 3> kPulsesPerRev{"2 - Two magnets.     Orvik Type 1 Sensor.",
    "4 - Four Bolt Heads. Orvik Type 2 Sensor.", "8 - Gearbox Sensor. (e.g. Citroen Saxo)."};
constexpr std::array<sv, 15> kHoldOver{"0.2s", "0.4s", "0.6s", "0.8s", "1.0s", "1.2s", "1.4s",
    "1.6s", "1.8s", "2.0s", "2.2s", "2.4s", "2.6s", "2.8s", "3.0s"};
constexpr std::array<sv, 4> kMiniLog{"Oil Pressure", "RPM", "Speed", "Distance"};
constexpr std::array<sv, 5> kAuxLed{"Logger On", "Neutral  ", "Speed Alarm", "Camera Alarm",
    "GPS NOT Locked"};
constexpr std::array<sv, 3> kShiftMode{"Off", "Norm", "Block "};
constexpr std::array<sv, 2> kSpeedUnits{"MPH", "KMH"};
constexpr std::array<sv, 2> kSplitMode{"Computed Distance: 1..32 Splits",
    "Entered Distance: 1..3 Splits"};
constexpr std::array<sv, 5> kCameraDistance{"100", "200", "300", "500", "999"};
constexpr std::array<sv, 13> kTriggerZone{"0", "10", "20", "30", "40", "50", "60", "70", "80",
    "90", "100", "200", "400"};
constexpr std::array<sv, 3> kAuxPressureSensor{"Orvik 10 Bar  ", "Orvik 5 Bar  ", "Orvik 2 Bar"};
constexpr std::array<sv, 5> kDialRate{"16", "32", "64", "256", "512"};
constexpr std::array<sv, 8> kDialStep{"Off", "1", "5", "10", "50", "100", "500", "1000"};
constexpr std::array<sv, 4> kDialFilter{"Off", "Low", "Medium", "High"};

constexpr sv kOdometerHint = "Current Odometer reading. This is not written to the Pelorant.";
constexpr sv kAddGearHint =
    "Start Screen now shows Oil Pressure, Oil Temperature, Water Temperature, Speed and Gear "
    "Position. Requires latest Software.";

FieldMeta base(FieldId id, sv name, sv caption, FieldKind kind, P page, sv group, Memory memory,
               int address, Codec codec) {
  FieldMeta f;
  f.id = id;
  f.name = name;
  f.caption = caption;
  f.kind = kind;
  f.page = page;
  f.group = group;
  f.memory = memory;
  f.address = address;
  f.codec = codec;
  return f;
}

FieldMeta integer(FieldId id, sv name, sv caption, P page, sv group, int address, int bytes,
                  double minimum, double maximum, sv def, Reaction reaction, int step = 1) {
  FieldMeta f = base(id, name, caption, Integer, page, group, Eeprom, address, Codec::Plain);
  f.bytes = bytes;
  f.minimum = minimum;
  f.maximum = maximum;
  f.step = step;
  f.default_value = def;
  f.reaction = reaction;
  return f;
}

FieldMeta bit(FieldId id, sv name, sv caption, FieldKind kind, P page, sv group, int address,
              int shift, sv def, Reaction reaction = R::None,
              std::span<const sv> choices = {}, int bits = 1) {
  FieldMeta f = base(id, name, caption, kind, page, group, Eeprom, address, Codec::Bits);
  f.shift = shift;
  f.bits = bits;
  f.default_value = def;
  f.reaction = reaction;
  f.choices = choices;
  f.maximum = kind == Check ? 1 : static_cast<double>(choices.size()) - 1;
  return f;
}

FieldMeta item(FieldId id, sv name, sv caption, FieldKind kind, P page, sv group, int address,
               Codec codec, std::span<const sv> choices, sv def, Reaction reaction = R::None,
               int bytes = 1) {
  FieldMeta f = base(id, name, caption, kind, page, group, Eeprom, address, codec);
  f.bytes = bytes;
  f.choices = choices;
  f.default_value = def;
  f.reaction = reaction;
  f.maximum = static_cast<double>(choices.size()) - 1;
  return f;
}

FieldMeta lcd_page(FieldId id, sv name, int page) {
  FieldMeta f = base(id, name, {}, Check, P::Display, "LCD Menu Options", Eeprom, 6, Codec::LcdPage);
  f.shift = page - 1;
  f.default_value = "1";
  f.maximum = 1;
  f.reaction = page == 1   ? R::lCDMenu1AlwaysChecked
               : page == 5 ? R::updateSplitTimerCheckbox
               : page == 4 ? R::update_lap_display
                           : R::None;
  return f;
}

FieldMeta ratio(FieldId id, sv name, sv caption, int address, sv def) {
  FieldMeta f = base(id, name, caption, Ratio, P::Gears, "Gearbox Ratios", Eeprom, address, Codec::Ratio);
  f.bytes = 2;
  f.minimum = 0.5;
  f.maximum = 5.0;
  f.default_value = def;
  f.reaction = R::update_gear_display;
  return f;
}

FieldMeta real(FieldId id, sv name, sv caption, P page, sv group, int address, Codec codec,
               double minimum, double maximum, double increment, int decimals, sv def,
               Reaction reaction = R::None, int bytes = 1) {
  FieldMeta f = base(id, name, caption, Real, page, group, Eeprom, address, codec);
  f.bytes = bytes;
  f.minimum = minimum;
  f.maximum = maximum;
  f.increment = increment;
  f.decimals = decimals;
  f.default_value = def;
  f.reaction = reaction;
  return f;
}

FieldMeta coordinate(FieldId id, sv name, sv caption, int address, bool longitude) {
  FieldMeta f = base(id, name, caption, Coordinate, P::Lap, "GPS Lap Coords (saves with config)", Fram,
              address, Codec::SignMagnitude);
  f.bytes = 4;
  f.minimum = longitude ? -180 : -90;
  f.maximum = longitude ? 180 : 90;
  f.decimals = 6;
  f.default_value = longitude ? "-180.000000" : "-90.000000";
  return f;
}

std::vector<FieldMeta> build_fields() {
  using F = FieldId;
  std::vector<FieldMeta> t;
  t.reserve(kFieldCount);
  {
    FieldMeta odo = integer(F::odometer_value, "odometer_value", "Odo Reading", P::General,
                            "Odometer", 0, 3, 0, 99999, "0", R::update_odometer_display);
    odo.memory = Fram;
    odo.hint = kOdometerHint;
    t.push_back(odo);
  }
  t.push_back(coordinate(F::AbNumEdit1, "AbNumEdit1", "Latitude", 88, false));
  t.push_back(coordinate(F::AbNumEdit2, "AbNumEdit2", "Longitude", 92, true));
  t.push_back(coordinate(F::AbNumEdit3, "AbNumEdit3", "Latitude", 96, false));
  t.push_back(coordinate(F::AbNumEdit4, "AbNumEdit4", "Longitude", 100, true));
  t.push_back(coordinate(F::AbNumEdit5, "AbNumEdit5", "Latitude", 104, false));
  t.push_back(coordinate(F::AbNumEdit6, "AbNumEdit6", "Longitude", 108, true));
  t.push_back(coordinate(F::AbNumEdit7, "AbNumEdit7", "Latitude", 112, false));
  t.push_back(coordinate(F::AbNumEdit8, "AbNumEdit8", "Longitude", 116, true));

  t.push_back(item(F::fuel_level_sender, "fuel_level_sender", "Fuel Sender Type", Choice, P::Sensor,
                   "Fuel Sender Type", 2, Codec::Index, kFuelSenders, "0"));

  t.push_back(bit(F::RadioGroup12, "RadioGroup12", "Best Lap Reset", Choice, P::Lap,
                  "Best Lap Reset", 3, 7, "1", R::None, kBestLapReset));
  t.push_back(bit(F::CheckBox11, "CheckBox11", "Reset All Max Hold/Timers on Power Up", Check,
                  P::General, "Max Hold / Timer Reset", 3, 6, "0"));
  t.push_back(bit(F::RadioGroup9, "RadioGroup9", "DP on LED Display", Choice, P::Display,
                  "DP on LED Display", 3, 5, "1", R::None, kDecimalPoint));
  t.push_back(bit(F::RadioGroup4, "RadioGroup4", "Oil Alarm Display", Choice, P::Alarms,
                  "Engine Alarms", 3, 4, "0", R::None, kOilAlarmDisplay));
  t.push_back(bit(F::RadioGroup5, "RadioGroup5", "Oil Alarm Switch", Choice, P::Alarms,
                  "Engine Alarms", 3, 3, "0", R::None, kOilAlarmSwitch));
  t.push_back(bit(F::CheckBox2, "CheckBox2", "Flash on max shift time", Check, P::ShiftLights,
                  "Shift Lights", 3, 2, "1", R::update_shift_display));
  t.push_back(bit(F::RadioGroup3, "RadioGroup3", "Pressure", Choice, P::General, "Display Units",
                  3, 1, "0", R::None, kPressure));
  t.push_back(bit(F::RadioGroup2, "RadioGroup2", "Temp", Choice, P::General, "Display Units", 3,
                  0, "0", R::None, kTemperature));

  t.push_back(integer(F::veh_weight, "veh_weight", "Vehicle Weight", P::Calibrate,
                      "Total Vehicle Weight", 4, 2, 0, 2500, "520", R::update_cal_values));
  t.back().unit_label = "kg";

  constexpr std::array<std::pair<F, sv>, 18> kPages{{
      {F::CheckBox20, "CheckBox20"}, {F::CheckBox21, "CheckBox21"}, {F::CheckBox22, "CheckBox22"},
      {F::lapfuncena, "lapfuncena"}, {F::CheckBox23, "CheckBox23"},
      {F::accelfuncena, "accelfuncena"}, {F::CheckBox6, "CheckBox6"}, {F::CheckBox4, "CheckBox4"},
      {F::tripfuncena, "tripfuncena"}, {F::CheckBox5, "CheckBox5"}, {F::maxfuncena, "maxfuncena"},
      {F::CheckBox24, "CheckBox24"}, {F::CheckBox25, "CheckBox25"}, {F::CheckBox18, "CheckBox18"},
      {F::CheckBox13, "CheckBox13"}, {F::CheckBox14, "CheckBox14"}, {F::CheckBox28, "CheckBox28"},
      {F::CheckBox29, "CheckBox29"}}};
  for (int n = 1; n <= 18; ++n) t.push_back(lcd_page(kPages[n - 1].first, kPages[n - 1].second, n));

  t.push_back(bit(F::CheckBox3, "CheckBox3", "Swap Sensor G Axis", Check, P::General,
                  "G Force Sensor", 8, 7, "0"));
  t.push_back(bit(F::CheckBox8, "CheckBox8", "Change Accel/Brake Sign", Check, P::General,
                  "G Force Sensor", 8, 6, "0"));
  t.push_back(bit(F::CheckBox9, "CheckBox9", "Change Left/Right Sign", Check, P::General,
                  "G Force Sensor", 8, 5, "0"));
  t.push_back(bit(F::CheckBox7, "CheckBox7",
                  "Pause logging if the vehicle is stationary. e.g. Speed is zero", Check,
                  P::Logger, "Pro and Lite Logger Configuration", 8, 4, "0"));
  t.push_back(bit(F::CheckBox10, "CheckBox10",
                  "Pause logging if the engine is switched off. e.g. RPM is zero", Check,
                  P::Logger, "Pro and Lite Logger Configuration", 8, 3, "0"));
  t.push_back(item(F::RadioGroup1, "RadioGroup1", "Pro Logger On/Off Control", Choice, P::Logger,
                   "Pro and Lite Logger Configuration", 8, Codec::LoggerControl, kLoggerControl, "1"));

  t.push_back(integer(F::Edit4, "Edit4", "Switch for (0,1..15)", P::Display, "Display Lap Update",
                      9, 1, 0, 15, "5", R::update_lap_display));
  t.back().unit_label = "sec";
  t.push_back(item(F::RadioGroup10, "RadioGroup10", "Logger Box LED", Choice, P::General,
                   "Logger Box LED", 10, Codec::Index, kLoggerBoxLed, "1"));

  t.push_back(bit(F::RadioGroup20, "RadioGroup20", "Pickup Position", Choice, P::Calibrate,
                  "Engine RPM Calibration", 11, 5, "0", R::changeRPMMode, kPickup));
  t.push_back(bit(F::CheckBox30, "CheckBox30", "Use Pro+ for", Check, P::General, "Module Data",
                  11, 4, "1"));
  t.push_back(bit(F::CheckBox27, "CheckBox27", "On Detect Flip to Warning Screens", Check,
                  P::Camera, "Control Config", 11, 3, "1"));
  t.push_back(bit(F::CheckBox17, "CheckBox17", "Sprint AutoTrigger", Check, P::Lap,
                  "Sprint/Hill Mode", 11, 2, "0", R::updateLapMode));
  t.push_back(bit(F::RadioGroup13, "RadioGroup13", "Warning on", Choice, P::Alarms, "Speed Alarm",
                  11, 1, "1", R::None, kSpeedAlarmWarning));
  t.push_back(bit(F::RadioGroup11, "RadioGroup11", "Pro Logger Sampling Rate", Choice, P::Logger,
                  "Pro and Lite Logger Configuration", 11, 0, "0", R::None, kSamplingRate));

  t.push_back(integer(F::Edit9, "Edit9", "Speed Alarm", P::Alarms, "Speed Alarm", 12, 1, 0, 255,
                      "0", R::update_alarm_display));
  t.back().unit_label = "MPH";

  t.push_back(bit(F::RadioGroup19, "RadioGroup19", "Lap Timing Mode", Choice, P::Lap,
                  "Lap Timing Mode", 13, 7, "0", R::updateLapMenuSystem, kLapTimingMode));
  t.push_back(bit(F::CheckBox26, "CheckBox26", "Enable Gatso Camera Detector on Dash", Check,
                  P::Camera, "Control Config", 13, 6, "1"));
  t.push_back(bit(F::RadioGroup16, "RadioGroup16", "Time/Date Display", Choice, P::General,
                  "Time/Date Display", 13, 5, "0", R::None, kTimeDate));
  t.push_back(bit(F::CheckBox16, "CheckBox16", "AFR", Check, P::Display, "LCD Menu Options", 13, 4,
                  "0"));
  t.push_back(bit(F::CheckBox15, "CheckBox15", "Boost", Check, P::Display, "LCD Menu Options", 13,
                  3, "0"));
  t.push_back(bit(F::RadioGroup15, "RadioGroup15", "Speed Display", Choice, P::General,
                  "Speed Display", 13, 2, "0", R::None, kSpeedDisplay));
  t.push_back(bit(F::RadioGroup14, "RadioGroup14", "Gear Calculation", Choice, P::Gears,
                  "Gear Display Setup", 13, 1, "0", R::None, kGearCalculation));
  t.push_back(bit(F::CheckBox12, "CheckBox12", "Gear and Speed", Check, P::Display,
                  "LCD Menu Options", 13, 0, "0"));
  t.back().hint = kAddGearHint;

  t.push_back(item(F::ComboBox2, "ComboBox2", "Speed Sensor Pulses Per Revolution", List,
                   P::Calibrate, "Speed Calibration", 14, Codec::PulsesPerRev, kPulsesPerRev, "0",
                   R::update_pukses_per_rev));
  t.push_back(item(F::ComboBox3, "ComboBox3", "Alarm Hold Over Time", List, P::Alarms,
                   "Alarm Hold Over Time", 15, Codec::HoldOver, kHoldOver, "9"));
  t.push_back(item(F::ComboBox1, "ComboBox1", "Lite Mini-Log Variable", List, P::Logger,
                   "Pro and Lite Logger Configuration", 17, Codec::Index, kMiniLog, "0"));

  t.push_back(integer(F::speedo_cal_value, "speedo_cal_value", "Speedo Cal Factor", P::Calibrate,
                      "Speed Calibration", 18, 2, 1000, 9999, "1000", R::update_cal_values));
  t.push_back(integer(F::accel_start_speed, "accel_start_speed", "Start Speed", P::General,
                      "Accel/Brake Timer", 20, 1, 0, 255, "0", R::update_accel_display));
  t.back().unit_label = "MPH";
  t.push_back(integer(F::accel_stop_speed, "accel_stop_speed", "Stop Speed  ", P::General,
                      "Accel/Brake Timer", 21, 1, 0, 255, "60", R::update_accel_display));
  t.back().unit_label = "MPH";
  t.push_back(integer(F::gear_cal_value, "gear_cal_value", "Gear Cal Factor", P::Calibrate,
                      "Speed Calibration", 22, 2, 500, 9999, "1000", R::update_cal_values));
  t.push_back(item(F::RadioGroup8, "RadioGroup8", "Aux LED Light Mode", Choice, P::Display,
                   "Aux LED Light Mode", 24, Codec::Index, kAuxLed, "1"));
  t.push_back(integer(F::Edit7, "Edit7", "Aux Pressure Alarm (0 to 140)", P::Alarms,
                      "Aux/Fuel Pressure Alarm", 25, 1, 0, 140, "30", R::update_alarm_display));
  t.back().unit_label = "psi";
  t.push_back(integer(F::fuel_level_value, "fuel_level_value", "Fuel Level Alarm (0 to 99)",
                      P::Alarms, "Fuel Alarms", 26, 1, 0, 99, "5", R::update_alarm_display));
  t.back().unit_label = "%";
  t.push_back(integer(F::rpm_oil_psi_value, "rpm_oil_psi_value", "Alarm Enabled Over", P::Alarms,
                      "Engine Alarms", 27, 1, 100, 25500, "2000", R::update_alarm_display, 100));
  t.back().codec = Codec::Hundreds;
  t.back().unit_label = "rpm";
  t.push_back(integer(F::water_temp_value, "water_temp_value", "Water Temp Alarm (0 to 140)",
                      P::Alarms, "Engine Alarms", 28, 1, 0, 140, "105", R::update_alarm_display));
  t.back().unit_label = "deg C";
  t.push_back(integer(F::oil_psi_value, "oil_psi_value", "Oil Pressure Alarm (0 to 140)",
                      P::Alarms, "Engine Alarms", 29, 1, 0, 140, "30", R::update_alarm_display));
  t.back().unit_label = "psi";
  t.push_back(integer(F::oil_temp_value, "oil_temp_value", "Oil Temp Alarm (0 to 140)", P::Alarms,
                      "Engine Alarms", 30, 1, 0, 140, "110", R::update_alarm_display));
  t.back().unit_label = "deg C";
  t.push_back(integer(F::shift_value_delta, "shift_value_delta", "Delta", P::ShiftLights,
                      "Shift Lights", 31, 1, 0, 1000, "500", R::update_shift_display, 100));
  t.back().codec = Codec::Hundreds;
  t.back().unit_label = "rpm";
  t.push_back(integer(F::shift_value_peak, "shift_value_peak", "Peak", P::ShiftLights,
                      "Shift Lights", 32, 1, 3000, 25500, "6500", R::update_shift_display, 100));
  t.back().codec = Codec::Hundreds;
  t.back().unit_label = "rpm";
  t.push_back(bit(F::shift_light_mode, "shift_light_mode", "Mode", Choice, P::ShiftLights,
                  "Shift Lights", 33, 0, "1", R::update_shift_display, kShiftMode, 2));
  t.back().hint = "Shift light mode.";
  t.push_back(integer(F::display_brightness, "display_brightness", "LED Brightness (0..15)",
                      P::Display, "Display Settings", 34, 1, 0, 15, "8",
                      R::update_brightness_display));

  t.push_back(ratio(F::prim_ratio_value, "prim_ratio_value", "Primary Ratio", 35, "1.000"));
  t.push_back(ratio(F::gear_1_value, "gear_1_value", "Gear 1", 37, "4.000"));
  t.push_back(ratio(F::gear_2_value, "gear_2_value", "Gear 2", 39, "3.000"));
  t.push_back(ratio(F::gear_3_value, "gear_3_value", "Gear 3", 41, "2.000"));
  t.push_back(ratio(F::gear_4_value, "gear_4_value", "Gear 4", 43, "1.500"));
  t.push_back(ratio(F::gear_5_value, "gear_5_value", "Gear 5", 45, "1.000"));
  t.push_back(ratio(F::gear_6_value, "gear_6_value", "Gear 6", 47, "0.800"));

  t.push_back(bit(F::mph_kmh_sel, "mph_kmh_sel", "Speed", Choice, P::General, "Display Units", 49,
                  7, "0", R::update_accel_display, kSpeedUnits));
  {
    FieldMeta gears = integer(F::num_gear_value, "num_gear_value", "Number of Forward Gears",
                              P::Gears, "Gearbox Ratios", 49, 1, 2, 6, "6", R::update_gear_display);
    gears.codec = Codec::Bits;
    gears.shift = 4;
    gears.bits = 3;
    t.push_back(gears);
    FieldMeta pulses = integer(F::pulses_engine_cycle, "pulses_engine_cycle",
                               "Pulses per Engine Cycle", P::Calibrate, "Standard ECU or Coil Pack",
                               49, 1, 1, 8, "2", R::update_ignition_display);
    pulses.codec = Codec::Bits;
    pulses.shift = 0;
    pulses.bits = 4;
    pulses.unit_label = "from ECU or coil packs";
    t.push_back(pulses);
  }
  t.push_back(integer(F::lap_blank_period, "lap_blank_period",
                      "Lap Beacon Trigger Blanking Period ", P::Lap, "Beacon/Button Options", 50, 1,
                      0, 255, "48", R::update_lap_display));
  t.back().unit_label = "sec";
  t.push_back(integer(F::Edit3, "Edit3", "LCD Contrast (0..10)", P::Display, "Display Settings", 51,
                      1, 0, 10, "5", R::update_brightness_display));
  t.push_back(bit(F::RadioGroup6, "RadioGroup6", "Split Timer Mode", Choice, P::Lap,
                  "Beacon/Button Options", 52, 0, "0", R::change_lap_mode, kSplitMode));
  t.push_back(integer(F::Edit6, "Edit6", "Number of Splits (1..32)", P::Lap,
                      "Computed Split Distance", 53, 1, 1, 32, "32", R::update_lap_display));
  t.push_back(integer(F::Edit5, "Edit5", "Track Length (m)", P::Lap, "Computed Split Distance", 54,
                      2, 10, 9999, "2200", R::update_lap_display));
  t.push_back(integer(F::split_1_distance, "split_1_distance", "Split 1", P::Lap,
                      "Pre Selected Split Distances (Limit 3)", 56, 2, 0, 9999, "500",
                      R::update_lap_display));
  t.back().unit_label = "m";
  t.push_back(integer(F::split_2_distance, "split_2_distance", "Split 2", P::Lap,
                      "Pre Selected Split Distances (Limit 3)", 58, 2, 0, 9999, "1000",
                      R::update_lap_display));
  t.back().unit_label = "m";
  t.push_back(integer(F::split_3_distance, "split_3_distance", "Split 3", P::Lap,
                      "Pre Selected Split Distances (Limit 3)", 60, 2, 0, 9999, "1500",
                      R::update_lap_display));
  t.back().unit_label = "m";

  t.push_back(real(F::AbNumSpin2, "AbNumSpin2", "Battery Low Voltage Alarm  ", P::Alarms,
                   "Battery Alarm", 86, Codec::Tenths, 6.0, 20.0, 0.1, 1, "11.8"));
  t.back().unit_label = "V";
  t.push_back(item(F::ComboBox5, "ComboBox5", "Camera Warning Distance (m)", List, P::Camera,
                   "Control Config", 87, Codec::CameraDistance, kCameraDistance, "2"));
  t.push_back(item(F::ComboBox6, "ComboBox6", "Trigger Zone (m)", List, P::Lap,
                   "GPS Lap Coords (saves with config)", 89, Codec::TriggerZone, kTriggerZone, "0"));
  t.back().visible = false;
  t.push_back(real(F::AbNumSpin3, "AbNumSpin3", "Alternator Pulley (cm)", P::Calibrate,
                   "Alternator Terminal", 90, Codec::Tenths, 1.0, 25.5, 0.1, 1, "5.8",
                   R::checkPulleyRatio));
  t.push_back(real(F::AbNumSpin5, "AbNumSpin5", "Alternator Poles", P::Calibrate,
                   "Alternator Terminal", 91, Codec::Plain, 1, 32, 1, 0, "12"));
  t.push_back(real(F::AbNumSpin1, "AbNumSpin1", "Crank Pulley Dia (cm)", P::Calibrate,
                   "Alternator Terminal", 92, Codec::Tenths, 1.0, 25.5, 0.1, 1, "12.5",
                   R::checkPulleyRatio));
  t.push_back(item(F::RadioGroup21, "RadioGroup21", "Aux Pressure Sensor Type (Pro+ Only)", Choice,
                   P::Sensor, "Aux Pressure Sensor Type (Pro+ Only)", 93, Codec::Index,
                   kAuxPressureSensor, "0"));
  {
    FieldMeta sva = base(F::CheckBox31, "CheckBox31", "Default LCD Screen", Check, P::General,
                  "SVA Default LCD", Eeprom, 95, Codec::SvaScreen);
    sva.default_value = "1";
    sva.maximum = 1;
    t.push_back(sva);
  }
  t.push_back(item(F::RadioGroup17, "RadioGroup17", "Dial Update Rate", Choice, P::Dials,
                   "Round Dial Options", 144, Codec::DialRate, kDialRate, "0", R::None, 2));
  t.push_back(item(F::ComboBox4, "ComboBox4", "Step Size", List, P::Dials, "Round Dial Options",
                   146, Codec::DialStep, kDialStep, "0", R::None, 2));
  t.push_back(real(F::AbNumSpin4, "AbNumSpin4", "Dial Offset", P::Dials, "Round Dial Options", 148,
                   Codec::DialOffset, 0, 270, 0.1, 1, "0.0", R::None, 2));
  t.back().unit_label = "Degree";
  t.push_back(item(F::RadioGroup18, "RadioGroup18", "Dial Reading Filter", Choice, P::Dials,
                   "Round Dial Options", 150, Codec::DialFilter, kDialFilter, "1"));
  for (auto& f : t) {
    if (f.page == P::Dials) f.enabled = false;
  }
  return t;
}
// clang-format on

}  // namespace

const std::vector<FieldMeta>& config_fields() {
  static const std::vector<FieldMeta> table = [] {
    auto t = build_fields();
    // The table is indexed by id: keep rows in id order.
    for (size_t i = 0; i < t.size(); ++i) {
      if (static_cast<size_t>(t[i].id) != i) std::abort();
    }
    if (t.size() != static_cast<size_t>(kFieldCount)) std::abort();
    return t;
  }();
  return table;
}

const FieldMeta& field_meta(FieldId id) { return config_fields()[static_cast<size_t>(id)]; }

FieldId lcd_page_field(int page) {
  return static_cast<FieldId>(static_cast<int>(FieldId::CheckBox20) + page - 1);
}

FieldId ratio_field(int gear) {
  return static_cast<FieldId>(static_cast<int>(FieldId::prim_ratio_value) + gear);
}

FieldId coordinate_field(int row, bool longitude) {
  return static_cast<FieldId>(static_cast<int>(FieldId::AbNumEdit1) + row * 2 +
                              (longitude ? 1 : 0));
}

const std::vector<GroupMeta>& config_groups() {
  static const std::vector<GroupMeta> groups{
      {P::Version, "Module Versions", {}},
      {P::General, "Odometer", kOdometerHint},
      {P::General, "Accel/Brake Timer", "Acceleration or Deacceleration test setup."},
      {P::General, "Display Units", {}},
      {P::General, "Max Hold / Timer Reset", {}},
      {P::General, "G Force Sensor", {}},
      {P::General, "Logger Box LED", {}},
      {P::General, "Time/Date Display", {}},
      {P::General, "Speed Display", {}},
      {P::General, "Module Data", {}},
      {P::General, "SVA Default LCD", {}},
      {P::Alarms, "Fuel Alarms", {}},
      {P::Alarms, "Engine Alarms", "Set the alarm limits and enable or disable them."},
      {P::Alarms, "Aux/Fuel Pressure Alarm", {}},
      {P::Alarms, "Speed Alarm", {}},
      {P::Alarms, "Alarm Hold Over Time", {}},
      {P::Alarms, "Battery Alarm", {}},
      {P::Display, "LCD Menu Options", "Select the options you want to run on the Pelorant."},
      {P::Display, "Display Settings", "Set the display options."},
      {P::Display, "Aux LED Light Mode", {}},
      {P::Display, "DP on LED Display", {}},
      {P::Display, "Display Lap Update", {}},
      {P::ShiftLights, "Shift Lights", "Setup the shift lights, shift points and mode."},
      {P::Lap, "Lap Timing Mode", "Lap timer settings for track or race day."},
      {P::Lap, "Sprint/Hill Mode", {}},
      {P::Lap, "GPS Lap Coords (saves with config)", {}},
      {P::Lap, "Beacon/Button Options", {}},
      {P::Lap, "Computed Split Distance", {}},
      {P::Lap, "Pre Selected Split Distances (Limit 3)", {}},
      {P::Lap, "Best Lap Reset", {}},
      {P::Gears, "Gearbox Ratios", "Gear ratios for your engine/gearbox."},
      {P::Gears, "Gear Display Setup", {}},
      {P::Sensor, "Fuel Sender Type", {}},
      {P::Sensor, "Aux Pressure Sensor Type (Pro+ Only)", {}},
      {P::Calibrate, "Engine RPM Calibration", "Tachometer calibration."},
      {P::Calibrate, "Standard ECU or Coil Pack", {}},
      {P::Calibrate, "Alternator Terminal", {}},
      {P::Calibrate, "Speed Calibration",
       "Get the calibration factors from the Calculator option."},
      {P::Calibrate, "Total Vehicle Weight", {}},
      {P::Logger, "Pro and Lite Logger Configuration", {}},
      {P::Camera, "DataBase File Manager", {}},
      {P::Camera, "Control Config", {}},
      {P::Dials, "Round Dial Options", {}},
  };
  return groups;
}

const std::vector<PageMeta>& config_pages() {
  static const std::vector<PageMeta> pages{
      {P::Version, "Version", "Version"},
      {P::General, "General", "General"},
      {P::Alarms, "Alarms", "Alarms"},
      {P::Display, "Display", "Display"},
      {P::ShiftLights, "Shift Light", "ShiftLights"},
      {P::Lap, "Lap/Hill", "Lap"},
      {P::Gears, "Gears", "Gears"},
      {P::Sensor, "Sensor", "Fuel"},
      {P::Calibrate, "Calibrate", "Calibrate"},
      {P::Logger, "Logger", "Logger"},
      {P::Camera, "Camera", "GPS"},
      {P::Dials, "Dials", "Dial"},
  };
  return pages;
}

}  // namespace ardenvis::core
