#pragma once
// The "Gears" page: number of forward gears and the gearbox ratios.

#include "config/ui/config_page.h"

namespace ardenvis::ui {

class GearsPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit GearsPage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;

 private:
  QLabel* problem_;
};

}  // namespace ardenvis::ui
