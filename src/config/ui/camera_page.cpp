#include "config/ui/camera_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace ardenvis::ui {

CameraPage::CameraPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Camera, fields, parent) {
  auto* place = new QWidget(this);
  place->setObjectName("databasePlace");
  database_place_ = new QVBoxLayout(place);
  database_place_->setContentsMargins(0, 0, 0, 0);
  auto* empty = new QGroupBox("DataBase File Manager", place);
  empty->setObjectName("databaseGroup");
  empty->setMinimumSize(300, 180);
  database_place_->addWidget(empty);
  database_ = empty;
  grid()->addWidget(place, 0, 0, 2, 1);
  grid()->addWidget(group("Control Config"), 0, 1);
  // The database group brings its own "Information" memo.
}

void CameraPage::set_database_group(QWidget* group) {
  database_place_->replaceWidget(database_, group);
  delete database_;
  database_ = group;
}

}  // namespace ardenvis::ui
