#include "viewer/ui/view_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

using view_data::combo;

ViewPanel::ViewPanel(QWidget* parent) : QGroupBox("View Options", parent) {
  setObjectName("viewOptionsBox");
  auto* layout = new QFormLayout(this);
  display_mode_ = combo({"All Plot Data", "Lap Overlay"}, "displayMode", this);
  layout->addRow("Data", display_mode_);
  y_autoscale_ = new QCheckBox("Y-Axis AutoScale Select", this);
  y_autoscale_->setObjectName("yAutoScale");
  y_autoscale_->setChecked(true);
  layout->addRow(y_autoscale_);
  zoom_pan_ =
      combo({"Off", "Zoom Box", "Zoom Pan", "Pan Axis 1", "Pan Axis 2", "Pan Axis 1 Horiz Only",
             "Pan Axis 2 Horiz Only", "Pan All", "Pan All Horiz Only"},
            "zoomPan", this);
  layout->addRow("Zoom and Pan", zoom_pan_);
  connect(display_mode_, &QComboBox::activated, this, &ViewPanel::display_mode_activated);
  connect(y_autoscale_, &QCheckBox::toggled, this, &ViewPanel::y_autoscale_toggled);
  connect(zoom_pan_, &QComboBox::currentIndexChanged, this, &ViewPanel::zoom_pan_changed);
  QGroupBox* beacon = view_data::group("Beacon Position Adjust", "beaconBox", this);
  auto* beacon_layout = new QFormLayout(beacon);
  beacon_label_ = new QLabel("Distance (m)", beacon);
  beacon_ = new QSpinBox(beacon);
  beacon_->setObjectName("beaconDistance");
  beacon_->setRange(-100000, 100000);
  beacon_->setSingleStep(1);
  beacon_->setEnabled(false);
  beacon_layout->addRow(beacon_label_, beacon_);
  layout->addRow(beacon);
  connect(beacon_, &QSpinBox::valueChanged, this, &ViewPanel::beacon_changed);
}

bool ViewPanel::lap_overlay() const { return display_mode_->currentIndex() == 1; }

void ViewPanel::set_lap_overlay(bool overlay) {
  const QSignalBlocker block(display_mode_);
  display_mode_->setCurrentIndex(overlay ? 1 : 0);
}

bool ViewPanel::y_autoscale() const { return y_autoscale_->isChecked(); }

int ViewPanel::zoom_pan_choice() const { return zoom_pan_->currentIndex(); }

void ViewPanel::reset_zoom_pan() {
  const QSignalBlocker block(zoom_pan_);
  zoom_pan_->setCurrentIndex(0);
}

}  // namespace ardenvis::ui

namespace ardenvis::ui {

int ViewPanel::beacon_distance() const { return beacon_->value(); }

void ViewPanel::set_beacon_enabled(bool enabled) { beacon_->setEnabled(enabled); }

void ViewPanel::reset_beacon() {
  const QSignalBlocker block(beacon_);
  beacon_->setValue(0);
}

void ViewPanel::set_beacon_unit(bool feet) {
  beacon_label_->setText(feet ? "Distance (ft)" : "Distance (m)");
}

}  // namespace ardenvis::ui
