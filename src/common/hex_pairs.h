#pragma once
// Bytes as text: two upper-case hexadecimal digits per byte. Used by every text
// file that carries raw bytes (log data, configuration, camera database).

#include <cstdint>
#include <string>
#include <string_view>

namespace ardenvis::core {

// Reads the pair at the front of `text` and removes it with its separator: the
// first two characters are taken as hexadecimal digits (0-9, A-F, a-f; any other
// character counts as 0 but keeps its digit place) and the first three
// characters are consumed. A text shorter than three characters is read whole
// ("A" is 10) and consumed; an empty text gives 0.
uint8_t read_hex_pair(std::string_view& text);

// Appends the two upper-case digits of `value` ("%.2X").
void append_hex_pair(std::string& out, uint8_t value);

}  // namespace ardenvis::core
