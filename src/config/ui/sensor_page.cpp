#include "config/ui/sensor_page.h"

#include <QGridLayout>
#include <QGroupBox>

namespace ardenvis::ui {

SensorPage::SensorPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Sensor, fields, parent) {
  grid()->addWidget(group("Fuel Sender Type"), 0, 0);
  grid()->addWidget(group("Aux Pressure Sensor Type (Pro+ Only)"), 0, 1);
}

}  // namespace ardenvis::ui
