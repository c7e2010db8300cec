#pragma once
// TForm10: "View Data".

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

class TForm10 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm10(QWidget* parent = nullptr);

 signals:
  void back_to_main();
};

}  // namespace ardenvis::ui
