#pragma once
// The one dialog pattern every file kind follows: a dialog with title, filter,
// remembered folder and default name; the kind's own extension (appended when
// the name has none, anything else refused); the overwrite question; and the
// fixed messages of each outcome.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/text_file.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace file_message {
inline constexpr const char* cancelled_no_data_saved = "Cancelled, No Data Saved";
inline constexpr const char* invalid_filename_not_saved = "Invalid Filename, No Data Saved";
inline constexpr const char* overwrite_question = "File Exists, Overwrite File ?";
inline constexpr const char* no_data_saved = "No Data Saved";
inline constexpr const char* file_already_open = "File Already Open, No Data Saved";
inline constexpr const char* problem_saving = "Problem Saving, File has been Closed";
inline constexpr const char* file_saved_ok = "File Saved OK";
inline constexpr const char* no_data_loaded = "No Data Loaded";
inline constexpr const char* invalid_filename_not_loaded = "Invalid Filename, No Data Loaded";
inline constexpr const char* file_does_not_exist = "Filename Does Not Exist, No Data Loaded";
inline constexpr const char* problem_opening = "Problem Opening File, No Data Loaded";
inline constexpr const char* no_valid_data_to_save = "No Valid Data to Save";
}  // namespace file_message

// The messages of one file kind's dialogs. Most kinds use the common texts;
// a few (display preferences, labels) name what was not saved or loaded.
struct SaveMessages {
  std::string cancelled = file_message::cancelled_no_data_saved;
  std::string invalid_name = file_message::invalid_filename_not_saved;
  std::string overwrite_refused = file_message::no_data_saved;
  std::string cannot_create = file_message::file_already_open;
  std::string write_failed = file_message::problem_saving;
  MessageKind write_failed_kind = MessageKind::Warning;
};
struct LoadMessages {
  std::string cancelled = file_message::no_data_loaded;
  std::string invalid_name = file_message::invalid_filename_not_loaded;
  std::string missing = file_message::file_does_not_exist;
};

// A file the user chose: the full path, and its folder (with trailing
// separator) and name as the kind remembers them.
struct ChosenFile {
  std::string path;
  std::string folder;
  std::string name;
};

// Splits a path into folder (with its trailing separator, or empty) and name.
ChosenFile split_path(const std::string& path);

// The extension of the name part: from its last '.', or empty.
std::string_view file_extension(std::string_view path);

// The save dialog for a file of `extension` (".plr"), starting at the kind's
// remembered location. Reports every refusal itself (cancelled, bad name,
// overwrite refused) and returns nullopt then.
std::optional<ChosenFile> choose_file_to_save(Host& host, const FileLocation& location,
                                              const std::string& title, const std::string& filter,
                                              std::string_view extension,
                                              const SaveMessages& messages = {});
// The same for a kind saved in one of several formats: any of `extensions`
// is taken as typed, and a name without one gets the first.
std::optional<ChosenFile> choose_file_to_save(Host& host, const FileLocation& location,
                                              const std::string& title, const std::string& filter,
                                              std::span<const std::string_view> extensions,
                                              const SaveMessages& messages = {});

// The open dialog: cancelled, bad name and missing file are reported here.
std::optional<ChosenFile> choose_file_to_load(Host& host, const FileLocation& location,
                                              const std::string& title, const std::string& filter,
                                              std::string_view extension,
                                              const LoadMessages& messages = {});

// The checks of a name given for loading (typed, dropped, given on the
// command line, picked from the recent files or the session library): bad
// name and missing file are reported as the open dialog reports them.
std::optional<ChosenFile> check_file_to_load(Host& host, const std::string& typed,
                                             std::string_view extension,
                                             const LoadMessages& messages = {});

void remember(FileLocation& location, const ChosenFile& file);

// The whole save of a text file kind: the save dialog, the atomic write under
// the busy cursor (`write` returns false on a failure of its own), the
// remembered location, and the failure messages. Returns the chosen file once
// it is safely in place; the caller then says "File Saved OK".
std::optional<ChosenFile> save_text_file(
    Host& host, FileLocation& location, const std::string& title, const std::string& filter,
    std::string_view extension,
    const std::function<bool(AtomicTextWriter& out, const ChosenFile& file)>& write,
    const SaveMessages& messages = {});

}  // namespace ardenvis::core
