#pragma once
// Plot labels: up to 20 texts the user pins onto the plot, either the cursor
// readout or free text, kept in a label file (".lab") and loaded again.
//
// The labels fill in order; the label counter names the next free one (1..21,
// 1 when there are none). An unused label sits far outside any data, at
// (100,000,000, 100,000,000), with an empty caption.
//
// Label file: line 1 the number of labels n; then for each label its x and y
// in the plot's first layer ("%.2f") and its caption on one line, every line
// feed written as "?".

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/text_file.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace label_message {
inline constexpr const char* maximum = "Maximum of 20 labels and text boxes!";
inline constexpr const char* nothing_to_save = "No Labels to Save";
inline constexpr const char* cancelled_not_saved = "Cancelled, Labels Not Saved";
inline constexpr const char* invalid_not_saved = "Invalid Filename, Labels Not Saved";
inline constexpr const char* not_saved = "Labels Not Saved";
inline constexpr const char* already_open = "File Already Open, Labels Not Saved";
inline constexpr const char* problem_writing = "Problem Writing File";
inline constexpr const char* not_loaded = "Labels Not Loaded";
inline constexpr const char* invalid_not_loaded = "Invalid Filename, Labels Not Loaded";
inline constexpr const char* missing = "Filename Does Not Exist, Labels Not Loaded";
inline constexpr const char* problem_opening = "Problem Opening File, Label Not Loaded";
inline constexpr const char* loaded = "Label File Loaded";
inline constexpr const char* problem_loading = "Problem Loading Label File";
}  // namespace label_message

inline constexpr int kPlotLabelCount = 20;
inline constexpr double kUnusedLabelPosition = 100000000;
inline constexpr const char* kDefaultFreeText = "Put Text Here";

// The "Labels" selector.
enum class LabelMode { Off, View, SetLabel, SetText };
// "Off" hides every label; the other modes show them.
inline bool labels_visible(LabelMode mode) { return mode != LabelMode::Off; }

struct PlotLabel {
  double x = kUnusedLabelPosition;
  double y = kUnusedLabelPosition;
  std::string caption;
  bool operator==(const PlotLabel&) const = default;
};

// A label file's contents: the count from line 1 and the labels found.
struct LabelFile {
  int count = 0;
  std::array<PlotLabel, kPlotLabelCount> labels{};
  int labels_found = 0;  // triples read, at most kPlotLabelCount
};

// The labels of the plot and the program's label counter they fill.
class PlotLabels {
 public:
  // `counter` is the program-wide label counter (ProgramState::label_counter).
  explicit PlotLabels(int& counter) : counter_(counter) {}

  // Label 1..20.
  const PlotLabel& label(int number) const { return labels_[static_cast<size_t>(number - 1)]; }
  int counter() const { return counter_; }
  // Labels in use: 1..counter - 1.
  int used() const { return counter_ - 1; }

  // set_cursor_down: in "Set Label" mode pins the readout, in "Set Text" the
  // free text, at (x, y). A 21st label is refused with a warning. True when a
  // label was placed.
  bool place(Host& host, LabelMode mode, double x, double y, const std::string& readout,
             const std::string& free_text);
  // clear_labels ("Clear All").
  void clear_all();
  // clear_last_label ("Clear Last").
  void clear_last();

  // save_lab_data ("Save Labels"). True after "File Saved OK".
  bool save(ProgramState& state, Host& host) const;
  // load_lab_data ("Load Labels"). True after "Label File Loaded"; the window
  // then sets the "Labels" mode to "View" and repaints.
  bool load(ProgramState& state, Host& host);

  // Puts a label file's contents in place of the present labels.
  void take(const LabelFile& file);

 private:
  int& counter_;
  std::array<PlotLabel, kPlotLabelCount> labels_{};
};

// The text of a label file for labels 1..count.
void write_labels(AtomicTextWriter& out, const std::array<PlotLabel, kPlotLabelCount>& labels,
                  int count);

// Reads a label file's text: the count, then label triples up to the end of
// the text or the 20th label (more are ignored). nullopt when a number cannot
// be converted.
std::optional<LabelFile> read_labels(std::string_view text);

// A caption as one file line ("?" for each line feed) and back.
std::string caption_to_line(std::string_view caption);
std::string line_to_caption(std::string_view line);

}  // namespace ardenvis::core
