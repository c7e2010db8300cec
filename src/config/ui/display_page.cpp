#include "config/ui/display_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QVBoxLayout>

namespace ardenvis::ui {

using core::FieldId;

DisplayPage::DisplayPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Display, fields, parent) {
  auto* lcd = new QGroupBox("LCD Menu Options", this);
  lcd->setToolTip("Select the options you want to run on the Pelorant.");
  auto* lcd_layout = new QVBoxLayout(lcd);
  model_tabs_ = new QTabBar(lcd);
  model_tabs_->setObjectName("TabControl2");
  for (const char* model : core::kLcdModelTabs) model_tabs_->addTab(model);
  connect(model_tabs_, &QTabBar::tabBarClicked, this,
          [this](int index) { editor().LCDTabChange(index); });
  lcd_layout->addWidget(model_tabs_);
  auto* pages = new QGridLayout;
  for (int page = 1; page <= 18; ++page) {
    FieldWidget& w = fields_.create(core::lcd_page_field(page), lcd);
    pages->addWidget(w.row, (page - 1) % 9, (page - 1) / 9);
  }
  lcd_layout->addLayout(pages);
  auto* add = new QHBoxLayout;
  add_label_ = new QLabel("Add:", lcd);
  add->addWidget(add_label_);
  for (FieldId id : {FieldId::CheckBox12, FieldId::CheckBox15, FieldId::CheckBox16}) {
    add->addWidget(fields_.create(id, lcd).row);
  }
  add->addStretch();
  lcd_layout->addLayout(add);

  grid()->addWidget(lcd, 0, 0, 3, 1);
  grid()->addWidget(group("Display Settings"), 0, 1);
  grid()->addWidget(group("Display Lap Update"), 1, 1);
  grid()->addWidget(group("DP on LED Display"), 2, 1);
  grid()->addWidget(group("Aux LED Light Mode"), 0, 2, 2, 1);
}

void DisplayPage::refresh() {
  const core::EditorNotes& n = notes();
  for (int page = 1; page <= 18; ++page) {
    if (FieldWidget* w = fields_.find(core::lcd_page_field(page))) {
      static_cast<QCheckBox*>(w->control)->setText(to_qstring(n.lcd_captions[page - 1]));
    }
  }
  add_label_->setEnabled(n.add_enabled);
  if (n.lcd_model >= 0 && model_tabs_->currentIndex() != n.lcd_model) {
    QSignalBlocker block(model_tabs_);
    model_tabs_->setCurrentIndex(n.lcd_model);
  }
}

}  // namespace ardenvis::ui
