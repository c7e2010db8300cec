// Loading a ".cam" camera database file.

#include "config/camera_database.h"

#include <algorithm>
#include <optional>

#include "common/format.h"
#include "common/text_file.h"
#include "files/file_dialogs.h"

namespace ardenvis::core {

namespace {

constexpr int kHeaderLines = 36;
constexpr int kMinimumHeaderLength = 36;
constexpr int kPairsPerRecordLine = 4;
constexpr long kLoadBarStep = 10000;
constexpr uint16_t kOldestFormat = 1000;
constexpr uint16_t kNewestFormat = 1100;
// Shortest text of one record byte: two digits and a separator or line end.
constexpr size_t kMinimumCharsPerByte = 3;

constexpr const char* kLoadTitle = "Load Camera Database";
constexpr const char* kFilter = "Camera Database files (*.cam)";
constexpr const char* kExtension = ".cam";

std::optional<int> hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

std::string_view trim_end(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// One or two hexadecimal digits; anything else is a conversion error.
std::optional<uint8_t> parse_hex_byte(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    const auto digit = hex_digit(c);
    if (!digit) return std::nullopt;
    value = value * 16 + *digit;
  }
  return static_cast<uint8_t>(value);
}

// "XX XX XX XX": pairs separated by single spaces. Empty on a bad line.
std::optional<std::vector<uint8_t>> parse_record_line(std::string_view line) {
  line = trim_end(line);
  std::vector<uint8_t> bytes;
  while (!line.empty()) {
    if (line.size() < 2) return std::nullopt;
    const auto byte = parse_hex_byte(line.substr(0, 2));
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
    line.remove_prefix(2);
    if (line.empty()) break;
    if (line.front() != ' ' || line.size() == 1) return std::nullopt;
    line.remove_prefix(1);
  }
  if (bytes.empty() || bytes.size() > kPairsPerRecordLine) return std::nullopt;
  return bytes;
}

std::optional<uint16_t> parse_trailer_number(std::string_view text) {
  text = trim_end(text);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty() || text.size() > 5) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

uint16_t u16_at(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t u32_at(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// Nothing half-read may stay behind for an upload or a check.
void empty_database(TCameraFlashData& camera) { camera = TCameraFlashData{}; }

}  // namespace

std::string camera_format_problem_text(long line) {
  return format("File Format Problem, No Data Loaded: %ld", line);
}

CameraDisplay camera_display(const TCameraFlashData& camera) {
  if (camera.loaded == 0 || camera.total_length == 0) return {"None", "0", "-.---", "-.---"};
  return {camera.file_name, std::to_string(camera.camera_count),
          format("%1.3f", camera.source_version / 1000.0),
          format("%1.3f", camera.format_version / 1000.0)};
}

CameraLoadResult load_camera_database(TCameraFlashData& camera, std::string_view text,
                                      const std::string& file_name, Host& host,
                                      InformationMemo& memo, bool& cancel) {
  CameraLoadResult result;
  AnalysisProgress& progress = host.analysis_progress();
  LineReader reader(text);
  bool header_started = false;
  // One per line read, plus one for the first header line.
  auto line_counter = [&] { return reader.lines_read() + (header_started ? 1 : 0); };
  auto format_problem = [&] {
    progress.hide();
    empty_database(camera);
    result.outcome = CameraLoadOutcome::FormatProblem;
    result.line = line_counter();
    host.message(MessageKind::Error, camera_format_problem_text(result.line), Buttons::Ok);
    return result;
  };

  empty_database(camera);
  camera.loaded = 1;
  progress.set_stage("Loading");
  progress.set_bar(ProgressBar::Downloading, 0, 1);

  std::string_view line;
  bool have_line = false;
  while (reader.next(line)) {
    if (line.substr(0, 2) != "//") {
      have_line = true;
      break;
    }
  }
  if (!have_line) return format_problem();
  header_started = true;

  std::vector<uint8_t> header(kHeaderLines);
  for (int i = 0; i < kHeaderLines; ++i) {
    if (i > 0 && !reader.next(line)) return format_problem();
    const auto byte = parse_hex_byte(trim_end(line));
    if (!byte) return format_problem();
    header[static_cast<size_t>(i)] = *byte;
  }
  const uint8_t header_length = header[0];
  if (header_length < kMinimumHeaderLength) return format_problem();
  camera.data.assign(header_length, 0);
  std::copy(header.begin(), header.end(), camera.data.begin());
  camera.header_length = header_length;
  camera.header_checksum = header[35];
  camera.format_version = u16_at(header, 1);
  camera.source_version = u16_at(header, 3);
  camera.camera_count = u16_at(header, 5);
  camera.total_length = u32_at(header, 7);

  if (camera.format_version < kOldestFormat || camera.format_version > kNewestFormat) {
    empty_database(camera);
    result.outcome = CameraLoadOutcome::NotCompatible;
    host.message(MessageKind::Error, camera_message::not_compatible, Buttons::Ok);
    return result;
  }

  uint8_t check = 0xFF;
  for (int i = 0; i <= header_length - 2; ++i) check ^= camera.data[static_cast<size_t>(i)];
  if (check != camera.header_checksum) {
    result.header_checksum_bad = true;
    host.message(MessageKind::Information, camera_message::checksum_bad, Buttons::Ok);
  }

  // The header's length is checked against what the rest of the file can hold
  // before any memory is sized from it.
  const long total = camera.total_length;
  const size_t consumed = static_cast<size_t>(line.data() - text.data()) + line.size();
  const size_t remaining = text.size() - std::min(consumed, text.size());
  if (total < header_length ||
      static_cast<size_t>(total - header_length) > (remaining + 1) / kMinimumCharsPerByte) {
    return format_problem();
  }

  memo.add(format("Loading %ld bytes of data...", total));
  progress.set_bar(ProgressBar::Downloading, 0, total);
  progress.show();
  camera.data.resize(static_cast<size_t>(total));
  cancel = false;
  check = 0xFF;
  long index = header_length;
  long last_shown = index;
  while (index < total && !cancel) {
    host.process_events();
    if (cancel) break;
    if (!reader.next(line)) break;
    const auto bytes = parse_record_line(line);
    if (!bytes) return format_problem();
    // Every record line holds four bytes, the last one too: a short line, or one
    // that would run past the image, means the file is not of this format.
    if (static_cast<long>(bytes->size()) != kPairsPerRecordLine ||
        total - index < kPairsPerRecordLine) {
      return format_problem();
    }
    for (uint8_t byte : *bytes) {
      camera.data[static_cast<size_t>(index++)] = byte;
      check ^= byte;
    }
    if (index > last_shown + kLoadBarStep) {
      progress.set_bar(ProgressBar::Downloading, index, total);
      last_shown = index;
    }
  }
  const bool records_complete = index >= total;

  bool have_trailer = false;
  if (!cancel) {
    while (reader.next(line)) {
      if (trim_end(line).empty()) continue;  // a blank line at the end is no number
      const auto number = parse_trailer_number(line);
      if (!number) return format_problem();
      camera.data_checksum = *number;
      have_trailer = true;
    }
  }
  progress.set_bar(ProgressBar::Downloading, total, total);
  progress.hide();

  if (cancel) {
    empty_database(camera);
    result.outcome = CameraLoadOutcome::Cancelled;
    host.message(MessageKind::Error, camera_message::no_data_loaded, Buttons::Ok);
    return result;
  }
  if (!records_complete || !have_trailer || check != camera.data_checksum) {
    empty_database(camera);
    result.outcome = CameraLoadOutcome::ChecksumError;
    host.message(MessageKind::Error, camera_message::format_error, Buttons::Ok);
    return result;
  }

  camera.file_name = file_name;
  memo.add("Data Loaded OK...");
  result.outcome = CameraLoadOutcome::Loaded;
  host.message(MessageKind::Information, camera_message::data_loaded_ok, Buttons::Ok);
  return result;
}

CameraLoadResult LoadDataFromFile(ProgramState& state, Host& host, InformationMemo& memo,
                                  const std::optional<std::string>& named) {
  CameraLoadResult result;
  // The dialog always starts at "default", in no particular folder.
  const FileLocation start{"", "default"};
  const auto file = named ? check_file_to_load(host, *named, kExtension)
                          : choose_file_to_load(host, start, kLoadTitle, kFilter, kExtension);
  if (!file) return result;
  const auto text = read_text_file(file->path);
  if (!text) {
    host.message(MessageKind::Warning, file_message::problem_opening, Buttons::Ok);
    return result;
  }
  return load_camera_database(state.camera, *text, file->name, host, memo, state.config_cancel);
}

}  // namespace ardenvis::core
