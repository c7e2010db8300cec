#pragma once
// TForm1: the main window, a small menu of large buttons.

#include "widgets/pelorant_window.h"

class QPushButton;

namespace ardenvis::ui {

class TForm1 : public PelorantWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);

  QPushButton* logger_button() const { return logger_; }
  QPushButton* configure_button() const { return configure_; }
  QPushButton* toolbox_button() const { return toolbox_; }
  QPushButton* about_button() const { return about_; }
  QPushButton* exit_button() const { return exit_; }

 signals:
  void open_download();
  void open_configure();
  void open_toolbox();
  void open_about();
  void exit_form1();

 private:
  QPushButton* logger_;
  QPushButton* configure_;
  QPushButton* toolbox_;
  QPushButton* about_;
  QPushButton* exit_;
};

}  // namespace ardenvis::ui
