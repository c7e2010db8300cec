#include "config/ui/calibrate_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

CalibratePage::CalibratePage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Calibrate, fields, parent) {
  QGroupBox* rpm = group("Engine RPM Calibration");
  ecu_ = group("Standard ECU or Coil Pack", rpm);
  alternator_ = group("Alternator Terminal", rpm);
  pulley_warning_ = note_label("pulleyWarning", alternator_);
  pulley_warning_->setText(core::kPulleyWarning);
  pulley_warning_->setStyleSheet("color: red;");
  add_field_row(alternator_, pulley_warning_);
  add_row(rpm, ecu_);
  add_row(rpm, alternator_);
  grid()->addWidget(rpm, 0, 0, 2, 1);

  QGroupBox* speed = group("Speed Calibration");
  calculator_ = PelorantWindow::make_button(
      "Goto\nCalculator", "Get the calibration factors from the Calculator option.",
      "gotoCalculatorButton", speed);
  add_field_row(speed, calculator_);
  connect(calculator_, &QPushButton::clicked, this, &CalibratePage::gotoCalculator);
  grid()->addWidget(speed, 0, 1);
  grid()->addWidget(group("Total Vehicle Weight"), 1, 1);
}

void CalibratePage::refresh() {
  ecu_->setVisible(notes().ecu_pickup_visible);
  alternator_->setVisible(notes().alternator_pickup_visible);
  pulley_warning_->setVisible(notes().pulley_warning);
}

}  // namespace ardenvis::ui
