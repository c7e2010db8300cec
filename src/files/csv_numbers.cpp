#include "files/csv_numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ardenvis::core {

namespace csv_detail {

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
  char* end = write_fixed(out, value, precision);
  const auto length = static_cast<int>(end - out);
  if (length >= width) return end;
  // Right-aligned: move the number up and put spaces in front.
  const int pad = width - length;
  for (int i = length - 1; i >= 0; --i) out[i + pad] = out[i];
  for (int i = 0; i < pad; ++i) out[i] = ' ';
  return out + width;
}

char* write_int(char* out, int64_t value) {
  if (value < 0) {
    *out++ = '-';
    return csv_detail::write_unsigned(out, 0 - static_cast<uint64_t>(value));
  }
  return csv_detail::write_unsigned(out, static_cast<uint64_t>(value));
}

}  // namespace ardenvis::core
