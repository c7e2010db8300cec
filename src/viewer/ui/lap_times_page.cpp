#include "viewer/ui/lap_times_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "viewer/ui/lap_grid_model.h"
#include "viewer/ui/view_data_widgets.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

using core::DataSetId;
using view_data::combo;
using view_data::group;
using view_data::qs;
using view_data::slot_index;

LapTimesPage::LapTimesPage(core::ProgramState& state, core::Host& host, core::LapTimes& lap_times,
                           QWidget* parent)
    : QGroupBox("Lap Times", parent), state_(state), host_(host), lap_times_(lap_times) {
  setObjectName("lapTimesArea");
  auto* layout = new QVBoxLayout(this);
  lap_area_ = new QWidget(this);
  lap_area_->installEventFilter(this);
  layout->addWidget(lap_area_, 1);
  for (int s = 0; s < 2; ++s) {
    const DataSetId slot = s == 0 ? DataSetId::A : DataSetId::B;
    QGroupBox* panel = group("No Data", s == 0 ? "lapPanelA" : "lapPanelB", lap_area_);
    auto* panel_layout = new QVBoxLayout(panel);
    panel_layout->setContentsMargins(4, 4, 4, 4);
    auto* view = new QTableView(panel);
    view->setObjectName(s == 0 ? "lapGridA" : "lapGridB");
    auto* model = new LapGridModel(state_, lap_times_.panel(slot), view);
    model->on_tick = [this, slot](int row, bool ticked) {
      const bool accepted = lap_times_.panel(slot).tick_changed(state_, lap_options(), row, ticked);
      if (accepted) refresh();
      return accepted;
    };
    view->setModel(model);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->horizontalHeader()->setDefaultSectionSize(62);
    view->horizontalHeader()->setMinimumSectionSize(24);
    view->setColumnWidth(0, 30);
    view->setColumnWidth(1, 56);
    view->setColumnWidth(2, 36);
    view->setColumnWidth(3, 78);
    view->setColumnWidth(4, 84);
    view->setColumnWidth(5, 70);
    view->setAlternatingRowColors(true);
    panel_layout->addWidget(view, 1);
    auto* summary_row = new QHBoxLayout;
    auto* summary = new QLabel(panel);
    summary->setObjectName(s == 0 ? "lapSummaryA" : "lapSummaryB");
    summary->setTextFormat(Qt::PlainText);
    summary_row->addWidget(summary, 1);
    QPushButton* all =
        PelorantWindow::make_button("All", "", s == 0 ? "lapAllA" : "lapAllB", panel);
    all->setEnabled(false);
    connect(all, &QPushButton::clicked, this, [this, slot] {
      lap_times_.all_pressed(state_, host_, slot, lap_options());
      refresh();
    });
    summary_row->addWidget(all);
    panel_layout->addLayout(summary_row);
    const size_t i = static_cast<size_t>(s);
    lap_panels_[i] = panel;
    lap_views_[i] = view;
    lap_models_[i] = model;
    lap_summaries_[i] = summary;
    all_buttons_[i] = all;
  }

  auto* bottom = new QHBoxLayout;
  QGroupBox* options_box = group("Lap Time Options", "lapTimeOptionsBox", lap_area_);
  auto* options = new QGridLayout(options_box);
  QStringList counts;
  for (int m = core::kMinSplitCount; m <= core::kMaxSplitCount; ++m) counts << QString::number(m);
  splits_ = combo(counts, "splitCount", options_box);
  split_segment_ = combo({"Split", "Segment"}, "splitSegment", options_box);
  sort_ = new QCheckBox("Sort ", options_box);
  sort_->setObjectName("sortLaps");
  sort_->setEnabled(false);
  sort_parameter_ = combo({"Lap Time", "Segment"}, "sortParameter", options_box);
  QStringList segments;
  for (int k = 1; k <= core::kMaxSegments; ++k) segments << QString::number(k);
  sort_segment_ = combo(segments, "sortSegment", options_box);
  options->addWidget(new QLabel("Splits", options_box), 0, 0);
  options->addWidget(splits_, 0, 1);
  options->addWidget(new QLabel("Lap Split and Segment Times", options_box), 0, 2);
  options->addWidget(split_segment_, 0, 3);
  options->addWidget(sort_, 1, 0);
  options->addWidget(new QLabel("Sort Parameter", options_box), 1, 2);
  options->addWidget(sort_parameter_, 1, 3);
  options->addWidget(new QLabel("Segment", options_box), 1, 4);
  options->addWidget(sort_segment_, 1, 5);
  connect(splits_, &QComboBox::currentIndexChanged, this,
          [this] { emit process_laps(core::LapBuildSender::SplitCount); });
  connect(split_segment_, &QComboBox::currentIndexChanged, this,
          [this] { emit process_laps(core::LapBuildSender::SplitSegment); });
  connect(sort_, &QCheckBox::clicked, this,
          [this] { emit process_laps(core::LapBuildSender::SortBox); });
  connect(sort_parameter_, &QComboBox::currentIndexChanged, this,
          [this] { emit process_laps(core::LapBuildSender::SortParameter); });
  connect(sort_segment_, &QComboBox::currentIndexChanged, this,
          [this] { emit process_laps(core::LapBuildSender::SortSegment); });
  bottom->addWidget(options_box, 1);

  QGroupBox* select_box = group("Select Laps to View and Overlay", "selectLapsBox", lap_area_);
  auto* select = new QFormLayout(select_box);
  for (size_t s = 0; s < 2; ++s) {
    auto* selector = new QComboBox(select_box);
    selector->setObjectName(s == 0 ? "lapSelection1" : "lapSelection2");
    selector->setPlaceholderText("Select Lap for Overlay");
    selector->setMinimumWidth(260);
    select->addRow(s == 0 ? "Selection 1:" : "Selection 2:", selector);
    lap_selectors_[s] = selector;
    connect(selector, &QComboBox::activated, this,
            [this, s] { emit lap_selected(static_cast<int>(s) + 1); });
  }
  bottom->addWidget(select_box, 1);
  bottom_row_ = new QWidget(lap_area_);
  bottom_row_->setObjectName("lapBottomRow");
  bottom_row_->setLayout(bottom);
  bottom->setContentsMargins(0, 0, 0, 0);
}

