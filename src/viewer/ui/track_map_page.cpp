#include "viewer/ui/track_map_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "widgets/chart.h"

namespace ardenvis::ui {

TrackMapPage::TrackMapPage(QWidget* parent) : QGroupBox("Track Map", parent) {
  setObjectName("trackMapArea");
  auto* layout = new QVBoxLayout(this);
  note_ = new QLabel("Track Map not available in \"All Plot Data\" mode", this);
  note_->setObjectName("trackNote");
  layout->addWidget(note_);
  chart_ = new Chart(this);
  chart_->setObjectName("trackChart");
  layout->addWidget(chart_, 1);
}

void TrackMapPage::show_mode_note(bool shown) { note_->setVisible(shown); }

}  // namespace ardenvis::ui
