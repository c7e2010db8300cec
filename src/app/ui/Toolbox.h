#pragma once
// TForm21: "Pelorant Tool Box", the second menu.

#include "widgets/pelorant_window.h"

class QPushButton;

namespace ardenvis::ui {

class TForm21 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm21(QWidget* parent = nullptr);

 signals:
  void open_calculator();
  void view_plot_data();
  void openDynoMode();
  void openSystemCheck();
  void open_session_library();
  void back_to_main();
};

}  // namespace ardenvis::ui
