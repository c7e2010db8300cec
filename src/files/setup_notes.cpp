#include "files/setup_notes.h"

#include "files/file_dialogs.h"
#include "files/log_file.h"
#include "link/unit_session.h"

namespace ardenvis::core {

namespace {

constexpr const char* kSaveTitle = "Save Setup Data";
constexpr const char* kLoadTitle = "Load Setup Data";
constexpr const char* kFilter = "Setup files (*.psu)";
constexpr const char* kExtension = ".psu";

constexpr SetupRow kFrontLeft[] = {
    {"Tyre Temp", {1, 2, 3}, 4},
    {"Tyre Press (C/H)", {4, 5}, 4},
    {"Springs (T/M)", {13, 6}, 4},
    {"Damper (B/R)", {7, 8}, 4},
    {"Camber", {9}, 5},
    {"Castor", {10}, 5},
    {"Toe In", {11}, 5},
    {"Corner Weight", {12}, 5},
};
constexpr SetupRow kFrontRight[] = {
    {"Tyre Temp", {35, 36, 37}, 4},
    {"Tyre Press (C/H)", {38, 39}, 4},
    {"Springs (T/M)", {47, 40}, 4},
    {"Damper (B/R)", {41, 42}, 4},
    {"Camber", {43}, 5},
    {"Castor", {44}, 5},
    {"Toe In", {45}, 5},
    {"Corner Weight", {46}, 5},
};
constexpr SetupRow kRearLeft[] = {
    {"Tyre Temp", {22, 23, 24}, 4},
    {"Tyre Press (C/H)", {25, 26}, 4},
    {"Springs (T/M)", {34, 27}, 4},
    {"Damper (B/R)", {28, 29}, 4},
    {"Camber", {30}, 5},
    {"Toe In", {32}, 5},
    {"Corner Weight", {33}, 5},
};
constexpr SetupRow kRearRight[] = {
    {"Tyre Temp", {48, 49, 50}, 4},
    {"Tyre Press (C/H)", {51, 52}, 4},
    {"Springs (T/M)", {60, 53}, 4},
    {"Damper (B/R)", {54, 55}, 4},
    {"Camber", {56}, 5},
    {"Toe In", {58}, 5},
    {"Corner Weight", {59}, 5},
};
constexpr SetupRow kGeneral[] = {
    {"Track Temp", {31}, 4},     {"Air Temp", {57}, 4},          {"Front Wing", {14, 63}, 4},
    {"Rear Wing", {15, 64}, 4},  {"Total Weight", {16}, 5},      {"Front Roll Bar", {61}, 4},
    {"Rear Roll Bar", {17}, 4},  {"Front Ride Height", {62}, 4}, {"Rear Ride Height", {18}, 4},
    {"Fuel Level Out", {19}, 5}, {"Fuel Level In", {20}, 5},     {"Est Fuel Usage/Lap", {21}, 5},
    {"Differential", {65}, 6},
};

constexpr const char* kLeftColumns = "O      M       I";
constexpr const char* kRightColumns = "I       M      O";

const SetupBlock kBlocks[] = {
    {"Drivers Front Left", kLeftColumns, kFrontLeft},
    {"Drivers Front Right", kRightColumns, kFrontRight},
    {"Rear Left", kLeftColumns, kRearLeft},
    {"Rear Right", kRightColumns, kRearRight},
    {"General", nullptr, kGeneral},
};

}  // namespace

const SetupBlock& setup_block(SetupBlockId id) { return kBlocks[static_cast<size_t>(id)]; }

std::string setup_sheet_caption(DataSetId slot) {
  return slot == DataSetId::B ? "Data B Notes" : "Data A Notes";
}

void clear_setup(DataSet& set) {
  for (std::string& text : set.setup_texts) text.clear();
  set.notes.clear();
}

bool save_changes(ProgramState& state, Host& host) {
  if (!state.current().has_data()) {
    host.message(MessageKind::Information, file_message::no_data_for_setup, Buttons::Ok);
    return false;
  }
  return save_log_data(state, host);
}

void write_setup_template(AtomicTextWriter& out, const DataSet& set) {
  for (const std::string& note : set.notes) out.line("//" + note);
  for (const std::string& text : set.setup_texts) out.line("@@" + text);
}

bool read_setup_template(DataSet& set, std::string_view content) {
  set.notes.clear();
  LineReader lines(content);
  std::string_view line;
  bool have_line;
  while ((have_line = lines.next(line)) && line.starts_with("//")) {
    set.notes.emplace_back(line.substr(2));
  }
  // The first two characters of a setup line are its marker, whatever they are.
  for (std::string& text : set.setup_texts) {
    if (!have_line) return false;
    text = std::string(line.substr(line.size() < 2 ? line.size() : 2));
    have_line = lines.next(line);
  }
  return true;
}

bool save_setup_data(ProgramState& state, Host& host) {
  const auto file = save_text_file(host, state.file(FileKind::SetupNotes), kSaveTitle, kFilter,
                                   kExtension, [&](AtomicTextWriter& out, const ChosenFile&) {
                                     write_setup_template(out, state.current());
                                     return true;
                                   });
  if (!file) return false;
  host.message(MessageKind::Information, file_message::file_saved_ok, Buttons::Ok);
  return true;
}

bool load_setup_data(ProgramState& state, Host& host, const std::optional<std::string>& named) {
  FileLocation& location = state.file(FileKind::SetupNotes);
  const auto file = named ? check_file_to_load(host, *named, kExtension)
                          : choose_file_to_load(host, location, kLoadTitle, kFilter, kExtension);
  if (!file) return false;
  const auto content = read_text_file(file->path);
  if (!content) {
    host.message(MessageKind::Warning, file_message::problem_opening, Buttons::Ok);
    return false;
  }
  BusyCursor busy(host);
  const bool complete = read_setup_template(state.current(), *content);
  if (!complete) host.message(MessageKind::Error, file_message::template_format_error, Buttons::Ok);
  // What was read stays, and the file is the one the user chose either way.
  remember(location, *file);
  return complete;
}

}  // namespace ardenvis::core
