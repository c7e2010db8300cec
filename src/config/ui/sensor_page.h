#pragma once
// The "Sensor" page (panel "Fuel"): fuel sender and aux pressure sensor types.

#include "config/ui/config_page.h"

namespace ardenvis::ui {

class SensorPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit SensorPage(FieldControls& fields, QWidget* parent = nullptr);
};

}  // namespace ardenvis::ui
