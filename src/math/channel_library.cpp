#include "math/channel_library.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/format.h"
#include "common/text_file.h"

namespace ardenvis::core {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxNameLength = 60;

std::string_view trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::string> check_text(std::string_view text, std::string_view what,
                                      std::string_view forbidden) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return std::string(what) + " holds a control character";
    if (forbidden.find(c) != std::string_view::npos) {
      return std::string(what) + " may not hold \"" + std::string(1, c) + "\"";
    }
  }
  if (text.size() > kMaxNameLength) {
    return std::string(what) + format(" is longer than %zu characters", kMaxNameLength);
  }
  return std::nullopt;
}

// One line of the library: a channel, nothing (blank or comment), or what is
// wrong with it.
std::optional<std::string> parse_line(std::string_view line,
                                      std::optional<MathChannelDefinition>& channel) {
  channel.reset();
  const size_t comment = line.find('#');
  if (comment != std::string_view::npos) line = line.substr(0, comment);
  line = trimmed(line);
  if (line.empty()) return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return "no \"=\" between the name and the formula";
  std::string_view head = trimmed(line.substr(0, equals));
  MathChannelDefinition definition;
  definition.formula = std::string(trimmed(line.substr(equals + 1)));
  const size_t open = head.find('[');
  if (open != std::string_view::npos) {
    const size_t close = head.find(']', open);
    if (close == std::string_view::npos) return "missing \"]\" after the unit";
    if (!trimmed(head.substr(close + 1)).empty()) return "text after the unit's \"]\"";
    definition.unit = std::string(trimmed(head.substr(open + 1, close - open - 1)));
    head = trimmed(head.substr(0, open));
  }
  definition.name = std::string(head);
  if (definition.name.empty()) return "the channel has no name";
  if (auto problem = check_channel_name(definition.name)) return problem;
  if (auto problem = check_channel_unit(definition.unit)) return problem;
  if (definition.formula.empty()) return "the channel has no formula";
  channel = std::move(definition);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> check_channel_name(std::string_view name) {
  if (trimmed(name).empty()) return "the channel has no name";
  return check_text(name, "the name", ",\"#[]=");
}

std::optional<std::string> check_channel_unit(std::string_view unit) {
  return check_text(unit, "the unit", ",\"#[]");
}

ChannelLibrary parse_channel_library(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  ChannelLibrary library;
  LineReader lines(text);
  std::string_view line;
  while (lines.next(line)) {
    const int number = static_cast<int>(lines.lines_read());
    std::optional<MathChannelDefinition> channel;
    std::optional<std::string> problem = parse_line(line, channel);
    if (channel) {
      for (const MathChannelDefinition& earlier : library.channels) {
        if (earlier.name == channel->name) {
          problem =
              format("\"%s\" is defined on line %d already", channel->name.c_str(), earlier.line);
        }
      }
    }
    if (problem) {
      library.problems.push_back(format("Line %d: %s", number, problem->c_str()));
    } else if (channel) {
      channel->line = number;
      library.channels.push_back(std::move(*channel));
    }
  }
  return library;
}

std::string channel_library_text(const std::vector<MathChannelDefinition>& channels) {
  std::string text = "# Ardenvis math channels: one channel a line, \"Name [unit] = formula\".\r\n";
  for (const MathChannelDefinition& c : channels) {
    text += c.name;
    if (!c.unit.empty()) text += " [" + c.unit + "]";
    text += " = " + c.formula + "\r\n";
  }
  return text;
}

std::optional<ChannelLibrary> load_channel_library(const std::string& path) {
  if (!file_exists(path)) return ChannelLibrary{};
  const auto text = read_text_file(path);
  if (!text) return std::nullopt;
  return parse_channel_library(*text);
}

bool save_channel_library(const std::string& path,
                          const std::vector<MathChannelDefinition>& channels) {
  std::error_code error;
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty()) fs::create_directories(folder, error);
  AtomicTextWriter out;
  if (!out.open(path)) return false;
  out.write(channel_library_text(channels));
  return out.commit();
}

std::string default_channel_library_path() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  fs::path folder;
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = fs::path(home != nullptr ? home : ".") / ".config";
  }
  return (folder / "ardenvis" / "math_channels.txt").string();
}

}  // namespace ardenvis::core
