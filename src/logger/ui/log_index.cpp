#include "logger/ui/log_index.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm16::TForm16(QWidget* parent)
    : PelorantWindow("Download Data Menu", parent) {
  setObjectName("TForm16");
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel("The sessions stored in the unit, with durations, sizes, dates and memory figures.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Back to Log Analysis", "", "backButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm16::back_to_log_analysis);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm16::back_to_log_analysis);
}

}  // namespace ardenvis::ui
