#include "viewer/ui/plot_page.h"

#include <QCheckBox>
#include <QEvent>
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
  lap_track_on_ = new QCheckBox("Lap Track", this);
  lap_track_on_->setObjectName("lapTrackCheck");
  lap_g_circle_on_ = new QCheckBox("Lap G Circle", this);
  lap_g_circle_on_->setObjectName("lapGCircleCheck");
  for (QCheckBox* box : {lap_track_on_, lap_g_circle_on_}) {
    box->setChecked(true);
    box->setEnabled(false);
    bottom->addWidget(box);
  }
  connect(lap_track_on_, &QCheckBox::toggled, this, &PlotPage::showTrackMap);
  connect(lap_g_circle_on_, &QCheckBox::toggled, this, [this] {
    showTrackMap();
    if (lap_g_circle_on_->isChecked()) emit lap_g_circle_toggled();
  });
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

  readout_ = new QLabel(chart_);
  readout_->setObjectName("plotReadout");
  readout_->setStyleSheet("background: #ffffe1; border: 1px solid gray; padding: 2px;");
  readout_->setVisible(false);
  for (size_t i = 0; i < 2; ++i) {
    cursor_labels_[i] = new QLabel(chart_);
    cursor_labels_[i]->setObjectName(i == 0 ? "cursorYLabel" : "cursorXLabel");
    cursor_labels_[i]->setStyleSheet("background: white; border: 1px solid gray;");
    cursor_labels_[i]->setVisible(false);
  }
  lap_track_ = new Chart(chart_);
  lap_track_->setObjectName("lapTrackChart");
  lap_g_circle_ = new Chart(chart_);
  lap_g_circle_->setObjectName("lapGCircleChart");
  for (Chart* small : {lap_track_, lap_g_circle_}) {
    small->resize(150, 150);
    small->set_scales_visible(1, false);
    small->set_mouse_mode(ChartMouseMode::None, false, false);
    small->setVisible(false);
  }
  chart_->installEventFilter(this);
}

bool PlotPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == chart_ && event->type() == QEvent::Resize) place_lap_windows();
  return QGroupBox::eventFilter(watched, event);
}

// The readout box sits at the foot of the plot; the lap windows 150 and 302
// pixels above it.
void PlotPage::place_lap_windows() {
  const int box_top = chart_->height() - 110;
  readout_->move(70, box_top);
  cursor_labels_[0]->move(70, 8);
  cursor_labels_[1]->move(150, 8);
  const int right = chart_->width() - 170;
  const bool track = lap_track_on_->isChecked();
  lap_track_->move(right, box_top - 150);
  lap_g_circle_->move(right, box_top - (track ? 302 : 150));
}

void PlotPage::showTrackMap() {
  place_lap_windows();
  lap_track_->setVisible(overlay_ && lap_track_on_->isChecked());
  lap_g_circle_->setVisible(overlay_ && lap_g_circle_on_->isChecked());
  lap_track_->raise();
  lap_g_circle_->raise();
}

bool PlotPage::lap_g_circle_on() const {
  return overlay_ && lap_g_circle_on_->isEnabled() && lap_g_circle_on_->isChecked();
}

void PlotPage::set_lap_windows_enabled(bool overlay) {
  overlay_ = overlay;
  lap_track_on_->setEnabled(overlay);
  lap_g_circle_on_->setEnabled(overlay);
  if (!overlay) {
    lap_track_->clear();
    lap_g_circle_->clear();
  }
  showTrackMap();
}

void PlotPage::show_readout(bool shown, const QString& text) {
  readout_->setText(text);
  readout_->adjustSize();
  readout_->setVisible(shown);
  readout_->raise();
}

void PlotPage::show_cursor_labels(bool shown, const QString& y, const QString& x) {
  cursor_labels_[0]->setText(y);
  cursor_labels_[1]->setText(x);
  for (QLabel* label : cursor_labels_) {
    label->adjustSize();
    label->setVisible(shown);
    label->raise();
  }
}

void PlotPage::set_progress(int percent) { progress_->setValue(percent); }

void PlotPage::set_mode_caption(const QString& caption) { mode_caption_->setText(caption); }

void PlotPage::show_name(size_t slot, bool box_shown, bool caption_shown) {
  name_boxes_[slot]->setVisible(box_shown);
  name_captions_[slot]->setVisible(caption_shown);
}

void PlotPage::set_name(size_t slot, const QString& name) { name_boxes_[slot]->setText(name); }

}  // namespace ardenvis::ui
