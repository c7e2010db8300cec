#pragma once
// The "Lap/Hill" page: beacon or GPS lap timing, the sprint/hill mode, the
// GPS lap coordinates, the beacon options with the split timer, and the best
// lap reset.

#include <array>

#include "config/ui/config_page.h"

class QPushButton;

namespace ardenvis::ui {

class LapPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit LapPage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;
  QPushButton* reset_button() const { return reset_; }

 private:
  std::array<QLabel*, 4> row_labels_{};
  QGroupBox* computed_;
  QGroupBox* preset_;
  QLabel* split_note_;
  QPushButton* reset_;
};

}  // namespace ardenvis::ui
