#pragma once
// "Lap Times" page of "View Data": a lap grid and summary for each data set,
// the split and sort options and the two lap selectors for the overlay.

#include <QGroupBox>
#include <array>
#include <string>
#include <vector>

#include "common/host.h"
#include "state/program_state.h"
#include "viewer/lap_times.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace ardenvis::ui {

class LapGridModel;

class LapTimesPage : public QGroupBox {
  Q_OBJECT
 public:
  LapTimesPage(core::ProgramState& state, core::Host& host, core::LapTimes& lap_times,
               QWidget* parent = nullptr);

  core::LapTimeOptions lap_options() const;
  // Grids, captions, summaries and buttons as the lap tables now stand.
  void refresh();
  // The lap selectors offer these items, none chosen.
  void set_selector_items(const std::vector<std::string>& items);
  // The two lap panels share the space above the bottom row of boxes.
  void arrange_boxes();
  // The selectors' list positions (-1 = no lap chosen).
  std::array<int, 2> lap_positions() const;

 signals:
  void process_laps(core::LapBuildSender sender);
  // A lap was chosen in "Selection 1:" (1) or "Selection 2:" (2).
  void lap_selected(int selector);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  core::ProgramState& state_;
  core::Host& host_;
  core::LapTimes& lap_times_;

  QWidget* lap_area_ = nullptr;
  QWidget* bottom_row_ = nullptr;
  std::array<QGroupBox*, 2> lap_panels_{};
  std::array<QTableView*, 2> lap_views_{};
  std::array<LapGridModel*, 2> lap_models_{};
  std::array<QLabel*, 2> lap_summaries_{};
  std::array<QPushButton*, 2> all_buttons_{};
  QComboBox* splits_ = nullptr;
  QComboBox* split_segment_ = nullptr;
  QCheckBox* sort_ = nullptr;
  QComboBox* sort_parameter_ = nullptr;
  QComboBox* sort_segment_ = nullptr;
  std::array<QComboBox*, 2> lap_selectors_{};
};

}  // namespace ardenvis::ui
