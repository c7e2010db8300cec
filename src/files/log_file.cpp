#include "files/log_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <regex>

#include "common/format.h"
#include "common/hex_pairs.h"
#include "link/unit_session.h"
#include "logger/decoder.h"

namespace ardenvis::core {

namespace {

constexpr const char* kSaveTitle = "Save Pelorant Data";
constexpr const char* kLoadTitle = "Load Pelorant Data";
constexpr const char* kFilter = "Pelorant files (*.plr)";
constexpr const char* kExtension = ".plr";

// The raw byte store grows by this much at a time while a file loads.
constexpr size_t kRawStoreStep = 100000;
// The loading bar moves at most once per this many stored bytes.
constexpr size_t kLoadBarStep = 10000;

constexpr uint16_t kOldestVersion = 400;
constexpr uint16_t kNewestVersion = 430;

void inform(Host& host, const std::string& text) {
  host.message(MessageKind::Information, text, Buttons::Ok);
}

// The bytes a slot holds as received or loaded. A slot filled without a held
// count (older callers) holds what its raw byte count says.
size_t held_bytes(const DataSet& set) {
  const size_t held = set.held_byte_count ? set.held_byte_count : set.info.raw_byte_count;
  return std::min(held, set.raw.size());
}

uint8_t display_unit_bits(const UnitFlags& flags) {
  return static_cast<uint8_t>((flags.speed_kmh ? 4 : 0) | (flags.pressure_bar ? 2 : 0) |
                              (flags.temperature_degf ? 1 : 0));
}

// A decimal header line that must fit 16 bits; surrounding blanks are allowed.
std::optional<uint16_t> parse_word(std::string_view line) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  unsigned value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (line.empty() || error != std::errc{} || end != line.data() + line.size() ||
      value > std::numeric_limits<uint16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

// The same name for the spreadsheet: every ".plr" becomes ".csv", in any case.
std::string spreadsheet_name(const std::string& name) {
  static const std::regex plr(R"(\.plr)", std::regex::icase);
  return std::regex_replace(name, plr, ".csv");
}

void clear_slot_info(DataSet& set) {
  set.info.label = "No Data";
  set.info.sample_rate = 0;
  set.info.raw_byte_count = 0;
  set.info.firmware_major = 0;
  set.info.firmware_minor = 0;
  set.info.unit_identity_word = 0;
  set.file_name.clear();
}

// The hex pair reader's rule (two digits, then the pair and its separator are
// consumed; a shorter rest is read whole; any other character counts as 0 in
// its place) by table, for the millions of pairs of a full log memory.
constexpr std::array<uint8_t, 256> kHexDigit = [] {
  std::array<uint8_t, 256> table{};
  for (int c = '0'; c <= '9'; ++c) table[static_cast<size_t>(c)] = static_cast<uint8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c)
    table[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c)
    table[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'a' + 10);
  return table;
}();

inline uint8_t next_hex_pair(std::string_view& text) {
  const auto digit = [&](size_t i) { return kHexDigit[static_cast<unsigned char>(text[i])]; };
  if (text.size() >= 3) {
    const auto value = static_cast<uint8_t>(digit(0) << 4 | digit(1));
    text.remove_prefix(3);
    return value;
  }
  return read_hex_pair(text);
}

// Why a header could not be read.
enum class HeaderFault { None, NotANumber, Version };

struct FileHeader {
  UnitIdentity identity;
  uint8_t version_major = 0;
  uint8_t version_minor = 0;
  uint8_t sample_rate = 0;
};

class LogFileReader {
 public:
  LogFileReader(ProgramState& state, Host& host, std::string_view content)
      : state_(state),
        host_(host),
        set_(state.current()),
        lines_(content),
        bar_maximum_(std::max<long>(static_cast<long>(content.size() / 3), 1)) {}

  bool run(const ChosenFile& file);
  // Everything up to the raw bytes, without decoding them; their count.
  std::optional<size_t> read_bytes();

