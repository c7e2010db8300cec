#include "files/csv_numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ardenvis::core {

namespace {

constexpr double kScale[] = {1.0, 10.0, 100.0};
constexpr uint64_t kIntScale[] = {1, 10, 100};

// Digits of v, most significant first.
char* write_unsigned(char* out, uint64_t v) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n > 0) *out++ = digits[--n];
  return out;
}

char* write_exact(char* out, double value, int precision) {
  const auto result =
      std::to_chars(out, out + kMaxFixedChars, value, std::chars_format::fixed, precision);
  return result.ptr;
}

}  // namespace

char* write_fixed(char* out, double value, int precision) {
  if (precision < 0 || precision > 2 || !std::isfinite(value)) {
    return write_exact(out, value, precision);
  }
  const double magnitude = std::fabs(value);
  const double scaled = magnitude * kScale[precision];
  // Beyond 2^50 the scaled value has no room for the rounding check below.
  if (!(scaled < 0x1p50)) return write_exact(out, value, precision);
  // The product is off the exact scaled value by at most half a unit in its
  // last place; unless the fraction is that close to a half, rounding it
  // gives the same integer as rounding the exact value.
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  const double slack = scaled * 0x1p-50 + 0x1p-1000;
  if (std::fabs(fraction - 0.5) <= slack) return write_exact(out, value, precision);
  const auto rounded = static_cast<uint64_t>(fraction > 0.5 ? whole + 1 : whole);

  if (std::signbit(value)) *out++ = '-';  // printf keeps the sign of -0.001 and -0
  const uint64_t scale = kIntScale[precision];
  out = write_unsigned(out, rounded / scale);
  if (precision > 0) {
    uint64_t decimals = rounded % scale;
    *out++ = '.';
    if (precision == 2) {
      *out++ = static_cast<char>('0' + decimals / 10);
      decimals %= 10;
    }
    *out++ = static_cast<char>('0' + decimals);
  }
  return out;
}

char* write_fixed(char* out, double value, int precision, int width) {
  char number[kMaxFixedChars];
  const char* end = write_fixed(number, value, precision);
  const auto length = static_cast<int>(end - number);
  for (int i = length; i < width; ++i) *out++ = ' ';
  std::memcpy(out, number, static_cast<size_t>(length));
  return out + length;
}

char* write_int(char* out, int64_t value) {
  if (value < 0) {
    *out++ = '-';
    return write_unsigned(out, 0 - static_cast<uint64_t>(value));
  }
  return write_unsigned(out, static_cast<uint64_t>(value));
}

}  // namespace ardenvis::core
