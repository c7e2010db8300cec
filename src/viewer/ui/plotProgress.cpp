#include "viewer/ui/plotProgress.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm20::TForm20(QWidget* parent) : PelorantWindow("Ardenvis Progress", parent) {
  setObjectName("TForm20");
  setWindowFlag(Qt::WindowStaysOnTopHint);
  auto* layout = new QVBoxLayout(this);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("plotProgressBar");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  layout->addWidget(bar_);
  resize(360, 60);
}

void TForm20::set_progress(int percent) {
  bar_->setValue(percent);
  bar_->repaint();
}

int TForm20::progress() const { return bar_->value(); }

}  // namespace ardenvis::ui
