#pragma once
// The "Shift Light" page: mode, peak, delta and the flash option.

#include "config/ui/config_page.h"

namespace ardenvis::ui {

class ShiftLightsPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit ShiftLightsPage(FieldControls& fields, QWidget* parent = nullptr);
};

}  // namespace ardenvis::ui
