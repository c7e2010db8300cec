#pragma once
// TForm12: "Odometer Password". Unlocks the odometer field of the
// configuration editor so that the next write sets the unit's odometer.

#include "config/config_editor.h"
#include "widgets/pelorant_window.h"

class QLineEdit;

namespace ardenvis::ui {

class TForm12 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm12(core::ConfigEditor& editor, core::Host& host, QWidget* parent = nullptr);
  QLineEdit* entry() const { return entry_; }
  // "Enter": checks the password, reports the outcome and closes.
  void enter();

 signals:
  // The window closed (by "Enter" or its close box).
  void finished();

 protected:
  void activated() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  core::ConfigEditor& editor_;
  core::Host& host_;
  QLineEdit* entry_;
};

}  // namespace ardenvis::ui
