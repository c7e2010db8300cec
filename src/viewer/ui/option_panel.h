#pragma once
// "Option" panel of "View Data" ("Options"): display units and the -3%
// calibration, channel smoothing and the load-time filter, the plot grid.

#include <QGroupBox>

#include "state/data_set.h"
#include "state/program_state.h"
#include "viewer/display_preferences.h"

class QCheckBox;
class QComboBox;

namespace ardenvis::ui {

class Chart;
class GAxisBox;

class OptionPanel : public QGroupBox {
  Q_OBJECT
 public:
  OptionPanel(bool filter_when_loaded, QWidget* parent = nullptr);

  // The units the selectors show.
  core::UnitFlags selected_units() const;
  bool calibration() const;
  core::Channel smoothing_channel() const;
  // "Grid Enable": 0 "Off", 1 "Axis1", 2 "Axis2".
  int grid_enable_choice() const;
  // Draws the chosen grid lines and spacings on the chart, following `layer`.
  void apply_grid(Chart& chart, int layer);
  GAxisBox* g_axis() const { return g_axis_; }
  // The panel's part of the display preferences: units, calibration, grid,
  // the load-time filter. show_preferences sets the controls without signals.
  void fill_preferences(core::DisplayPreferences& preferences) const;
  void show_preferences(const core::DisplayPreferences& preferences);

 signals:
  void speed_unit_changed();
  void pressure_unit_changed();
  void temperature_unit_changed();
  void distance_unit_changed();
  void calibration_toggled();
  void smooth_requested();
  void smoothing_channel_changed();
  void filter_when_loaded_toggled(bool on);
  void grid_changed();

 private:
  QComboBox* speed_unit_ = nullptr;
  QComboBox* pressure_unit_ = nullptr;
  QComboBox* temperature_unit_ = nullptr;
  QComboBox* distance_unit_ = nullptr;
  QCheckBox* calibration_ = nullptr;
  QComboBox* smooth_channel_ = nullptr;
  QCheckBox* filter_when_loaded_ = nullptr;
  QComboBox* grid_lines_ = nullptr;
  QComboBox* grid_horizontal_ = nullptr;
  QComboBox* grid_vertical_ = nullptr;
  QComboBox* grid_enable_ = nullptr;
  double grid_x_spacing_ = 0;  // 0 = automatic
  double grid_y_spacing_ = 0;
  GAxisBox* g_axis_ = nullptr;
};

}  // namespace ardenvis::ui
