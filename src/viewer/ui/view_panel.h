#pragma once
// "View" panel of "View Data" ("View Options"): all data or lap overlay,
// y-axis autoscale and the zoom and pan mode of the mouse.

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace ardenvis::ui {

class ViewPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit ViewPanel(QWidget* parent = nullptr);

  bool lap_overlay() const;
  // Sets the display mode without running its handler.
  void set_lap_overlay(bool overlay);
  bool y_autoscale() const;
  int zoom_pan_choice() const;
  // Back to "Off" without running its handler.
  void reset_zoom_pan();
  // "Beacon Position Adjust": the entered distance, usable in "Lap Overlay".
  int beacon_distance() const;
  void set_beacon_enabled(bool enabled);
  // Back to 0 without running its handler (no lap to shift).
  void reset_beacon();
  void set_beacon_unit(bool feet);

 signals:
  void display_mode_activated();
  void y_autoscale_toggled();
  void zoom_pan_changed();
  void beacon_changed();  // shiftbeacon

 private:
  QComboBox* display_mode_ = nullptr;
  QCheckBox* y_autoscale_ = nullptr;
  QComboBox* zoom_pan_ = nullptr;
  QLabel* beacon_label_ = nullptr;
  QSpinBox* beacon_ = nullptr;
};

}  // namespace ardenvis::ui
