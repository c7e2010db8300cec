#include "live/ui/dyno.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm23::TForm23(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("Virtual Display", parent) {
  setObjectName("TForm23");
  auto* layout = new QVBoxLayout(this);
  com_port_ = new ComPortBox(state, host, this);
  auto* port_row = new QHBoxLayout;
  port_row->addWidget(new QLabel("COM Port", this));
  port_row->addWidget(com_port_);
  port_row->addStretch();
  layout->addLayout(port_row);
  auto* about = new QLabel("A virtual dashboard fed by the unit's live data, or by playing back data set A.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Exit", "", "exitButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm23::back_to_main);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm23::back_to_main);
}

}  // namespace ardenvis::ui
