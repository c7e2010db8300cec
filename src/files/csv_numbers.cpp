#include "files/csv_numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ardenvis::core {

namespace csv_detail {

char* write_unsigned_long(char* out, uint64_t v) {
  int length = 1;
  for (uint64_t rest = v / 10; rest != 0; rest /= 10) ++length;
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

char* write_exact(char* out, double value, int precision) {
  const auto result =
      std::to_chars(out, out + kMaxFixedChars, value, std::chars_format::fixed, precision);
  return result.ptr;
}

}  // namespace csv_detail

char* write_fixed(char* out, double value, int precision) {
  switch (precision) {
    case 0:
      return write_fixed<0>(out, value);
    case 1:
      return write_fixed<1>(out, value);
    case 2:
      return write_fixed<2>(out, value);
    default:
      return csv_detail::write_exact(out, value, precision);
  }
}

char* write_fixed(char* out, double value, int precision, int width) {
  return csv_detail::pad_to_width(out, write_fixed(out, value, precision), width);
}

}  // namespace ardenvis::core
