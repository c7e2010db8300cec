#pragma once
// The configuration file (".pcf"): the raw image bytes as text, one byte a
// line, so everything the unit holds survives a save and a load. Three layouts
// load (the current 282-line one and two shorter old ones); saves always
// write the current one.

#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "config/config_editor.h"
#include "state/program_state.h"

namespace ardenvis::core {

// A layout, recognised by its line count alone.
struct ConfigFileLayout {
  int lines;
  int eeprom_bytes;
  int fram_bytes;
  bool old_format;
};
// The layout of a file of `lines` lines, or nullopt when no layout has that many.
std::optional<ConfigFileLayout> config_file_layout(long lines);

namespace config_file_message {
inline constexpr const char* not_in_range = "Config Data not in Range, Config Not Saved";
inline constexpr const char* cancelled = "Cancelled, Config Not Saved";
inline constexpr const char* invalid_filename = "Invalid Filename, Config Not Saved";
inline constexpr const char* not_saved = "Config Not Saved";
inline constexpr const char* already_open = "File Already Open, Config Not Saved";
inline constexpr const char* saved = "Config Saved OK";
inline constexpr const char* illegal_filename = "Illegal Filename, No Data Loaded";
inline constexpr const char* format_not_valid = "Config File Format Not Valid, No Data Loaded";
inline constexpr const char* data_corrupt = "Config File Data Corrupt, No Data Loaded";
inline constexpr const char* loaded = "Config Loaded OK";
inline constexpr const char* loaded_old = "Config Loaded OK, Old File Format";
inline constexpr const char* loaded_check = "Loaded OK BUT Check Ranges";
inline constexpr const char* loaded_check_old = "Loaded OK BUT Check Ranges, Old File Format";
}  // namespace config_file_message

// The text of a current-layout file for the images as they stand.
std::string config_file_text(ConfigState& config);

// The outcome of reading a file's text into the staging copies.
enum class ConfigFileRead { Current, Old, FormatNotValid, Corrupt };
// Reads the byte lines of `text` into the staging copies (as far as they go).
ConfigFileRead read_config_file_text(std::string_view text, ConfigState& config);

// "Save Config": checks, encodes and writes the images to a file the user
// chooses. True when it ended in "Config Saved OK".
bool save_config_data(ConfigEditor& editor, Host& host, FileLocation& location);
// "Load Config": reads a file into the staging copies, then into the images
// and the editor. True when the file was loaded (whatever its ranges). A
// file `named` (dropped, picked from the recent files) is loaded without the
// dialog, checked as a typed name.
bool load_config_data(ConfigEditor& editor, Host& host, FileLocation& location,
                      const std::optional<std::string>& named = std::nullopt);

}  // namespace ardenvis::core
