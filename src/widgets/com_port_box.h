#pragma once
// The COM port box the windows that talk to the unit carry: "None",
// "COM1".."COM9". Choosing an item re-opens the one shared port.

#include <QComboBox>

#include "app/program_state.h"

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

}  // namespace ardenvis::ui
