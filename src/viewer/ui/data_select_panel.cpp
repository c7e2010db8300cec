#include "viewer/ui/data_select_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <tuple>

#include "viewer/plot_channels.h"
#include "viewer/ui/view_data_widgets.h"

namespace ardenvis::ui {

using view_data::combo;
using view_data::group;
using view_data::qs;

DataSelectPanel::DataSelectPanel(QWidget* parent) : QGroupBox("Data Select", parent) {
  setObjectName("dataSelectBox");
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);

  auto* tabs = new QTabWidget(this);
  tabs->setObjectName("channelTabs");
  auto* standard = new QWidget(tabs);
  auto* grid = new QGridLayout(standard);
  grid->setVerticalSpacing(1);
  grid->setContentsMargins(4, 4, 4, 4);
  auto* heading_a = new QLabel("Data A", standard);
  auto* heading_b = new QLabel("Data B", standard);
  heading_a->setObjectName("channelHeadingA");
  heading_a_ = heading_a;
  heading_b_ = heading_b;
  heading_b->setObjectName("channelHeadingB");
  grid->addWidget(heading_a, 0, 0);
  grid->addWidget(heading_b, 0, 1);
  const auto rows = core::plot_channels();
  for (size_t i = 0; i < rows.size(); ++i) {
    const core::PlotChannel& row = rows[i];
    ChannelRow& r = channels_[i];
    const QString name = QString("channel%1").arg(i);
    r.colour_a = make_colour_box(row.colour_a, name + "ColourA");
    r.colour_b = make_colour_box(row.colour_b, name + "ColourB");
    r.shown = new QCheckBox(row.caption, standard);
    r.shown->setObjectName(name + "Check");
    r.shown->setChecked(row.checked_at_start);
    r.unit = new QLabel(standard);
    r.unit->setObjectName(name + "Unit");
    grid->addWidget(r.colour_a, static_cast<int>(i) + 1, 0);
    grid->addWidget(r.colour_b, static_cast<int>(i) + 1, 1);
    grid->addWidget(r.shown, static_cast<int>(i) + 1, 2);
    grid->addWidget(r.unit, static_cast<int>(i) + 1, 3);
    connect(r.shown, &QCheckBox::toggled, this, &DataSelectPanel::channels_changed);
  }
  grid->setColumnStretch(3, 1);
  tabs->addTab(standard, "Standard");
  // The user's math channels, on a tab of their own.
  math_page_ = new QWidget(tabs);
  auto* math_layout = new QVBoxLayout(math_page_);
  math_layout->setContentsMargins(4, 4, 4, 4);
  math_grid_ = new QGridLayout;
  math_grid_->setVerticalSpacing(1);
  math_grid_->setColumnStretch(3, 1);
  math_layout->addLayout(math_grid_);
  math_layout->addStretch();
  QPushButton* math_button = new QPushButton("Math Channels...", math_page_);
  math_button->setObjectName("mathChannelsButton");
  math_button->setToolTip(
      "Add, change, check and remove channels worked out from the logged ones.");
  connect(math_button, &QPushButton::clicked, this, &DataSelectPanel::math_channels_requested);
  math_layout->addWidget(math_button, 0, Qt::AlignLeft);
  tabs->addTab(math_page_, "Math");
  layout->addWidget(tabs);

  QGroupBox* slips = group("Lap Analysis", "lapAnalysisBox", this);
  auto* slip_grid = new QGridLayout(slips);
  slip_grid->setVerticalSpacing(1);
  slip_grid->addWidget(new QLabel("(Sel Lap2 - Sel Lap1)", slips), 0, 0, 1, 4);
  time_slip_ = new QCheckBox("Time Slip (s)", slips);
  odo_slip_ = new QCheckBox("Odo Slip (m)", slips);
  time_slip_->setObjectName("timeSlipCheck");
  odo_slip_->setObjectName("odoSlipCheck");
  int slip_row = 1;
  for (auto [check, colour, scales] :
       {std::tuple{time_slip_, core::colour::red, QStringList{"x1", "x10", "x100", "x1000"}},
        std::tuple{odo_slip_, core::colour::fuchsia, QStringList{"x1", "x10", "x100"}}}) {
    check->setEnabled(false);
    slip_grid->addWidget(make_colour_box(colour, check->objectName() + "Colour"), slip_row, 0);
    slip_grid->addWidget(check, slip_row, 1);
    slip_grid->addWidget(new QLabel("Scale", slips), slip_row, 2);
    QComboBox* scale = combo(scales, check->objectName() + "Scale", slips);
    slip_grid->addWidget(scale, slip_row, 3);
    connect(check, &QCheckBox::toggled, this, &DataSelectPanel::channels_changed);
    connect(scale, &QComboBox::currentIndexChanged, this, &DataSelectPanel::colours_changed);
    ++slip_row;
  }
  layout->addWidget(slips);

