#include "common/format.h"

#include <locale.h>

#include <clocale>
#include <cstdio>
#include <vector>

namespace ardenvis::core {

namespace {
// A C locale object used for the duration of one format call, so the global
// locale (which a GUI toolkit may change) never decides the decimal separator.
locale_t c_locale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}
}  // namespace

std::string vformat(const char* fmt, va_list args) {
  locale_t previous = uselocale(c_locale());
  va_list copy;
  va_copy(copy, args);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  std::string out;
  if (n < 0) {
    out.clear();
  } else if (static_cast<size_t>(n) < sizeof small) {
    out.assign(small, static_cast<size_t>(n));
  } else {
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    out.assign(big.data(), static_cast<size_t>(n));
  }
  uselocale(previous);
  return out;
}

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string out = vformat(fmt, args);
  va_end(args);
  return out;
}

}  // namespace ardenvis::core
