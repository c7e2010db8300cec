#include "viewer/ui/labels_box.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

LabelsBox::LabelsBox(QWidget* parent) : QGroupBox("Labels", parent) {
  setObjectName("labelsBox");
  auto* layout = new QGridLayout(this);
  mode_ = new QComboBox(this);
  mode_->setObjectName("labelMode");
  mode_->addItems({"Off", "View", "Set Label", "Set Text"});
  free_text_ = new QLineEdit(core::kDefaultFreeText, this);
  free_text_->setObjectName("labelFreeText");
  layout->addWidget(new QLabel("Labels", this), 0, 0);
  layout->addWidget(mode_, 0, 1);
  layout->addWidget(free_text_, 1, 0, 1, 2);
  struct ButtonSpec {
    const char* caption;
    const char* hint;
    const char* name;
    void (LabelsBox::*signal)();
  };
  const ButtonSpec buttons[] = {
      {"Clear All", "Clear all label and text markers.", "clearAllLabelsButton",
       &LabelsBox::clear_all_clicked},
      {"Clear Last", "Clear the last label or text item plotted on graph.", "clearLastLabelButton",
       &LabelsBox::clear_last_clicked},
      {"Save Labels", "Save a label and text file to disc.", "saveLabelsButton",
       &LabelsBox::save_clicked},
      {"Load Labels", "Load a label and text file from disc.", "loadLabelsButton",
       &LabelsBox::load_clicked},
  };
  int i = 0;
  for (const ButtonSpec& b : buttons) {
    QPushButton* button = PelorantWindow::make_button(b.caption, b.hint, b.name, this);
    connect(button, &QPushButton::clicked, this, b.signal);
    layout->addWidget(button, 2 + i / 2, i % 2);
    ++i;
  }
  connect(mode_, &QComboBox::currentIndexChanged, this, &LabelsBox::mode_changed);
}

core::LabelMode LabelsBox::mode() const {
  return static_cast<core::LabelMode>(std::max(mode_->currentIndex(), 0));
}

void LabelsBox::set_mode(core::LabelMode mode) { mode_->setCurrentIndex(static_cast<int>(mode)); }

std::string LabelsBox::free_text() const { return free_text_->text().toStdString(); }

}  // namespace ardenvis::ui
