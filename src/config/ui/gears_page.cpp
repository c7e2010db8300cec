#include "config/ui/gears_page.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace ardenvis::ui {

GearsPage::GearsPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Gears, fields, parent) {
  QGroupBox* ratios = group("Gearbox Ratios");
  // The gear count leads: it decides which ratio fields are shown.
  auto* form = static_cast<QFormLayout*>(ratios->layout());
  if (FieldWidget* count = fields_.find(core::FieldId::num_gear_value)) {
    const QFormLayout::TakeRowResult taken = form->takeRow(count->row);
    form->insertRow(0, count->caption, count->row);
    delete taken.labelItem;
    delete taken.fieldItem;
  }
  auto* valid = new QLabel(core::kValidRatios, ratios);
  problem_ = note_label("ratioProblem", ratios);
  problem_->setText(core::kRatioProblem);
  problem_->setStyleSheet("color: red; font-weight: bold;");
  add_row(ratios, valid);
  add_row(ratios, problem_);
  grid()->addWidget(ratios, 0, 0);
  // Kept for the unit's sake but not offered: the gear display source.
  QGroupBox* display = group("Gear Display Setup");
  display->setVisible(false);
  grid()->addWidget(display, 0, 1);
}

void GearsPage::refresh() { problem_->setVisible(notes().ratio_problem); }

}  // namespace ardenvis::ui
