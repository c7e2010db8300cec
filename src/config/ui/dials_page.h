#pragma once
// The "Dials" page (panel "Dial"): round dial options.

#include "config/ui/config_page.h"

namespace ardenvis::ui {

class DialsPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit DialsPage(FieldControls& fields, QWidget* parent = nullptr);
};

}  // namespace ardenvis::ui
