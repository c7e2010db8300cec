#include "files/ui/logger_notes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm11::TForm11(QWidget* parent)
    : PelorantWindow("Setup Notes", parent) {
  setObjectName("TForm11");
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel("Car setup notes of the current data set.", this);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  {
    auto* button = make_button("Cancel", "", "cancelButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm11::cancel_loggernotes);
  }
  {
    auto* button = make_button("Back", "Back to the data logger analysis.", "backButton", this);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, &TForm11::back_to_logger);
  }
  layout->addLayout(buttons);
  resize(480, 240);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm11::back_to_logger);
}

}  // namespace ardenvis::ui
