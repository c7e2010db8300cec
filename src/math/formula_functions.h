#pragma once
// What a formula may use besides the channels: functions, operators and
// constants, each with the help text the program shows and an example.

#include <span>
#include <string_view>

namespace ardenvis::core {

struct FormulaHelp {
  std::string_view usage;        // "hypot(a, b)"
  std::string_view description;  // what it gives
  std::string_view example;      // a formula that uses it
};

// The functions, in the order they are listed to the user: first those that
// work on whole series (derivative, integrals, smoothing, shifts), then the
// per-sample ones.
std::span<const FormulaHelp> formula_functions();
// Operators and constants.
std::span<const FormulaHelp> formula_operators();

// The constants a formula knows: g (standard gravity, m/s2) and pi.
inline constexpr double kStandardGravity = 9.80665;

}  // namespace ardenvis::core
