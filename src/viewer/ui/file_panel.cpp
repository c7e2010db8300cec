#include "viewer/ui/file_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/ui/file_output_boxes.h"
#include "widgets/pelorant_window.h"
#include "widgets/recent_files_button.h"

namespace ardenvis::ui {

FilePanel::FilePanel(QWidget* parent) : QGroupBox("Load and Print Data", parent) {
  setObjectName("loadAndPrintBox");
  auto* layout = new QVBoxLayout(this);
  auto* loads = new QGridLayout;
  for (int s = 0; s < 2; ++s) {
    const QString letter = s == 0 ? "A" : "B";
    QPushButton* load = PelorantWindow::make_button(
        "Load Data Set " + letter, "Load a data from file into memory " + letter + " of the PC.",
        "loadDataSet" + letter + "Button", this);
    const core::DataSetId slot = s == 0 ? core::DataSetId::A : core::DataSetId::B;
    connect(load, &QPushButton::clicked, this, [this, slot] { emit load_requested(slot); });
    auto* recent = new RecentFilesButton("recentDataSet" + letter, this);
    recent_[static_cast<size_t>(s)] = recent;
    loads->addLayout(recent->row_with(load), s * 2, 0, 1, 2);
    loads->addWidget(new QLabel("Data Set " + letter + " loaded from:", this), s * 2 + 1, 0);
    QLineEdit* from = new QLineEdit(this);
    from->setReadOnly(true);
    from->setObjectName("loadedFrom" + letter);
    loads->addWidget(from, s * 2 + 1, 1);
    loaded_from_[static_cast<size_t>(s)] = from;
  }
  layout->addLayout(loads);
  auto* rates = new QHBoxLayout;
  rates->addWidget(new QLabel("Sample Rate", this));
  for (int s = 0; s < 2; ++s) {
    QLineEdit* rate = new QLineEdit(this);
    rate->setReadOnly(true);
    rate->setFixedWidth(48);
    rate->setObjectName(s == 0 ? "sampleRateA" : "sampleRateB");
    rates->addWidget(new QLabel(s == 0 ? "A" : "B", this));
    rates->addWidget(rate);
    sample_rate_[static_cast<size_t>(s)] = rate;
  }
  rates->addStretch();
  layout->addLayout(rates);
  logo_on_ = new QCheckBox("BackGround Logo On", this);
  logo_on_->setObjectName("logoOn");
  logo_on_->setChecked(true);
  layout->addWidget(logo_on_);
  connect(logo_on_, &QCheckBox::clicked, this, &FilePanel::logo_clicked);
  layout->addWidget(preferences_box_ = new DisplayPreferencesBox(this));
  layout->addWidget(plot_output_box_ = new PlotOutputBox(this));
  layout->addWidget(lap_export_box_ = new LapExportBox(this));
}

void FilePanel::show_slot(size_t slot, const QString& loaded_from, const QString& sample_rate) {
  loaded_from_[slot]->setText(loaded_from);
  sample_rate_[slot]->setText(sample_rate);
}

bool FilePanel::logo_on() const { return logo_on_->isChecked(); }

}  // namespace ardenvis::ui
