#include "app/ui/Toolbox.h"

#include <QGridLayout>
#include <QPushButton>

namespace ardenvis::ui {

TForm21::TForm21(QWidget* parent) : PelorantWindow("Pelorant Tool Box", parent) {
  setObjectName("TForm21");
  auto* calculator =
      make_button("Calibration Calculator", "Calculate the Speed and Gear calibration factors.",
                  "calculatorButton", this);
  auto* plot = make_button("Plot Data Analysis", {}, "plotDataButton", this);
  auto* dyno = make_button("Virtual Data Display", {}, "virtualDisplayButton", this);
  auto* check = make_button("Sensor System Check", {}, "systemCheckButton", this);
  auto* tyre = make_button("Tyre Analysis", {}, "tyreAnalysisButton", this);
  auto* gear = make_button("Gear Ratio Analysis", {}, "gearRatioButton", this);
  auto* library = make_button("Session Library",
                              "Every session logged, with bests, ideal laps and consistency per "
                              "venue.",
                              "sessionLibraryButton", this);
  auto* main_menu = make_button("Main Menu", "Back to Main Menu.", "mainMenuButton", this);
  tyre->setEnabled(false);
  gear->setEnabled(false);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(20, 20, 20, 20);
  layout->setSpacing(10);
  int row = 0;
  for (QPushButton* b : {calculator, plot, dyno}) {
    b->setMinimumSize(190, 48);
    layout->addWidget(b, row++, 0);
  }
  row = 0;
  for (QPushButton* b : {check, tyre, gear}) {
    b->setMinimumSize(190, 48);
    layout->addWidget(b, row++, 1);
  }
  library->setMinimumHeight(40);
  layout->addWidget(library, 3, 0, 1, 2);
  main_menu->setMinimumHeight(40);
  layout->addWidget(main_menu, 4, 0, 1, 2);

  connect(calculator, &QPushButton::clicked, this, &TForm21::open_calculator);
  connect(plot, &QPushButton::clicked, this, &TForm21::view_plot_data);
  connect(dyno, &QPushButton::clicked, this, &TForm21::openDynoMode);
  connect(check, &QPushButton::clicked, this, &TForm21::openSystemCheck);
  connect(library, &QPushButton::clicked, this, &TForm21::open_session_library);
  connect(main_menu, &QPushButton::clicked, this, &TForm21::back_to_main);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm21::back_to_main);
  adjustSize();
}

}  // namespace ardenvis::ui
