#pragma once
// TForm24: "System Check".

#include "widgets/com_port_box.h"

namespace ardenvis::ui {

class TForm24 : public UnitWindow {
  Q_OBJECT
 public:
  explicit TForm24(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

 signals:
  void back_to_toolbox();
};

}  // namespace ardenvis::ui
