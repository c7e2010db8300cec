#include "live/ui/systemCheck.h"

#include <QPushButton>

namespace ardenvis::ui {

TForm24::TForm24(core::ProgramState& state, core::Host& host, QWidget* parent)
    : UnitWindow("System Check", state, host, parent) {
  setObjectName("TForm24");
  WindowShell shell(this, "The unit's inputs, modules and GPS, live.", com_port_row());
  connect(shell.add_button("Exit", "", "exitButton"), &QPushButton::clicked, this,
          &TForm24::back_to_toolbox);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm24::back_to_toolbox);
}

}  // namespace ardenvis::ui
