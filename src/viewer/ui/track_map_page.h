#pragma once
// "Track Map" page of "View Data": the track of the selected lap.

#include <QGroupBox>

class QLabel;

namespace ardenvis::ui {

class Chart;

class TrackMapPage : public QGroupBox {
  Q_OBJECT
 public:
  explicit TrackMapPage(QWidget* parent = nullptr);

  Chart* chart() const { return chart_; }
  // The note that the map needs "Lap Overlay" mode.
  void show_mode_note(bool shown);

 private:
  QLabel* note_ = nullptr;
  Chart* chart_ = nullptr;
};

}  // namespace ardenvis::ui
