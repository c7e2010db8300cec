#include "viewer/ui/g_circle_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "widgets/chart.h"

namespace ardenvis::ui {

GCirclePage::GCirclePage(QWidget* parent) : QGroupBox("G Circle Map", parent) {
  setObjectName("gCircleArea");
  auto* layout = new QVBoxLayout(this);
  mode_caption_ = new QLabel("Plot All", this);
  mode_caption_->setObjectName("gCircleModeCaption");
  layout->addWidget(mode_caption_);
  chart_ = new Chart(this);
  chart_->setObjectName("gCircleChart");
  layout->addWidget(chart_, 1);
}

void GCirclePage::set_mode_caption(const QString& caption) { mode_caption_->setText(caption); }

}  // namespace ardenvis::ui
