#pragma once
// What the virtual dashboard shows: dial gauges with their scales and sector
// bands, the digital readouts, the shift-light bar and the lamps, worked out
// from one live-data frame or from one sample of data set A played back.

#include <array>
#include <cstdint>
#include <string>

#include "live/live_frame.h"
#include "state/program_state.h"

namespace ardenvis::core {

// The values the dashboard is drawn from, in the units the unit flags name
// (speed mph, pressures psi, temperatures degC before the display converts).
struct DashboardInputs {
  double road_speed = 0;  // mph
  int rpm = 0;
  int gear_code = 0;
  double oil_pressure = 0;  // psi
  double aux_pressure = 0;
  double oil_temperature = 0;  // degC
  double water_temperature = 0;
  int fuel = 0;        // per cent
  double battery = 0;  // volts
  uint8_t unit_flags = 0;
  uint8_t alarm_flags = 0;
  uint8_t indicator_flags = 0;
  int shift_point = 0;  // RPM / 100
  int shift_step = 0;   // RPM / 100 per lamp pair
  int oil_pressure_alarm = 0;
  int aux_pressure_alarm = 0;
  int oil_temperature_alarm = 0;
  int water_temperature_alarm = 0;
  int fuel_alarm = 0;
};

DashboardInputs dashboard_inputs(const LiveFrame& frame);

enum class Gauge { EngineRpm, WaterTemp, OilTemp, OilPressure, AuxPressure, FuelLevel, Battery };
inline constexpr int kGaugeCount = 7;

// A dial: its value on a scale, and a band of three coloured sectors whose
// limits are thousandths of the scale.
struct GaugeView {
  std::string caption;  // "Engine RPM", "Water Temp" ...
  std::string unit;     // "RPM/100", "degC", "PSI", "%", "VDC" ...
  double value = 0;
  double minimum = 0;
  double maximum = 0;
  int sector1_end = 0;  // thousandths; sector 2 begins here
  int sector2_end = 0;  // sector 3 begins here
  // Sector colours, low to high.
  enum class Band { Normal, Caution, Danger, Cold };
  std::array<Band, 3> bands{Band::Normal, Band::Normal, Band::Normal};
  std::string readout;  // the digital readout beneath the dial
};

// The dashboard's lamps, each one on or off.
enum class DashLamp {
  OilLeft,  // the two large "OIL" lamps
  OilRight,
  WaterAlarm,  // one alarm lamp beside each small gauge
  OilTempAlarm,
  OilPressureAlarm,
  AuxPressureAlarm,
  FuelAlarm,
  BatteryAlarm,
  Speed,  // the unit lamps
  Neutral,
  FluidWarn,
  FogLight,
  LoggerOn,
  AuxOn,
  Indicator,
  Battery,
  Main,
  BrakeOn,
};
inline constexpr int kDashLampCount = 18;
// The lamp's caption ("Speed ", "Neutral", "OIL" ...); the alarm lamps carry
// the name of their gauge.
const char* dash_lamp_caption(DashLamp lamp);

struct DashboardView {
  std::array<GaugeView, kGaugeCount> gauges;
  GaugeView& gauge(Gauge g) { return gauges[static_cast<size_t>(g)]; }
  const GaugeView& gauge(Gauge g) const { return gauges[static_cast<size_t>(g)]; }
  std::string rpm_text;    // "%5d"
  std::string speed_text;  // "%3.0f"
  std::string speed_unit;  // "MPH" / "KMH"
  std::string gear_text;
  bool shift_top = false;
  // shift_pairs[k - 1]: pair k, 5 = the outermost, 1 = the innermost.
  std::array<bool, 5> shift_pairs{};
  std::array<bool, kDashLampCount> lamps{};
  bool lamp(DashLamp l) const { return lamps[static_cast<size_t>(l)]; }
};

// The gear text of a gear code: "1".."6", "C" for 11, "N" for 15, "R" for 24,
// "C" for anything else.
std::string gear_text(int code);

// The whole dashboard for one set of inputs.
DashboardView build_dashboard(const DashboardInputs& in);
// The dashboard at rest: readouts zero, gear "C", every lamp out, gauges at 0.
DashboardView resting_dashboard();

// Playback of data set A through the dashboard.
// The tick: 100 ms for data logged at 10 samples/s, 50 ms otherwise.
int playback_interval_ms(const DataSet& set);
// The shift point used while playing back: 0.9 x the highest engine speed.
int playback_shift_point(const DataSet& set);
// The next position: one on, back to 0 once the end of the road speed channel
// is reached (position 0 reads as an all-zero sample).
long next_playback_position(const DataSet& set, long position);
// The sample at `position`, with the fixed playback settings: shift step 5,
// the standard alarm levels, no unit flags, no alarm or indicator lamps.
DashboardInputs playback_inputs(const DataSet& set, long position, int shift_point,
                                const UnitFlags& units_in_force);

}  // namespace ardenvis::core
