#pragma once
// TForm23: "Virtual Display".

#include "widgets/pelorant_window.h"
#include "widgets/com_port_box.h"

namespace ardenvis::ui {

class TForm23 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm23(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);
  ComPortBox* com_port_box() const { return com_port_; }

 signals:
  void back_to_main();

 protected:
  void activated() override { com_port_->sync_from_state(); }

 private:
  ComPortBox* com_port_;
};

}  // namespace ardenvis::ui
