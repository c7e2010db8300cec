#include "calc/ui/calculator.h"

#include <QPushButton>

namespace ardenvis::ui {

TForm4::TForm4(QWidget* parent) : PelorantWindow("Calculator", parent) {
  setObjectName("TForm4");
  WindowShell shell(
      this, "The gearing calculator: speed and gear calibration factors from tyres and gearing.");
  connect(shell.add_button("Help", "Help just in case you are having problems !", "helpButton"),
          &QPushButton::clicked, this, &TForm4::view_help);
  connect(shell.add_button("Back to ToolBox", "Back to the Main Menu.", "backToToolboxButton"),
          &QPushButton::clicked, this, &TForm4::back_to_toolbox);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm4::back_to_toolbox);
}

}  // namespace ardenvis::ui
