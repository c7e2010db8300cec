#include "viewer/ui/track_map_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "viewer/plot_channels.h"
#include "viewer/ui/view_data_widgets.h"
#include "widgets/chart.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

using view_data::combo;
using view_data::group;
using view_data::qs;
using view_data::to_qcolor;

namespace {

QSlider* slider(int low, int high, int value, const QString& name, QWidget* parent) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(low, high);
  s->setValue(value);
  s->setObjectName(name);
  return s;
}

QLabel* legend_line(const QString& caption, const QString& text, const QString& colour,
                    QGridLayout* grid, int row, QWidget* parent) {
  auto* key = new QLabel(caption, parent);
  key->setStyleSheet("color: " + colour + "; font-weight: bold;");
  grid->addWidget(key, row, 0);
  auto* label = new QLabel(text, parent);
  grid->addWidget(label, row, 1);
  return label;
}

}  // namespace

TrackMapPage::TrackMapPage(QWidget* parent) : QGroupBox("Track Map", parent) {
  setObjectName("trackMapArea");
  auto* outer = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  outer->addLayout(left, 1);
  note_ = new QLabel(qs(core::track_message::not_in_all_plot_data), this);
  note_->setObjectName("trackNote");
  left->addWidget(note_);
  chart_ = new Chart(this);
  chart_->setObjectName("trackChart");
  left->addWidget(chart_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel("Zoom Options (F1 for Help)", this));
  QStringList zooms;
  for (const auto& z : core::track_zoom_choices()) zooms << z.item;
  zoom_ = combo(zooms, "trackZoom", this);
  zoom_->setEnabled(false);
  bottom->addWidget(zoom_);
  bottom->addStretch();
  QPushButton* full = PelorantWindow::make_button("Full", "", "trackFullButton", this);
  bottom->addWidget(full);
  left->addLayout(bottom);

  // The boxes beside the map scroll where the screen is not tall enough.
  auto* options_panel = new QWidget;
  auto* options = new QVBoxLayout(options_panel);
  options->setContentsMargins(0, 0, 0, 0);
  auto* lap_box = group("Track Map Lap", "trackMapLapBox", this);
  auto* lap_layout = new QVBoxLayout(lap_box);
  track_map_lap_ = combo({"Selection 1", "Selection 2"}, "trackMapLap", lap_box);
  track_map_lap_->setEnabled(false);
  lap_layout->addWidget(track_map_lap_);
  options->addWidget(lap_box);

  auto* source_box = group("Source", "trackSourceBox", this);
  auto* source_layout = new QFormLayout(source_box);
  source_ = combo({"G Data", "GPS Data"}, "trackSource", source_box);
  source_layout->addRow(source_);
  rotate_ = slider(0, 100, core::kRotateDefault, "trackRotate", source_box);
  shape_ = slider(core::kShapeMin, core::kShapeMax, core::kShapeDefault, "trackShape", source_box);
  source_layout->addRow("Rotate", rotate_);
  source_layout->addRow("Shape", shape_);
  options->addWidget(source_box);

  auto* analysis_box = group("Track analysis", "trackAnalysisBox", this);
  auto* analysis_layout = new QVBoxLayout(analysis_box);
  analysis_ = combo({"G Long (Accel/Brake)", "G Lat (Left/Right Turn)", "Delta Segments"},
                    "trackAnalysis", analysis_box);
  analysis_layout->addWidget(analysis_);
  view_braking_ = new QCheckBox("View Braking (Blue) ", analysis_box);
  view_braking_->setObjectName("viewBraking");
  view_braking_->setChecked(true);
  analysis_layout->addWidget(view_braking_);
  delta_width_ = new QCheckBox("Delta Seg Width", analysis_box);
  delta_width_->setObjectName("deltaSegWidth");
  delta_width_->setChecked(true);
  delta_width_->setEnabled(false);
  analysis_layout->addWidget(delta_width_);
  width_ = slider(1, 400, core::kWidthSliderDefault, "trackWidth", analysis_box);
  analysis_layout->addWidget(width_);
  options->addWidget(analysis_box);

  auto* mode_box = group("Plot G Mode", "plotGModeBox", this);
  auto* mode_layout = new QVBoxLayout(mode_box);
  plot_mode_ = combo({"Circuit/Lap", "Sprint/Hill "}, "plotGMode", mode_box);
  mode_layout->addWidget(plot_mode_);
  options->addWidget(mode_box);

  auto* grid_box = group("Grid Style", "trackGridBox", this);
  auto* grid_layout = new QVBoxLayout(grid_box);
  grid_style_ = combo({"Off", "Lines", "Dotted Lines"}, "trackGrid", grid_box, 2);
  grid_layout->addWidget(grid_style_);
  options->addWidget(grid_box);

  auto* option_box = group("Options", "trackOptionsBox", this);
  auto* option_layout = new QGridLayout(option_box);
  overlay_tracks_ = new QCheckBox("Overlay Tracks", option_box);
  overlay_tracks_->setObjectName("overlayTracks");
  option_layout->addWidget(overlay_tracks_, 0, 0, 1, 2);
  option_layout->addWidget(new QLabel("Dotted Trace ", option_box), 1, 0);
  dotted_selection_2_ = new QCheckBox("Selection 2 ", option_box);
  dotted_selection_2_->setObjectName("dottedSelection2");
  dotted_selection_2_->setChecked(true);
  option_layout->addWidget(dotted_selection_2_, 1, 1);
  options->addWidget(option_box);

  legend_ = group("", "trackLegend", this);
  auto* legend_layout = new QGridLayout(legend_);
  legend_line("Red Line:", "Lap Selection 2 Slower", "red", legend_layout, 0, legend_);
  legend_line("Green Line:", "Lap Selection 2 Faster", "green", legend_layout, 1, legend_);
  legend_line("Black Line:", "Equal Segment Time", "black", legend_layout, 2, legend_);
  legend_->setVisible(false);
  options->addWidget(legend_);

  auto* details_box = group("Track Details", "trackDetailsBox", this);
  auto* details_layout = new QFormLayout(details_box);
  const char* captions[] = {"Selection:", "Lap Num:", "Session:", "DataSet:", "Lap Time:", "File:"};
  const char* names[] = {"trackSelection", "trackLapNum",  "trackSession",
                         "trackDataSet",   "trackLapTime", "trackFile"};
  for (size_t i = 0; i < details_.size(); ++i) {
    details_[i] = new QLabel("NA", details_box);
    details_[i]->setObjectName(names[i]);
    details_layout->addRow(captions[i], details_[i]);
  }
  options->addWidget(details_box);
  options->addStretch();
  for (QWidget* w : std::initializer_list<QWidget*>{lap_box, source_box, analysis_box, mode_box,
                                                    grid_box, option_box, legend_, details_box}) {
    w->setFixedWidth(250);
  }
  outer->addWidget(PelorantWindow::scrolled(options_panel, this, PelorantWindow::Scroll::Column));

  connect(rotate_, &QSlider::valueChanged, this, &TrackMapPage::rotate_changed);
  connect(shape_, &QSlider::valueChanged, this, &TrackMapPage::rotate_changed);
  connect(width_, &QSlider::valueChanged, this, &TrackMapPage::line_scale_changed);
  connect(delta_width_, &QCheckBox::toggled, this, &TrackMapPage::line_scale_changed);
  connect(source_, &QComboBox::activated, this, [this] {
    enable_source_sliders();
    emit source_changed(false);
  });
  connect(overlay_tracks_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) {
      const QSignalBlocker block(width_);
      width_->setValue(1);
    }
    emit source_changed(true);
  });
  connect(dotted_selection_2_, &QCheckBox::toggled, this, [this] { emit source_changed(false); });
  connect(track_map_lap_, &QComboBox::activated, this, &TrackMapPage::track_map_lap_selected);
  connect(analysis_, &QComboBox::activated, this, [this] {
    delta_width_->setEnabled(analysis_->currentIndex() == 2);
    emit redraw_requested();
  });
  connect(view_braking_, &QCheckBox::toggled, this, &TrackMapPage::redraw_requested);
  connect(plot_mode_, &QComboBox::activated, this, &TrackMapPage::redraw_requested);
  connect(grid_style_, &QComboBox::activated, this, &TrackMapPage::trackMapGrid);
  connect(zoom_, &QComboBox::activated, this, &TrackMapPage::changeChart2_ZoomMode);
  connect(full, &QPushButton::clicked, this, &TrackMapPage::full_clicked);
  trackMapGrid();
  changeChart2_ZoomMode();
}

