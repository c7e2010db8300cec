#pragma once
// TForm11: "Setup Notes".

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

class TForm11 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm11(QWidget* parent = nullptr);

 signals:
  void cancel_loggernotes();
  void back_to_logger();
};

}  // namespace ardenvis::ui
