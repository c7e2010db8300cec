#pragma once
// The "Calibrate" page: the engine rpm pickup (ECU/coil pack or alternator),
// the speed and gear calibration factors and the vehicle weight.

#include "config/ui/config_page.h"

class QPushButton;

namespace ardenvis::ui {

class CalibratePage : public ConfigPage {
  Q_OBJECT
 public:
  explicit CalibratePage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;
  QPushButton* calculator_button() const { return calculator_; }

 signals:
  void gotoCalculator();

 private:
  QGroupBox* ecu_;
  QGroupBox* alternator_;
  QLabel* pulley_warning_;
  QPushButton* calculator_;
};

}  // namespace ardenvis::ui
