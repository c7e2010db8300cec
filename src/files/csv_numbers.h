#pragma once
// Numbers of the spreadsheet export written straight into a character buffer,
// with exactly the digits of the printf formats the export is defined by
// ("%.2f", "%2.0f", "%d" ...). A full log memory's export is some twelve
// million numbers; one vsnprintf each costs more than all the rest of it.

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ardenvis::core {

// Room one number takes at most: sign, 309 integer digits, point, 2 decimals.
inline constexpr size_t kMaxFixedChars = 320;

// "%.{precision}f" of `value` (precision 0..2) at `out`; returns the end.
// Every writer here needs room for kMaxFixedChars at `out`: it may store a
// few bytes past the end it returns.
// Correctly rounded (halves to even) like printf: numbers are rounded from
// their scaled value unless it is exactly a half (or very large, or not a
// number); those go through std::to_chars, which rounds the exact binary
// value as printf does.
char* write_fixed(char* out, double value, int precision);

// "%{width}.{precision}f": right-aligned in `width` characters with spaces.
char* write_fixed(char* out, double value, int precision, int width);

namespace csv_detail {
inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Digits of v, most significant first (any size; the short cases below cover
// nearly every number the export writes).
char* write_unsigned_long(char* out, uint64_t v);

// 0..999 as text, four bytes each, copied with one 4-byte move: `plain`
// without leading zeros and its length in the last byte ("7", 1), `padded`
// with them ("007").
struct ThreeDigits {
  char plain[1000][4];
  char padded[1000][4];
};
inline constexpr ThreeDigits kThreeDigits = [] {
  ThreeDigits t{};
  for (int v = 0; v < 1000; ++v) {
    const char digits[3] = {static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                            static_cast<char>('0' + v % 10)};
    const int length = v < 10 ? 1 : v < 100 ? 2 : 3;
    for (int i = 0; i < 3; ++i) t.padded[v][i] = digits[i];
    for (int i = 0; i < length; ++i) t.plain[v][i] = digits[3 - length + i];
    t.plain[v][3] = static_cast<char>(length);
  }
  return t;
}();

// v < 1000 without leading zeros. Stores 4 bytes.
[[gnu::always_inline]] inline char* write_below_1000(char* out, uint64_t v) {
  std::memcpy(out, kThreeDigits.plain[v], 4);
  return out + kThreeDigits.plain[v][3];
}
// v < 1000 as three digits. Stores 4 bytes.
[[gnu::always_inline]] inline char* write_three(char* out, uint64_t v) {
  std::memcpy(out, kThreeDigits.padded[v], 4);
  return out + 3;
}

// Digits of v, most significant first.
[[gnu::always_inline]] inline char* write_unsigned(char* out, uint64_t v) {
  if (v < 1000) return write_below_1000(out, v);
  if (v < 1000000) {
    const auto below_million = static_cast<uint32_t>(v);  // 32-bit division is cheaper
    return write_three(write_below_1000(out, below_million / 1000), below_million % 1000);
  }
  return write_unsigned_long(out, v);
}

// `scaled` (the number times 10^Precision, rounded) with the decimal point
// put back.
template <int Precision>
[[gnu::always_inline]] inline char* write_scaled(char* out, uint32_t scaled) {
  if constexpr (Precision == 0) {
    return write_unsigned(out, scaled);
  } else {
    constexpr uint32_t kIntScale = Precision == 1 ? 10 : 100;
    const uint32_t whole = scaled / kIntScale;
    const uint32_t decimals = scaled - whole * kIntScale;
    out = write_unsigned(out, whole);
    *out = '.';
    if constexpr (Precision == 2) {
      std::memcpy(out + 1, kPairs + decimals * 2, 2);
    } else {
      out[1] = static_cast<char>('0' + decimals);
    }
    return out + 1 + Precision;
  }
}

// The exact way, through std::to_chars.
char* write_exact(char* out, double value, int precision);

// The number written from out to end, right-aligned in `width` characters.
inline char* pad_to_width(char* out, char* end, int width) {
  const auto length = static_cast<int>(end - out);
  if (length >= width) return end;
  const int pad = width - length;
  for (int i = length - 1; i >= 0; --i) out[i + pad] = out[i];
  for (int i = 0; i < pad; ++i) out[i] = ' ';
  return out + width;
}
}  // namespace csv_detail

// "%.{Precision}f" (Precision 0..2) with the precision fixed where it is
// written; the same characters as write_fixed(out, value, Precision).
template <int Precision>
[[gnu::always_inline]] inline char* write_fixed(char* out, double value) {
  constexpr double kScale = Precision == 0 ? 1.0 : Precision == 1 ? 10.0 : 100.0;
  const double scaled = std::fabs(value) * kScale;
  // Below 2^31 (and not a number fails the comparison) the scaled value is
  // rounded here. The product is the exact product correctly rounded to a
  // double, and rounding to a double never steps over a value that is itself a
  // double, such as n + 1/2: so the product rounds to the same whole number as
  // the exact value unless it is exactly a half, where the exact value may lie
  // either side (or be the half, which printf rounds to even).
  if (!(scaled < 0x1p31) || FLT_EVAL_METHOD != 0) [[unlikely]] {
    return csv_detail::write_exact(out, value, Precision);
  }
  // Adding 2^52 leaves no bits below the units: the sum is the scaled value
  // rounded to a whole number, which sits in the sum's low bits. A half (or
  // a rounding mode other than to nearest) leaves the two 1/2 or more apart.
  const double shifted = scaled + 0x1p52;
  if (!(std::fabs(scaled - (shifted - 0x1p52)) < 0.5)) [[unlikely]] {
    return csv_detail::write_exact(out, value, Precision);
  }
  const auto rounded = static_cast<uint32_t>(std::bit_cast<uint64_t>(shifted));

  *out = '-';  // printf keeps the sign of -0.001 and -0
  out += std::signbit(value) ? 1 : 0;
  return csv_detail::write_scaled<Precision>(out, rounded);
}

// "%{Width}.{Precision}f": right-aligned in Width characters with spaces.
template <int Precision, int Width>
[[gnu::always_inline]] inline char* write_fixed(char* out, double value) {
  char* end = write_fixed<Precision>(out, value);
  // "0.0" is the shortest "%.1f", so a width up to 3 never pads it.
  constexpr int kShortest = Precision == 0 ? 1 : Precision + 2;
  if (kShortest >= Width) return end;
  return csv_detail::pad_to_width(out, end, Width);
}

// "%d" (room as above).
[[gnu::always_inline]] inline char* write_int(char* out, int64_t value) {
  *out = '-';
  out += value < 0 ? 1 : 0;
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
  return csv_detail::write_unsigned(out, magnitude);
}

}  // namespace ardenvis::core
