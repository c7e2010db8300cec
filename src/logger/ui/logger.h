#pragma once
// TForm2: "Log Analysis", the home of the logger and data file functions.

#include "logger/download.h"
#include "widgets/com_port_box.h"
#include "widgets/pelorant_window.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ardenvis::ui {

class RecentFilesButton;

class TForm2 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm2(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  ComPortBox* com_port_box() const { return com_port_; }
  QLineEdit* label_field(core::DataSetId slot) const;
  QPushButton* download_menu_button() const { return download_menu_; }
  QCheckBox* auto_save_box() const { return auto_save_; }
  QCheckBox* log_date_name_box() const { return log_date_name_; }
  // The data set buttons, for the data files' functions to be wired to:
  // "load", "save", "excel" or "notes" of slot A or B. Each button makes its
  // data set the current one before its clicked() handlers run.
  QPushButton* data_set_button(core::DataSetId slot, const QString& which) const;
  // The recent log data files beside a data set's "Load" button.
  RecentFilesButton* recent_files(core::DataSetId slot) const;

  // Downloads a session into data set A or B ("Download" of the download
  // menu), then the automatic save; shows the new labels.
  core::DownloadResult get_log_dataSet(int session, core::DataSetId target);
  // Shows the data sets' labels.
  void refresh_labels();

 signals:
  // "Download Menu" read the unit's index: the download menu opens.
  void view_session_data();
  void view_data();     // "View Data"
  void back_to_main();  // "Main Menu" and the close box

 protected:
  void activated() override;

 private:
  struct SlotControls {
    QPushButton* load;
    QPushButton* save;
    QPushButton* excel;
    QPushButton* notes;
    QLineEdit* label;
    RecentFilesButton* recent;
  };
  QWidget* make_slot_group(const QString& letter, core::DataSetId slot, SlotControls& controls);
  void view_session_data_clicked();

  core::ProgramState& state_;
  core::Host& host_;
  ComPortBox* com_port_;
  QPushButton* download_menu_;
  SlotControls slot_a_{};
  SlotControls slot_b_{};
  QCheckBox* auto_save_;
  QCheckBox* log_date_name_;
};

}  // namespace ardenvis::ui
