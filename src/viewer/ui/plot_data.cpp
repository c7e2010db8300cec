#include "viewer/ui/plot_data.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

#include "files/log_file.h"
#include "viewer/plot_channels.h"
#include "viewer/ui/lap_grid_model.h"
#include "viewer/ui/plotProgress.h"
#include "viewer/viewer_units.h"
#include "widgets/chart.h"

namespace ardenvis::ui {
namespace {

using core::DataSetId;

QColor to_qcolor(uint32_t value) {
  return QColor(core::colour_red(value), core::colour_green(value), core::colour_blue(value));
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

size_t slot_index(DataSetId slot) { return slot == DataSetId::B ? 1 : 0; }

ChartPen chart_pen(core::PenStyle pen) {
  switch (pen) {
    case core::PenStyle::Solid:
      return ChartPen::Solid;
    case core::PenStyle::Dotted:
      return ChartPen::Dotted;
    case core::PenStyle::Invisible:
      return ChartPen::Invisible;
  }
  return ChartPen::Solid;
}

QComboBox* combo(const QStringList& items, const QString& name, QWidget* parent, int current = 0) {
  auto* box = new QComboBox(parent);
  box->addItems(items);
  box->setObjectName(name);
  box->setCurrentIndex(current);
  return box;
}

QGroupBox* group(const QString& title, const QString& name, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  return box;
}

// A box whose controls arrive with a later part of the viewer: it holds its
// place in the layout and says so.
QGroupBox* reserved_box(const QString& title, const QString& name, QWidget* parent) {
  QGroupBox* box = group(title, name, parent);
  auto* layout = new QVBoxLayout(box);
  auto* note = new QLabel("Not available in this version", box);
  note->setEnabled(false);
  layout->addWidget(note);
  return box;
}

// The busy cursor for the length of a handler.
class Busy {
 public:
  explicit Busy(core::Host& host) : host_(host) { host_.busy_cursor(true); }
  ~Busy() { host_.busy_cursor(false); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  core::Host& host_;
};

constexpr int kLeftWidth = 340;

}  // namespace

TForm10::TForm10(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("View Data", parent), state_(state), host_(host), progress_(new TForm20) {
  setObjectName("TForm10");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* body = new QHBoxLayout;
  layout->addLayout(body, 1);
  body->addWidget(build_left_panel());

  auto* right = new QVBoxLayout;
  body->addLayout(right, 1);
  right_tabs_ = new QTabBar(this);
  right_tabs_->setObjectName("rightTabs");
  for (const char* page :
       {"Plot Data", "Lap Times", "Data A Notes", "Data B Notes", "Track Map", "G Circle"}) {
    right_tabs_->addTab(page);
  }
  right_tabs_->setExpanding(false);
  right->addWidget(right_tabs_);
  right_pages_ = new QStackedWidget(this);
  right_pages_->addWidget(build_plot_page());
  right_pages_->addWidget(build_lap_page());
  right_pages_->addWidget(build_notes_page(DataSetId::A));
  right_pages_->addWidget(build_notes_page(DataSetId::B));
  right_pages_->addWidget(build_track_page());
  right_pages_->addWidget(build_gcircle_page());
  right->addWidget(right_pages_, 1);
  connect(right_tabs_, &QTabBar::currentChanged, this, &TForm10::tabViewOptions);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  QPushButton* back_to_log = make_button("Back to Log Menu", "", "backToLogButton", this);
  back_to_log->setVisible(false);
  back_to_log->setEnabled(false);
  connect(back_to_log, &QPushButton::clicked, this, [this] { leave(true); });
  buttons->addWidget(back_to_log);
  QPushButton* back = make_button("Back to Main Menu", "", "backToMainButton", this);
  connect(back, &QPushButton::clicked, this, [this] { leave(false); });
  buttons->addWidget(back);
  layout->addLayout(buttons);

  connect(this, &PelorantWindow::closed_by_user, this, [this] {
    clear_plot_data();
    emit back_to_main();
  });
  tabPlotOptions(1);  // "Data"
  resize(1320, 900);
}

TForm10::~TForm10() { delete progress_; }

// ---------------------------------------------------------------------------
// Building the window.

QWidget* TForm10::build_left_panel() {
  auto* panel = new QWidget(this);
  panel->setFixedWidth(kLeftWidth);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  left_tabs_ = new QTabBar(panel);
  left_tabs_->setObjectName("leftTabs");
  for (const char* page : {"File", "Data", "View", "Marker", "Option"}) left_tabs_->addTab(page);
  left_tabs_->setExpanding(true);
  layout->addWidget(left_tabs_);
  left_boxes_ = {build_load_box(), build_data_select_box(), build_view_box(), build_marker_box(),
                 build_options_box()};
  for (QGroupBox* box : left_boxes_) {
    box->setParent(panel);
    layout->addWidget(box);
  }
  layout->addStretch();
  left_tabs_->setCurrentIndex(1);
  connect(left_tabs_, &QTabBar::currentChanged, this, &TForm10::tabPlotOptions);
  return panel;
}

QComboBox* TForm10::make_colour_box(uint32_t colour, const QString& name) {
  auto* box = new QComboBox(this);
  box->setObjectName(name);
  for (const core::PaletteColour& c : core::palette()) {
    QPixmap swatch(28, 12);
    swatch.fill(to_qcolor(c.value));
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 27, 11);
    box->addItem(QIcon(swatch), "", static_cast<uint>(c.value));
    box->setItemData(box->count() - 1, c.name, Qt::ToolTipRole);
  }
  box->setIconSize(QSize(28, 12));
  box->setCurrentIndex(std::max(core::palette_index(colour), 0));
  box->setFixedWidth(58);
  connect(box, &QComboBox::currentIndexChanged, this, &TForm10::refresh_engine_data);
  return box;
}

QGroupBox* TForm10::build_load_box() {
  QGroupBox* box = group("Load and Print Data", "loadAndPrintBox", this);
  auto* layout = new QVBoxLayout(box);
  auto* loads = new QGridLayout;
  for (int s = 0; s < 2; ++s) {
    const QString letter = s == 0 ? "A" : "B";
    QPushButton* load = make_button("Load Data Set " + letter,
                                    "Load a data from file into memory " + letter + " of the PC.",
                                    "loadDataSet" + letter + "Button", box);
    connect(load, &QPushButton::clicked, this,
            s == 0 ? &TForm10::loadDataSetA : &TForm10::loadDataSetB);
    loads->addWidget(load, s * 2, 0, 1, 2);
    loads->addWidget(new QLabel("Data Set " + letter + " loaded from:", box), s * 2 + 1, 0);
    loaded_from_[static_cast<size_t>(s)] = new QLineEdit(box);
    loaded_from_[static_cast<size_t>(s)]->setReadOnly(true);
    loaded_from_[static_cast<size_t>(s)]->setObjectName("loadedFrom" + letter);
    loads->addWidget(loaded_from_[static_cast<size_t>(s)], s * 2 + 1, 1);
  }
  layout->addLayout(loads);
  auto* rates = new QHBoxLayout;
  rates->addWidget(new QLabel("Sample Rate", box));
  for (int s = 0; s < 2; ++s) {
    sample_rate_[static_cast<size_t>(s)] = new QLineEdit(box);
    sample_rate_[static_cast<size_t>(s)]->setReadOnly(true);
    sample_rate_[static_cast<size_t>(s)]->setFixedWidth(48);
    sample_rate_[static_cast<size_t>(s)]->setObjectName(s == 0 ? "sampleRateA" : "sampleRateB");
    rates->addWidget(new QLabel(s == 0 ? "A" : "B", box));
    rates->addWidget(sample_rate_[static_cast<size_t>(s)]);
  }
  rates->addStretch();
  layout->addLayout(rates);
  logo_on_ = new QCheckBox("BackGround Logo On", box);
  logo_on_->setObjectName("logoOn");
  logo_on_->setChecked(true);
  layout->addWidget(logo_on_);
  layout->addWidget(reserved_box("Display Preferences", "displayPreferencesBox", box));
  layout->addWidget(reserved_box("Plot Output", "plotOutputBox", box));
  layout->addWidget(reserved_box("Further Lap Analysis", "furtherLapAnalysisBox", box));
  return box;
}

QGroupBox* TForm10::build_data_select_box() {
  QGroupBox* box = group("Data Select", "dataSelectBox", this);
  auto* layout = new QVBoxLayout(box);
  layout->setSpacing(4);

  auto* tabs = new QTabWidget(box);
  tabs->setObjectName("channelTabs");
  auto* standard = new QWidget(tabs);
  auto* grid = new QGridLayout(standard);
  grid->setVerticalSpacing(1);
  grid->setContentsMargins(4, 4, 4, 4);
  auto* heading_a = new QLabel("Data A", standard);
  auto* heading_b = new QLabel("Data B", standard);
  heading_a->setObjectName("channelHeadingA");
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
    connect(r.shown, &QCheckBox::toggled, this, &TForm10::redraw_engine_data);
  }
  grid->setColumnStretch(3, 1);
  tabs->addTab(standard, "Standard");
  layout->addWidget(tabs);

  QGroupBox* slips = group("Lap Analysis", "lapAnalysisBox", box);
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
    slip_grid->addWidget(combo(scales, check->objectName() + "Scale", slips), slip_row, 3);
    ++slip_row;
  }
  layout->addWidget(slips);

