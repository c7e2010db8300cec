#pragma once
// Display units of the data sets. Decoding gives mph, psi, degrees C and
// metres; while a unit flag is set the affected series hold converted values,
// converted in place when the user switches (the log data file and the
// spreadsheet export read the flags and trust the series to match them).
// Downloads, file loads, the command line and the viewer all bring a freshly
// loaded slot to the units in force through change_loaded_units.
//
// Aux Pressure follows the pressure unit together with Oil Pressure, so every
// label that names its unit (the channel row, the x-axis caption, the export's
// column header) agrees with the values.

#include <string>

#include "state/program_state.h"

namespace ardenvis::core {

// The literal factors. A switch and its way back are not exact inverses
// (metres -> feet -> metres leaves 3.281 x 0.3048 = 1.0000488); users have
// always seen these numbers, so they stay.
inline constexpr double kMphToKmh = 1.6;
inline constexpr double kKmhToMph = 0.625;
inline constexpr double kFahrenheitPerCelsius = 1.8;
inline constexpr double kCelsiusPerFahrenheit = 0.5555555555555556;
inline constexpr double kPsiToBar = 0.06895;
inline constexpr double kBarToPsi = 14.503;
inline constexpr double kMetresToFeet = 3.281;
inline constexpr double kFeetToMetres = 0.3048;
// The unit shows 3 % above the true speed; "-3% Calibration" removes that.
inline constexpr double kSpeedCalibration = 0.97;
inline constexpr double kSpeedCalibrationUndo = 1.0309278350515463;

// Each switch converts every loaded slot in place and sets its flag. Asking for
// the unit already in force changes nothing. True when the flag changed.
bool change_mph_kmh(ProgramState& state, bool kmh);
bool change_degC_degF(ProgramState& state, bool degf);
bool change_psi_bar(ProgramState& state, bool bar);
bool change_metre_feet(ProgramState& state, bool feet);
// "-3% Calibration": Speed x 0.97 when checked, x 1.0309278350515463 when
// unchecked. True when the state changed.
bool changeSvaCal(ProgramState& state, bool calibrated);

// G-axis corrections of one data set, ticked on the "Options" page.
struct GAxisCorrections {
  bool swap_lat_long = false;
  bool change_lat_sign = false;
  bool change_long_sign = false;
};
void apply_g_axis_corrections(DataSet& set, const GAxisCorrections& corrections);

// Brings a slot freshly loaded in the stored units to the units in force: its
// ticked G-axis corrections first, then calibration, speed, temperature,
// pressure and distance. Does nothing for a slot without data.
void change_loaded_units(ProgramState& state, DataSetId slot, const GAxisCorrections& corrections);

// Unit texts as the labels show them.
std::string speed_unit(const UnitFlags& flags);        // "MPH" / "KMH"
std::string pressure_unit(const UnitFlags& flags);     // "psi" / "Bar"
std::string temperature_unit(const UnitFlags& flags);  // "degC" / "degF"
std::string distance_unit(const UnitFlags& flags);     // "m" / "ft"

}  // namespace ardenvis::core
