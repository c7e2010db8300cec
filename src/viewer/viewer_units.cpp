#include "viewer/viewer_units.h"

#include <algorithm>
#include <utility>

#include "common/savitzky_golay.h"

namespace ardenvis::core {
namespace {

void scale(Series& series, double factor) {
  double* x = series.data();
  for (long i = 0; i < series.size(); ++i) x[i] *= factor;
}

void to_fahrenheit(Series& series) {
  double* x = series.data();
  for (long i = 0; i < series.size(); ++i) x[i] = x[i] * kFahrenheitPerCelsius + 32;
}

void to_celsius(Series& series) {
  double* x = series.data();
  for (long i = 0; i < series.size(); ++i) x[i] = (x[i] - 32) * kCelsiusPerFahrenheit;
}

template <typename Convert>
void for_loaded_slots(ProgramState& state, Convert convert) {
  for (DataSet& set : state.data_sets) {
    if (set.has_data()) convert(set);
  }
}

}  // namespace

bool change_mph_kmh(ProgramState& state, bool kmh) {
  if (state.unit_flags.speed_kmh == kmh) return false;
  const double factor = kmh ? kMphToKmh : kKmhToMph;
  for_loaded_slots(state, [&](DataSet& set) { scale(set[Channel::Speed], factor); });
  state.unit_flags.speed_kmh = kmh;
  return true;
}

bool change_degC_degF(ProgramState& state, bool degf) {
  if (state.unit_flags.temperature_degf == degf) return false;
  for_loaded_slots(state, [&](DataSet& set) {
    for (Channel c : {Channel::OilTemp, Channel::WaterTemp}) {
      degf ? to_fahrenheit(set[c]) : to_celsius(set[c]);
    }
  });
  state.unit_flags.temperature_degf = degf;
  return true;
}

bool change_psi_bar(ProgramState& state, bool bar) {
  if (state.unit_flags.pressure_bar == bar) return false;
  const double factor = bar ? kPsiToBar : kBarToPsi;
  for_loaded_slots(state, [&](DataSet& set) {
    scale(set[Channel::OilPressure], factor);
    scale(set[Channel::AuxPressure], factor);
  });
  state.unit_flags.pressure_bar = bar;
  return true;
}

bool change_metre_feet(ProgramState& state, bool feet) {
  if (state.unit_flags.distance_feet == feet) return false;
  const double factor = feet ? kMetresToFeet : kFeetToMetres;
  for_loaded_slots(state, [&](DataSet& set) {
    scale(set[Channel::Odo], factor);
    scale(set[Channel::LapOdo], factor);
  });
  state.unit_flags.distance_feet = feet;
  return true;
}

bool changeSvaCal(ProgramState& state, bool calibrated) {
  if (state.speed_calibration == calibrated) return false;
  const double factor = calibrated ? kSpeedCalibration : kSpeedCalibrationUndo;
  for_loaded_slots(state, [&](DataSet& set) { scale(set[Channel::Speed], factor); });
  state.speed_calibration = calibrated;
  return true;
}

void apply_g_axis_corrections(DataSet& set, const GAxisCorrections& corrections) {
  if (corrections.swap_lat_long) std::swap(set[Channel::GLat], set[Channel::GLong]);
  if (corrections.change_lat_sign) scale(set[Channel::GLat], -1);
  if (corrections.change_long_sign) scale(set[Channel::GLong], -1);
}

void change_loaded_units(ProgramState& state, DataSetId slot, const GAxisCorrections& corrections) {
  DataSet& set = state.data_set(slot);
  if (!set.has_data()) return;
  apply_g_axis_corrections(set, corrections);
  const UnitFlags& flags = state.unit_flags;
  if (state.speed_calibration) scale(set[Channel::Speed], kSpeedCalibration);
  if (flags.speed_kmh) scale(set[Channel::Speed], kMphToKmh);
  if (flags.temperature_degf) {
    to_fahrenheit(set[Channel::OilTemp]);
    to_fahrenheit(set[Channel::WaterTemp]);
  }
  if (flags.pressure_bar) {
    scale(set[Channel::OilPressure], kPsiToBar);
    scale(set[Channel::AuxPressure], kPsiToBar);
  }
  if (flags.distance_feet) {
    scale(set[Channel::Odo], kMetresToFeet);
    scale(set[Channel::LapOdo], kMetresToFeet);
  }
}

std::string speed_unit(const UnitFlags& flags) { return flags.speed_kmh ? "KMH" : "MPH"; }
std::string pressure_unit(const UnitFlags& flags) { return flags.pressure_bar ? "Bar" : "psi"; }
std::string temperature_unit(const UnitFlags& flags) {
  return flags.temperature_degf ? "degF" : "degC";
}
std::string distance_unit(const UnitFlags& flags) { return flags.distance_feet ? "ft" : "m"; }

std::span<const SmoothingChoice> smoothing_choices() {
  static const SmoothingChoice kChoices[] = {
      {"RPM", Channel::Rpm},
      {"Speed", Channel::Speed},
      {"Oil Pressure", Channel::OilPressure},
      {"Aux Pressure", Channel::AuxPressure},
      {"Oil Temp", Channel::OilTemp},
      {"Water Temp", Channel::WaterTemp},
      {"Battery Volts", Channel::Battery},
      {"G Lat", Channel::GLat},
      {"G Long", Channel::GLong},
      {"Analog Ch1", analog_channel(1)},
      {"Analog Ch2", analog_channel(2)},
      {"Analog Ch3", analog_channel(3)},
      {"Analog Ch4", analog_channel(4)},
      {"Analog Ch5", analog_channel(5)},
      {"Analog Ch6", analog_channel(6)},
      {"Analog Ch7", analog_channel(7)},
      {"Analog Ch8", analog_channel(8)},
      {"Pulse Ch1", pulse_channel(1)},
      {"Pulse Ch2", pulse_channel(2)},
      {"Pulse Ch3", pulse_channel(3)},
      {"Pulse Ch4", pulse_channel(4)},
  };
  return kChoices;
}

int smoothData(ProgramState& state, Channel channel) {
  int smoothed = 0;
  for (DataSet& set : state.data_sets) {
    if (!set.has_data()) continue;
    Series& series = set[channel];
    // The series is as long as the slot's samples; smooth only what both agree on.
    const long n = std::min<long>(series.size(), static_cast<long>(set.sample_count()));
    if (n < kViewerSmoothingWindow + 1) continue;
    if (savitzky_golay_smooth(std::span<double>(series.data(), static_cast<size_t>(n)),
                              kViewerSmoothingWindow)) {
      ++smoothed;
    }
  }
  return smoothed;
}

}  // namespace ardenvis::core
