#pragma once
// TForm20: "Ardenvis Progress", the viewer's progress window while it sets up.

#include "widgets/pelorant_window.h"

class QProgressBar;

namespace ardenvis::ui {

class TForm20 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm20(QWidget* parent = nullptr);

  void set_progress(int percent);  // 0..100
  int progress() const;

 protected:
  void activated() override { centre_on_screen(); }

 private:
  QProgressBar* bar_;
};

}  // namespace ardenvis::ui
