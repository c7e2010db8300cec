#include "viewer/ui/marker_panel.h"

#include <QVBoxLayout>

#include "viewer/ui/marker_box.h"
#include "viewer/ui/statistics_box.h"
#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

using view_data::reserved_box;

MarkerPanel::MarkerPanel(QWidget* parent) : QGroupBox("Markers, Labels and Statistics", parent) {
  setObjectName("markersBox");
  auto* layout = new QVBoxLayout(this);
  markers_ = new MarkerBox(this);
  layout->addWidget(markers_);
  statistics_ = new StatisticsBox(this);
  layout->addWidget(statistics_);
  layout->addWidget(reserved_box("Labels", "labelsBox", this));
}

}  // namespace ardenvis::ui
