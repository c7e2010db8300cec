#pragma once
// The "General" page: odometer (with the "Factory Set" unlock), accel/brake
// timer, display units and the general options.

#include "config/ui/config_page.h"

class QCheckBox;

namespace ardenvis::ui {

class GeneralPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit GeneralPage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;
  QCheckBox* factory_set() const { return factory_set_; }

 signals:
  // The user clicked "Factory Set".
  void check_password(bool checked);

 private:
  QCheckBox* factory_set_;
  QLabel* accel_note_;
};

}  // namespace ardenvis::ui