  auto* lines = new QHBoxLayout;
  for (int s = 0; s < 2; ++s) {
    QGroupBox* line = group(s == 0 ? "Data A Line Type" : "Data B Line Type",
                            s == 0 ? "dataALineBox" : "dataBLineBox", box);
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
    connect(style, &QComboBox::currentIndexChanged, this, &TForm10::redraw_engine_data);
    connect(visible, &QCheckBox::toggled, this, &TForm10::enable_line_display);
  }
  layout->addLayout(lines);

  QGroupBox* axis = group("X-Axis Data", "xAxisBox", box);
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
  connect(x_axis_, &QComboBox::currentIndexChanged, this, &TForm10::change_data_axis);
  connect(b_on_second_axis_, &QCheckBox::clicked, this, &TForm10::change_axis_mode);
  layout->addWidget(axis);
  return box;
}

QGroupBox* TForm10::build_view_box() {
  QGroupBox* box = group("View Options", "viewOptionsBox", this);
  auto* layout = new QFormLayout(box);
  display_mode_ = combo({"All Plot Data", "Lap Overlay"}, "displayMode", box);
  layout->addRow("Data", display_mode_);
  y_autoscale_ = new QCheckBox("Y-Axis AutoScale Select", box);
  y_autoscale_->setObjectName("yAutoScale");
  y_autoscale_->setChecked(true);
  layout->addRow(y_autoscale_);
  zoom_pan_ =
      combo({"Off", "Zoom Box", "Zoom Pan", "Pan Axis 1", "Pan Axis 2", "Pan Axis 1 Horiz Only",
             "Pan Axis 2 Horiz Only", "Pan All", "Pan All Horiz Only"},
            "zoomPan", box);
  layout->addRow("Zoom and Pan", zoom_pan_);
  connect(display_mode_, &QComboBox::activated, this, &TForm10::change_view_mode);
  connect(y_autoscale_, &QCheckBox::toggled, this, &TForm10::refresh_engine_data);
  connect(zoom_pan_, &QComboBox::currentIndexChanged, this, &TForm10::change_mouse_mode);
  layout->addRow(reserved_box("Beacon Position Adjust", "beaconBox", box));
  return box;
}

QGroupBox* TForm10::build_marker_box() {
  QGroupBox* box = group("Markers, Labels and Statistics", "markersBox", this);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(reserved_box("Markers", "markerSubBox", box));
  layout->addWidget(reserved_box("Statistics (Time Axis Only)", "statisticsBox", box));
  layout->addWidget(reserved_box("Labels", "labelsBox", box));
  return box;
}

QGroupBox* TForm10::build_options_box() {
  QGroupBox* box = group("Options", "optionsBox", this);
  auto* layout = new QVBoxLayout(box);

  QGroupBox* units = group("Units", "unitsBox", box);
  auto* unit_layout = new QFormLayout(units);
  speed_unit_ = combo({"MPH", "KMH"}, "speedUnit", units);
  pressure_unit_ = combo({"PSI", "Bar"}, "pressureUnit", units);
  temperature_unit_ = combo({"degC", "degF"}, "temperatureUnit", units);
  distance_unit_ = combo({"Metres", "Feet"}, "distanceUnit", units);
  unit_layout->addRow("Speed", speed_unit_);
  unit_layout->addRow("Pressure", pressure_unit_);
  unit_layout->addRow("Temperature", temperature_unit_);
  unit_layout->addRow("Distance", distance_unit_);
  calibration_ = new QCheckBox("-3% Calibration", units);
  calibration_->setObjectName("calibration");
  calibration_->setToolTip("The Pelorant displays +3% of actual speed. ");
  unit_layout->addRow(calibration_);
  layout->addWidget(units);
  connect(speed_unit_, &QComboBox::currentIndexChanged, this, &TForm10::change_mph_kmh);
  connect(pressure_unit_, &QComboBox::currentIndexChanged, this, &TForm10::change_psi_bar);
  connect(temperature_unit_, &QComboBox::currentIndexChanged, this, &TForm10::change_degC_degF);
  connect(distance_unit_, &QComboBox::currentIndexChanged, this, &TForm10::change_metre_feet);
  connect(calibration_, &QCheckBox::toggled, this, &TForm10::changeSvaCal);

  QGroupBox* smoothing = group("Data Smoothing", "smoothingBox", box);
  auto* smooth_layout = new QGridLayout(smoothing);
  QStringList items;
  for (const core::SmoothingChoice& c : core::smoothing_choices()) items << c.item;
  smooth_channel_ = combo(items, "smoothChannel", smoothing);
  QPushButton* smooth = make_button("Smooth", "", "smoothButton", smoothing);
  filter_when_loaded_ = new QCheckBox("Filter when Data Loaded", smoothing);
  filter_when_loaded_->setObjectName("filterWhenLoaded");
  filter_when_loaded_->setChecked(state_.filter_when_loaded);
  smooth_layout->addWidget(smooth_channel_, 0, 0);
  smooth_layout->addWidget(smooth, 0, 1);
  smooth_layout->addWidget(filter_when_loaded_, 1, 0, 1, 2);
  layout->addWidget(smoothing);
  connect(smooth, &QPushButton::clicked, this, &TForm10::smoothData);
  connect(smooth_channel_, &QComboBox::currentIndexChanged, this, &TForm10::refresh_engine_data);
  connect(filter_when_loaded_, &QCheckBox::toggled, this,
          [this](bool on) { state_.filter_when_loaded = on; });

  QGroupBox* grid = group("Grid", "gridBox", box);
  auto* grid_layout = new QFormLayout(grid);
  grid_lines_ =
      combo({"Vert + Horiz Grid", "Vertical Only ", "Horizontal Only"}, "gridLines", grid);
  grid_horizontal_ = combo({"Auto", "1", "10", "100", "1000"}, "gridHorizontal", grid, -1);
  grid_vertical_ = combo({"Auto", "0.1", "1", "10", "100", "1000"}, "gridVertical", grid, -1);
  grid_enable_ = combo({"Off", "Axis1", "Axis2"}, "gridEnable", grid, 1);
  grid_layout->addRow("Grid Lines", grid_lines_);
  grid_layout->addRow("Grid Spacing: Horizontal", grid_horizontal_);
  grid_layout->addRow("Vertical", grid_vertical_);
  grid_layout->addRow("Grid Enable", grid_enable_);
  layout->addWidget(grid);
  for (QComboBox* c : {grid_lines_, grid_horizontal_, grid_vertical_, grid_enable_}) {
    connect(c, &QComboBox::currentIndexChanged, this, &TForm10::change_grid_mode);
  }
  layout->addWidget(reserved_box("G-Axis Correct", "gAxisBox", box));
  return box;
}

QWidget* TForm10::build_plot_page() {
  QGroupBox* page = group("Plot", "plotArea", this);
  auto* layout = new QVBoxLayout(page);
  auto* names = new QHBoxLayout;
  for (int s = 0; s < 2; ++s) {
    name_captions_[static_cast<size_t>(s)] = new QLabel(s == 0 ? "Data A" : "Data B", page);
    name_boxes_[static_cast<size_t>(s)] = new QLineEdit(page);
    name_boxes_[static_cast<size_t>(s)]->setReadOnly(true);
    name_boxes_[static_cast<size_t>(s)]->setObjectName(s == 0 ? "nameBoxA" : "nameBoxB");
    name_captions_[static_cast<size_t>(s)]->setStyleSheet(s == 0 ? "color: black;" : "color: red;");
    names->addWidget(name_captions_[static_cast<size_t>(s)]);
    names->addWidget(name_boxes_[static_cast<size_t>(s)], 1);
  }
  plot_mode_caption_ = new QLabel("Plot All", page);
  plot_mode_caption_->setObjectName("plotModeCaption");
  names->addWidget(plot_mode_caption_);
  layout->addLayout(names);

  plot_chart_ = new Chart(page);
  plot_chart_->setObjectName("plotChart");
  plot_chart_->set_scale_colour(1, Qt::black);
  plot_chart_->set_scale_colour(2, Qt::red);
  layout->addWidget(plot_chart_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel("Press F1 for Function Key Help", page));
  bottom->addStretch();
  bottom->addWidget(new QLabel("Plot Progress", page));
  plot_progress_ = new QProgressBar(page);
  plot_progress_->setObjectName("plotProgress");
  plot_progress_->setRange(0, 100);
  plot_progress_->setValue(0);
  plot_progress_->setFixedWidth(160);
  bottom->addWidget(plot_progress_);
  QPushButton* full = make_button("Full", "", "plotFullButton", page);
  connect(full, &QPushButton::clicked, this, &TForm10::zoomFull);
  bottom->addWidget(full);
  layout->addLayout(bottom);
  return page;
}

QWidget* TForm10::build_lap_page() {
  QGroupBox* page = group("Lap Times", "lapTimesArea", this);
  auto* layout = new QVBoxLayout(page);
  lap_area_ = new QWidget(page);
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
      if (accepted) refresh_lap_panels();
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
    QPushButton* all = make_button("All", "", s == 0 ? "lapAllA" : "lapAllB", panel);
    all->setEnabled(false);
    connect(all, &QPushButton::clicked, this, [this, slot] {
      lap_times_.all_pressed(state_, host_, slot, lap_options());
      refresh_lap_panels();
    });
    summary_row->addWidget(all);
    panel_layout->addLayout(summary_row);
    lap_panels_[static_cast<size_t>(s)] = panel;
    lap_views_[static_cast<size_t>(s)] = view;
    lap_models_[static_cast<size_t>(s)] = model;
    lap_summaries_[static_cast<size_t>(s)] = summary;
    all_buttons_[static_cast<size_t>(s)] = all;
  }

