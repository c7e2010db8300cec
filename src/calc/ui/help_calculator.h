#pragma once
// TForm9: "Calcultor Help" (the caption is the unit maker's own spelling).

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

class TForm9 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm9(QWidget* parent = nullptr);

 signals:
  void back_to_calculator();
};

}  // namespace ardenvis::ui
