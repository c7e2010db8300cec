#include "viewer/ui/g_axis_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

using view_data::combo;
using view_data::group;

GAxisBox::GAxisBox(QWidget* parent) : QGroupBox("G-Axis Correct", parent) {
  setObjectName("gAxisBox");
  auto* layout = new QFormLayout(this);
  data_set_ = combo({"A", "B"}, "gAxisDataSet", this);
  layout->addRow("Settings for Dataset", data_set_);
  panels_ = new QStackedWidget(this);
  layout->addRow(panels_);
  const core::GAxisToggle toggles[] = {core::GAxisToggle::SwapLatLong,
                                       core::GAxisToggle::ChangeLatSign,
                                       core::GAxisToggle::ChangeLongSign};
  for (size_t s = 0; s < 2; ++s) {
    QGroupBox* panel = group(s == 0 ? "Data A G-Axis Correct" : "Data B G-Axis Correct",
                             s == 0 ? "gAxisPanelA" : "gAxisPanelB", panels_);
    auto* panel_layout = new QVBoxLayout(panel);
    const char* captions[] = {"Swap Lat and Long", "Change Lat Sign", "Change Long Sign"};
    for (size_t i = 0; i < 3; ++i) {
      auto* box = new QCheckBox(captions[i], panel);
      box->setObjectName(QString(s == 0 ? "gAxisA%1" : "gAxisB%1").arg(i));
      boxes_[s][i] = box;
      panel_layout->addWidget(box);
      const auto slot = s == 0 ? core::DataSetId::A : core::DataSetId::B;
      connect(box, &QCheckBox::clicked, this, [this, s, slot, toggle = toggles[i]] {
        notes_[s]->setVisible(core::dash_config_note_visible(corrections(slot)));
        emit toggled(slot, toggle);
      });
    }
    notes_[s] = new QLabel("Change Dash Config", panel);
    notes_[s]->setStyleSheet("color: red;");
    notes_[s]->setVisible(false);
    panel_layout->addWidget(notes_[s]);
    panels_->addWidget(panel);
  }
  connect(data_set_, &QComboBox::currentIndexChanged, this, &GAxisBox::changeGpanel);
}

core::GAxisCorrections GAxisBox::corrections(core::DataSetId slot) const {
  const auto& b = boxes_[slot == core::DataSetId::B ? 1 : 0];
  return {b[0]->isChecked(), b[1]->isChecked(), b[2]->isChecked()};
}

core::DataSetId GAxisBox::chosen_data_set() const {
  return data_set_->currentIndex() == 1 ? core::DataSetId::B : core::DataSetId::A;
}

void GAxisBox::changeGpanel() { panels_->setCurrentIndex(data_set_->currentIndex()); }

}  // namespace ardenvis::ui
