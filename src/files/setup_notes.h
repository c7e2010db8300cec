#pragma once
// Setup notes: each data set carries a free text of general notes and 80
// setup texts, 65 of them shown as the fields of a setup sheet (tyres,
// springs, dampers, geometry and weights per wheel, and general values). They
// travel in the log data file and can be kept on their own as a setup
// template (".psu") to reuse for the next session.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/text_file.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace file_message {
inline constexpr const char* no_data_for_setup = "No Valid Data Loaded to Save Setup With";
inline constexpr const char* template_format_error = "File Format Error, No Data Loaded";
}  // namespace file_message

inline constexpr int kSetupFieldCount = 65;  // setup texts 1..65 have a field
inline constexpr int kMaxNotesCharacters = 2000;

// One row of the setup sheet: its label and the setup texts of its fields,
// left to right (0 ends the list), each at most max_length characters.
struct SetupRow {
  const char* label;
  std::array<int, 3> texts;
  int max_length;
};

// A block of rows under a heading. Tyre temperature columns are labelled
// from the outside of the car in.
struct SetupBlock {
  const char* heading;
  const char* temperature_columns;  // labels above the three tyre temperatures, or nullptr
  std::span<const SetupRow> rows;
};

enum class SetupBlockId { FrontLeft, FrontRight, RearLeft, RearRight, General };
const SetupBlock& setup_block(SetupBlockId id);

// The column labels above the two wing fields.
inline constexpr const char* kWingAngleLabel = "Angle";
inline constexpr const char* kWingHeightLabel = "Height";

// "Data A Notes" / "Data B Notes".
std::string setup_sheet_caption(DataSetId slot);

// "Clear": empties all 80 setup texts and the notes of one data set.
void clear_setup(DataSet& set);

// "Save": saves the data set with its setup as a log data file when it holds
// decoded data; otherwise says there is nothing to save it with.
bool save_changes(ProgramState& state, Host& host);

// Template save and load for the current data set, with the file dialog
// pattern. True on "File Saved OK" / a complete load.
bool save_setup_data(ProgramState& state, Host& host);
bool load_setup_data(ProgramState& state, Host& host,
                     const std::optional<std::string>& named = std::nullopt);

// The template's lines: "//" + each notes line, then "@@" + setup text 1..80.
void write_setup_template(AtomicTextWriter& out, const DataSet& set);
// Replaces the notes and setup texts from template text. False when the text
// ends before all 80 setup lines; the values read until then stay.
bool read_setup_template(DataSet& set, std::string_view content);

}  // namespace ardenvis::core
