#include "viewer/ui/g_circle_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "viewer/g_circle.h"
#include "viewer/plot_channels.h"
#include "viewer/ui/view_data_widgets.h"
#include "viewer/zoom_keys.h"
#include "widgets/chart.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

using view_data::combo;
using view_data::group;
using view_data::qs;
using view_data::to_qcolor;

GCirclePage::GCirclePage(QWidget* parent) : QGroupBox("G Circle Map", parent) {
  setObjectName("gCircleArea");
  auto* outer = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  outer->addLayout(left, 1);
  mode_caption_ = new QLabel("Plot All", this);
  mode_caption_->setObjectName("gCircleModeCaption");
  left->addWidget(mode_caption_);
  chart_ = new Chart(this);
  chart_->setObjectName("gCircleChart");
  chart_->set_x_caption(1, "G Lat (g)");
  chart_->set_y_caption(1, "G Long (g)");
  left->addWidget(chart_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel("Zoom Options (F1 for Help)", this));
  QStringList zooms;
  for (const auto& z : core::g_circle_zoom_choices()) zooms << z.item;
  zoom_ = combo(zooms, "gCircleZoom", this);
  bottom->addWidget(zoom_);
  bottom->addStretch();
  QPushButton* full = PelorantWindow::make_button("Full", "", "gCircleFullButton", this);
  bottom->addWidget(full);
  left->addLayout(bottom);

  auto* key_box = group("Data Key", "gCircleKey", this);
  key_box->setFixedWidth(230);
  auto* key_layout = new QGridLayout(key_box);
  // Each key line in its points' colour, on a ground it reads against: the
  // data set colours (green, purple) on white, the braking colours (lime,
  // fuchsia) on black.
  const auto key_style = [](int style, bool braking) {
    return "color: " + to_qcolor(core::g_point_colour(style, braking)).name() +
           (braking ? "; background: black;" : "; background: white;") + " padding: 1px 4px;";
  };
  for (int style = 0; style < 2; ++style) {
    const int row = style * 2;
    const auto i = static_cast<size_t>(style);
    key_[i] = new QLabel(style == 0 ? "Data Set A" : "Data Set B", key_box);
    key_[i]->setObjectName(style == 0 ? "gKeyA" : "gKeyB");
    key_[i]->setStyleSheet(key_style(style, false));
    auto* braking = new QLabel("Braking Activated", key_box);
    braking->setObjectName(style == 0 ? "gKeyBrakingA" : "gKeyBrakingB");
    braking->setStyleSheet(key_style(style, true));
    auto* view = new QCheckBox("View", key_box);
    view->setObjectName(style == 0 ? "gViewA" : "gViewB");
    view->setChecked(true);
    view_[i] = view;
    key_layout->addWidget(key_[i], row, 0);
    key_layout->addWidget(view, row, 1);
    key_layout->addWidget(braking, row + 1, 0);
    connect(view, &QCheckBox::toggled, this, &GCirclePage::view_changed);
  }
  key_layout->setRowStretch(4, 1);
  outer->addWidget(key_box);

  connect(zoom_, &QComboBox::activated, this, &GCirclePage::changeGCircleMode);
  connect(full, &QPushButton::clicked, this, &GCirclePage::full_clicked);
  changeGCircleMode();
  paint_scale(*chart_, false);
  zoom_full();
}

void GCirclePage::set_mode_caption(const QString& caption) { mode_caption_->setText(caption); }

bool GCirclePage::view(int style) const { return view_[style == 1 ? 1 : 0]->isChecked(); }

void GCirclePage::set_key_caption(int style, const QString& caption) {
  key_[style == 1 ? 1 : 0]->setText(caption);
}

void GCirclePage::reset_zoom() {
  const QSignalBlocker block(zoom_);
  zoom_->setCurrentIndex(0);
  chart_->set_mouse_mode(ChartMouseMode::None, false, false);
}

void GCirclePage::paint_scale(Chart& chart, bool lap_window) {
  const QColor silver(192, 192, 192);
  chart.set_grid(ChartGrid::Both, Qt::DotLine, silver);
  chart.set_grid_spacing(core::kGCircleGridSpacing, core::kGCircleGridSpacing);
  chart.set_pen(silver, ChartPen::Solid);
  const double reach = core::kGCircleAxisReach;
  chart.move_to(1, -reach, 0);
  chart.draw_to(reach, 0);
  chart.move_to(1, 0, -reach);
  chart.draw_to(0, reach);
  chart.set_pen(silver, ChartPen::Dashed);
  for (int ring = 1; ring <= core::kGCircleRings; ++ring) {
    const core::GPolyline line = core::g_circle_ring(ring);
    chart.move_to(1, line.points.front().x, line.points.front().y);
    for (size_t i = 1; i < line.points.size(); ++i)
      chart.draw_to(line.points[i].x, line.points[i].y);
  }
  for (const core::GLabel& l : core::g_circle_labels(lap_window)) {
    chart.text_at(l.x, l.y, qs(l.text), Qt::black);
  }
  if (lap_window) {
    const double r = core::kLapGCircleReach;
    chart.set_range(1, {-r, -r, r, r});
    chart.set_range(2, {-r, -r, r, r});
  }
}

void GCirclePage::zoom_full() {
  const core::PlotRange f = core::kGCircleFull;
  chart_->set_range(1, {f.x_low, f.y_low, f.x_high, f.y_high});
  chart_->set_range(2, {f.x_low, f.y_low, f.x_high, f.y_high});
  chart_->repaint_chart();
}

void GCirclePage::changeGCircleMode() {
  switch (zoom_->currentIndex()) {
    case 1:
      chart_->set_mouse_mode(ChartMouseMode::ZoomBox, true, false);
      break;
    case 2:
      chart_->set_mouse_mode(ChartMouseMode::Pan, true, false);
      break;
    default:
      chart_->set_mouse_mode(ChartMouseMode::None, false, false);
  }
}

}  // namespace ardenvis::ui
