#include "live/ui/dyno.h"

#include <QPushButton>

namespace ardenvis::ui {

TForm23::TForm23(core::ProgramState& state, core::Host& host, QWidget* parent)
    : UnitWindow("Virtual Display", state, host, parent) {
  setObjectName("TForm23");
  WindowShell shell(
      this, "A virtual dashboard fed by the unit's live data, or by playing back data set A.",
      com_port_row());
  connect(shell.add_button("Exit", "", "exitButton"), &QPushButton::clicked, this,
          &TForm23::back_to_main);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm23::back_to_main);
}

}  // namespace ardenvis::ui
