#pragma once
// The per-sample functions and operators of a formula, one definition each:
// the parser calls them one value at a time, and the whole-series evaluation
// runs the very same functions over blocks of samples, so both give the same
// bits.

#include <cmath>
#include <limits>

namespace ardenvis::core::scalar {

// A value that is not finite is a gap: x - x is 0 for every finite x and not
// a number for infinities and gaps (a test the compiler can run on several
// values at once).
inline double finite_or_gap(double x) {
  return x - x == 0 ? x : std::numeric_limits<double>::quiet_NaN();
}

// Operators. Comparisons and logic give 1 or 0; a gap (not a number) counts
// as true in a condition, as the parser has it.
inline double add(double a, double b) { return a + b; }
inline double subtract(double a, double b) { return a - b; }
inline double multiply(double a, double b) { return a * b; }
inline double divide(double a, double b) { return a / b; }
inline double power(double a, double b) { return std::pow(a, b); }
inline double less_equal(double a, double b) { return a <= b; }
inline double greater_equal(double a, double b) { return a >= b; }
inline double not_equal(double a, double b) { return a != b; }
inline double equal(double a, double b) { return a == b; }
inline double less(double a, double b) { return a < b; }
inline double greater(double a, double b) { return a > b; }
inline double logical_and(double a, double b) { return a && b; }
inline double logical_or(double a, double b) { return a || b; }
inline double negate(double a) { return -a; }
inline double same(double a) { return a; }
inline double choose(double condition, double then_value, double else_value) {
  return condition == 0 ? else_value : then_value;
}

// The parser's own shortcuts for a variable to a power and a variable times a
// constant plus a constant.
inline double square(double a) { return a * a; }
inline double cube(double a) { return a * a * a; }
inline double fourth_power(double a) { return a * a * a * a; }
inline double multiply_add(double a, double factor, double offset) { return a * factor + offset; }

// min and max keep a gap: a gap in, a gap out.
inline double maximum(double a, double b) { return (a < b || b != b) ? b : a; }
inline double minimum(double a, double b) { return (b < a || b != b) ? b : a; }
inline double clamp(double x, double low, double high) { return minimum(maximum(x, low), high); }
inline double sign(double a) { return a > 0 ? 1.0 : a < 0 ? -1.0 : a; }

inline double abs(double a) { return std::fabs(a); }
inline double sqrt(double a) { return std::sqrt(a); }
inline double exp(double a) { return std::exp(a); }
inline double ln(double a) { return std::log(a); }
inline double log10(double a) { return std::log10(a); }
inline double log2(double a) { return std::log2(a); }
inline double sin(double a) { return std::sin(a); }
inline double cos(double a) { return std::cos(a); }
inline double tan(double a) { return std::tan(a); }
inline double asin(double a) { return std::asin(a); }
inline double acos(double a) { return std::acos(a); }
inline double atan(double a) { return std::atan(a); }
inline double sinh(double a) { return std::sinh(a); }
inline double cosh(double a) { return std::cosh(a); }
inline double tanh(double a) { return std::tanh(a); }
inline double floor(double a) { return std::floor(a); }
inline double ceil(double a) { return std::ceil(a); }
inline double round(double a) { return std::round(a); }
inline double hypot(double a, double b) { return std::hypot(a, b); }
inline double atan2(double a, double b) { return std::atan2(a, b); }

}  // namespace ardenvis::core::scalar
