#pragma once
// The "Display" page: the LCD menu pages (captions follow the unit model
// tab, the page bits do not), display settings, aux LED, DP and lap update.

#include "config/ui/config_page.h"

class QTabBar;

namespace ardenvis::ui {

class DisplayPage : public ConfigPage {
  Q_OBJECT
 public:
  explicit DisplayPage(FieldControls& fields, QWidget* parent = nullptr);
  void refresh() override;
  QTabBar* model_tabs() const { return model_tabs_; }

 private:
  QTabBar* model_tabs_;
  QLabel* add_label_;
};

}  // namespace ardenvis::ui
