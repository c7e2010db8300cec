#include "common/hex_pairs.h"

namespace ardenvis::core {

namespace {
int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}
}  // namespace

uint8_t read_hex_pair(std::string_view& text) {
  const size_t digits = text.size() < 2 ? text.size() : 2;
  int value = 0;
  for (size_t i = 0; i < digits; ++i) value = value * 16 + digit_value(text[i]);
  text.remove_prefix(text.size() < 3 ? text.size() : 3);
  return static_cast<uint8_t>(value);
}

void append_hex_pair(std::string& out, uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[value >> 4];
  out += kDigits[value & 0x0F];
}

}  // namespace ardenvis::core
