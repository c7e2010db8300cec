#include "config/ui/alarms_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace ardenvis::ui {

AlarmsPage::AlarmsPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Alarms, fields, parent) {
  grid()->addWidget(group("Engine Alarms"), 0, 0, 3, 1);
  grid()->addWidget(group("Fuel Alarms"), 0, 1);
  grid()->addWidget(group("Aux/Fuel Pressure Alarm"), 1, 1);
  grid()->addWidget(group("Battery Alarm"), 2, 1);
  grid()->addWidget(group("Speed Alarm"), 0, 2, 2, 1);
  grid()->addWidget(group("Alarm Hold Over Time"), 2, 2);
}

void AlarmsPage::refresh() {
  // The speed alarm is in the selected speed unit.
  if (FieldWidget* w = fields_.find(core::FieldId::Edit9)) {
    w->unit->setText(to_qstring(notes().speed_unit));
  }
}

}  // namespace ardenvis::ui
