#include "live/virtual_display.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/format.h"
#include "logger/data_set_units.h"

namespace ardenvis::core {

namespace {

constexpr double kPsiToBarLive = 0.068947590867753694386;

// Nearest integer, a value exactly halfway going to the even neighbour.
int nearest(double value) { return static_cast<int>(std::nearbyint(value)); }

// Where an alarm level sits on a scale, in thousandths of it.
int thousandths(double level, double full_scale) { return nearest(level / full_scale * 1000); }

using Band = GaugeView::Band;

}  // namespace

const char* dash_lamp_caption(DashLamp lamp) {
  static constexpr std::array<const char*, kDashLampCount> kCaptions{
      "OIL",        "OIL",     "Water Temp", "Oil Temp", "Oil Pressure", "Aux Pressure",
      "Fuel Level", "Battery", "Speed ",     "Neutral",  "Fluid Warn",   "Fog Light",
      "Logger On",  "Aux On",  "Indicator",  "Battery",  "Main ",        "Brake On"};
  return kCaptions[static_cast<size_t>(lamp)];
}

std::string gear_text(int code) {
  if (code >= 1 && code <= 6) return std::to_string(code);
  if (code == 15) return "N";
  if (code == 24) return "R";
  return "C";  // 11, and any code the unit should not send
}

DashboardInputs dashboard_inputs(const LiveFrame& f) {
  namespace b = frame_byte;
  DashboardInputs in;
  in.road_speed = f[b::road_speed];
  in.rpm = f.word(b::rpm);
  in.gear_code = f[b::gear];
  in.oil_pressure = f[b::oil_pressure];
  in.aux_pressure = f[b::aux_pressure];
  in.oil_temperature = f[b::oil_temperature];
  in.water_temperature = f[b::water_temperature];
  in.fuel = f[b::fuel];
  in.battery = f[b::battery] / 10.0;
  in.unit_flags = f[b::unit_flags];
  in.alarm_flags = f[b::alarm_flags];
  in.indicator_flags = f[b::indicator_flags];
  in.shift_point = f[b::shift_point];
  in.shift_step = f[b::shift_step];
  in.oil_pressure_alarm = f[b::oil_pressure_alarm];
  in.aux_pressure_alarm = f[b::aux_pressure_alarm];
  in.oil_temperature_alarm = f[b::oil_temperature_alarm];
  in.water_temperature_alarm = f[b::water_temperature_alarm];
  in.fuel_alarm = f[b::fuel_alarm];
  return in;
}

namespace {

// The texts are built and moved in rather than assigned from literals: g++ 12
// at -O3 reports a false -Wrestrict inside std::string for a short literal.
GaugeView dial(std::string caption, std::string unit, double minimum, double maximum,
               std::array<Band, 3> bands) {
  GaugeView g;
  g.caption = std::move(caption);
  g.unit = std::move(unit);
  g.minimum = minimum;
  g.maximum = maximum;
  g.bands = bands;
  return g;
}

// The dials with their captions, default scales and band colours; values 0.
DashboardView dashboard_frame() {
  DashboardView v;
  v.gauge(Gauge::EngineRpm) =
      dial("Engine RPM", "x100", 0, 150, {Band::Normal, Band::Caution, Band::Danger});
  v.gauge(Gauge::WaterTemp) =
      dial("Water Temp", "degC", 0, 150, {Band::Cold, Band::Normal, Band::Danger});
  v.gauge(Gauge::OilTemp) =
      dial("Oil Temp", "degC", 0, 150, {Band::Cold, Band::Normal, Band::Danger});
  v.gauge(Gauge::OilPressure) =
      dial("Oil Pressure", "PSI", 0, 145, {Band::Danger, Band::Normal, Band::Normal});
  v.gauge(Gauge::AuxPressure) =
      dial("Aux Pressure", "PSI", 0, 145, {Band::Danger, Band::Normal, Band::Normal});
  v.gauge(Gauge::FuelLevel) =
      dial("Fuel Level", "%", 0, 100, {Band::Danger, Band::Normal, Band::Normal});
  v.gauge(Gauge::Battery) =
      dial("Battery", "VDC", 6, 20, {Band::Danger, Band::Normal, Band::Caution});
  // Below 11.5 V the battery is not charging; above 15 V it is overcharged.
  v.gauge(Gauge::Battery).sector1_end = thousandths(11.5 - 6, 14);
  v.gauge(Gauge::Battery).sector2_end = thousandths(15 - 6, 14);
  // Below 50 degC an engine is still cold.
  for (Gauge t : {Gauge::WaterTemp, Gauge::OilTemp}) v.gauge(t).sector1_end = thousandths(50, 150);
  for (Gauge g : {Gauge::OilPressure, Gauge::AuxPressure, Gauge::FuelLevel}) {
    v.gauge(g).sector2_end = 1000;
  }
  return v;
}

}  // namespace

DashboardView build_dashboard(const DashboardInputs& in) {
  DashboardView v = dashboard_frame();
  const bool kmh = bit_set(in.unit_flags, unit_flag::kmh);
  const bool bar = bit_set(in.unit_flags, unit_flag::bar);
  const bool degf = bit_set(in.unit_flags, unit_flag::degf);

  const double speed = kmh ? in.road_speed * 1.6 : in.road_speed;
  v.speed_unit = kmh ? "KMH" : "MPH";
  const double pressure_factor = bar ? kPsiToBarLive : 1.0;
  const double oil_pressure = in.oil_pressure * pressure_factor;
  const double aux_pressure = in.aux_pressure * pressure_factor;
  auto temperature = [degf](double t) { return degf ? t * 1.8 + 32 : t; };
  const double oil_temperature = temperature(in.oil_temperature);
  const double water_temperature = temperature(in.water_temperature);

  v.gear_text = gear_text(in.gear_code);

  GaugeView& rpm = v.gauge(Gauge::EngineRpm);
  rpm.value = in.rpm / 100.0;
  rpm.sector2_end = thousandths(in.shift_point, 150);
  // The caution band starts where the first shift-light pair comes on.
  rpm.sector1_end =
      std::clamp(thousandths(in.shift_point - 5.0 * in.shift_step, 150), 0, rpm.sector2_end);
  v.rpm_text = format("%5d", in.rpm);
  rpm.readout = v.rpm_text;
  v.speed_text = format("%3.0f", speed);

  v.shift_top = in.rpm > in.shift_point * 100;
  for (int k = 1; k <= 5; ++k) {
    v.shift_pairs[static_cast<size_t>(k - 1)] =
        in.rpm > in.shift_point * 100 - in.shift_step * 100 * k;
  }

  auto set_temperature = [&](Gauge g, double value, int alarm) {
    GaugeView& t = v.gauge(g);
    t.unit = degf ? "degF" : "degC";
    t.minimum = degf ? 32 : 0;
    t.maximum = degf ? 302 : 150;
    t.value = value;
    t.sector2_end = thousandths(alarm, 150);
    t.sector1_end = std::min(t.sector1_end, t.sector2_end);
    t.readout = format("%3.0f", value);
  };
  set_temperature(Gauge::WaterTemp, water_temperature, in.water_temperature_alarm);
  set_temperature(Gauge::OilTemp, oil_temperature, in.oil_temperature_alarm);

  auto set_pressure = [&](Gauge g, double value, int alarm) {
    GaugeView& p = v.gauge(g);
    p.unit = bar ? "Bar" : "PSI";
    p.maximum = bar ? 10 : 145;
    p.value = value;
    p.sector1_end = thousandths(alarm, 145);
    p.readout = format("%3.0f", value);
  };
  set_pressure(Gauge::OilPressure, oil_pressure, in.oil_pressure_alarm);
  set_pressure(Gauge::AuxPressure, aux_pressure, in.aux_pressure_alarm);

  GaugeView& fuel = v.gauge(Gauge::FuelLevel);
  fuel.value = in.fuel;
  fuel.sector1_end = thousandths(in.fuel_alarm, 100);
  fuel.readout = format("%3d", in.fuel);

  GaugeView& battery = v.gauge(Gauge::Battery);
  battery.value = in.battery;
  battery.readout = format("%2.1f", in.battery);

  auto lit = [&](DashLamp l, bool on) { v.lamps[static_cast<size_t>(l)] = on; };
  const uint8_t alarms = in.alarm_flags;
  const uint8_t lights = in.indicator_flags;
  lit(DashLamp::WaterAlarm, bit_set(alarms, 1));
  lit(DashLamp::FuelAlarm, bit_set(alarms, 2));
  lit(DashLamp::AuxPressureAlarm, bit_set(alarms, 4));
  lit(DashLamp::OilLeft, bit_set(alarms, 5));
  lit(DashLamp::OilRight, bit_set(alarms, 5));
  lit(DashLamp::OilPressureAlarm, bit_set(alarms, 5) || bit_set(alarms, 6));
  lit(DashLamp::OilTempAlarm, bit_set(alarms, 7));
  lit(DashLamp::Battery, bit_set(lights, 0));
  lit(DashLamp::BatteryAlarm, bit_set(lights, 0));
  lit(DashLamp::Indicator, bit_set(lights, 1));
  lit(DashLamp::Main, bit_set(lights, 2));
  lit(DashLamp::AuxOn, bit_set(lights, 3));
  lit(DashLamp::FogLight, bit_set(lights, 4));
  lit(DashLamp::FluidWarn, bit_set(lights, 5));
  lit(DashLamp::Neutral, bit_set(lights, 6));
  lit(DashLamp::Speed, bit_set(lights, 7));
  lit(DashLamp::LoggerOn, bit_set(in.unit_flags, unit_flag::logger_running));
  lit(DashLamp::BrakeOn, bit_set(in.unit_flags, unit_flag::brake));
  return v;
}

DashboardView resting_dashboard() {
  DashboardView v = build_dashboard({});
  v.gear_text = std::string("C");  // moved in: see dial()
  v.shift_top = false;
  v.shift_pairs = {};
  v.lamps = {};
  return v;
}

int playback_interval_ms(const DataSet& set) { return set.info.sample_rate == 10 ? 100 : 50; }

int playback_shift_point(const DataSet& set) {
  const Series& rpm = set[Channel::Rpm];
  double highest = 0;
  for (long i = 1; i <= rpm.size(); ++i) highest = std::max(highest, rpm[i]);
  return nearest(0.9 * highest);
}

long next_playback_position(const DataSet& set, long position) {
  return position + 1 < set[Channel::Speed].size() ? position + 1 : 0;
}

DashboardInputs playback_inputs(const DataSet& set, long k, int shift_point,
                                const UnitFlags& units) {
  DashboardInputs in;
  // Position 0 (and any outside the log) is the all-zero step.
  const bool inside = k >= 1 && k <= set[Channel::Speed].size();
  // The series hold the units the viewer shows; the dashboard is fed as the
  // unit feeds it (mph, psi, degC) and labels them so.
  const double speed = units.speed_kmh ? kKmhToMph : 1.0;
  const double pressure = units.pressure_bar ? kBarToPsi : 1.0;
  auto temperature = [&](double t) {
    return units.temperature_degf && inside ? (t - 32) * kCelsiusPerFahrenheit : t;
  };
  in.road_speed = set[Channel::Speed][k] * speed;
  in.rpm = nearest(set[Channel::Rpm][k] * 100 / 5) * 5;
  in.gear_code = nearest(set[Channel::Gear][k] / 10);
  in.oil_pressure = set[Channel::OilPressure][k] * pressure;
  in.aux_pressure = set[Channel::AuxPressure][k] * pressure;
  in.oil_temperature = temperature(set[Channel::OilTemp][k]);
  in.water_temperature = temperature(set[Channel::WaterTemp][k]);
  in.fuel = nearest(set[Channel::Fuel][k]);
  in.battery = set[Channel::Battery][k];
  if (set[Channel::Brake][k] > 0) in.unit_flags |= 1 << unit_flag::brake;
  in.shift_point = shift_point;
  in.shift_step = 5;
  in.oil_pressure_alarm = 20;
  in.aux_pressure_alarm = 20;
  in.oil_temperature_alarm = 120;
  in.water_temperature_alarm = 100;
  in.fuel_alarm = 5;
  return in;
}

}  // namespace ardenvis::core
