#include "app/desktop_memory.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace ardenvis::core {

namespace {
constexpr std::string_view kKindKeys[] = {"LogData",       "SpreadsheetExport", "Configuration",
                                          "SetupNotes",    "PlotPicture",       "Preferences",
                                          "ChannelLabels", "LapExport",         "Video",
                                          "Figure",        "SessionReport"};
// A kind without its key would share the empty one with another.
static_assert(std::size(kKindKeys) == kFileKindCount);

std::string normal_form(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}
}  // namespace

bool keeps_recent_files(FileKind kind) {
  return kind == FileKind::LogData || kind == FileKind::Configuration;
}

std::string_view file_kind_key(FileKind kind) { return kKindKeys[static_cast<size_t>(kind)]; }

void add_recent_file(std::vector<std::string>& recent, const std::string& path) {
  const std::string entry = normal_form(path);
  std::erase_if(recent, [&](const std::string& p) { return normal_form(p) == entry; });
  recent.insert(recent.begin(), entry);
  if (recent.size() > kRecentFileCount) recent.resize(kRecentFileCount);
}

std::vector<std::string> usable_recent_files(const std::vector<std::string>& stored) {
  std::vector<std::string> usable;
  for (const std::string& path : stored) {
    if (usable.size() == kRecentFileCount) break;
    if (!std::filesystem::path(path).is_absolute()) continue;
    const std::string entry = normal_form(path);
    if (std::find(usable.begin(), usable.end(), entry) == usable.end()) usable.push_back(entry);
  }
  return usable;
}

std::optional<uint8_t> usable_com_port(long long stored) {
  if (stored < 0 || stored > 9) return std::nullopt;
  return static_cast<uint8_t>(stored);
}

std::optional<std::string> usable_folder(const std::string& stored) {
  if (!std::filesystem::path(stored).is_absolute()) return std::nullopt;
  std::error_code error;
  if (!std::filesystem::is_directory(stored, error)) return std::nullopt;
  std::string folder = stored;
  if (folder.back() != '/' && folder.back() != '\\') folder += '/';
  return folder;
}

}  // namespace ardenvis::core
