#include "logger/ui/downloadProgress.h"

#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm17::TForm17(QWidget* parent) : PelorantWindow("Ardenvis Analysis", parent) {
  setObjectName("TForm17");
  setWindowModality(Qt::ApplicationModal);  // other buttons must not re-enter
  stage_ = new QLabel(this);
  stage_->setObjectName("stageLabel");
  QFont bold = stage_->font();
  bold.setBold(true);
  stage_->setFont(bold);
  efficiency_ = new QLabel("100.00%", this);
  efficiency_->setObjectName("efficiencyLabel");

  auto* form = new QFormLayout;
  const char* captions[4] = {"Downloading", "Processing", "Formatting", "Link Quality"};
  for (int i = 0; i < 4; ++i) {
    bars_[i] = new QProgressBar(this);
    bars_[i]->setObjectName(QString(captions[i]).remove(' ') + "Bar");
    bars_[i]->setRange(0, 100);
    bars_[i]->setValue(0);
    bars_[i]->setMinimumWidth(260);
    form->addRow(captions[i], bars_[i]);
  }
  bars_[3]->setRange(0, 10);
  bars_[3]->setFormat("%v");
  form->addRow("Efficiency", efficiency_);

  auto* cancel = make_button("Cancel", {}, "cancelButton", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(stage_);
  layout->addLayout(form);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  adjustSize();

  connect(cancel, &QPushButton::clicked, this, &TForm17::cancel_requested);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm17::cancel_requested);
}

void TForm17::show() { QWidget::show(); }
void TForm17::hide() { QWidget::hide(); }

void TForm17::activated() {
  for (int i = 0; i < 3; ++i) {
    bars_[i]->setMinimum(0);
    bars_[i]->setValue(0);
  }
}

void TForm17::set_stage(const std::string& text) { stage_->setText(QString::fromStdString(text)); }

void TForm17::set_bar(core::ProgressBar which, long position, long maximum) {
  QProgressBar* b = bar(which);
  // QProgressBar counts in int; scale long ranges down proportionally.
  while (maximum > 1000000000L) {
    maximum /= 2;
    position /= 2;
  }
  b->setMaximum(static_cast<int>(maximum));
  b->setValue(static_cast<int>(std::min(position, maximum)));
}

void TForm17::set_efficiency(const std::string& text) {
  efficiency_->setText(QString::fromStdString(text));
}

QProgressBar* TForm17::bar(core::ProgressBar which) const {
  return bars_[static_cast<int>(which)];
}
QString TForm17::stage() const { return stage_->text(); }
QString TForm17::efficiency() const { return efficiency_->text(); }

}  // namespace ardenvis::ui