  auto* bottom = new QHBoxLayout;
  lap_options_box_ = group("Lap Time Options", "lapTimeOptionsBox", lap_area_);
  auto* options = new QGridLayout(lap_options_box_);
  QStringList counts;
  for (int m = core::kMinSplitCount; m <= core::kMaxSplitCount; ++m) counts << QString::number(m);
  splits_ = combo(counts, "splitCount", lap_options_box_);
  split_segment_ = combo({"Split", "Segment"}, "splitSegment", lap_options_box_);
  sort_ = new QCheckBox("Sort ", lap_options_box_);
  sort_->setObjectName("sortLaps");
  sort_->setEnabled(false);
  sort_parameter_ = combo({"Lap Time", "Segment"}, "sortParameter", lap_options_box_);
  QStringList segments;
  for (int k = 1; k <= core::kMaxSegments; ++k) segments << QString::number(k);
  sort_segment_ = combo(segments, "sortSegment", lap_options_box_);
  options->addWidget(new QLabel("Splits", lap_options_box_), 0, 0);
  options->addWidget(splits_, 0, 1);
  options->addWidget(new QLabel("Lap Split and Segment Times", lap_options_box_), 0, 2);
  options->addWidget(split_segment_, 0, 3);
  options->addWidget(sort_, 1, 0);
  options->addWidget(new QLabel("Sort Parameter", lap_options_box_), 1, 2);
  options->addWidget(sort_parameter_, 1, 3);
  options->addWidget(new QLabel("Segment", lap_options_box_), 1, 4);
  options->addWidget(sort_segment_, 1, 5);
  connect(splits_, &QComboBox::currentIndexChanged, this,
          [this] { processLaps(core::LapBuildSender::SplitCount); });
  connect(split_segment_, &QComboBox::currentIndexChanged, this,
          [this] { processLaps(core::LapBuildSender::SplitSegment); });
  connect(sort_, &QCheckBox::clicked, this, [this] { processLaps(core::LapBuildSender::SortBox); });
  connect(sort_parameter_, &QComboBox::currentIndexChanged, this,
          [this] { processLaps(core::LapBuildSender::SortBox); });
  connect(sort_segment_, &QComboBox::currentIndexChanged, this,
          [this] { processLaps(core::LapBuildSender::SortBox); });
  bottom->addWidget(lap_options_box_, 1);

