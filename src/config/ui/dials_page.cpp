#include "config/ui/dials_page.h"

#include <QGridLayout>
#include <QGroupBox>

namespace ardenvis::ui {

DialsPage::DialsPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Dials, fields, parent) {
  // Every field here is shown but not editable (the table marks them so).
  grid()->addWidget(group("Round Dial Options"), 0, 0);
}

}  // namespace ardenvis::ui
