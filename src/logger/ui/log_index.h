#pragma once
// TForm16: "Download Data Menu". Shows the unit's sessions eight at a time
// with the memory figures, and starts a download of the chosen session into
// data set A or B.

#include <array>

#include "state/program_state.h"
#include "widgets/pelorant_window.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace ardenvis::ui {

class TForm16 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm16(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  // Shows what the last index read left (the rows of the current page and the
  // memory figures).
  void refreshDataScreen();

  QComboBox* session_box() const { return session_box_; }
  QComboBox* to_memory_box() const { return to_memory_box_; }
  QLabel* cell(int row, int column) const;  // row 0..7; columns number, duration, size, date, time
  QLabel* memory_full_label() const { return memory_full_; }

 signals:
  void back_to_log_analysis();
  void view_data();
  // "Download": the session (1..16) and the data set of the "to Memory" box.
  void download_requested(int session, core::DataSetId target);

 protected:
  void activated() override;

 private:
  void downloadLogSession();
  void refreshLog();

  core::ProgramState& state_;
  core::Host& host_;
  std::array<std::array<QLabel*, 5>, core::kRowsPerPage> cells_{};
  QLabel* total_;
  QLabel* used_;
  QLabel* free_;
  QLabel* memory_full_;
  QComboBox* session_box_;
  QComboBox* to_memory_box_;
  QPushButton* clear_;
};

}  // namespace ardenvis::ui
