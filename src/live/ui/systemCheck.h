#pragma once
// TForm24: "System Check".

#include "widgets/pelorant_window.h"
#include "widgets/com_port_box.h"

namespace ardenvis::ui {

class TForm24 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm24(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);
  ComPortBox* com_port_box() const { return com_port_; }

 signals:
  void back_to_toolbox();

 protected:
  void activated() override { com_port_->sync_from_state(); }

 private:
  ComPortBox* com_port_;
};

}  // namespace ardenvis::ui
