#include "config/config_file.h"

#include "common/hex_pairs.h"
#include "common/text_file.h"
#include "config/config_image.h"
#include "files/file_dialogs.h"
#include "link/unit_session.h"

namespace ardenvis::core {

namespace {

namespace msg = config_file_message;

constexpr const char* kHeader = "Pelorant2 Config File:";
constexpr const char* kFormatLine = "04 18";
constexpr const char* kSaveTitle = "Save Pelorant Config File";
constexpr const char* kLoadTitle = "Load Pelorant Config File";
constexpr const char* kFilter = "Pelorant Config (*.pcf)|*.pcf";
constexpr std::string_view kExtension = ".pcf";

void say(Host& host, MessageKind kind, const char* text) { host.message(kind, text, Buttons::Ok); }

// The typed name with ".pcf" appended when it has none; nullopt for an empty
// name or another extension (compared exactly, so ".PCF" is refused).
std::optional<std::string> config_file_name(const std::string& typed) {
  const ChosenFile parts = split_path(typed);
  if (parts.name.empty()) return std::nullopt;
  const std::string_view extension = file_extension(typed);
  if (extension.empty()) return typed + std::string(kExtension);
  if (extension != kExtension) return std::nullopt;
  return typed;
}

}  // namespace

std::optional<ConfigFileLayout> config_file_layout(long lines) {
  switch (lines) {
    case 282:
      return ConfigFileLayout{282, 160, 120, false};
    case 91:
      return ConfigFileLayout{91, 85, 4, true};
    case 68:
      return ConfigFileLayout{68, 62, 4, true};
    default:
      return std::nullopt;
  }
}

std::string config_file_text(ConfigState& config) {
  std::string text;
  text.reserve(282 * 4 + 32);
  text += kHeader;
  text += "\r\n";
  text += kFormatLine;
  text += "\r\n";
  for (uint8_t byte : config.buffer.eeprom()) {
    append_hex_pair(text, byte);
    text += "\r\n";
  }
  for (uint8_t byte : config.buffer.fram()) {
    append_hex_pair(text, byte);
    text += "\r\n";
  }
  return text;
}

ConfigFileRead read_config_file_text(std::string_view text, ConfigState& config) {
  long count = 0;
  {
    LineReader counter(text);
    std::string_view line;
    while (counter.next(line)) ++count;
  }
  const auto layout = config_file_layout(count);
  if (!layout) return ConfigFileRead::FormatNotValid;

  LineReader reader(text);
  std::string_view line;
  reader.next(line);  // the header is not examined
  if (reader.next(line)) {
    read_hex_pair(line);  // the format line's two pairs are read and ignored
    read_hex_pair(line);
  }
  long consumed = 2;
  auto read_bytes = [&](std::span<uint8_t> staging, int count_bytes) {
    for (int address = 0; address < count_bytes; ++address) {
      if (!reader.next(line)) return;
      staging[static_cast<size_t>(address)] = read_hex_pair(line);
      ++consumed;
    }
  };
  read_bytes(config.buffer.eeprom_staging(), layout->eeprom_bytes);
  read_bytes(config.buffer.fram_staging(), layout->fram_bytes);
  if (consumed != layout->lines) return ConfigFileRead::Corrupt;
  return layout->old_format ? ConfigFileRead::Old : ConfigFileRead::Current;
}

bool save_config_data(ConfigEditor& editor, Host& host, FileLocation& location) {
  if (!configuration_in_range(editor)) {
    say(host, MessageKind::Information, msg::not_in_range);
    return false;
  }
  process_form_data(editor);
  const auto typed =
      host.save_file(FileDialog{kSaveTitle, kFilter, location.folder, location.name});
  if (!typed) {
    say(host, MessageKind::Warning, msg::cancelled);
    return false;
  }
  const auto path = config_file_name(*typed);
  if (!path) {
    say(host, MessageKind::Warning, msg::invalid_filename);
    return false;
  }
  if (file_exists(*path) &&
      host.message(MessageKind::Confirmation, file_message::overwrite_question, Buttons::YesNo) !=
          Answer::Yes) {
    say(host, MessageKind::Warning, msg::not_saved);
    return false;
  }
  AtomicTextWriter out;
  if (!out.open(*path)) {
    say(host, MessageKind::Warning, msg::already_open);
    return false;
  }
  remember(location, split_path(*path));
  {
    BusyCursor busy(host);
    out.line(kHeader);
    out.line(kFormatLine);
    std::string pair;
    auto write_bytes = [&](std::span<const uint8_t> bytes) {
      for (uint8_t byte : bytes) {
        host.process_events();
        pair.clear();
        append_hex_pair(pair, byte);
        out.line(pair);
      }
    };
    write_bytes(editor.config().buffer.eeprom());
    write_bytes(editor.config().buffer.fram());
    if (!out.commit()) {
      // The file it would have replaced is still there, untouched.
      out.discard();
      say(host, MessageKind::Warning, msg::already_open);
      return false;
    }
  }
  say(host, MessageKind::Information, msg::saved);
  return true;
}

bool load_config_data(ConfigEditor& editor, Host& host, FileLocation& location,
                      const std::optional<std::string>& named) {
  const auto typed =
      named ? named
            : host.open_file(FileDialog{kLoadTitle, kFilter, location.folder, location.name});
  if (!typed) {
    say(host, MessageKind::Warning, file_message::no_data_loaded);
    return false;
  }
  const auto path = config_file_name(*typed);
  if (!path) {
    say(host, MessageKind::Warning, msg::illegal_filename);
    return false;
  }
  if (!file_exists(*path)) {
    say(host, MessageKind::Warning, file_message::file_does_not_exist);
    return false;
  }
  const auto text = read_text_file(*path);
  if (!text) {
    say(host, MessageKind::Warning, file_message::problem_opening);
    return false;
  }
  const ConfigFileRead result = read_config_file_text(*text, editor.config());
  if (result == ConfigFileRead::FormatNotValid) {
    say(host, MessageKind::Error, msg::format_not_valid);
    return false;
  }
  if (result == ConfigFileRead::Corrupt) {
    say(host, MessageKind::Error, msg::data_corrupt);
    return false;
  }
  editor.version_page().ver.clear();
  editor.version_page().rev.clear();
  take_staged_configuration(editor);
  const bool old = result == ConfigFileRead::Old;
  if (editor.config().range_error != 0) {
    say(host, MessageKind::Warning, old ? msg::loaded_check_old : msg::loaded_check);
  } else {
    say(host, MessageKind::Information, old ? msg::loaded_old : msg::loaded);
  }
  remember(location, split_path(*path));
  editor.notify();
  return true;
}

}  // namespace ardenvis::core
