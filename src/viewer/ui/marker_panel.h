#pragma once
// "Marker" panel of "View Data" ("Markers, Labels and Statistics").

#include <QGroupBox>

namespace ardenvis::ui {

class LabelsBox;
class MarkerBox;
class StatisticsBox;

class MarkerPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit MarkerPanel(QWidget* parent = nullptr);

  MarkerBox* markers() const { return markers_; }
  StatisticsBox* statistics() const { return statistics_; }
  LabelsBox* labels_box() const { return labels_box_; }

 private:
  MarkerBox* markers_ = nullptr;
  StatisticsBox* statistics_ = nullptr;
  LabelsBox* labels_box_ = nullptr;
};

}  // namespace ardenvis::ui
