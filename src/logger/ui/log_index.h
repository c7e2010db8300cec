#pragma once
// TForm16: "Download Data Menu".

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

class TForm16 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm16(QWidget* parent = nullptr);

 signals:
  void back_to_log_analysis();
};

}  // namespace ardenvis::ui
