#include "live/system_check.h"

#include <cmath>

#include "common/format.h"
#include "live/virtual_display.h"

namespace ardenvis::core {

namespace {

constexpr double kPsiToBarLive = 0.068947590867753694386;
const std::string kNotAvailable = "NA";

struct LampText {
  const char* caption;
  const char* name;
};
constexpr std::array<LampText, kCheckLampCount> kLamps{{
    {"Water", "Water alarm"},
    {"Oil", "Oil Temp alarm"},
    {"Fuel Level %", "Fuel alarm"},
    {"Oil", "Oil Pressure alarm"},
    {"Aux", "Aux Pressure alarm"},
    {"Battery (VDC)", "Battery alarm"},
    {"Battery", "Dash Battery"},
    {"Indicator", "Dash Indicator"},
    {"Main ", "Dash Main"},
    {"Aux On", "Dash Aux On"},
    {"Fog Light", "Dash Fog Light"},
    {"Handbrake", "Dash Handbrake"},
    {"Neutral", "Dash Neutral"},
    {"Speed ", "Dash Speed"},
    {"Speed Trigger Detect", "Speed Trigger Detect"},
    {"Lap Trigger IR Detected", "Lap Trigger IR Detected"},
    {"RPM Input Detected", "RPM Input Detected"},
    {"External Log Switch", "External Log Switch"},
    {"Main Dash Display", "Main Dash Display"},
    {"Co-Driver Dash Display", "Co-Driver Dash Display"},
    {"Shift Pod Display", "Shift Pod Display"},
    {"Module Connected", "GPS Module Connected"},
    {"Module Connected", "Sensor Module 1 Connected"},
    {"Module Connected", "Sensor Module 2 Connected"},
    {"Module Connected", "Gear Module Connected"},
    {"GPS Data Valid", "GPS Data Valid"},
    {"Sat Acquired", "Sat Acquired"},
    {"PL Compatible", "PL Compatible"},
    {"Connected", "GPS Connected"},
    {"Speed Ch1", "Speed Ch1"},
    {"Speed Ch2", "Speed Ch2"},
    {"Speed Ch3", "Speed Ch3"},
    {"Speed Ch4", "Speed Ch4"},
}};

constexpr std::array<const char*, kCheckReadoutCount> kReadoutNames{
    "Water Temp",    "Oil Temp", "Oil Pressure", "Aux Pressure",  "Fuel Level %",
    "Battery (VDC)", "Speed",    "RPM",          "Gear Position", "G Meter 1",
    "G Meter 2",     "Lat",      "Long",         "Time",          "Date",
    "Sats",          "Altitude", "GPS Speed",    "Gear Module"};

// A channel byte as a percentage of its full scale.
std::string percent_of_scale(uint8_t byte) { return format("%3.0f", byte * 100.0 / 255.0); }

}  // namespace

const char* check_lamp_caption(CheckLamp lamp) { return kLamps[static_cast<size_t>(lamp)].caption; }
const char* check_lamp_name(CheckLamp lamp) { return kLamps[static_cast<size_t>(lamp)].name; }
const char* check_readout_name(CheckReadout r) { return kReadoutNames[static_cast<size_t>(r)]; }

SystemCheckView empty_system_check() {
  SystemCheckView v;
  v.readouts.fill(kNotAvailable);
  v.sensors.fill(kNotAvailable);
  v.on_board.fill(kNotAvailable);
  return v;
}

void show_no_data(SystemCheckView& v) {
  v.readouts.fill(kNotAvailable);
  v.sensors.fill(kNotAvailable);
  v.on_board.fill(kNotAvailable);
  v.lamps.fill(false);
}

SystemCheckView system_check_view(const LiveFrame& f) {
  namespace b = frame_byte;
  SystemCheckView v = empty_system_check();
  const uint8_t units = f[b::unit_flags];
  const bool kmh = bit_set(units, unit_flag::kmh);
  const bool bar = bit_set(units, unit_flag::bar);
  const bool degf = bit_set(units, unit_flag::degf);
  v.speed_unit = kmh ? "(KMH)" : "(MPH)";
  v.pressure_unit = bar ? "(Bar)" : "(PSI)";
  v.temperature_unit = degf ? "(degF)" : "(degC)";

  auto temperature = [degf](uint8_t t) { return format("%3.0f", degf ? t * 1.8 + 32 : t * 1.0); };
  auto pressure = [bar](uint8_t p) {
    return bar ? format("%2.1f", p * kPsiToBarLive) : format("%3.0f", p * 1.0);
  };
  auto g_value = [&](int byte, int sign_bit) {
    const double g = f[byte] / 100.0;
    return format("%1.2f", bit_set(units, sign_bit) ? g : -g);
  };
  v.readout(CheckReadout::WaterTemp) = temperature(f[b::water_temperature]);
  v.readout(CheckReadout::OilTemp) = temperature(f[b::oil_temperature]);
  v.readout(CheckReadout::OilPressure) = pressure(f[b::oil_pressure]);
  v.readout(CheckReadout::AuxPressure) = pressure(f[b::aux_pressure]);
  v.readout(CheckReadout::Fuel) = format("%3d", f[b::fuel]);
  v.readout(CheckReadout::Battery) = format("%2.1f", f[b::battery] / 10.0);
  v.readout(CheckReadout::Speed) = format("%3.0f", f[b::road_speed] * (kmh ? 1.6 : 1.0));
  v.readout(CheckReadout::Rpm) = format("%5d", f.word(b::rpm));
  v.readout(CheckReadout::Gear) = gear_text(f[b::gear]);
  v.readout(CheckReadout::GFirst) = g_value(b::g_first, unit_flag::g_first_positive);
  v.readout(CheckReadout::GSecond) = g_value(b::g_second, unit_flag::g_second_positive);

  auto lit = [&](CheckLamp l, bool on) { v.lamps[static_cast<size_t>(l)] = on; };
  const uint8_t alarms = f[b::alarm_flags];
  const uint8_t dash = f[b::indicator_flags];
  lit(CheckLamp::WaterAlarm, bit_set(alarms, 1));
  lit(CheckLamp::OilTempAlarm, bit_set(alarms, 7));
  lit(CheckLamp::FuelAlarm, bit_set(alarms, 2));
  lit(CheckLamp::OilPressureAlarm, bit_set(alarms, 5) || bit_set(alarms, 6));
  lit(CheckLamp::AuxAlarm, bit_set(alarms, 4));
  lit(CheckLamp::BatteryAlarm, bit_set(dash, 0));
  for (int bit = 0; bit < 8; ++bit) {
    lit(static_cast<CheckLamp>(static_cast<int>(CheckLamp::DashBattery) + bit), bit_set(dash, bit));
  }
  for (int bit = 0; bit < 4; ++bit) {
    lit(static_cast<CheckLamp>(static_cast<int>(CheckLamp::SpeedTrigger) + bit),
        bit_set(f[b::external_inputs], bit));
    lit(static_cast<CheckLamp>(static_cast<int>(CheckLamp::SpeedCh1) + bit),
        bit_set(f[b::speed_channels], bit));
  }
  const uint8_t equipment = f[b::equipment];
  lit(CheckLamp::MainDisplay, bit_set(equipment, 0));
  lit(CheckLamp::CoDriverDisplay, bit_set(equipment, 1));
  lit(CheckLamp::ShiftPodDisplay, bit_set(equipment, 2));
  lit(CheckLamp::GpsModule, bit_set(equipment, 3));
  lit(CheckLamp::FirstSensorModule, bit_set(equipment, 5));
  lit(CheckLamp::SecondSensorModule, bit_set(equipment, 6));
  lit(CheckLamp::GearModule, bit_set(equipment, 7));

  // Position module: a time and position only with a valid fix.
  const uint8_t status = f[b::gps_status];
  lit(CheckLamp::SatAcquired, bit_set(status, 4));
  lit(CheckLamp::PlCompatible, bit_set(status, 3));
  lit(CheckLamp::GpsConnected, bit_set(status, 2));
  const bool fix = bit_set(status, 2) && bit_set(status, 3) && bit_set(status, 4) &&
                   v.lamp(CheckLamp::GpsModule);
  lit(CheckLamp::GpsDataValid, fix);
  if (fix) {
    auto degrees = [&](int byte, int sign_bit) {
      const double magnitude = f.dword(byte) / 1000000.0;
      return format("%3.6f", bit_set(status, sign_bit) ? magnitude : -magnitude);
    };
    v.readout(CheckReadout::Latitude) = degrees(b::latitude, 0);
    v.readout(CheckReadout::Longitude) = degrees(b::longitude, 1);
    v.readout(CheckReadout::Time) =
        format("%2dh %2dm %2ds", f[b::time_of_day], f[b::time_of_day + 1], f[b::time_of_day + 2]);
    v.readout(CheckReadout::Date) =
        format("%2d/%2d/%2d", f[b::date], f[b::date + 1], f[b::date + 2]);
    v.readout(CheckReadout::GpsSpeed) = format("%3d", f[b::gps_speed]);
    v.readout(CheckReadout::Satellites) = format("%2d", f[b::satellites]);
    const uint16_t altitude = f.word(b::altitude);
    const int magnitude = altitude & 0x7FFF;
    v.readout(CheckReadout::Altitude) = format("%5d", (altitude & 0x8000) ? magnitude : -magnitude);
  }

  if (v.lamp(CheckLamp::GearModule))
    v.readout(CheckReadout::GearModule) = gear_text(f[b::gear_module]);
  for (int i = 0; i < 8; ++i) {
    if (v.lamp(CheckLamp::FirstSensorModule)) {
      v.sensors[static_cast<size_t>(i)] = percent_of_scale(f[b::first_sensors + i]);
    }
    if (v.lamp(CheckLamp::SecondSensorModule)) {
      v.sensors[static_cast<size_t>(i + 8)] = percent_of_scale(f[b::second_sensors + i]);
    }
  }
  if (f[b::on_board_marker] == 5) {
    for (int i = 0; i < kOnBoardChannels; ++i) {
      v.on_board[static_cast<size_t>(i)] = percent_of_scale(f[b::on_board + i]);
    }
  }
  return v;
}

}  // namespace ardenvis::core
