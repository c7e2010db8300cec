#pragma once
// Numbers of the spreadsheet export written straight into a character buffer,
// with exactly the digits of the printf formats the export is defined by
// ("%.2f", "%2.0f", "%d" ...). A full log memory's export is some twelve
// million numbers; one vsnprintf each costs more than all the rest of it.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ardenvis::core {

// Room one number takes at most: sign, 309 integer digits, point, 2 decimals.
inline constexpr size_t kMaxFixedChars = 320;

// "%.{precision}f" of `value` (precision 0..2) at `out`; returns the end.
// Correctly rounded (halves to even) like printf: numbers that are plainly
// not near a half are rounded from their scaled value, the rest go through
// std::to_chars, which rounds the exact binary value as printf does.
char* write_fixed(char* out, double value, int precision);

// "%{width}.{precision}f": right-aligned in `width` characters with spaces.
char* write_fixed(char* out, double value, int precision, int width);

// "%d".
char* write_int(char* out, int64_t value);

namespace csv_detail {
inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Digits of v, most significant first.
[[gnu::always_inline]] inline char* write_unsigned(char* out, uint64_t v) {
  int length;
  if (v < 10) {
    *out = static_cast<char>('0' + v);
    return out + 1;
  } else if (v < 100) {
    length = 2;
  } else if (v < 1000) {
    length = 3;
  } else if (v < 10000) {
    length = 4;
  } else {
    length = 5;
    for (uint64_t rest = v / 100000; rest != 0; rest /= 10) ++length;
  }
  char* p = out + length;
  while (v >= 100) {
    const auto pair = static_cast<size_t>(v % 100) * 2;
    v /= 100;
    *--p = kPairs[pair + 1];
    *--p = kPairs[pair];
  }
  if (v >= 10) {
    const auto pair = static_cast<size_t>(v) * 2;
    *--p = kPairs[pair + 1];
    *--p = kPairs[pair];
  } else {
    *--p = static_cast<char>('0' + v);
  }
  return out + length;
}

// `scaled` (the number times 10^Precision, rounded) with the decimal point
// put back.
template <int Precision>
[[gnu::always_inline]] inline char* write_scaled(char* out, uint64_t scaled) {
  if constexpr (Precision == 0) {
    return write_unsigned(out, scaled);
  } else {
    constexpr uint64_t kIntScale = Precision == 1 ? 10 : 100;
    out = write_unsigned(out, scaled / kIntScale);
    const auto decimals = static_cast<size_t>(scaled % kIntScale);
    *out++ = '.';
    if constexpr (Precision == 2) {
      *out++ = kPairs[decimals * 2];
      *out++ = kPairs[decimals * 2 + 1];
    } else {
      *out++ = static_cast<char>('0' + decimals);
    }
    return out;
  }
}

// The exact way, through std::to_chars.
char* write_exact(char* out, double value, int precision);
}  // namespace csv_detail

// "%.{Precision}f" (Precision 0..2) with the precision fixed where it is
// written; the same characters as write_fixed(out, value, Precision).
template <int Precision>
[[gnu::always_inline]] inline char* write_fixed(char* out, double value) {
  constexpr double kScale = Precision == 0 ? 1.0 : Precision == 1 ? 10.0 : 100.0;
  const double scaled = std::fabs(value) * kScale;
  // Beyond 2^50 the scaled value has no room for the rounding check below
  // (and not a number fails the comparison).
  if (!(scaled < 0x1p50)) return csv_detail::write_exact(out, value, Precision);
  // The product is off the exact scaled value by at most half a unit in its
  // last place; unless the fraction is that close to a half, rounding it
  // gives the same integer as rounding the exact value.
  // Below 2^50 the signed conversion is one instruction and exact.
  const auto truncated = static_cast<uint64_t>(static_cast<int64_t>(scaled));
  const double fraction = scaled - static_cast<double>(static_cast<int64_t>(truncated));
  if (fraction == 0) {  // a whole number of the last decimal: nothing to round
    *out = '-';
    out += std::signbit(value) ? 1 : 0;
    return csv_detail::write_scaled<Precision>(out, truncated);
  }
  const double slack = scaled * 0x1p-50 + 0x1p-1000;
  if (std::fabs(fraction - 0.5) <= slack) return csv_detail::write_exact(out, value, Precision);
  const uint64_t rounded = truncated + (fraction > 0.5 ? 1 : 0);

  *out = '-';  // printf keeps the sign of -0.001 and -0
  out += std::signbit(value) ? 1 : 0;
  return csv_detail::write_scaled<Precision>(out, rounded);
}

}  // namespace ardenvis::core
