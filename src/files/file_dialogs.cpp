#include "files/file_dialogs.h"

#include "common/text_file.h"
#include "link/unit_session.h"

namespace ardenvis::core {

namespace {
void warn(Host& host, const std::string& text) {
  host.message(MessageKind::Warning, text, Buttons::Ok);
}

size_t name_start(std::string_view path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

// The typed name with the kind's extension appended when it has none; nullopt
// for an empty name or another extension (compared exactly, case included).
std::optional<std::string> with_extension(const std::string& typed, std::string_view extension) {
  if (typed.size() <= name_start(typed)) return std::nullopt;
  const std::string_view current = file_extension(typed);
  if (current.empty()) return typed + std::string(extension);
  if (current != extension) return std::nullopt;
  return typed;
}
}  // namespace

ChosenFile split_path(const std::string& path) {
  const size_t start = name_start(path);
  return ChosenFile{path, path.substr(0, start), path.substr(start)};
}

std::string_view file_extension(std::string_view path) {
  const std::string_view name = path.substr(name_start(path));
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::optional<ChosenFile> choose_file_to_save(Host& host, const FileLocation& location,
                                              const std::string& title, const std::string& filter,
                                              std::string_view extension,
                                              const SaveMessages& messages) {
  const auto typed = host.save_file(FileDialog{title, filter, location.folder, location.name});
  if (!typed) {
    warn(host, messages.cancelled);
    return std::nullopt;
  }
  const auto path = with_extension(*typed, extension);
  if (!path) {
    warn(host, messages.invalid_name);
    return std::nullopt;
  }
  if (file_exists(*path) &&
      host.message(MessageKind::Confirmation, file_message::overwrite_question, Buttons::YesNo) !=
          Answer::Yes) {
    warn(host, messages.overwrite_refused);
    return std::nullopt;
  }
  return split_path(*path);
}

std::optional<ChosenFile> choose_file_to_load(Host& host, const FileLocation& location,
                                              const std::string& title, const std::string& filter,
                                              std::string_view extension,
                                              const LoadMessages& messages) {
  const auto typed = host.open_file(FileDialog{title, filter, location.folder, location.name});
  if (!typed) {
    warn(host, messages.cancelled);
    return std::nullopt;
  }
  return check_file_to_load(host, *typed, extension, messages);
}

std::optional<ChosenFile> check_file_to_load(Host& host, const std::string& typed,
                                             std::string_view extension,
                                             const LoadMessages& messages) {
  const auto path = with_extension(typed, extension);
  if (!path) {
    warn(host, messages.invalid_name);
    return std::nullopt;
  }
  if (!file_exists(*path)) {
    warn(host, messages.missing);
    return std::nullopt;
  }
  return split_path(*path);
}

void remember(FileLocation& location, const ChosenFile& file) {
  location.folder = file.folder;
  location.name = file.name;
}

std::optional<ChosenFile> save_text_file(
    Host& host, FileLocation& location, const std::string& title, const std::string& filter,
    std::string_view extension,
    const std::function<bool(AtomicTextWriter& out, const ChosenFile& file)>& write,
    const SaveMessages& messages) {
  auto file = choose_file_to_save(host, location, title, filter, extension, messages);
  if (!file) return std::nullopt;
  AtomicTextWriter out;
  if (!out.open(file->path)) {
    warn(host, messages.cannot_create);
    return std::nullopt;
  }
  remember(location, *file);
  bool written = false;
  {
    BusyCursor busy(host);
    written = write(out, *file) && out.commit();
  }
  if (!written) {
    // The file it would have replaced stays as it was.
    out.discard();
    host.message(messages.write_failed_kind, messages.write_failed, Buttons::Ok);
    return std::nullopt;
  }
  return file;
}

}  // namespace ardenvis::core
