#include "viewer/ui/option_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "viewer/ui/g_axis_box.h"
#include "viewer/ui/view_data_widgets.h"
#include "viewer/viewer_units.h"
#include "widgets/chart.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

using view_data::combo;
using view_data::group;

OptionPanel::OptionPanel(bool filter_when_loaded, QWidget* parent) : QGroupBox("Options", parent) {
  setObjectName("optionsBox");
  auto* layout = new QVBoxLayout(this);

  QGroupBox* units = group("Units", "unitsBox", this);
  auto* unit_layout = new QFormLayout(units);
  speed_unit_ = combo({"MPH", "KMH"}, "speedUnit", units);
  pressure_unit_ = combo({"PSI", "Bar"}, "pressureUnit", units);
  temperature_unit_ = combo({"degC", "degF"}, "temperatureUnit", units);
  distance_unit_ = combo({"Metres", "Feet"}, "distanceUnit", units);
  unit_layout->addRow("Speed", speed_unit_);
  unit_layout->addRow("Pressure", pressure_unit_);
  unit_layout->addRow("Temperature", temperature_unit_);
  unit_layout->addRow("Distance", distance_unit_);
  calibration_ = new QCheckBox("-3% Calibration", units);
  calibration_->setObjectName("calibration");
  calibration_->setToolTip("The Pelorant displays +3% of actual speed. ");
  unit_layout->addRow(calibration_);
  layout->addWidget(units);
  connect(speed_unit_, &QComboBox::currentIndexChanged, this, &OptionPanel::speed_unit_changed);
  connect(pressure_unit_, &QComboBox::currentIndexChanged, this,
          &OptionPanel::pressure_unit_changed);
  connect(temperature_unit_, &QComboBox::currentIndexChanged, this,
          &OptionPanel::temperature_unit_changed);
  connect(distance_unit_, &QComboBox::currentIndexChanged, this,
          &OptionPanel::distance_unit_changed);
  connect(calibration_, &QCheckBox::toggled, this, &OptionPanel::calibration_toggled);

  QGroupBox* smoothing = group("Data Smoothing", "smoothingBox", this);
  auto* smooth_layout = new QGridLayout(smoothing);
  QStringList items;
  for (const core::SmoothingChoice& c : core::smoothing_choices()) items << c.item;
  smooth_channel_ = combo(items, "smoothChannel", smoothing);
  QPushButton* smooth = PelorantWindow::make_button("Smooth", "", "smoothButton", smoothing);
  filter_when_loaded_ = new QCheckBox("Filter when Data Loaded", smoothing);
  filter_when_loaded_->setObjectName("filterWhenLoaded");
  filter_when_loaded_->setChecked(filter_when_loaded);
  smooth_layout->addWidget(smooth_channel_, 0, 0);
  smooth_layout->addWidget(smooth, 0, 1);
  smooth_layout->addWidget(filter_when_loaded_, 1, 0, 1, 2);
  layout->addWidget(smoothing);
  connect(smooth, &QPushButton::clicked, this, &OptionPanel::smooth_requested);
  connect(smooth_channel_, &QComboBox::currentIndexChanged, this,
          &OptionPanel::smoothing_channel_changed);
  connect(filter_when_loaded_, &QCheckBox::toggled, this, &OptionPanel::filter_when_loaded_toggled);

  QGroupBox* grid = group("Grid", "gridBox", this);
  auto* grid_layout = new QFormLayout(grid);
  grid_lines_ =
      combo({"Vert + Horiz Grid", "Vertical Only ", "Horizontal Only"}, "gridLines", grid);
  grid_horizontal_ = combo({"Auto", "1", "10", "100", "1000"}, "gridHorizontal", grid, -1);
  grid_vertical_ = combo({"Auto", "0.1", "1", "10", "100", "1000"}, "gridVertical", grid, -1);
  grid_enable_ = combo({"Off", "Axis1", "Axis2"}, "gridEnable", grid, 1);
  grid_layout->addRow("Grid Lines", grid_lines_);
  grid_layout->addRow("Grid Spacing: Horizontal", grid_horizontal_);
  grid_layout->addRow("Vertical", grid_vertical_);
  grid_layout->addRow("Grid Enable", grid_enable_);
  layout->addWidget(grid);
  for (QComboBox* c : {grid_lines_, grid_horizontal_, grid_vertical_, grid_enable_}) {
    connect(c, &QComboBox::currentIndexChanged, this, &OptionPanel::grid_changed);
  }
  g_axis_ = new GAxisBox(this);
  layout->addWidget(g_axis_);
}

