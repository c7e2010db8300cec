#include "viewer/ui/marker_panel.h"

#include <QVBoxLayout>

#include "viewer/ui/labels_box.h"
#include "viewer/ui/marker_box.h"
#include "viewer/ui/statistics_box.h"
#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

MarkerPanel::MarkerPanel(QWidget* parent) : QGroupBox("Markers, Labels and Statistics", parent) {
  setObjectName("markersBox");
  auto* layout = new QVBoxLayout(this);
  markers_ = new MarkerBox(this);
  layout->addWidget(markers_);
  statistics_ = new StatisticsBox(this);
  layout->addWidget(statistics_);
  layout->addWidget(labels_box_ = new LabelsBox(this));
}

}  // namespace ardenvis::ui
