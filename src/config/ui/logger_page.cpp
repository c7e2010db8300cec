#include "config/ui/logger_page.h"

#include <QGridLayout>
#include <QGroupBox>

namespace ardenvis::ui {

LoggerPage::LoggerPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Logger, fields, parent) {
  grid()->addWidget(group("Pro and Lite Logger Configuration"), 0, 0);
}

}  // namespace ardenvis::ui