  auto* lines = new QHBoxLayout;
  for (int s = 0; s < 2; ++s) {
    QGroupBox* line = group(s == 0 ? "Data A Line Type" : "Data B Line Type",
                            s == 0 ? "dataALineBox" : "dataBLineBox", this);
    auto* line_layout = new QVBoxLayout(line);
    QComboBox* style = combo({"Solid Line", "Dotted Line", "Points"},
                             s == 0 ? "dataALine" : "dataBLine", line, s == 0 ? 0 : 1);
    auto* visible = new QCheckBox("Visible", line);
    visible->setObjectName(s == 0 ? "dataAVisible" : "dataBVisible");
    visible->setChecked(true);
    line_layout->addWidget(style);
    line_layout->addWidget(visible);
    lines->addWidget(line);
    (s == 0 ? line_a_ : line_b_) = style;
    (s == 0 ? visible_a_ : visible_b_) = visible;
    (s == 0 ? line_a_box_ : line_b_box_) = line;
    connect(style, &QComboBox::currentIndexChanged, this, &DataSelectPanel::channels_changed);
    connect(visible, &QCheckBox::toggled, this, &DataSelectPanel::line_visibility_changed);
  }
  layout->addLayout(lines);

  QGroupBox* axis = group("X-Axis Data", "xAxisBox", this);
  auto* axis_layout = new QGridLayout(axis);
  QStringList items;
  for (const core::XAxisChoice& c : core::x_axis_choices()) items << c.item;
  x_axis_ = combo(items, "xAxisSelector", axis);
  x_axis_->setMaxVisibleItems(core::kXAxisChoiceCount);
  axis_layout->addWidget(x_axis_, 0, 0);
  axis_layout->addWidget(new QLabel("on X-Axis", axis), 0, 1);
  b_on_second_axis_ = new QCheckBox("Data B on 2nd Axis", axis);
  b_on_second_axis_->setObjectName("dataBOn2ndAxis");
  axis_layout->addWidget(b_on_second_axis_, 1, 0, 1, 2);
  connect(x_axis_, &QComboBox::currentIndexChanged, this, &DataSelectPanel::x_axis_changed);
  connect(b_on_second_axis_, &QCheckBox::clicked, this, &DataSelectPanel::second_axis_clicked);
  layout->addWidget(axis);
}

QComboBox* DataSelectPanel::make_colour_box(uint32_t colour, const QString& name) {
  QComboBox* box = view_data::colour_box(colour, name, this);
  connect(box, &QComboBox::currentIndexChanged, this, &DataSelectPanel::colours_changed);
  return box;
}

void DataSelectPanel::fill_plot_settings(core::PlotSettings& settings) const {
  settings.data_b_on_second_axis = b_on_second_axis_->isChecked();
  for (size_t i = 0; i < channels_.size(); ++i) {
    settings.checked[i] = channels_[i].shown->isChecked();
    settings.colour_a[i] = channels_[i].colour_a->currentData().toUInt();
    settings.colour_b[i] = channels_[i].colour_b->currentData().toUInt();
  }
  settings.lines[0] = {static_cast<core::LineStyle>(line_a_->currentIndex()),
                       visible_a_->isChecked()};
  settings.lines[1] = {static_cast<core::LineStyle>(line_b_->currentIndex()),
                       visible_b_->isChecked()};
  settings.x_axis = x_axis_choice();
  settings.math.clear();
  for (const MathRow& math : math_rows_) {
    settings.math.push_back({math.row.shown->isChecked(), math.row.colour_a->currentData().toUInt(),
                             math.row.colour_b->currentData().toUInt()});
  }
}

bool DataSelectPanel::any_channel_checked() const {
  for (const ChannelRow& row : channels_) {
    if (row.shown->isChecked()) return true;
  }
  for (const MathRow& math : math_rows_) {
    if (math.row.shown->isChecked()) return true;
  }
  return time_slip_->isChecked() || odo_slip_->isChecked();
}

