#pragma once
// TForm4: "Calculator", the gearing calculator.

#include <QWidget>

#include "calc/gearing.h"
#include "state/program_state.h"
#include "widgets/pelorant_window.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;

namespace ardenvis::ui {

class TyreNotebook;

class TForm4 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm4(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  // Where "Goto\nConfiguration" copies the two factors (the configuration
  // editor's "Speedo Cal Factor" and "Gear Cal Factor").
  void set_calibration_target(core::CalibrationTarget target) { target_ = std::move(target); }

  // The controls as they stand, and the results shown.
  core::CalculatorControls controls() const;
  const core::CalculationResult& shown() const { return shown_; }

 signals:
  void view_help();
  void back_to_toolbox();
  // The factors were handed over: show the configuration's "Calibrate" page.
  void goto_configuration();

 protected:
  void activated() override { setup_form4(); }

 private:
  void setup_form4();
  void getCalculatorParams();
  void Tyre_type_buttonsClick();
  void Drive_Sensor_ButtonsClick();
  void changeFinalDriveType();
  void calculateSprocketRatio();
  void update_diff_display();
  void clear_displays();
  void recalculate();
  void sendToConfigure();
  void back_to_toolbox_clicked();

  QGroupBox* make_drive_sensor_group();
  QGroupBox* make_tyre_type_group();
  QGroupBox* make_final_drive_group();
  QGroupBox* make_results_group();
  QGroupBox* make_tyre_information_group();

  core::ProgramState& state_;
  core::Host& host_;
  core::CalibrationTarget target_;
  core::CalculationResult shown_;
  bool loading_ = false;  // controls being set from the stored set
  // The user went to "Calcultor Help": coming back resumes the same visit, so
  // the entries typed so far (not yet stored) stay in the controls.
  bool in_help_ = false;

  QButtonGroup* drive_sensor_ = nullptr;  // Drive_Sensor_Buttons
  QButtonGroup* tyre_type_ = nullptr;     // Tyre_type_buttons
  QButtonGroup* final_drive_ = nullptr;   // RadioGroup1
  TyreNotebook* tyre_notebook_ = nullptr;
  QGroupBox* sprocket_group_ = nullptr;
  QGroupBox* diff_group_ = nullptr;
  QLineEdit* engine_teeth_ = nullptr;    // NumIO1
  QLineEdit* axle_teeth_ = nullptr;      // NumIO2
  QLineEdit* sprocket_ratio_ = nullptr;  // Edit1
  QLineEdit* diff_ratio_ = nullptr;      // diff_ratio_value
  QLineEdit* speedo_cal_ = nullptr;
  QLineEdit* gear_cal_ = nullptr;
  QLineEdit* front_circumference_ = nullptr;
  QLineEdit* rear_circumference_ = nullptr;
  QLineEdit* front_radius_ = nullptr;
  QLineEdit* rear_radius_ = nullptr;
};

}  // namespace ardenvis::ui
