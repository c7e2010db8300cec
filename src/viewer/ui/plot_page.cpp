#include "viewer/ui/plot_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/chart.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

PlotPage::PlotPage(QWidget* parent) : QGroupBox("Plot", parent) {
  setObjectName("plotArea");
  auto* layout = new QVBoxLayout(this);
  auto* names = new QHBoxLayout;
  for (size_t s = 0; s < 2; ++s) {
    name_captions_[s] = new QLabel(s == 0 ? "Data A" : "Data B", this);
    name_boxes_[s] = new QLineEdit(this);
    name_boxes_[s]->setReadOnly(true);
    name_boxes_[s]->setObjectName(s == 0 ? "nameBoxA" : "nameBoxB");
    name_captions_[s]->setStyleSheet(s == 0 ? "color: black;" : "color: red;");
    name_captions_[s]->setObjectName(s == 0 ? "plotCaptionA" : "plotCaptionB");
    names->addWidget(name_captions_[s]);
    names->addWidget(name_boxes_[s], 1);
  }
  mode_caption_ = new QLabel("Plot All", this);
  mode_caption_->setObjectName("plotModeCaption");
  names->addWidget(mode_caption_);
  layout->addLayout(names);

  chart_ = new Chart(this);
  chart_->setObjectName("plotChart");
  chart_->set_scale_colour(1, Qt::black);
  chart_->set_scale_colour(2, Qt::red);
  layout->addWidget(chart_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel("Press F1 for Function Key Help", this));
  bottom->addStretch();
  bottom->addWidget(new QLabel("Plot Progress", this));
  progress_ = new QProgressBar(this);
  progress_->setObjectName("plotProgress");
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setFixedWidth(160);
  bottom->addWidget(progress_);
  QPushButton* full = PelorantWindow::make_button("Full", "", "plotFullButton", this);
  connect(full, &QPushButton::clicked, this, &PlotPage::full_clicked);
  bottom->addWidget(full);
  layout->addLayout(bottom);
}

void PlotPage::set_progress(int percent) { progress_->setValue(percent); }

void PlotPage::set_mode_caption(const QString& caption) { mode_caption_->setText(caption); }

void PlotPage::show_name(size_t slot, bool box_shown, bool caption_shown) {
  name_boxes_[slot]->setVisible(box_shown);
  name_captions_[slot]->setVisible(caption_shown);
}

void PlotPage::set_name(size_t slot, const QString& name) { name_boxes_[slot]->setText(name); }

}  // namespace ardenvis::ui
