#pragma once
// TForm3: "Configuration".

#include "widgets/com_port_box.h"

namespace ardenvis::ui {

class TForm3 : public UnitWindow {
  Q_OBJECT
 public:
  explicit TForm3(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

 signals:
  void back_to_main();
};

}  // namespace ardenvis::ui
