#include "viewer/ui/marker_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "viewer/cursor_markers.h"
#include "viewer/ui/view_data_widgets.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

using view_data::combo;
using view_data::qs;

MarkerBox::MarkerBox(QWidget* parent) : QGroupBox("Markers", parent) {
  setObjectName("markerSubBox");
  auto* grid = new QGridLayout(this);
  markers_ = combo({core::kMarkersOff, core::kMarkersOn}, "markersSelector", this);
  // The choice spans the row so "On (Drag from left axis)" shows whole.
  grid->addWidget(markers_, 0, 0, 1, 3);
  reset_ = PelorantWindow::make_button("Reset Markers", "Reset the markers on graph.",
                                       "resetMarkersButton", this);
  reset_->setVisible(false);
  reset_->setEnabled(false);
  grid->addWidget(reset_, 0, 3);
  grid->addWidget(new QLabel("Marker Data", this), 1, 0, 1, 3);
  const char* captions[] = {"Y1 (blue)", "Y2 (red)", "Y1 - Y2", "X1 - X2", "X1 (blue)", "X2 (red)"};
  const char* names[] = {"markerY1",     "markerY2", "markerDeltaY",
                         "markerDeltaX", "markerX1", "markerX2"};
  for (size_t i = 0; i < fields_.size(); ++i) {
    auto* field = new QLineEdit(this);
    field->setReadOnly(true);
    field->setObjectName(names[i]);
    field->setFixedWidth(80);
    fields_[i] = field;
    const int row = 2 + static_cast<int>(i % 3);
    const int column = static_cast<int>(i / 3) * 2;
    auto* label = new QLabel(captions[i], this);
    grid->addWidget(label, row, column == 0 ? 0 : 2);
    grid->addWidget(field, row, column == 0 ? 1 : 3);
  }
  readout_ = new QCheckBox("Plot Marker in Plot Window", this);
  readout_->setObjectName("plotMarkerInWindow");
  readout_->setChecked(true);
  grid->addWidget(readout_, 5, 0, 1, 4);
  show_fields_enabled(false);
  connect(markers_, &QComboBox::activated, this, &MarkerBox::markers_changed);
  connect(reset_, &QPushButton::clicked, this, &MarkerBox::reset_clicked);
  connect(readout_, &QCheckBox::toggled, this, &MarkerBox::readout_toggled);
}

bool MarkerBox::markers_on() const { return markers_->currentIndex() == 1; }

void MarkerBox::set_markers_on(bool on) {
  const QSignalBlocker block(markers_);
  markers_->setCurrentIndex(on ? 1 : 0);
}

bool MarkerBox::readout_on_plot() const { return readout_->isChecked(); }

void MarkerBox::show_fields_enabled(bool on) {
  reset_->setEnabled(on);
  for (QLineEdit* field : fields_) {
    field->setEnabled(on);
    field->setStyleSheet(on ? "background: yellow;" : "background: #d4d0c8;");
    if (!on) field->clear();
  }
}

void MarkerBox::show_fields(const std::array<std::string, 6>& fields) {
  for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(qs(fields[i]));
}

}  // namespace ardenvis::ui
