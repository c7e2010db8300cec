#pragma once
// The COM port box the windows that talk to the unit carry: "None",
// "COM1".."COM9". Choosing an item re-opens the one shared port.

#include <QComboBox>

#include "state/program_state.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

class ComPortBox : public QComboBox {
  Q_OBJECT
 public:
  ComPortBox(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  // Shows serial_port_number (windows call this when activated).
  void sync_from_state();
  // The change handler: opens the chosen port, warns and falls back to "None"
  // when it cannot be opened.
  void change_serial_port();

 signals:
  // After every change, with the outcome (true when the chosen port is open).
  void port_changed(bool open);

 private:
  core::ProgramState& state_;
  core::Host& host_;
};

// A window that talks to the unit: it carries the COM port box, which shows
// the chosen port each time the window is activated.
class UnitWindow : public PelorantWindow {
  Q_OBJECT
 public:
  UnitWindow(const QString& caption, core::ProgramState& state, core::Host& host,
             QWidget* parent = nullptr);
  ComPortBox* com_port_box() const { return com_port_; }
  // "COM Port" label and the box, in a row ready to be placed in a layout.
  QWidget* com_port_row();

 protected:
  void activated() override { com_port_->sync_from_state(); }

 private:
  ComPortBox* com_port_;
};

}  // namespace ardenvis::ui
