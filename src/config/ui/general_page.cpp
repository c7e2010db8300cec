#include "config/ui/general_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>

namespace ardenvis::ui {

using core::FieldId;

GeneralPage::GeneralPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::General, fields, parent) {
  QGroupBox* odometer = group("Odometer");
  factory_set_ = new QCheckBox("Factory Set", odometer);
  factory_set_->setObjectName("factorySet");
  add_field_row(odometer, factory_set_);
  connect(factory_set_, &QCheckBox::clicked, this, &GeneralPage::check_password);

  QGroupBox* accel = group("Accel/Brake Timer");
  accel_note_ = note_label("accelNote", accel);
  accel_note_->setAlignment(Qt::AlignCenter);
  accel_note_->setAutoFillBackground(true);
  accel_note_->setFrameShape(QFrame::Panel);
  accel_note_->setFrameShadow(QFrame::Sunken);
  accel_note_->setMinimumHeight(24);
  // The note spans the group, so its texts are never cut off.
  add_row(accel, accel_note_);

  grid()->addWidget(odometer, 0, 0);
  grid()->addWidget(accel, 1, 0);
  grid()->addWidget(group("Display Units"), 2, 0, 2, 1);
  grid()->addWidget(group("Max Hold / Timer Reset"), 0, 1);
  grid()->addWidget(group("G Force Sensor"), 1, 1);
  grid()->addWidget(group("Logger Box LED"), 2, 1);
  grid()->addWidget(group("Module Data"), 3, 1);
  grid()->addWidget(group("Time/Date Display"), 0, 2);
  grid()->addWidget(group("Speed Display"), 1, 2);
  grid()->addWidget(group("SVA Default LCD"), 2, 2);
}

void GeneralPage::refresh() {
  const core::EditorNotes& n = notes();
  factory_set_->setChecked(n.factory_set);
  accel_note_->setText(to_qstring(n.accel_text));
  // Room for the widest text it has shown, so the group does not jump back and forth.
  const int needed = accel_note_->fontMetrics().horizontalAdvance(accel_note_->text()) +
                     2 * accel_note_->frameWidth() + 2 * accel_note_->margin() + 8;
  if (needed > accel_note_->minimumWidth()) accel_note_->setMinimumWidth(needed);
  QPalette palette = accel_note_->palette();
  palette.setColor(QPalette::Window, n.accel_red
                                         ? QColor(Qt::red)
                                         : style()->standardPalette().color(QPalette::Button));
  accel_note_->setPalette(palette);
  for (FieldId id : {FieldId::accel_start_speed, FieldId::accel_stop_speed}) {
    if (FieldWidget* w = fields_.find(id)) w->unit->setText(to_qstring(n.speed_unit));
  }
}

}  // namespace ardenvis::ui
