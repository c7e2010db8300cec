#pragma once
// "Math Channels": the user's library of math channels, opened from "View
// Data". Channels are added, changed, checked against the loaded data sets
// and removed here, with the list of what a formula may use (channels,
// functions, operators, each with an example); "OK" saves the library.

#include <string>
#include <vector>

#include "common/host.h"
#include "math/channel_library.h"
#include "state/program_state.h"
#include "widgets/pelorant_window.h"

class QLabel;
class QLineEdit;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace ardenvis::ui {

class MathChannelsWindow : public PelorantWindow {
  Q_OBJECT
 public:
  MathChannelsWindow(const core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  // Shows `channels` for editing; `problems` are the library file's lines
  // that could not be read, `path` the file "OK" saves to.
  void edit(const std::vector<core::MathChannelDefinition>& channels,
            const std::vector<std::string>& problems, const std::string& path);
  const std::vector<core::MathChannelDefinition>& channels() const { return channels_; }

  // The buttons' handlers.
  void add_channel();
  void change_channel();
  void remove_channel();
  void check_channel();
  void accept_channels();

 signals:
  // "OK": the library was saved with these channels.
  void applied(const std::vector<core::MathChannelDefinition>& channels);

 private:
  core::MathChannelDefinition entered() const;
  int selected_row() const;
  void show_row(int row);
  void fill_table();
  void fill_help();
  void insert_into_formula(QTreeWidgetItem* item);
  void show_status(const QString& text, bool problem);

  const core::ProgramState& state_;
  core::Host& host_;
  std::vector<core::MathChannelDefinition> channels_;
  std::string path_;

  QTableWidget* table_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* unit_ = nullptr;
  QLineEdit* formula_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* file_ = nullptr;
  QTreeWidget* help_ = nullptr;
};

}  // namespace ardenvis::ui
