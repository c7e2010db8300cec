#include "logger/data_set_units.h"

#include <utility>

namespace ardenvis::core {
namespace {

// Converts every value in place. A series without storage reads 0 everywhere
// and keeps no storage when the conversion leaves 0 as +0 (a scale factor);
// otherwise (0 degC is 32 degF, -1 x 0 is -0) it gets storage like any other.
template <typename Convert>
void convert_values(Series& series, Convert convert) {
  if (!series.has_storage() && Series::is_plain_zero(convert(0.0))) return;
  double* x = series.data();
  for (long i = 0; i < series.size(); ++i) x[i] = convert(x[i]);
}

void scale(Series& series, double factor) {
  convert_values(series, [factor](double v) { return v * factor; });
}

void to_fahrenheit(Series& series) {
  convert_values(series, [](double v) { return v * kFahrenheitPerCelsius + 32; });
}

void to_celsius(Series& series) {
  convert_values(series, [](double v) { return (v - 32) * kCelsiusPerFahrenheit; });
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

}  // namespace ardenvis::core
