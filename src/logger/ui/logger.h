#pragma once
// TForm2: "Log Analysis", the home of the logger and data file functions.

#include "widgets/com_port_box.h"
#include "widgets/pelorant_window.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ardenvis::ui {

class TForm2 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm2(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  ComPortBox* com_port_box() const { return com_port_; }
  QLineEdit* label_field(core::DataSetId slot) const;
  QPushButton* download_menu_button() const { return download_menu_; }

 signals:
  void view_session_data();  // "Download Menu"
  void view_data();          // "View Data"
  void back_to_main();       // "Main Menu" and the close box

 protected:
  void activated() override;

 private:
  struct SlotControls {
    QPushButton* load;
    QPushButton* save;
    QPushButton* excel;
    QPushButton* notes;
    QLineEdit* label;
  };
  QWidget* make_slot_group(const QString& letter, SlotControls& controls);

  core::ProgramState& state_;
  ComPortBox* com_port_;
  QPushButton* download_menu_;
  SlotControls slot_a_{};
  SlotControls slot_b_{};
  QCheckBox* auto_save_;
  QCheckBox* log_date_name_;
};

}  // namespace ardenvis::ui
