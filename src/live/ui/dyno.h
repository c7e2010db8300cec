#pragma once
// TForm23: "Virtual Display".

#include "widgets/com_port_box.h"

namespace ardenvis::ui {

class TForm23 : public UnitWindow {
  Q_OBJECT
 public:
  explicit TForm23(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

 signals:
  void back_to_main();
};

}  // namespace ardenvis::ui
