#include "viewer/ui/plot_data.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm10::TForm10(QWidget* parent)
    : PelorantWindow("View Data", parent) {
  setObjectName("TForm10");
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel("Channel plots, lap tables, lap overlay, track map and G circle of data sets A and B.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Back to Main Menu", "", "backToMainButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm10::back_to_main);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm10::back_to_main);
}

}  // namespace ardenvis::ui
