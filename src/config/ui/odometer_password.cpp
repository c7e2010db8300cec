#include "config/ui/odometer_password.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/config_image.h"

namespace ardenvis::ui {

TForm12::TForm12(core::ConfigEditor& editor, core::Host& host, QWidget* parent)
    : PelorantWindow("Odometer Password", parent), editor_(editor), host_(host) {
  setObjectName("TForm12");
  setWindowFlag(Qt::Window);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Enter the Password to change the", this));
  layout->addWidget(new QLabel("Odometer value on the Pelorant", this));
  entry_ = new QLineEdit(this);
  entry_->setObjectName("passwordEntry");
  entry_->setEchoMode(QLineEdit::Password);
  entry_->setMaxLength(8);
  layout->addWidget(entry_);
  auto* enter_button = make_button("Enter", {}, "enterButton", this);
  enter_button->setDefault(true);
  layout->addWidget(enter_button, 0, Qt::AlignRight);
  connect(enter_button, &QPushButton::clicked, this, &TForm12::enter);
  connect(entry_, &QLineEdit::returnPressed, this, &TForm12::enter);
  resize(300, 140);
}

void TForm12::activated() {
  editor_.open_password_window();
  entry_->clear();
  entry_->setFocus();
}

void TForm12::enter() {
  core::odometer_password_entered(editor_, host_, entry_->text().toStdString());
  close();
}

void TForm12::closeEvent(QCloseEvent* event) {
  event->accept();
  editor_.close_password_window();
  emit finished();
}

}  // namespace ardenvis::ui
