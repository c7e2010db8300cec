#include "live/ui/systemCheck.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm24::TForm24(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("System Check", parent) {
  setObjectName("TForm24");
  auto* layout = new QVBoxLayout(this);
  com_port_ = new ComPortBox(state, host, this);
  auto* port_row = new QHBoxLayout;
  port_row->addWidget(new QLabel("COM Port", this));
  port_row->addWidget(com_port_);
  port_row->addStretch();
  layout->addLayout(port_row);
  auto* about = new QLabel("The unit's inputs, modules and GPS, live.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Exit", "", "exitButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm24::back_to_toolbox);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm24::back_to_toolbox);
}

}  // namespace ardenvis::ui
