#include "config/ui/shift_lights_page.h"

#include <QGridLayout>
#include <QGroupBox>

namespace ardenvis::ui {

ShiftLightsPage::ShiftLightsPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::ShiftLights, fields, parent) {
  grid()->addWidget(group("Shift Lights"), 0, 0);
}

}  // namespace ardenvis::ui
