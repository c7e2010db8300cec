#pragma once
// TForm4: "Calculator".

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

class TForm4 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);

 signals:
  void view_help();
  void back_to_toolbox();
};

}  // namespace ardenvis::ui