  select_laps_box_ = group("Select Laps to View and Overlay", "selectLapsBox", lap_area_);
  auto* select = new QFormLayout(select_laps_box_);
  for (int s = 0; s < 2; ++s) {
    auto* selector = new QComboBox(select_laps_box_);
    selector->setObjectName(s == 0 ? "lapSelection1" : "lapSelection2");
    selector->setPlaceholderText("Select Lap for Overlay");
    selector->setMinimumWidth(260);
    select->addRow(s == 0 ? "Selection 1:" : "Selection 2:", selector);
    lap_selectors_[static_cast<size_t>(s)] = selector;
  }
  bottom->addWidget(select_laps_box_, 1);
  auto* bottom_holder = new QWidget(lap_area_);
  bottom_holder->setObjectName("lapBottomRow");
  bottom_holder->setLayout(bottom);
  bottom->setContentsMargins(0, 0, 0, 0);
  return page;
}

QWidget* TForm10::build_notes_page(DataSetId slot) {
  const bool a = slot == DataSetId::A;
  QGroupBox* page = group(a ? "Data A Notes and Car Setup" : "Data B Notes and Car Setup",
                          a ? "notesAArea" : "notesBArea", this);
  auto* layout = new QVBoxLayout(page);
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName(a ? "notesA" : "notesB");
  memo->setReadOnly(true);
  memo->setToolTip("Add notes into your data files.");
  layout->addWidget(memo, 1);
  notes_[slot_index(slot)] = memo;
  return page;
}