void TrackMapPage::show_mode_note(bool shown) {
  note_->setText(qs(core::track_message::not_in_all_plot_data));
  note_->setVisible(shown);
}

void TrackMapPage::show_problem(const QString& problem) {
  note_->setText(problem);
  note_->setVisible(!problem.isEmpty());
}

core::TrackOptions TrackMapPage::track_options() const {
  core::TrackOptions o;
  o.source = source_->currentIndex() == 1 ? core::TrackSource::GpsData : core::TrackSource::GData;
  o.rotate = rotate_->value();
  o.shape = shape_->value();
  o.mode = plot_mode_->currentIndex() == 1 ? core::TrackPlotMode::SprintHill
                                           : core::TrackPlotMode::CircuitLap;
  return o;
}

core::TrackDrawOptions TrackMapPage::draw_options() const {
  core::TrackDrawOptions o;
  o.analysis = static_cast<core::TrackAnalysis>(analysis_->currentIndex());
  o.view_braking = view_braking_->isChecked();
  o.delta_width = delta_width_->isChecked();
  o.width_slider = width_->value();
  o.dotted_selection_2 = dotted_selection_2_->isChecked();
  return o;
}

bool TrackMapPage::overlay_tracks() const {
  return overlay_tracks_->isEnabled() && overlay_tracks_->isChecked();
}

