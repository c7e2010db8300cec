#include "config/ui/lap_page.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

using core::FieldId;

LapPage::LapPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Lap, fields, parent) {
  auto* timer = new QGroupBox("Lap / Hill / GPS Timer", this);
  timer->setToolTip("Lap timer settings for track or race day.");
  auto* layout = new QGridLayout(timer);

  QGroupBox* sprint = group("Sprint/Hill Mode", timer);
  add_row(sprint, new QLabel("Timer Starts on Speed > 0", sprint));
  add_row(sprint, new QLabel("User Arms/Resets Timer when Stationary before Start", sprint));

  // The coordinates: one row per line (S/F or finish, then the splits).
  auto* coords = new QGroupBox("GPS Lap Coords (saves with config)", timer);
  auto* rows = new QGridLayout(coords);
  rows->addWidget(new QLabel("Latitude", coords), 0, 1);
  rows->addWidget(new QLabel("Longitude", coords), 0, 2);
  for (int row = 0; row < 4; ++row) {
    row_labels_[static_cast<size_t>(row)] = note_label(QString("lapRow%1").arg(row), coords);
    rows->addWidget(row_labels_[static_cast<size_t>(row)], row + 1, 0);
    for (bool longitude : {false, true}) {
      FieldWidget& w = fields_.create(core::coordinate_field(row, longitude), coords);
      // The column headings name them; no caption beside each field.
      delete w.caption;
      w.caption = nullptr;
      rows->addWidget(w.row, row + 1, longitude ? 2 : 1);
    }
  }
  fields_.create(FieldId::ComboBox6, coords);  // the trigger zone is kept but not shown
  reset_ = new QPushButton("Reset", coords);
  reset_->setObjectName("resetCoordsButton");
  connect(reset_, &QPushButton::clicked, this, [this] { editor().resetGPSLapCoords(); });
  rows->addWidget(reset_, 5, 2, Qt::AlignRight);

  QGroupBox* beacon = group("Beacon/Button Options", timer);
  computed_ = group("Computed Split Distance", beacon);
  preset_ = group("Pre Selected Split Distances (Limit 3)", beacon);
  split_note_ = note_label("splitNote", preset_);
  split_note_->setWordWrap(true);
  add_row(preset_, split_note_);
  add_row(beacon, computed_);
  add_row(beacon, preset_);

  layout->addWidget(group("Lap Timing Mode", timer), 0, 0);
  layout->addWidget(sprint, 1, 0);
  layout->addWidget(group("Best Lap Reset", timer), 2, 0);
  layout->addWidget(coords, 0, 1, 2, 1);
  layout->addWidget(beacon, 0, 2, 3, 1);
  layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  grid()->addWidget(timer, 0, 0);
}

void LapPage::refresh() {
  const core::EditorNotes& n = notes();
  for (size_t row = 0; row < 4; ++row) row_labels_[row]->setText(to_qstring(n.lap_rows[row]));
  computed_->setVisible(n.computed_splits_visible);
  preset_->setVisible(n.preset_splits_visible);
  split_note_->setText(to_qstring(n.split_note));
  split_note_->setStyleSheet(n.split_note_red ? "color: white; background: red;" : "");
}

}  // namespace ardenvis::ui