QWidget* TForm10::build_track_page() {
  QGroupBox* page = group("Track Map", "trackMapArea", this);
  auto* layout = new QVBoxLayout(page);
  track_note_ = new QLabel("Track Map not available in \"All Plot Data\" mode", page);
  track_note_->setObjectName("trackNote");
  layout->addWidget(track_note_);
  track_chart_ = new Chart(page);
  track_chart_->setObjectName("trackChart");
  layout->addWidget(track_chart_, 1);
  return page;
}

QWidget* TForm10::build_gcircle_page() {
  QGroupBox* page = group("G Circle Map", "gCircleArea", this);
  auto* layout = new QVBoxLayout(page);
  gcircle_mode_caption_ = new QLabel("Plot All", page);
  gcircle_mode_caption_->setObjectName("gCircleModeCaption");
  layout->addWidget(gcircle_mode_caption_);
  gcircle_chart_ = new Chart(page);
  gcircle_chart_->setObjectName("gCircleChart");
  layout->addWidget(gcircle_chart_, 1);
  return page;
}

// ---------------------------------------------------------------------------
// Reading the controls.

core::PlotSettings TForm10::plot_settings() const {
  core::PlotSettings settings;
  settings.mode = display_mode_->currentIndex() == 1 ? core::DisplayMode::LapOverlay
                                                     : core::DisplayMode::AllPlotData;
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
  settings.x_axis = std::max(x_axis_->currentIndex(), 0);
  return settings;
}

core::LapTimeOptions TForm10::lap_options() const {
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

bool TForm10::any_channel_checked() const {
  for (const ChannelRow& row : channels_) {
    if (row.shown->isChecked()) return true;
  }
  return time_slip_->isChecked() || odo_slip_->isChecked();
}

// ---------------------------------------------------------------------------
// Window life.

void TForm10::activated() { setup_form_10(); }

void TForm10::setup_form_10() {
  set_plot_progress(0);
  progress_->set_progress(10);
  progress_->show();
  host_.process_events();
  progress_->set_progress(20);

  const QString logo = QCoreApplication::applicationDirPath() + "/your_logo.bmp";
  if (!(logo_on_->isChecked() && QFileInfo::exists(logo) &&
        plot_chart_->set_background_image(logo))) {
    plot_chart_->clear_background_image();
  }
  plot_chart_->set_labels_style(Qt::black, palette().color(QPalette::ToolTipBase), true);
  progress_->set_progress(40);

  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    if (state_.data_set(slot).has_data()) copy_notes(slot);
  }
  progress_->set_progress(60);

  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    if (state_.data_set(slot).has_data()) {
      lap_times_.build_or_clear(state_, host_, slot, lap_options());
    } else {
      lap_times_.panel(slot).clear();
    }
  }
  refresh_lap_panels();
  update_lap_combo();
  progress_->set_progress(80);

  plot_chart_->set_range_limits({-core::kPlotRangeLimit, -core::kPlotRangeLimit,
                                 core::kPlotRangeLimit, core::kPlotRangeLimit});
  // The selectors and the program-wide flags agree: every switch sets both.
  state_.unit_flags.speed_kmh = speed_unit_->currentIndex() == 1;
  state_.unit_flags.pressure_bar = pressure_unit_->currentIndex() == 1;
  state_.unit_flags.temperature_degf = temperature_unit_->currentIndex() == 1;
  state_.unit_flags.distance_feet = distance_unit_->currentIndex() == 1;
  refresh_unit_labels();
  {
    const QSignalBlocker block(display_mode_);
    display_mode_->setCurrentIndex(0);
  }
  change_grid_mode();
  change_display_mode();
  refresh_name_boxes();
  progress_->set_progress(100);
  progress_->hide();
  change_data_axis();
  x_axis_->setEnabled(any_channel_checked());
}

