#include "app/ui/logxfer_MAIN.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/start_up.h"
#include "state/program_state.h"

namespace ardenvis::ui {

TForm1::TForm1(QWidget* parent)
    : PelorantWindow(QString::fromStdString(core::main_window_caption()), parent) {
  setObjectName("TForm1");
  setFixedSize(385, 321);

  auto* title = new QLabel("Pelorant Tools", this);
  QFont title_font = title->font();
  title_font.setPointSize(title_font.pointSize() + 6);
  title_font.setBold(true);
  title->setFont(title_font);
  title->setAlignment(Qt::AlignCenter);

  logger_ = make_button("Pelorant Logger ", "Download the logged data from the Pelorant.",
                        "loggerButton", this);
  configure_ = make_button("Pelorant Configure", "Setup all the Pelorant parameters.",
                           "configureButton", this);
  toolbox_ =
      make_button("Pelorant ToolBox", "Setup all the Pelorant parameters.", "toolboxButton", this);
  about_ = make_button("About", "Pelorant Tools Information.", "aboutButton", this);
  exit_ = make_button("Exit", "Exit the Pelorant tools.", "exitButton", this);

  for (QPushButton* b : {logger_, configure_, toolbox_}) b->setMinimumHeight(56);
  for (QPushButton* b : {about_, exit_}) b->setMinimumHeight(40);
  QFont big = logger_->font();
  big.setPointSize(big.pointSize() + 2);
  big.setBold(true);
  for (QPushButton* b : {logger_, configure_, toolbox_}) b->setFont(big);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(24, 16, 24, 20);
  layout->setVerticalSpacing(10);
  layout->addWidget(title, 0, 0, 1, 2);
  layout->addWidget(logger_, 1, 0, 1, 2);
  layout->addWidget(configure_, 2, 0, 1, 2);
  layout->addWidget(toolbox_, 3, 0, 1, 2);
  layout->addWidget(about_, 4, 0);
  layout->addWidget(exit_, 4, 1);

  connect(logger_, &QPushButton::clicked, this, &TForm1::open_download);
  connect(configure_, &QPushButton::clicked, this, &TForm1::open_configure);
  connect(toolbox_, &QPushButton::clicked, this, &TForm1::open_toolbox);
  connect(about_, &QPushButton::clicked, this, &TForm1::open_about);
  connect(exit_, &QPushButton::clicked, this, &TForm1::exit_form1);
}

}  // namespace ardenvis::ui
