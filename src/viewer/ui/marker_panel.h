#pragma once
// "Marker" panel of "View Data" ("Markers, Labels and Statistics").

#include <QGroupBox>

namespace ardenvis::ui {

class MarkerBox;
class StatisticsBox;

class MarkerPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit MarkerPanel(QWidget* parent = nullptr);

  MarkerBox* markers() const { return markers_; }
  StatisticsBox* statistics() const { return statistics_; }

 private:
  MarkerBox* markers_ = nullptr;
  StatisticsBox* statistics_ = nullptr;
};

}  // namespace ardenvis::ui
