#include "viewer/plot_labels.h"

#include <algorithm>

#include "common/format.h"
#include "common/number_text.h"
#include "files/file_dialogs.h"

namespace ardenvis::core {
namespace {

constexpr const char* kSaveTitle = "Save Label Data";
constexpr const char* kSaveFilter = "Ardenvis Label Files (*.lab)";
constexpr const char* kLoadTitle = "Load Label Data";
constexpr const char* kLoadFilter = "Ardenvis Label files (*.lab)";
constexpr const char* kExtension = ".lab";

}  // namespace

std::string caption_to_line(std::string_view caption) {
  std::string line(caption);
  std::replace(line.begin(), line.end(), '\n', '?');
  return line;
}

std::string line_to_caption(std::string_view line) {
  std::string caption(line);
  std::replace(caption.begin(), caption.end(), '?', '\n');
  return caption;
}

bool PlotLabels::place(Host& host, LabelMode mode, double x, double y, const std::string& readout,
                       const std::string& free_text) {
  if (mode != LabelMode::SetLabel && mode != LabelMode::SetText) return false;
  if (counter_ > kPlotLabelCount) {
    host.message(MessageKind::Warning, label_message::maximum, Buttons::Ok);
    return false;
  }
  // A counter below 1 cannot come from the program; it starts the table again.
  if (counter_ < 1) counter_ = 1;
  labels_[static_cast<size_t>(counter_ - 1)] =
      PlotLabel{x, y, mode == LabelMode::SetLabel ? readout : free_text};
  ++counter_;
  return true;
}

void PlotLabels::clear_all() {
  labels_.fill(PlotLabel{});
  counter_ = 1;
}

void PlotLabels::clear_last() {
  if (counter_ > 1) --counter_;
  if (counter_ >= 1 && counter_ <= kPlotLabelCount) {
    labels_[static_cast<size_t>(counter_ - 1)] = PlotLabel{};
  }
}

void write_labels(AtomicTextWriter& out, const std::array<PlotLabel, kPlotLabelCount>& labels,
                  int count) {
  count = std::clamp(count, 0, kPlotLabelCount);
  out.line(format("%d", count));
  for (int i = 0; i < count; ++i) {
    const PlotLabel& label = labels[static_cast<size_t>(i)];
    out.line(format("%.2f", label.x));
    out.line(format("%.2f", label.y));
    out.line(caption_to_line(label.caption));
  }
}

std::optional<LabelFile> read_labels(std::string_view text) {
  LineReader lines(text);
  std::string_view line;
  if (!lines.next(line)) return std::nullopt;
  const auto count = parse_integer(line);
  if (!count || *count < 0) return std::nullopt;
  LabelFile file;
  file.count = static_cast<int>(std::min<long long>(*count, kPlotLabelCount + 1));
  // Triples to the end of the text; the table has 20 labels and a file that
  // holds more gives the first 20.
  while (file.labels_found < kPlotLabelCount && lines.next(line)) {
    // Blank lines at the very end (an editor's trailing line feeds) end the list.
    if (line.find_first_not_of(" \t") == std::string_view::npos) {
      std::string_view rest;
      bool only_blank = true;
      while (only_blank && lines.next(rest)) {
        only_blank = rest.find_first_not_of(" \t") == std::string_view::npos;
      }
      if (only_blank) break;
      return std::nullopt;
    }
    const auto x = parse_real(line);
    std::string_view y_line;
    const auto y = lines.next(y_line) ? parse_real(y_line) : std::nullopt;
    if (!x || !y) return std::nullopt;
    std::string_view caption;
    if (!lines.next(caption)) caption = {};  // a last caption left off reads empty
    file.labels[static_cast<size_t>(file.labels_found++)] =
        PlotLabel{*x, *y, line_to_caption(caption)};
  }
  return file;
}

void PlotLabels::take(const LabelFile& file) {
  clear_all();
  for (int i = 0; i < file.labels_found; ++i) {
    labels_[static_cast<size_t>(i)] = file.labels[static_cast<size_t>(i)];
  }
  // The count on line 1 decides, as far as the table reaches: a file claiming
  // more than 20 labels fills the table.
  counter_ = std::min(file.count, kPlotLabelCount) + 1;
}

bool PlotLabels::save(ProgramState& state, Host& host) const {
  if (counter_ < 2) {
    host.message(MessageKind::Warning, label_message::nothing_to_save, Buttons::Ok);
    return false;
  }
  SaveMessages messages;
  messages.cancelled = label_message::cancelled_not_saved;
  messages.invalid_name = label_message::invalid_not_saved;
  messages.overwrite_refused = label_message::not_saved;
  messages.cannot_create = label_message::already_open;
  messages.write_failed = label_message::problem_writing;
  messages.write_failed_kind = MessageKind::Error;
  const auto file = save_text_file(
      host, state.file(FileKind::ChannelLabels), kSaveTitle, kSaveFilter, kExtension,
      [&](AtomicTextWriter& out, const ChosenFile&) {
        write_labels(out, labels_, counter_ - 1);
        return true;
      },
      messages);
  if (!file) return false;
  host.message(MessageKind::Information, file_message::file_saved_ok, Buttons::Ok);
  return true;
}

bool PlotLabels::load(ProgramState& state, Host& host) {
  LoadMessages messages;
  messages.cancelled = label_message::not_loaded;
  messages.invalid_name = label_message::invalid_not_loaded;
  messages.missing = label_message::missing;
  const auto chosen = choose_file_to_load(host, state.file(FileKind::ChannelLabels), kLoadTitle,
                                          kLoadFilter, kExtension, messages);
  if (!chosen) return false;
  const auto text = read_text_file(chosen->path);
  if (!text) {
    host.message(MessageKind::Warning, label_message::problem_opening, Buttons::Ok);
    return false;
  }
  const auto file = read_labels(*text);
  if (!file) {
    // Nothing of a damaged file is put up; the labels stay as they were.
    host.message(MessageKind::Error, label_message::problem_loading, Buttons::Ok);
    return false;
  }
  take(*file);
  host.message(MessageKind::Information, label_message::loaded, Buttons::Ok);
  return true;
}

}  // namespace ardenvis::core
