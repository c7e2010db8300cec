#pragma once
// TForm6: "About Pelorant Tools".

#include "widgets/pelorant_window.h"

class QLabel;

namespace ardenvis::ui {

class TForm6 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm6(QWidget* parent = nullptr);
  QString version_text() const;

 signals:
  void back_to_main_menu();

 protected:
  void activated() override;  // setup_form6

 private:
  QLabel* version_;
};

}  // namespace ardenvis::ui
