#pragma once
// The log data file (".plr"): a downloaded session kept as text. Comment lines
// carry the file name and the setup notes, "@@" lines the 80 setup texts, a
// short header the unit's identity, calibration and sample rate, and then the
// raw log bytes, one record per line as hex pairs. Loading restores the raw
// bytes and decodes them again; decoded channels are never stored.
//
// Both operations work on the current data set: callers set
// state.current_data_set first. They report every outcome in a message box.

#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/text_file.h"
#include "files/file_dialogs.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace file_message {
inline constexpr const char* not_compatible =
    "File not Compatible with Ardenvis Version, No Data Loaded";
inline constexpr const char* format_problem = "File Format Problem, No Data Loaded: %d";
inline constexpr const char* unexpected_symbol =
    "Data Loaded OK - but - unexpected symbol at Line: %d";
}  // namespace file_message

// More notes lines than a log data file may carry.
inline constexpr size_t kMaxLogFileNotesLines = 256;

// Asks for a name and saves the current data set. True after "File Saved OK".
bool save_log_data(ProgramState& state, Host& host);

// Asks for a file (or takes the one `named`, checked as a typed name: a file
// dropped, picked from the recent files or the session library, or given on
// the command line) and loads it into the current data set, then decodes it.
// True when the slot holds decoded data afterwards. The caller stops the
// download watchdog first.
bool load_log_data(ProgramState& state, Host& host,
                   const std::optional<std::string>& named = std::nullopt);

// The lines of a log data file for `set`, written to `out`: the file name
// line, the notes, the 80 setup texts, the header (the slot's own unit values
// when it has them, the program-wide ones otherwise; the display unit bits of
// `flags`) and every whole record of the held raw bytes. False when the notes
// have more lines than a file may carry.
bool write_log_file(AtomicTextWriter& out, const DataSet& set, const UnitIdentity& identity,
                    const UnitFlags& flags, const std::string& file_name, Host& host);

// True for the notes line a log data file starts with ("// Filename: ...",
// read back as " Filename: ..."): it names the file, it is not the user's.
bool is_file_name_note(std::string_view note);

// Loads the text of a log data file into the current data set and decodes it
// (everything after the file was opened). `file` names it for the slot, the
// notes and the remembered locations. True when the slot holds decoded data.
bool read_log_file(ProgramState& state, Host& host, std::string_view content,
                   const ChosenFile& file);

// The part of a load that turns the text into the current slot's raw bytes
// (notes, setup texts, header, records), without the messages, the progress
// window or decoding; for measuring the loader alone. The byte count, or
// nullopt when the header is refused.
std::optional<size_t> read_log_file_bytes(ProgramState& state, Host& host,
                                          std::string_view content);

// The whole records at the start of raw[0..count): their total length. A
// record cut off by the end is not counted.
size_t whole_records_length(const uint8_t* raw, size_t count);

}  // namespace ardenvis::core
