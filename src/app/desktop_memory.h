#pragma once
// What the program remembers between runs, as rules without storage: which
// file kinds keep a list of recent files, how such a list grows, the names the
// remembered values go by, and which remembered values may be used.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/program_state.h"

namespace ardenvis::core {

inline constexpr size_t kRecentFileCount = 10;

// The kinds a user loads again and again: log data and configuration files.
bool keeps_recent_files(FileKind kind);

// The stored name of a kind ("LogData", "Configuration" ...), stable across
// versions because remembered values are found by it.
std::string_view file_kind_key(FileKind kind);

// Puts `path` first, drops an earlier entry of the same file (the same path
// once "." and ".." are resolved) and keeps the newest kRecentFileCount.
void add_recent_file(std::vector<std::string>& recent, const std::string& path);

// A stored list as it may be offered: entries that are not absolute paths or
// repeat an earlier one are dropped, and no more than kRecentFileCount kept.
std::vector<std::string> usable_recent_files(const std::vector<std::string>& stored);

// A remembered COM port (0 = none, 1..9), or nothing when the stored value is
// not one of them.
std::optional<uint8_t> usable_com_port(long long stored);

// A remembered folder, with its trailing separator, or nothing when it is not
// an absolute path to a folder that still exists.
std::optional<std::string> usable_folder(const std::string& stored);

}  // namespace ardenvis::core