int DataSelectPanel::x_axis_choice() const { return std::max(x_axis_->currentIndex(), 0); }

bool DataSelectPanel::b_on_second_axis() const { return b_on_second_axis_->isChecked(); }

void DataSelectPanel::set_second_axis_enabled(bool enabled) {
  b_on_second_axis_->setEnabled(enabled);
}

void DataSelectPanel::set_x_axis_enabled(bool enabled) { x_axis_->setEnabled(enabled); }

void DataSelectPanel::set_slips_enabled(bool enabled) {
  time_slip_->setEnabled(enabled);
  odo_slip_->setEnabled(enabled);
}

void DataSelectPanel::refresh_unit_labels(const core::UnitFlags& flags) {
  const auto rows = core::plot_channels();
  for (size_t i = 0; i < channels_.size(); ++i) {
    channels_[i].unit->setText(qs(core::unit_label(rows[i], flags)));
  }
  odo_slip_->setText(flags.distance_feet ? "Odo Slip (ft)" : "Odo Slip (m)");
}

void DataSelectPanel::reset_line_titles() {
  line_a_box_->setTitle("Data A Line Type");
  line_b_box_->setTitle("Data B Line Type");
  heading_a_->setText("Data A");
  heading_b_->setText("Data B");
}

void DataSelectPanel::set_lap_captions(const core::LapInfoCaptions& one,
                                       const core::LapInfoCaptions& two) {
  line_a_box_->setTitle(qs(one.line_group));
  line_b_box_->setTitle(qs(two.line_group));
  heading_a_->setText(qs(one.column_heading));
  heading_b_->setText(qs(two.column_heading));
}

core::SlipSettings DataSelectPanel::slip_settings() const {
  core::SlipSettings slips;
  auto row = [this](QCheckBox* check) {
    core::SlipRow r;
    r.checked = check->isChecked();
    r.enabled = check->isEnabled();
    if (auto* colour = findChild<QComboBox*>(check->objectName() + "Colour")) {
      r.colour = colour->currentData().toUInt();
    }
    if (auto* scale = findChild<QComboBox*>(check->objectName() + "Scale")) {
      r.scale = std::max(scale->currentIndex(), 0);
    }
    return r;
  };
  slips.odo = row(odo_slip_);
  slips.time = row(time_slip_);
  return slips;
}

void DataSelectPanel::set_slip_boxes(const core::SlipBoxes& boxes) {
  odo_slip_->setEnabled(boxes.odo);
  time_slip_->setEnabled(boxes.time);
}

void DataSelectPanel::enable_line_styles() {
  line_a_->setEnabled(visible_a_->isChecked());
  line_b_->setEnabled(visible_b_->isChecked());
}

void DataSelectPanel::fill_preferences(core::DisplayPreferences& p) const {
  for (size_t i = 0; i < channels_.size(); ++i) {
    p.colour_a[i] = channels_[i].colour_a->currentData().toUInt();
    p.colour_b[i] = channels_[i].colour_b->currentData().toUInt();
    p.shown[i] = channels_[i].shown->isChecked();
  }
  p.line_a = line_a_->currentIndex();
  p.line_b = line_b_->currentIndex();
  for (auto [check, slip] :
       {std::pair{time_slip_, &p.time_slip}, std::pair{odo_slip_, &p.odo_slip}}) {
    slip->colour = findChild<QComboBox*>(check->objectName() + "Colour")->currentData().toUInt();
    slip->scale = findChild<QComboBox*>(check->objectName() + "Scale")->currentIndex();
    slip->shown = check->isChecked();
  }
}

void DataSelectPanel::show_preferences(const core::DisplayPreferences& p) {
  const QSignalBlocker block(this);
  for (size_t i = 0; i < channels_.size(); ++i) {
    const QSignalBlocker a(channels_[i].colour_a), b(channels_[i].colour_b),
        shown(channels_[i].shown);
    view_data::select_colour(channels_[i].colour_a, p.colour_a[i]);
    view_data::select_colour(channels_[i].colour_b, p.colour_b[i]);
    channels_[i].shown->setChecked(p.shown[i]);
  }
  const QSignalBlocker a(line_a_), b(line_b_);
  line_a_->setCurrentIndex(p.line_a);
  line_b_->setCurrentIndex(p.line_b);
  for (auto [check, slip] :
       {std::pair{time_slip_, &p.time_slip}, std::pair{odo_slip_, &p.odo_slip}}) {
    auto* colour = findChild<QComboBox*>(check->objectName() + "Colour");
    auto* scale = findChild<QComboBox*>(check->objectName() + "Scale");
    const QSignalBlocker c(colour), s(scale), t(check);
    view_data::select_colour(colour, slip->colour);
    scale->setCurrentIndex(slip->scale);
    check->setChecked(slip->shown);
  }
}