core::UnitFlags OptionPanel::selected_units() const {
  core::UnitFlags flags;
  flags.speed_kmh = speed_unit_->currentIndex() == 1;
  flags.pressure_bar = pressure_unit_->currentIndex() == 1;
  flags.temperature_degf = temperature_unit_->currentIndex() == 1;
  flags.distance_feet = distance_unit_->currentIndex() == 1;
  return flags;
}

bool OptionPanel::calibration() const { return calibration_->isChecked(); }

core::Channel OptionPanel::smoothing_channel() const {
  const auto choices = core::smoothing_choices();
  const int i =
      std::clamp(smooth_channel_->currentIndex(), 0, static_cast<int>(choices.size()) - 1);
  return choices[static_cast<size_t>(i)].channel;
}

int OptionPanel::grid_enable_choice() const { return grid_enable_->currentIndex(); }

void OptionPanel::apply_grid(Chart& chart, int layer) {
  static const ChartGrid kLines[] = {ChartGrid::Both, ChartGrid::VerticalOnly,
                                     ChartGrid::HorizontalOnly};
  const int lines = std::clamp(grid_lines_->currentIndex(), 0, 2);
  const int enable = grid_enable_->currentIndex();
  chart.set_grid(enable == 0 ? ChartGrid::None : kLines[lines], Qt::DotLine, QColor(192, 192, 192));
  if (enable > 0) chart.set_grid_layer(layer);
  // No choice selected leaves a spacing as it was.
  static const double kHorizontal[] = {0, 1, 10, 100, 1000};
  static const double kVertical[] = {0, 0.1, 1, 10, 100, 1000};
  const int h = grid_horizontal_->currentIndex();
  const int v = grid_vertical_->currentIndex();
  if (h >= 0) grid_y_spacing_ = kHorizontal[h];
  if (v >= 0) grid_x_spacing_ = kVertical[v];
  chart.set_grid_spacing(grid_x_spacing_, grid_y_spacing_);
}

void OptionPanel::fill_preferences(core::DisplayPreferences& p) const {
  p.units = selected_units();
  p.speed_calibration = calibration();
  p.grid_enable = grid_enable_->currentIndex();
  p.grid_lines = grid_lines_->currentIndex();
  p.filter_when_loaded = filter_when_loaded_->isChecked();
}

void OptionPanel::show_preferences(const core::DisplayPreferences& p) {
  const QSignalBlocker block(this);
  for (auto [box, on] :
       {std::pair{speed_unit_, p.units.speed_kmh}, std::pair{pressure_unit_, p.units.pressure_bar},
        std::pair{temperature_unit_, p.units.temperature_degf},
        std::pair{distance_unit_, p.units.distance_feet}}) {
    const QSignalBlocker b(box);
    box->setCurrentIndex(on ? 1 : 0);
  }
  const QSignalBlocker c(calibration_), f(filter_when_loaded_), e(grid_enable_), l(grid_lines_);
  calibration_->setChecked(p.speed_calibration);
  filter_when_loaded_->setChecked(p.filter_when_loaded);
  grid_enable_->setCurrentIndex(p.grid_enable);
  grid_lines_->setCurrentIndex(p.grid_lines);
}

}  // namespace ardenvis::ui