core::LapTimeOptions LapTimesPage::lap_options() const {
  core::LapTimeOptions options;
  options.split_count = std::max(splits_->currentIndex(), 0) + core::kMinSplitCount;
  options.columns = split_segment_->currentIndex() == 1 ? core::LapTimeColumns::Segment
                                                        : core::LapTimeColumns::Split;
  options.sort = sort_->isChecked();
  options.sort_key =
      sort_parameter_->currentIndex() == 1 ? core::LapSortKey::Segment : core::LapSortKey::LapTime;
  options.sort_segment = std::max(sort_segment_->currentIndex(), 0) + 1;
  return options;
}

void LapTimesPage::refresh() {
  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    const size_t i = slot_index(slot);
    const core::LapTimesPanel& panel = lap_times_.panel(slot);
    lap_models_[i]->refresh();
    lap_panels_[i]->setTitle(qs(panel.caption()));
    const bool built = panel.row_count() > 0;
    all_buttons_[i]->setEnabled(built);
    if (built) sort_->setEnabled(true);
    const core::LapSummary& s = panel.summary();
    lap_summaries_[i]->setText(
        built
            ? QString("Best:  Sess %1   Lap %2   Time %3   at %4 %5     Theory %6 s     "
                      "Avg Dist %7 %8")
                  .arg(qs(s.session), qs(s.lap), qs(s.time), qs(s.average_speed), qs(s.speed_unit),
                       qs(s.theory), qs(s.average_distance), qs(s.distance_unit))
            : QString());
  }
}

void LapTimesPage::set_selector_items(const std::vector<std::string>& items) {
  QStringList texts;
  for (const std::string& item : items) texts << qs(item);
  for (QComboBox* selector : lap_selectors_) {
    const QSignalBlocker block(selector);
    selector->clear();
    selector->addItems(texts);
    selector->setCurrentIndex(-1);
  }
}

std::array<int, 2> LapTimesPage::lap_positions() const {
  return {lap_selectors_[0]->currentIndex(), lap_selectors_[1]->currentIndex()};
}

bool LapTimesPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lap_area_ && event->type() == QEvent::Resize) arrange_boxes();
  return QGroupBox::eventFilter(watched, event);
}

void LapTimesPage::arrange_boxes() {
  const int width = lap_area_->width();
  const int bottom_height = bottom_row_->sizeHint().height();
  const int select_top = lap_area_->height() - bottom_height;
  bottom_row_->setGeometry(0, select_top, width, bottom_height);
  const int panel_a_top = 13;
  const int h = static_cast<int>(std::nearbyint((select_top - panel_a_top) / 2.0 - 6));
  if (h > 0) {
    lap_panels_[0]->setGeometry(0, panel_a_top, width, h);
    lap_panels_[1]->setGeometry(0, h + 19, width, h);
  }
}

}  // namespace ardenvis::ui