void TForm10::leave(bool to_log_menu) {
  clear_plot_data();
  hide();
  if (to_log_menu) {
    emit back_to_log_menu();
  } else {
    emit back_to_main();
  }
}

void TForm10::tabPlotOptions(int page) {
  for (QGroupBox* box : left_boxes_) box->setVisible(false);
  if (page >= 0 && page < static_cast<int>(left_boxes_.size())) {
    left_boxes_[static_cast<size_t>(page)]->setVisible(true);
  }
  {
    const QSignalBlocker block(zoom_pan_);
    zoom_pan_->setCurrentIndex(0);
  }
  plot_chart_ ? plot_chart_->set_mouse_mode(ChartMouseMode::CrossHairDrag) : void();
}

void TForm10::tabViewOptions(int page) { right_pages_->setCurrentIndex(page); }

void TForm10::resizeEvent(QResizeEvent* event) {
  PelorantWindow::resizeEvent(event);
  adjustBoxesonResize();
}

bool TForm10::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lap_area_ && event->type() == QEvent::Resize) adjustBoxesonResize();
  return PelorantWindow::eventFilter(watched, event);
}

void TForm10::adjustBoxesonResize() {
  if (!lap_area_) return;
  // The two lap panels split the space above the bottom row of boxes.
  const int width = lap_area_->width();
  QWidget* bottom = lap_area_->findChild<QWidget*>("lapBottomRow");
  const int bottom_height = bottom->sizeHint().height();
  const int select_top = lap_area_->height() - bottom_height;
  bottom->setGeometry(0, select_top, width, bottom_height);
  const int panel_a_top = 13;
  const int h = static_cast<int>(std::nearbyint((select_top - panel_a_top) / 2.0 - 6));
  if (h > 0) {
    lap_panels_[0]->setGeometry(0, panel_a_top, width, h);
    lap_panels_[1]->setGeometry(0, h + 19, width, h);
  }
}

// ---------------------------------------------------------------------------
// Plotting.

void TForm10::plot_engine_data(const core::PlotSelection& selection) {
  const core::PlotSettings settings = plot_settings();
  for (const core::Trace& trace : core::plot_engine_data(state_, settings, selection)) {
    plot_chart_->set_pen(to_qcolor(trace.colour), chart_pen(trace.pen));
    plot_chart_->draw_series(trace.layer, trace.x, trace.y, trace.count, trace.x_offset,
                             trace.y_offset, trace.x_sorted,
                             trace.points ? std::optional<int>(0) : std::nullopt);
  }
}

void TForm10::draw_selections(bool fit_full_range, bool auto_scale) {
  const core::PlotSettings settings = plot_settings();
  for (const core::PlotSelection& selection : core::choose_selections(state_, settings)) {
    plot_engine_data(selection);
    const int layer = selection.layer;
    if (fit_full_range) {
      if (auto fitted = plot_chart_->fit_range(layer)) {
        const core::PlotRange r =
            core::full_range({fitted->x_low, fitted->y_low, fitted->x_high, fitted->y_high});
        plot_chart_->set_range(layer, {r.x_low, r.y_low, r.x_high, r.y_high});
      }
    } else if (auto_scale) {
      const ChartRange now = plot_chart_->range(layer);
      const ChartRange window{now.x_low, -core::kAutoScaleYLimit, now.x_high,
                              core::kAutoScaleYLimit};
      if (auto found = plot_chart_->extent(layer, window)) {
        const core::PlotRange r = core::autoscale_range(
            {now.x_low, now.y_low, now.x_high, now.y_high}, found->y_low, found->y_high);
        plot_chart_->set_range(layer, {r.x_low, r.y_low, r.x_high, r.y_high});
      }
    }
  }
}

void TForm10::refresh_engine_data() {
  if (!plot_chart_ || !isVisible()) return;
  Busy busy(host_);
  // The chart keeps what it draws, so a refresh replaces the traces rather
  // than stacking a second copy of every series on top of the first.
  plot_chart_->clear();
  draw_selections(false, y_autoscale_->isChecked() && any_channel_checked());
  plot_chart_->repaint_chart();
}

void TForm10::redraw_engine_data() {
  if (!plot_chart_ || !isVisible()) return;
  x_axis_->setEnabled(any_channel_checked());
  clear_plot_data();
  refresh_engine_data();
}

void TForm10::reload_engine_data() {
  Busy busy(host_);
  plot_chart_->clear();
  gcircle_chart_->clear();
  for (int label = 1; label <= Chart::kLabels; ++label) {
    plot_chart_->set_label(label, core::kPlotRangeLimit, core::kPlotRangeLimit, "");
  }
  draw_selections(true, false);
  plot_chart_->repaint_chart();
  track_chart_->repaint_chart();
  gcircle_chart_->repaint_chart();
}

