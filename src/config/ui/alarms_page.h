#pragma once
// The "Alarms" page: fuel, engine, aux pressure, speed, hold-over and battery alarms.

#include "config/ui/config_page.h"

namespace ardenvis::ui {

class AlarmsPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit AlarmsPage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;
};

}  // namespace ardenvis::ui
