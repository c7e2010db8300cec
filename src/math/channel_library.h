#pragma once
// The user's library of math channels: a plain text file, one channel a line
//
//   # comment
//   Combined G [g] = hypot(G_Lat, G_Long)
//   Brake time = lap_integral(Brake / 100)
//
// (the unit in brackets may be left out), applied to every data set loaded.
// A line that cannot be read is reported and left out; the others still load.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ardenvis::core {

struct MathChannelDefinition {
  std::string name;     // shown in the lists and as the export's column header
  std::string unit;     // may be empty
  std::string formula;  // see math/formula.h
  int line = 0;         // 1-based line of the library file; 0 when not from a file
  bool operator==(const MathChannelDefinition&) const = default;
};

struct ChannelLibrary {
  std::vector<MathChannelDefinition> channels;
  // One message per line left out: "Line 3: no \"=\" between the name and the formula".
  std::vector<std::string> problems;
};

// Reads a library's text (CR LF or LF line ends).
ChannelLibrary parse_channel_library(std::string_view text);

// What is wrong with a channel's name or unit, or nullopt: names and units
// appear in the export's comma-separated header, so they may not hold a
// comma or a quote, nor the characters that delimit them in the file.
std::optional<std::string> check_channel_name(std::string_view name);
std::optional<std::string> check_channel_unit(std::string_view unit);

// The library as text, one "Name [unit] = formula" line per channel after a
// comment that says what the file is.
std::string channel_library_text(const std::vector<MathChannelDefinition>& channels);

// Reads the file at `path`; nullopt when it cannot be read. A missing file is
// an empty library.
std::optional<ChannelLibrary> load_channel_library(const std::string& path);
// Writes the file at `path` (and its folder), replacing it only when every
// byte is written. False when it cannot.
bool save_channel_library(const std::string& path,
                          const std::vector<MathChannelDefinition>& channels);

// Where the user's library lives: $XDG_CONFIG_HOME/ardenvis/math_channels.txt,
// or ~/.config/ardenvis/math_channels.txt without it.
std::string default_channel_library_path();

}  // namespace ardenvis::core
