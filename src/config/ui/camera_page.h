#pragma once
// The "Camera" page (panel "GPS"): the camera detector settings, and the
// place of the camera database group and its "Information" memo.

#include "config/ui/config_page.h"

class QVBoxLayout;

namespace ardenvis::ui {

class CameraPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit CameraPage(FieldControls& fields, QWidget* parent = nullptr);

  // Puts the "DataBase File Manager" group in its place (replacing the empty
  // one shown until then).
  void set_database_group(QWidget* group);
  QWidget* database_group() const { return database_; }

 private:
  QVBoxLayout* database_place_;
  QWidget* database_;
};

}  // namespace ardenvis::ui
