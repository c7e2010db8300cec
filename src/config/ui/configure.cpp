#include "config/ui/configure.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm3::TForm3(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("Configuration", parent) {
  setObjectName("TForm3");
  auto* layout = new QVBoxLayout(this);
  com_port_ = new ComPortBox(state, host, this);
  auto* port_row = new QHBoxLayout;
  port_row->addWidget(new QLabel("COM Port", this));
  port_row->addWidget(com_port_);
  port_row->addStretch();
  layout->addLayout(port_row);
  auto* about = new QLabel("The unit configuration editor: display pages, alarms, shift lights, gears, lap and split timing, sensors and the camera database.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Main\nMenu", "Back to Main Menu", "mainMenuButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm3::back_to_main);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm3::back_to_main);
}

}  // namespace ardenvis::ui
