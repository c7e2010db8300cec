#pragma once
// "Marker" panel of "View Data" ("Markers, Labels and Statistics").

#include <QGroupBox>

namespace ardenvis::ui {

class MarkerPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit MarkerPanel(QWidget* parent = nullptr);
};

}  // namespace ardenvis::ui