void DataSelectPanel::set_math_channels(const std::vector<MathRowCaption>& rows) {
  // Ticks and colours stay with a channel's name.
  std::vector<MathRow> old = std::move(math_rows_);
  math_rows_.clear();
  const std::string axis_was =
      core::x_axis_math_channel(x_axis_choice()) >= 0 ? x_axis_->currentText().toStdString() : "";
  constexpr uint32_t kMathColours[] = {
      core::colour::teal, core::colour::purple, core::colour::olive, core::colour::maroon,
      core::colour::navy, core::colour::green,  core::colour::gray,  core::colour::blue};
  for (size_t i = 0; i < rows.size(); ++i) {
    const QString name = QString("mathChannel%1").arg(i);
    const uint32_t colour = kMathColours[i % std::size(kMathColours)];
    MathRow math{rows[i].name, {}};
    math.row.colour_a = make_colour_box(colour, name + "ColourA");
    math.row.colour_b = make_colour_box(colour, name + "ColourB");
    math.row.shown = new QCheckBox(qs(rows[i].name), math_page_);
    math.row.shown->setObjectName(name + "Check");
    math.row.unit =
        new QLabel(rows[i].unit.empty() ? QString() : qs("(" + rows[i].unit + ")"), math_page_);
    math.row.unit->setObjectName(name + "Unit");
    auto kept = std::find_if(old.begin(), old.end(),
                             [&](const MathRow& o) { return o.name == rows[i].name; });
    if (kept != old.end()) {
      view_data::select_colour(math.row.colour_a, kept->row.colour_a->currentData().toUInt());
      view_data::select_colour(math.row.colour_b, kept->row.colour_b->currentData().toUInt());
      math.row.shown->setChecked(kept->row.shown->isChecked());
    }
    const int r = static_cast<int>(i);
    math_grid_->addWidget(math.row.colour_a, r, 0);
    math_grid_->addWidget(math.row.colour_b, r, 1);
    math_grid_->addWidget(math.row.shown, r, 2);
    math_grid_->addWidget(math.row.unit, r, 3);
    connect(math.row.shown, &QCheckBox::toggled, this, &DataSelectPanel::channels_changed);
    for (QWidget* w : std::initializer_list<QWidget*>{math.row.colour_a, math.row.colour_b,
                                                      math.row.shown, math.row.unit}) {
      w->show();  // a row added to a page already shown
    }
    math_rows_.push_back(std::move(math));
  }
  for (MathRow& o : old) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{o.row.colour_a, o.row.colour_b, o.row.shown, o.row.unit}) {
      delete w;
    }
  }
  // The x-axis choices: the logged channels, then the math channels.
  const QSignalBlocker block(x_axis_);
  while (x_axis_->count() > core::kXAxisChoiceCount) x_axis_->removeItem(x_axis_->count() - 1);
  for (const MathRowCaption& row : rows) x_axis_->addItem(qs(row.name));
  x_axis_->setMaxVisibleItems(x_axis_->count());
  if (!axis_was.empty()) {
    int kept = core::kXAxisTime;
    for (int i = core::kXAxisChoiceCount; i < x_axis_->count(); ++i) {
      if (x_axis_->itemText(i).toStdString() == axis_was) kept = i;
    }
    x_axis_->setCurrentIndex(kept);
  }
}

std::vector<std::pair<int, std::string>> DataSelectPanel::shown_math_channels() const {
  std::vector<std::pair<int, std::string>> shown;
  for (size_t i = 0; i < math_rows_.size(); ++i) {
    if (math_rows_[i].row.shown->isChecked()) {
      shown.emplace_back(static_cast<int>(i), math_rows_[i].name);
    }
  }
  return shown;
}

}  // namespace ardenvis::ui
