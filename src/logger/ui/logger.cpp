#include "logger/ui/logger.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "logger/log_index.h"
#include "widgets/recent_files_button.h"

namespace ardenvis::ui {

TForm2::TForm2(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("Log Analysis", parent), state_(state), host_(host) {
  setObjectName("TForm2");

  auto* download_group = new QGroupBox("Pelorant Download", this);
  com_port_ = new ComPortBox(state, host, download_group);
  download_menu_ = make_button("Download Menu", "Read the sessions stored in the unit",
                               "downloadMenuButton", download_group);
  auto_save_ = new QCheckBox("Automatically Save Data to File", download_group);
  auto_save_->setObjectName("autoSaveBox");
  log_date_name_ = new QCheckBox("Use Log Date and Time in Filename", download_group);
  log_date_name_->setObjectName("logDateNameBox");
  auto* download_layout = new QGridLayout(download_group);
  download_layout->addWidget(new QLabel("COM Port", download_group), 0, 0);
  download_layout->addWidget(com_port_, 0, 1);
  download_layout->addWidget(download_menu_, 0, 2);
  download_layout->setColumnStretch(3, 1);
  download_layout->addWidget(auto_save_, 1, 0, 1, 4);
  download_layout->addWidget(log_date_name_, 2, 0, 1, 4);

  QWidget* group_a = make_slot_group("A", core::DataSetId::A, slot_a_);
  QWidget* group_b = make_slot_group("B", core::DataSetId::B, slot_b_);

  auto* analysis_group = new QGroupBox("Ardenvis Analysis", this);
  auto* view_data = make_button("View Data", {}, "viewDataButton", analysis_group);
  (new QVBoxLayout(analysis_group))->addWidget(view_data);

  auto* menu_group = new QGroupBox("Menu Control", this);
  auto* main_menu = make_button("Main Menu", {}, "mainMenuButton", menu_group);
  (new QVBoxLayout(menu_group))->addWidget(main_menu);

  auto* layout = new QGridLayout(this);
  layout->addWidget(download_group, 0, 0, 1, 2);
  layout->addWidget(group_a, 1, 0);
  layout->addWidget(group_b, 1, 1);
  layout->addWidget(analysis_group, 2, 0);
  layout->addWidget(menu_group, 2, 1);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 1);
  adjustSize();

  connect(download_menu_, &QPushButton::clicked, this, &TForm2::view_session_data_clicked);
  connect(view_data, &QPushButton::clicked, this, &TForm2::view_data);
  connect(main_menu, &QPushButton::clicked, this, &TForm2::back_to_main);
  connect(this, &PelorantWindow::closed_by_user, this, [this] {
    // Closing the window stops whatever transfer or decoding is running.
    state_.log_cancel = true;
    emit back_to_main();
  });
}

QWidget* TForm2::make_slot_group(const QString& letter, core::DataSetId slot, SlotControls& c) {
  auto* group = new QGroupBox(QString("Data Set %1 Options").arg(letter), this);
  c.load = make_button(QString("Load Data Set %1").arg(letter), {}, "load" + letter, group);
  c.save = make_button(QString("Save Data Set %1").arg(letter), {}, "save" + letter, group);
  c.excel = make_button(QString("Save Data %1 Excel").arg(letter), {}, "excel" + letter, group);
  c.notes = make_button(QString("Edit Data %1 Notes").arg(letter), {}, "notes" + letter, group);
  c.recent = new RecentFilesButton("recent" + letter, group);
  c.label = new QLineEdit("No Data", group);
  c.label->setReadOnly(true);
  c.label->setObjectName("label" + letter);
  c.label->setAlignment(Qt::AlignCenter);
  for (QPushButton* b : {c.load, c.save, c.excel, c.notes}) {
    // Connected first, so it runs before the data file handlers.
    connect(b, &QPushButton::clicked, this, [this, slot] { state_.current_data_set = slot; });
    // The data file functions are wired to these buttons with their own work;
    // until then the buttons say plainly that they cannot be used.
    b->setEnabled(false);
  }
  auto* layout = new QVBoxLayout(group);
  auto* label_row = new QHBoxLayout;
  label_row->addWidget(new QLabel("Data", group));
  label_row->addWidget(c.label, 1);
  layout->addLayout(label_row);
  layout->addLayout(c.recent->row_with(c.load));
  for (QPushButton* b : {c.save, c.excel, c.notes}) layout->addWidget(b);
  return group;
}

RecentFilesButton* TForm2::recent_files(core::DataSetId slot) const {
  return (slot == core::DataSetId::A ? slot_a_ : slot_b_).recent;
}

QPushButton* TForm2::data_set_button(core::DataSetId slot, const QString& which) const {
  const SlotControls& c = slot == core::DataSetId::A ? slot_a_ : slot_b_;
  if (which == "load") return c.load;
  if (which == "save") return c.save;
  if (which == "excel") return c.excel;
  if (which == "notes") return c.notes;
  return nullptr;
}

QLineEdit* TForm2::label_field(core::DataSetId slot) const {
  return slot == core::DataSetId::A ? slot_a_.label : slot_b_.label;
}

void TForm2::refresh_labels() {
  for (core::DataSetId slot : {core::DataSetId::A, core::DataSetId::B}) {
    // A data set saved to or loaded from a file shows the file's name.
    const core::DataSet& set = state_.data_set(slot);
    label_field(slot)->setText(
        QString::fromStdString(set.file_name.empty() ? set.info.label : set.file_name));
  }
}

void TForm2::view_session_data_clicked() {
  if (core::view_session_data(state_, host_)) emit view_session_data();
  com_port_->sync_from_state();
}

core::DownloadResult TForm2::get_log_dataSet(int session, core::DataSetId target) {
  const core::DownloadRequest request{session, target, auto_save_->isChecked(),
                                      log_date_name_->isChecked()};
  const core::DownloadResult result = core::downloadLogSession(state_, host_, request);
  refresh_labels();
  return result;
}

void TForm2::activated() {
  com_port_->sync_from_state();
  refresh_labels();
}

}  // namespace ardenvis::ui
