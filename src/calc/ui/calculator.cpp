#include "calc/ui/calculator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm4::TForm4(QWidget* parent)
    : PelorantWindow("Calculator", parent) {
  setObjectName("TForm4");
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel("The gearing calculator: speed and gear calibration factors from tyres and gearing.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Help", "Help just in case you are having problems !", "helpButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm4::view_help);
  }
  {
    auto* button = make_button("Back to ToolBox", "Back to the Main Menu.", "backToToolboxButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm4::back_to_toolbox);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm4::back_to_toolbox);
}

}  // namespace ardenvis::ui