 private:
  void read_notes_and_setup();
  HeaderFault read_header(FileHeader& header);
  // Reads the record lines into the slot's raw bytes; returns their length.
  size_t read_records();
  void fail(MessageKind kind, const std::string& text);

  ProgramState& state_;
  Host& host_;
  DataSet& set_;
  LineReader lines_;
  std::string_view line_;
  bool have_line_ = false;
  long bar_maximum_;
};

void LogFileReader::fail(MessageKind kind, const std::string& text) {
  host_.analysis_progress().hide();
  host_.message(kind, text, Buttons::Ok);
  set_.download_state = 0;
}

void LogFileReader::read_notes_and_setup() {
  while ((have_line_ = lines_.next(line_)) && line_.starts_with("//")) {
    set_.notes.emplace_back(line_.substr(2));
  }
  // Setup texts beyond the last "@@" line keep their values.
  for (size_t k = 0; have_line_ && line_.starts_with("@@") && k < set_.setup_texts.size(); ++k) {
    set_.setup_texts[k] = std::string(line_.substr(2));
    have_line_ = lines_.next(line_);
  }
}

HeaderFault LogFileReader::read_header(FileHeader& header) {
  // The line after the setup texts is already read: the unit type.
  const auto unit_type = have_line_ ? parse_word(line_) : std::nullopt;
  if (!unit_type) return HeaderFault::NotANumber;
  header.identity.unit_type = *unit_type;

  const auto next_line = [this] {
    if (!lines_.next(line_)) line_ = {};
    return line_;
  };
  std::string_view version = next_line();
  header.version_major = read_hex_pair(version);
  header.version_minor = read_hex_pair(version);
  const int number = header.version_major * 100 + header.version_minor;
  if (number < kOldestVersion || number > kNewestVersion) return HeaderFault::Version;

  for (uint16_t* word : {&header.identity.identity_word, &header.identity.distance_factor,
                         &header.identity.third_word}) {
    const auto value = parse_word(next_line());
    if (!value) return HeaderFault::NotANumber;
    *word = *value;
  }
  const auto pair = [&] {
    std::string_view text = next_line();
    return read_hex_pair(text);
  };
  // The display unit bits of the flags are not read back: the viewer's own
  // unit choice decides how a loaded file is shown.
  const uint8_t code = pair() >> 4;
  header.identity.pulses_per_rev = code == 0 ? 1 : code;
  header.identity.identity_bytes[0] = pair();
  header.identity.identity_bytes[1] = pair();
  const uint8_t bits = pair();
  header.identity.identity_bytes[2] = (bits >> 2) & 1;
  header.identity.identity_bytes[3] = (bits >> 1) & 1;
  header.identity.identity_bytes[4] = bits & 1;
  header.sample_rate = pair();
  return HeaderFault::None;
}

size_t LogFileReader::read_records() {
  std::vector<uint8_t>& raw = set_.raw;
  raw.clear();
  // One allocation for the whole file (about three characters per byte); the
  // store itself still grows in steps.
  raw.reserve(static_cast<size_t>(bar_maximum_) + kRawStoreStep);
  raw.resize(kRawStoreStep);
  size_t steps = 1;
  size_t t = 0;
  size_t last_bar = 0;
  AnalysisProgress& progress = host_.analysis_progress();
  bool& cancel = state_.log_cancel;
  cancel = false;
  while (!cancel) {
    host_.process_events();
    if (!lines_.next(line_)) break;
    std::string_view text = line_;
    uint8_t header[2] = {next_hex_pair(text), 0};
    if (header[0] & 0x80) header[1] = next_hex_pair(text);
    const RecordHeader h = read_record_header(header);
    if (h.record_id == 0 || h.data_count == 0) {
      host_.message(
          MessageKind::Warning,
          format(file_message::unexpected_symbol, static_cast<int>(lines_.lines_read() - 1)),
          Buttons::Ok);
      break;
    }
    const size_t length = static_cast<size_t>(h.length);
    if (t + length > steps * kRawStoreStep) raw.resize(++steps * kRawStoreStep);
    uint8_t* out = raw.data() + t;
    *out++ = header[0];
    if (h.extended) *out++ = header[1];
    // Missing pairs read as 0; pairs beyond the record's length are ignored.
    for (int i = 0; i < h.data_count; ++i) *out++ = next_hex_pair(text);
    t += length;
    if (t > last_bar + kLoadBarStep) {
      progress.set_bar(ProgressBar::Downloading, static_cast<long>(t), bar_maximum_);
      last_bar = t;
    }
  }
  raw.resize(t);
  progress.set_bar(ProgressBar::Downloading, bar_maximum_, bar_maximum_);
  return t;
}

std::optional<size_t> LogFileReader::read_bytes() {
  set_.download_state = 1;
  set_.notes.clear();
  read_notes_and_setup();
  FileHeader header;
  if (read_header(header) != HeaderFault::None) return std::nullopt;
  const size_t t = read_records();
  set_.info.sample_rate = header.sample_rate;
  set_.info.raw_byte_count = static_cast<uint32_t>(t);
  set_.held_byte_count = static_cast<uint32_t>(t);
  return t;
}

bool LogFileReader::run(const ChosenFile& file) {
  BusyCursor busy(host_);
  set_.download_state = 1;
  set_.notes.clear();
  AnalysisProgress& progress = host_.analysis_progress();
  progress.set_stage("Loading");
  progress.set_bar(ProgressBar::Downloading, 0, bar_maximum_);
  progress.show();

  read_notes_and_setup();
  FileHeader header;
  switch (read_header(header)) {
    case HeaderFault::Version:
      fail(MessageKind::Error, file_message::not_compatible);
      return false;
    case HeaderFault::NotANumber:
      fail(MessageKind::Error,
           format(file_message::format_problem, static_cast<int>(lines_.lines_read())));
      return false;
    case HeaderFault::None:
      break;
  }
  state_.identity = header.identity;
  set_.unit = header.identity;
  state_.link.unit.unit_type = header.identity.unit_type;
  state_.link.unit.version_major = header.version_major;
  state_.link.unit.version_minor = header.version_minor;
  state_.link.unit.version_number =
      static_cast<uint16_t>(header.version_major * 100 + header.version_minor);

  const size_t t = read_records();
  if (state_.log_cancel) set_.download_state = 0;

  if (set_.download_state != 0) {
    set_.info.sample_rate = header.sample_rate;
    set_.info.raw_byte_count = static_cast<uint32_t>(t);
    set_.held_byte_count = static_cast<uint32_t>(t);
    process_data_packets(state_, host_);
    if (set_.has_data()) {
      remember(state_.file(FileKind::LogData), file);
      state_.file(FileKind::SpreadsheetExport) =
          FileLocation{file.folder, spreadsheet_name(file.name)};
    }
  } else {
    progress.hide();
    inform(host_, file_message::no_data_loaded);
  }

  if (set_.download_state != 0 && set_.has_data()) {
    set_.info.label = file.name;
    set_.info.sample_rate = header.sample_rate;
    set_.info.raw_byte_count = static_cast<uint32_t>(t);
    set_.info.firmware_major = header.version_major;
    set_.info.firmware_minor = header.version_minor;
    set_.info.unit_identity_word = header.identity.identity_word;
    set_.file_name = file.name;
    return true;
  }
  clear_slot_info(set_);
  return false;
}

}  // namespace

size_t whole_records_length(const uint8_t* raw, size_t count) {
  size_t p = 0;
  while (p < count) {
    if ((raw[p] & 0x80) && p + 1 >= count) break;  // the second header byte is missing
    const size_t length = static_cast<size_t>(read_record_header(raw + p).length);
    if (p + length > count) break;
    p += length;
  }
  return p;
}

bool write_log_file(AtomicTextWriter& out, const DataSet& set, const UnitIdentity& identity,
                    const UnitFlags& flags, const std::string& file_name, Host& host) {
  if (set.notes.size() > kMaxLogFileNotesLines) return false;
  out.line("// Filename: " + file_name);
  for (const std::string& note : set.notes) out.line("//" + note);
  for (const std::string& text : set.setup_texts) out.line("@@" + text);
  out.line(format("%d", identity.unit_type));
  out.line(format("%.2X %.2X", set.info.firmware_major, set.info.firmware_minor));
  out.line(format("%d", identity.identity_word));
  out.line(format("%d", identity.distance_factor));
  out.line(format("%d", identity.third_word));
  out.line(format("%X", ((identity.pulses_per_rev & 0x0F) << 4) | display_unit_bits(flags)));
  out.line(format("%X", identity.identity_bytes[0]));
  out.line(format("%X", identity.identity_bytes[1]));
  out.line(format("%X", ((identity.identity_bytes[2] & 1) << 2) |
                            ((identity.identity_bytes[3] & 1) << 1) |
                            (identity.identity_bytes[4] & 1)));
  out.line(format("%X", set.info.sample_rate));

  // Every whole record of the held bytes; a record cut off by the end of the
  // data (an interrupted download) is left out.
  const uint8_t* raw = set.raw.data();
  const size_t end = whole_records_length(raw, held_bytes(set));
  size_t p = 0;
  while (p < end) {
    host.process_events();
    const size_t length = static_cast<size_t>(read_record_header(raw + p).length);
    std::string& line = out.buffer();
    for (size_t i = 0; i < length; ++i) {
      if (i > 0) line += ' ';
      append_hex_pair(line, raw[p + i]);
    }
    out.end_line();
    p += length;
  }
  return true;
}

bool save_log_data(ProgramState& state, Host& host) {
  DataSet& set = state.current();
  if (set.download_state == 0) {
    inform(host, file_message::no_valid_data_to_save);
    return false;
  }
  const auto file = save_text_file(
      host, state.file(FileKind::LogData), kSaveTitle, kFilter, kExtension,
      [&](AtomicTextWriter& out, const ChosenFile& chosen) {
        const UnitIdentity& identity = set.unit ? *set.unit : state.identity;
        return write_log_file(out, set, identity, state.unit_flags, chosen.name, host);
      });
  if (!file) return false;
  state.link.unit.version_major = set.info.firmware_major;
  state.link.unit.version_minor = set.info.firmware_minor;
  set.file_name = file->name;
  if (state.session_files && set.has_data()) {
    state.session_files->session_file(file->path, set, state.unit_flags, nullptr);
  }
  inform(host, file_message::file_saved_ok);
  return true;
}

bool is_file_name_note(std::string_view note) {
  const size_t text = note.find_first_not_of(" \t");
  return text != std::string_view::npos && note.substr(text).starts_with("Filename:");
}

bool load_log_data(ProgramState& state, Host& host, const std::optional<std::string>& named) {
  const auto file = named ? check_file_to_load(host, *named, kExtension)
                          : choose_file_to_load(host, state.file(FileKind::LogData), kLoadTitle,
                                                kFilter, kExtension);
  if (!file) return false;
  const auto content = read_text_file(file->path);
  if (!content) {
    host.message(MessageKind::Warning, file_message::problem_opening, Buttons::Ok);
    return false;
  }
  if (!read_log_file(state, host, *content, *file)) return false;
  // Decoding leaves mph, psi, degrees C and metres; callers convert after.
  if (state.session_files)
    state.session_files->session_file(file->path, state.current(), {}, &*content);
  return true;
}

std::optional<size_t> read_log_file_bytes(ProgramState& state, Host& host,
                                          std::string_view content) {
  return LogFileReader(state, host, content).read_bytes();
}

bool read_log_file(ProgramState& state, Host& host, std::string_view content,
                   const ChosenFile& file) {
  return LogFileReader(state, host, content).run(file);
}

}  // namespace ardenvis::core
