#pragma once
// Numbers of the spreadsheet export written straight into a character buffer,
// with exactly the digits of the printf formats the export is defined by
// ("%.2f", "%2.0f", "%d" ...). A full log memory's export is some twelve
// million numbers; one vsnprintf each costs more than all the rest of it.

#include <cstddef>
#include <cstdint>

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

}  // namespace ardenvis::core