void TForm10::clear_plot_data() {
  plot_chart_->clear();
  gcircle_chart_->clear();
  plot_chart_->repaint_chart();
  gcircle_chart_->repaint_chart();
}

void TForm10::zoomFull() {
  for (const core::PlotSelection& selection : core::choose_selections(state_, plot_settings())) {
    if (selection.layer == 2 && !state_.data_sets[1].has_data()) continue;
    if (auto fitted = plot_chart_->fit_range(selection.layer)) {
      const core::PlotRange r =
          core::full_range({fitted->x_low, fitted->y_low, fitted->x_high, fitted->y_high});
      plot_chart_->set_range(selection.layer, {r.x_low, r.y_low, r.x_high, r.y_high});
    }
  }
  plot_chart_->repaint_chart();
}

void TForm10::change_mouse_mode() {
  struct Mode {
    ChartMouseMode mode;
    bool layer1;
    bool layer2;
  };
  static const Mode kModes[] = {
      {ChartMouseMode::CrossHairDrag, false, false},
      {ChartMouseMode::ZoomBox, true, true},
      {ChartMouseMode::ZoomPan, true, true},
      {ChartMouseMode::Pan, true, false},
      {ChartMouseMode::Pan, false, true},
      {ChartMouseMode::PanHorizontal, true, false},
      {ChartMouseMode::PanHorizontal, false, true},
      {ChartMouseMode::Pan, true, true},
      {ChartMouseMode::PanHorizontal, true, true},
  };
  const int i = std::clamp(zoom_pan_->currentIndex(), 0, 8);
  plot_chart_->set_mouse_mode(kModes[i].mode, kModes[i].layer1, kModes[i].layer2);
}

void TForm10::change_data_axis() {
  change_x_axis();
  reload_engine_data();
}

void TForm10::change_x_axis() {
  Busy busy(host_);
  const int choice = std::max(x_axis_->currentIndex(), 0);
  core::build_x_axis_series(state_, choice);
  const QString caption = qs(core::x_axis_caption(choice, state_.unit_flags));
  plot_chart_->set_x_caption(1, caption);
  plot_chart_->set_x_caption(2, caption);
  refresh_unit_labels();
}

void TForm10::change_display_mode() {
  const bool a = state_.data_sets[0].has_data();
  const bool b = state_.data_sets[1].has_data();
  const bool overlay = display_mode_->currentIndex() == 1;
  b_on_second_axis_->setEnabled(a && b && !overlay);
  name_boxes_[0]->setVisible(a);
  name_boxes_[1]->setVisible(b);
  name_captions_[0]->setVisible(a);
  name_captions_[1]->setVisible(b);
  if (!overlay && b_on_second_axis_->isChecked()) {
    plot_chart_->set_scales_visible(1, a);
    plot_chart_->set_scales_visible(2, b);
  } else {
    plot_chart_->set_scales_visible(1, true);
    plot_chart_->set_scales_visible(2, false);
  }
}

void TForm10::change_axis_mode() {
  change_display_mode();
  reload_engine_data();
}

void TForm10::change_view_mode() {
  if (display_mode_->currentIndex() == 1) {
    if (core::usable_lap_count(state_.data_sets[0]) == 0 &&
        core::usable_lap_count(state_.data_sets[1]) == 0) {
      host_.message(core::MessageKind::Information, "No Lap Data to View", core::Buttons::Ok);
      const QSignalBlocker block(display_mode_);
      display_mode_->setCurrentIndex(0);
      return;
    }
    plot_mode_caption_->setText("Lap Overlay");
    gcircle_mode_caption_->setText("Lap Overlay");
    track_note_->setVisible(false);
    change_x_axis();
    change_display_mode();
    reload_engine_data();
    return;
  }
  plot_mode_caption_->setText("Plot All");
  gcircle_mode_caption_->setText("Plot All");
  track_note_->setVisible(true);
  line_a_box_->setTitle("Data A Line Type");
  line_b_box_->setTitle("Data B Line Type");
  change_x_axis();
  change_display_mode();
  reload_engine_data();
  time_slip_->setEnabled(false);
  odo_slip_->setEnabled(false);
}

// ---------------------------------------------------------------------------
// Units, calibration, smoothing, grid.

void TForm10::refresh_unit_labels() {
  const auto rows = core::plot_channels();
  for (size_t i = 0; i < channels_.size(); ++i) {
    channels_[i].unit->setText(qs(core::unit_label(rows[i], state_.unit_flags)));
  }
  odo_slip_->setText(state_.unit_flags.distance_feet ? "Odo Slip (ft)" : "Odo Slip (m)");
  const int choice = std::max(x_axis_->currentIndex(), 0);
  const QString caption = qs(core::x_axis_caption(choice, state_.unit_flags));
  plot_chart_->set_x_caption(1, caption);
  plot_chart_->set_x_caption(2, caption);
}

void TForm10::change_mph_kmh() {
  if (!core::change_mph_kmh(state_, speed_unit_->currentIndex() == 1)) return;
  refresh_unit_labels();
  redraw_engine_data();
  processLaps(core::LapBuildSender::Other);
}

