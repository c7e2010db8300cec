#pragma once
// printf-style formatting with "." as the decimal separator whatever the locale.

#include <cstdarg>
#include <string>

namespace ardenvis::core {

// format("%.2f", 1.5) == "1.50". Uses the C locale for the number formats.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args);

}  // namespace ardenvis::core
