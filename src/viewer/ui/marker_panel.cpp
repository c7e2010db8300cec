#include "viewer/ui/marker_panel.h"

#include <QVBoxLayout>

#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

using view_data::reserved_box;

MarkerPanel::MarkerPanel(QWidget* parent) : QGroupBox("Markers, Labels and Statistics", parent) {
  setObjectName("markersBox");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(reserved_box("Markers", "markerSubBox", this));
  layout->addWidget(reserved_box("Statistics (Time Axis Only)", "statisticsBox", this));
  layout->addWidget(reserved_box("Labels", "labelsBox", this));
}

}  // namespace ardenvis::ui