void TForm10::change_degC_degF() {
  if (!core::change_degC_degF(state_, temperature_unit_->currentIndex() == 1)) return;
  refresh_unit_labels();
  redraw_engine_data();
}

void TForm10::change_psi_bar() {
  if (!core::change_psi_bar(state_, pressure_unit_->currentIndex() == 1)) return;
  refresh_unit_labels();
  redraw_engine_data();
}

void TForm10::change_metre_feet() {
  if (!core::change_metre_feet(state_, distance_unit_->currentIndex() == 1)) return;
  refresh_unit_labels();
  if (isVisible()) change_data_axis();
  processLaps(core::LapBuildSender::Other);
}

void TForm10::changeSvaCal() {
  if (!core::changeSvaCal(state_, calibration_->isChecked())) return;
  redraw_engine_data();
}

void TForm10::smoothData() {
  const auto choices = core::smoothing_choices();
  const int i =
      std::clamp(smooth_channel_->currentIndex(), 0, static_cast<int>(choices.size()) - 1);
  if (core::smoothData(state_, choices[static_cast<size_t>(i)].channel) > 0) redraw_engine_data();
}

void TForm10::change_grid_mode() {
  static const ChartGrid kLines[] = {ChartGrid::Both, ChartGrid::VerticalOnly,
                                     ChartGrid::HorizontalOnly};
  const int lines = std::clamp(grid_lines_->currentIndex(), 0, 2);
  const int enable = grid_enable_->currentIndex();
  plot_chart_->set_grid(enable == 0 ? ChartGrid::None : kLines[lines], Qt::DotLine,
                        QColor(192, 192, 192));
  if (enable > 0) plot_chart_->set_grid_layer(enable);
  // No choice selected leaves a spacing as it was.
  static const double kHorizontal[] = {0, 1, 10, 100, 1000};
  static const double kVertical[] = {0, 0.1, 1, 10, 100, 1000};
  const int h = grid_horizontal_->currentIndex();
  const int v = grid_vertical_->currentIndex();
  if (h >= 0) grid_y_spacing_ = kHorizontal[h];
  if (v >= 0) grid_x_spacing_ = kVertical[v];
  plot_chart_->set_grid_spacing(grid_x_spacing_, grid_y_spacing_);
  plot_chart_->repaint_chart();
}

void TForm10::enable_line_display() {
  line_a_->setEnabled(visible_a_->isChecked());
  line_b_->setEnabled(visible_b_->isChecked());
  redraw_engine_data();
}

// ---------------------------------------------------------------------------
// Data sets.

void TForm10::loadDataSetA() { load_data_set(DataSetId::A); }
void TForm10::loadDataSetB() { load_data_set(DataSetId::B); }

void TForm10::load_data_set(DataSetId slot) {
  state_.current_data_set = slot;
  set_plot_progress(10);
  core::load_log_data(state_, host_);
  set_plot_progress(20);
  if (state_.data_set(slot).has_data()) {
    core::change_loaded_units(state_, slot, {});
    set_plot_progress(30);
    track_chart_->clear();
    copy_notes(slot);
    set_plot_progress(40);
    lap_times_.build_or_clear(state_, host_, slot, lap_options());
    refresh_lap_panels();
    set_plot_progress(50);
    update_lap_combo();
    set_plot_progress(60);
    change_x_axis();
    change_display_mode();
    refresh_name_boxes();
    {
      const QSignalBlocker block(display_mode_);
      display_mode_->setCurrentIndex(0);
    }
    set_plot_progress(80);
    redraw_engine_data();
    zoomFull();
    set_plot_progress(100);
  }
  track_chart_->repaint_chart();
  gcircle_chart_->repaint_chart();
  set_plot_progress(0);
}

void TForm10::copy_notes(DataSetId slot) {
  state_.current_data_set = slot;
  const core::DataSet& set = state_.data_set(slot);
  QStringList lines;
  for (const std::string& line : set.notes) lines << qs(line);
  notes_[slot_index(slot)]->setPlainText(lines.join('\n'));
}

void TForm10::refresh_name_boxes() {
  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    const core::DataSet& set = state_.data_set(slot);
    const size_t i = slot_index(slot);
    const QString name =
        set.has_data() ? qs(!set.file_name.empty() ? set.file_name : set.info.label) : QString();
    name_boxes_[i]->setText(name);
    loaded_from_[i]->setText(name);
    sample_rate_[i]->setText(set.has_data() ? QString::number(set.info.sample_rate) : QString());
  }
}

void TForm10::set_plot_progress(int percent) { plot_progress_->setValue(percent); }

// ---------------------------------------------------------------------------
// Lap tables.

void TForm10::processLaps(core::LapBuildSender sender) {
  lap_times_.process_laps(state_, host_, lap_options(), sender);
  refresh_lap_panels();
}

void TForm10::refresh_lap_panels() {
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

void TForm10::update_lap_combo() {
  QStringList items;
  for (const std::string& item : core::lap_combo_items(state_)) items << qs(item);
  for (QComboBox* selector : lap_selectors_) {
    const QSignalBlocker block(selector);
    selector->clear();
    selector->addItems(items);
    selector->setCurrentIndex(-1);
  }
}

}  // namespace ardenvis::ui