int TrackMapPage::track_map_lap_choice() const { return track_map_lap_->currentIndex() + 1; }

void TrackMapPage::set_track_map_lap_choice(int selection) {
  const QSignalBlocker block(track_map_lap_);
  track_map_lap_->setCurrentIndex(selection == 1 || selection == 2 ? selection - 1 : -1);
}

void TrackMapPage::set_track_map_lap_enabled(bool enabled) { track_map_lap_->setEnabled(enabled); }
void TrackMapPage::set_zoom_enabled(bool enabled) { zoom_->setEnabled(enabled); }

void TrackMapPage::reset_zoom() {
  const QSignalBlocker block(zoom_);
  zoom_->setCurrentIndex(0);
  chart_->set_mouse_mode(ChartMouseMode::None, false, false);
}

void TrackMapPage::show_details(const core::TrackDetails& d) {
  const std::string* texts[] = {&d.selection, &d.lap_number, &d.session,
                                &d.data_set,  &d.lap_time,   &d.file};
  for (size_t i = 0; i < details_.size(); ++i) details_[i]->setText(qs(*texts[i]));
}

void TrackMapPage::show_legend(bool shown) { legend_->setVisible(shown); }
void TrackMapPage::set_view_braking_enabled(bool enabled) { view_braking_->setEnabled(enabled); }

void TrackMapPage::enable_source_sliders() {
  const bool g_data = source_->currentIndex() == 0;
  rotate_->setEnabled(g_data);
  shape_->setEnabled(g_data);
  // Without a thumb the sliders say plainly that GPS tracks cannot be turned.
  const QString style = g_data ? QString() : "QSlider::handle { background: transparent; }";
  rotate_->setStyleSheet(style);
  shape_->setStyleSheet(style);
}

void TrackMapPage::trackMapGrid() {
  const int style = grid_style_->currentIndex();
  const QColor silver(192, 192, 192);
  if (style == 0) {
    chart_->set_grid(ChartGrid::None, Qt::SolidLine, silver);
  } else {
    chart_->set_grid(ChartGrid::Both, style == 1 ? Qt::SolidLine : Qt::DotLine, silver);
  }
  chart_->repaint_chart();
}

void TrackMapPage::changeChart2_ZoomMode() {
  const auto& choice = core::track_zoom_choices()[static_cast<size_t>(zoom_->currentIndex())];
  switch (choice.mode) {
    case core::MouseMode::ZoomPan:
      chart_->set_mouse_mode(ChartMouseMode::ZoomPan, true, false);
      break;
    case core::MouseMode::ZoomBox:
      chart_->set_mouse_mode(ChartMouseMode::ZoomBox, true, false);
      break;
    case core::MouseMode::Pan:
      chart_->set_mouse_mode(ChartMouseMode::Pan, true, false);
      break;
    default:
      chart_->set_mouse_mode(ChartMouseMode::None, false, false);
  }
}

void TrackMapPage::paint_track(Chart& chart, const core::TrackCoordinates& track,
                               const std::vector<core::TrackStroke>& strokes,
                               const std::vector<core::TrackDot>& dots) {
  if (!track.drawable()) return;
  std::vector<ChartPathRun> runs;
  runs.reserve(strokes.size());
  for (const core::TrackStroke& s : strokes) {
    runs.push_back({s.from, s.to, to_qcolor(s.colour), s.width,
                    s.dotted ? ChartPen::Dotted : ChartPen::Solid});
  }
  chart.draw_path(1, track.x.data(), track.y.data(), track.size(), std::move(runs));
  for (const core::TrackDot& dot : dots) {
    chart.set_pen(to_qcolor(dot.colour), ChartPen::Solid);
    chart.mark_at(1, dot.x, dot.y, dot.shape);
  }
}

void TrackMapPage::zoom_full(Chart* lap_window) {
  const auto extent = chart_->extent(1, {-core::kTrackExtentLimit, -core::kTrackExtentLimit,
                                         core::kTrackExtentLimit, core::kTrackExtentLimit});
  if (!extent) return;
  const core::TrackFullView view =
      core::track_full_view({extent->x_low, extent->y_low, extent->x_high, extent->y_high});
  const ChartRange range{view.range.x_low, view.range.y_low, view.range.x_high, view.range.y_high};
  for (Chart* chart : {chart_, lap_window}) {
    if (!chart) continue;
    chart->set_range(1, range);
    chart->set_grid_spacing(view.grid_spacing, view.grid_spacing);
    chart->repaint_chart();
  }
}

}  // namespace ardenvis::ui
