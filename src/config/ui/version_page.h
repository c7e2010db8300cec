#pragma once
// The "Version" page: the unit's software version, the CAN modules found and
// the CAN statistics, and the log memory size; filled by "Read Config".

#include "config/ui/config_page.h"

class QLineEdit;
class QPlainTextEdit;

namespace ardenvis::ui {

class VersionPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit VersionPage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;

 private:
  QLineEdit* ver_;
  QLineEdit* rev_;
  QLineEdit* mbits_;
  QPlainTextEdit* modules_;
};

}  // namespace ardenvis::ui
