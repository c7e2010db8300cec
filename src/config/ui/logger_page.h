#pragma once
// The "Logger" page: pro and lite logger configuration.

#include "config/ui/config_page.h"

namespace ardenvis::ui {

class LoggerPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit LoggerPage(FieldControls& fields, QWidget* parent = nullptr);
};

}  // namespace ardenvis::ui
