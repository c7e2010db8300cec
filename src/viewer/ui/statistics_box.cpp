#include "viewer/ui/statistics_box.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

using view_data::combo;

StatisticsBox::StatisticsBox(QWidget* parent) : QGroupBox("Statistics (Time Axis Only)", parent) {
  setObjectName("statisticsBox");
  auto* grid = new QGridLayout(this);
  QStringList channels;
  for (const auto& c : core::statistics_channels()) channels << c.item;
  channel_ = combo(channels, "statisticsChannel", this);
  channel_->setToolTip("Select variable to for statistics.");
  kind_ = combo({"Max", "Min", "Avg"}, "statisticsKind", this);
  on_ = combo({"All Data ", "In Window"}, "statisticsOn", this);
  grid->addWidget(channel_, 0, 0);
  grid->addWidget(kind_, 0, 1);
  grid->addWidget(new QLabel("Stats On", this), 1, 0);
  grid->addWidget(on_, 1, 1);
  for (int i = 0; i < 2; ++i) {
    captions_[static_cast<size_t>(i)] = new QLabel(i == 0 ? "Data A:" : "Data B:", this);
    captions_[static_cast<size_t>(i)]->setObjectName(i == 0 ? "statsCaptionA" : "statsCaptionB");
    auto* result = new QLineEdit(this);
    result->setReadOnly(true);
    result->setObjectName(i == 0 ? "statsResultA" : "statsResultB");
    results_[static_cast<size_t>(i)] = result;
    grid->addWidget(captions_[static_cast<size_t>(i)], 2 + i, 0);
    grid->addWidget(result, 2 + i, 1);
  }
  for (QComboBox* box : {channel_, kind_, on_}) {
    connect(box, &QComboBox::activated, this, &StatisticsBox::options_changed);
  }
}

core::StatisticsChoice StatisticsBox::choice() const {
  return {channel_->currentIndex(), static_cast<core::StatisticKind>(kind_->currentIndex()),
          on_->currentIndex() == 1 ? core::StatisticsOn::InWindow : core::StatisticsOn::AllData};
}

void StatisticsBox::enable_stats(bool on) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{channel_, kind_, on_, results_[0], results_[1]}) {
    w->setEnabled(on);
  }
  // Every rebuild of the x-axis starts the statistics again, on "Time" too:
  // results of the old axis go, and the channel is "RPM" again.
  for (QLineEdit* result : results_) {
    result->setStyleSheet(on ? "background: yellow;" : QString());
    result->clear();
  }
  const QSignalBlocker block(channel_);
  channel_->setCurrentIndex(0);
}

void StatisticsBox::show_result(int field, const QString& text) {
  results_[field == 1 ? 1 : 0]->setText(text);
}

void StatisticsBox::set_result_caption(int field, const QString& caption) {
  captions_[field == 1 ? 1 : 0]->setText(caption);
}

void StatisticsBox::set_math_channels(const QStringList& names) {
  const QSignalBlocker block(channel_);
  const int logged = static_cast<int>(core::statistics_channels().size());
  const QString was = channel_->currentIndex() >= logged ? channel_->currentText() : QString();
  while (channel_->count() > logged) channel_->removeItem(channel_->count() - 1);
  channel_->addItems(names);
  if (!was.isEmpty()) {
    const int kept = static_cast<int>(names.indexOf(was));
    channel_->setCurrentIndex(kept >= 0 ? logged + kept : 0);
  }
}

}  // namespace ardenvis::ui
