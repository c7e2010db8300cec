#include "config/ui/configure.h"

#include <QPushButton>

namespace ardenvis::ui {

TForm3::TForm3(core::ProgramState& state, core::Host& host, QWidget* parent)
    : UnitWindow("Configuration", state, host, parent) {
  setObjectName("TForm3");
  WindowShell shell(this,
                    "The unit configuration editor: display pages, alarms, shift lights, gears, "
                    "lap and split timing, sensors and the camera database.",
                    com_port_row());
  connect(shell.add_button("Main\nMenu", "Back to Main Menu", "mainMenuButton"),
          &QPushButton::clicked, this, &TForm3::back_to_main);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm3::back_to_main);
}

}  // namespace ardenvis::ui
