#pragma once
// Numbers read back from the program's text files: one value a line, blanks
// around it allowed, "." as the decimal separator whatever the locale.

#include <optional>
#include <string_view>

namespace ardenvis::core {

// An optional sign and decimal digits; nullopt for anything else.
std::optional<long long> parse_integer(std::string_view text);
// A finite decimal number ("12.50", "-3", "1e3"); nullopt for anything else.
std::optional<double> parse_real(std::string_view text);

}  // namespace ardenvis::core
