#include "viewer/ui/plot_data.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "files/log_file.h"
#include "logger/data_set_units.h"
#include "math/channel_library.h"
#include "math/math_channels.h"
#include "math/ui/math_channels_window.h"
#include "viewer/plot_channels.h"
#include "viewer/ui/data_select_panel.h"
#include "viewer/ui/file_panel.h"
#include "viewer/ui/g_axis_box.h"
#include "viewer/ui/g_circle_page.h"
#include "viewer/ui/lap_analysis.h"
#include "viewer/ui/lap_times_page.h"
#include "viewer/ui/marker_panel.h"
#include "viewer/ui/notes_page.h"
#include "viewer/ui/option_panel.h"
#include "viewer/ui/plotProgress.h"
#include "viewer/ui/plot_page.h"
#include "viewer/ui/statistics_box.h"
#include "viewer/ui/track_map_page.h"
#include "viewer/ui/view_data_files.h"
#include "viewer/ui/view_data_widgets.h"
#include "viewer/ui/view_panel.h"
#include "viewer/viewer_units.h"
#include "viewer/zoom_keys.h"
#include "widgets/chart.h"
#include "widgets/file_drop.h"
#include "widgets/recent_files_button.h"

namespace ardenvis::ui {
namespace {

using core::DataSetId;
using view_data::Busy;
using view_data::qs;
using view_data::slot_index;
using view_data::to_qcolor;

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

constexpr int kLeftWidth = 340;

}  // namespace

TForm10::TForm10(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("View Data", parent),
      state_(state),
      host_(host),
      progress_(new TForm20),
      math_(std::make_unique<core::MathChannels>()) {
  setObjectName("TForm10");
  setAcceptDrops(true);
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
  plot_page_ = new PlotPage(this);
  lap_page_ = new LapTimesPage(state_, host_, lap_times_, this);
  notes_pages_ = {new NotesPage(DataSetId::A, this), new NotesPage(DataSetId::B, this)};
  track_page_ = new TrackMapPage(this);
  gcircle_page_ = new GCirclePage(this);
  // The notes pages (a full setup sheet) cannot shrink as far as a laptop's
  // screen needs: they scroll there.
  right_pages_->addWidget(plot_page_);
  right_pages_->addWidget(lap_page_);
  for (NotesPage* page : notes_pages_) right_pages_->addWidget(scrolled(page, right_pages_));
  right_pages_->addWidget(track_page_);
  right_pages_->addWidget(gcircle_page_);
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

  wire_panels();
  analysis_ = new LapAnalysis(state_, host_,
                              {plot_page_, lap_page_, track_page_, gcircle_page_, data_panel_,
                               view_panel_, marker_panel_, option_panel_, right_tabs_,
                               [this] { reload_engine_data(); }, [this] { redraw_engine_data(); },
                               [this] { refresh_engine_data(); }, [this] { change_view_mode(); },
                               [this] {
                                 lap_times_.process_laps(state_, host_, lap_page_->lap_options(),
                                                         core::LapBuildSender::TrackMapLap);
                                 lap_page_->refresh();
                               },
                               [this] { zoomFull(); }},
                              this);
  wire_files();
  connect(this, &PelorantWindow::closed_by_user, this, [this] {
    clear_plot_data();
    emit back_to_main();
  });
  tabPlotOptions(1);  // "Data"
  // Never below what the pages need, whatever the preferred size.
  resize(laptop_room().expandedTo(minimumSizeHint()));
}

TForm10::~TForm10() { delete progress_; }

Chart* TForm10::plot_chart() const { return plot_page_->chart(); }

// ---------------------------------------------------------------------------
// Building the window.

QWidget* TForm10::build_left_panel() {
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  left_tabs_ = new QTabBar(panel);
  left_tabs_->setObjectName("leftTabs");
  for (const char* page : {"File", "Data", "View", "Marker", "Option"}) left_tabs_->addTab(page);
  left_tabs_->setExpanding(true);
  layout->addWidget(left_tabs_);
  // The boxes scroll under the tabs where the screen is not tall enough; the
  // column is as wide as the widest box needs.
  auto* boxes = new QWidget;
  boxes->setMinimumWidth(kLeftWidth);
  auto* boxes_layout = new QVBoxLayout(boxes);
  boxes_layout->setContentsMargins(0, 0, 0, 0);
  file_panel_ = new FilePanel(boxes);
  data_panel_ = new DataSelectPanel(boxes);
  view_panel_ = new ViewPanel(boxes);
  marker_panel_ = new MarkerPanel(boxes);
  option_panel_ = new OptionPanel(state_.filter_when_loaded, boxes);
  left_boxes_ = {file_panel_, data_panel_, view_panel_, marker_panel_, option_panel_};
  for (QGroupBox* box : left_boxes_) boxes_layout->addWidget(box);
  boxes_layout->addStretch();
  layout->addWidget(scrolled(boxes, panel, Scroll::Column), 1);
  left_tabs_->setCurrentIndex(1);
  connect(left_tabs_, &QTabBar::currentChanged, this, &TForm10::tabPlotOptions);
  return panel;
}

void TForm10::wire_panels() {
  connect(file_panel_, &FilePanel::load_requested, this,
          [this](DataSetId slot) { load_data_set(slot); });
  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    connect(file_panel_->recent_files(slot_index(slot)), &RecentFilesButton::file_chosen, this,
            [this, slot](const QString& path) { load_data_set(slot, path.toStdString()); });
  }

  connect(data_panel_, &DataSelectPanel::channels_changed, this, &TForm10::redraw_engine_data);
  connect(data_panel_, &DataSelectPanel::colours_changed, this, &TForm10::refresh_engine_data);
  connect(data_panel_, &DataSelectPanel::x_axis_changed, this, &TForm10::change_data_axis);
  connect(data_panel_, &DataSelectPanel::second_axis_clicked, this, &TForm10::change_axis_mode);
  connect(data_panel_, &DataSelectPanel::line_visibility_changed, this,
          &TForm10::enable_line_display);
  connect(data_panel_, &DataSelectPanel::math_channels_requested, this,
          &TForm10::open_math_channels);

  connect(view_panel_, &ViewPanel::display_mode_activated, this, &TForm10::change_view_mode);
  connect(view_panel_, &ViewPanel::y_autoscale_toggled, this, &TForm10::refresh_engine_data);
  connect(view_panel_, &ViewPanel::zoom_pan_changed, this, &TForm10::change_mouse_mode);

  connect(option_panel_, &OptionPanel::speed_unit_changed, this, &TForm10::change_mph_kmh);
  connect(option_panel_, &OptionPanel::pressure_unit_changed, this, &TForm10::change_psi_bar);
  connect(option_panel_, &OptionPanel::temperature_unit_changed, this, &TForm10::change_degC_degF);
  connect(option_panel_, &OptionPanel::distance_unit_changed, this, &TForm10::change_metre_feet);
  connect(option_panel_, &OptionPanel::calibration_toggled, this, &TForm10::changeSvaCal);
  connect(option_panel_, &OptionPanel::smooth_requested, this, &TForm10::smoothData);
  connect(option_panel_, &OptionPanel::smoothing_channel_changed, this,
          &TForm10::refresh_engine_data);
  connect(option_panel_, &OptionPanel::filter_when_loaded_toggled, this,
          [this](bool on) { state_.filter_when_loaded = on; });
  connect(option_panel_, &OptionPanel::grid_changed, this, &TForm10::change_grid_mode);

  connect(plot_page_, &PlotPage::full_clicked, this, &TForm10::zoomFull);
  connect(lap_page_, &LapTimesPage::process_laps, this, &TForm10::processLaps);
}

core::PlotSettings TForm10::plot_settings() const {
  core::PlotSettings settings;
  settings.mode =
      view_panel_->lap_overlay() ? core::DisplayMode::LapOverlay : core::DisplayMode::AllPlotData;
  data_panel_->fill_plot_settings(settings);
  analysis_->fill_overlay(settings);
  return settings;
}

// ---------------------------------------------------------------------------
// Window life.

void TForm10::activated() { setup_form_10(); }

void TForm10::setup_form_10() {
  set_plot_progress(0);
  files_->load_cfg_data(core::PreferenceSource::WindowShown);
  load_math_channels();
  analysis_->window_shown();
  progress_->set_progress(10);
  progress_->show();
  host_.process_events();
  progress_->set_progress(20);

  Chart* chart = plot_chart();
  files_->updateLogo(false);
  chart->set_labels_style(Qt::black, palette().color(QPalette::ToolTipBase), true);
  progress_->set_progress(40);

  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    if (state_.data_set(slot).has_data()) copy_notes(slot);
  }
  progress_->set_progress(60);

  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    if (state_.data_set(slot).has_data()) {
      lap_times_.build_or_clear(state_, host_, slot, lap_page_->lap_options());
    } else {
      lap_times_.panel(slot).clear();
    }
  }
  lap_page_->refresh();
  update_lap_combo();
  progress_->set_progress(80);

  chart->set_range_limits({-core::kPlotRangeLimit, -core::kPlotRangeLimit, core::kPlotRangeLimit,
                           core::kPlotRangeLimit});
  // The selectors and the program-wide flags agree: every switch sets both.
  state_.unit_flags = option_panel_->selected_units();
  refresh_unit_labels();
  set_all_plot_data();
  change_grid_mode();
  change_display_mode();
  refresh_name_boxes();
  progress_->set_progress(100);
  progress_->hide();
  change_data_axis();
  data_panel_->set_x_axis_enabled(data_panel_->any_channel_checked());
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
  view_panel_->reset_zoom_pan();
  if (plot_page_) plot_chart()->set_mouse_mode(ChartMouseMode::CrossHairDrag);
}

void TForm10::tabViewOptions(int page) { right_pages_->setCurrentIndex(page); }

void TForm10::resizeEvent(QResizeEvent* event) {
  PelorantWindow::resizeEvent(event);
  adjustBoxesonResize();
}

void TForm10::adjustBoxesonResize() {
  if (lap_page_) lap_page_->arrange_boxes();
}

// ---------------------------------------------------------------------------
// Plotting.

void TForm10::plot_engine_data(const core::PlotSelection& selection) {
  const core::PlotSettings settings = plot_settings();
  Chart* chart = plot_chart();
  analysis_->draw_g_points(selection, settings);
  for (const core::Trace& trace : core::plot_engine_data(state_, settings, selection)) {
    chart->set_pen(to_qcolor(trace.colour), chart_pen(trace.pen));
    chart->draw_series(trace.layer, trace.x, trace.y, trace.count, trace.x_offset, trace.y_offset,
                       trace.x_sorted, trace.points ? std::optional<int>(0) : std::nullopt);
  }
  analysis_->draw_slips(selection, settings);
}

void TForm10::draw_selections(bool fit_full_range, bool auto_scale) {
  const core::PlotSettings settings = plot_settings();
  Chart* chart = plot_chart();
  for (const core::PlotSelection& selection : core::choose_selections(state_, settings)) {
    plot_engine_data(selection);
    const int layer = selection.layer;
    if (fit_full_range) {
      if (auto fitted = chart->fit_range(layer)) {
        const core::PlotRange r =
            core::full_range({fitted->x_low, fitted->y_low, fitted->x_high, fitted->y_high});
        chart->set_range(layer, {r.x_low, r.y_low, r.x_high, r.y_high});
      }
    } else if (auto_scale) {
      const ChartRange now = chart->range(layer);
      const ChartRange window{now.x_low, -core::kAutoScaleYLimit, now.x_high,
                              core::kAutoScaleYLimit};
      if (auto found = chart->extent(layer, window)) {
        const core::PlotRange r = core::autoscale_range(
            {now.x_low, now.y_low, now.x_high, now.y_high}, found->y_low, found->y_high);
        chart->set_range(layer, {r.x_low, r.y_low, r.x_high, r.y_high});
      }
    }
    analysis_->update_stats(selection, settings);
  }
}

void TForm10::refresh_engine_data() {
  if (!plot_page_ || !isVisible()) return;
  Busy busy(host_);
  // The chart keeps what it draws, so a refresh replaces the traces rather
  // than stacking a second copy of every series on top of the first.
  plot_chart()->clear();
  draw_selections(false, view_panel_->y_autoscale() && data_panel_->any_channel_checked());
  plot_chart()->repaint_chart();
  analysis_->track_map_step();
}

void TForm10::redraw_engine_data() {
  if (!plot_page_ || !isVisible()) return;
  update_math_series();  // a redraw follows every change of the series
  data_panel_->set_x_axis_enabled(data_panel_->any_channel_checked());
  clear_plot_data();
  refresh_engine_data();
}

void TForm10::reload_engine_data() {
  Busy busy(host_);
  Chart* chart = plot_chart();
  chart->clear();
  gcircle_page_->chart()->clear();
  plot_page_->lap_g_circle()->clear();
  analysis_->changeGCircleScale();
  files_->clear_labels();  // the table and counter with the chart's labels
  draw_selections(true, false);
  analysis_->track_map_step();
  chart->repaint_chart();
  track_page_->chart()->repaint_chart();
  gcircle_page_->chart()->repaint_chart();
}

void TForm10::clear_plot_data() {
  plot_chart()->clear();
  gcircle_page_->chart()->clear();
  plot_page_->lap_g_circle()->clear();
  analysis_->changeGCircleScale();
  plot_chart()->repaint_chart();
  gcircle_page_->chart()->repaint_chart();
}

void TForm10::zoomFull() {
  Chart* chart = plot_chart();
  for (const core::PlotSelection& selection : core::choose_selections(state_, plot_settings())) {
    if (selection.layer == 2 && !state_.data_sets[1].has_data()) continue;
    if (auto fitted = chart->fit_range(selection.layer)) {
      const core::PlotRange r =
          core::full_range({fitted->x_low, fitted->y_low, fitted->x_high, fitted->y_high});
      chart->set_range(selection.layer, {r.x_low, r.y_low, r.x_high, r.y_high});
    }
  }
  chart->repaint_chart();
}

void TForm10::change_mouse_mode() {
  const auto choices = core::plot_zoom_pan_choices();
  const auto& c = choices[static_cast<size_t>(
      std::clamp<int>(view_panel_->zoom_pan_choice(), 0, static_cast<int>(choices.size()) - 1))];
  // The chart's modes are named as the core's, in the same order.
  plot_chart()->set_mouse_mode(static_cast<ChartMouseMode>(c.mode), c.layer1, c.layer2);
}

void TForm10::change_data_axis() {
  // Marker positions are values of the old axis.
  analysis_->clear_markers();
  change_x_axis();
  reload_engine_data();
}

void TForm10::change_x_axis() {
  Busy busy(host_);
  update_math_series();  // a math channel may be the x-axis
  const int choice = data_panel_->x_axis_choice();
  core::build_x_axis_series(state_, choice);
  const QString caption = x_axis_caption(choice);
  plot_chart()->set_x_caption(1, caption);
  plot_chart()->set_x_caption(2, caption);
  refresh_unit_labels();
  analysis_->x_axis_changed(choice);
}

void TForm10::change_display_mode() {
  const bool a = state_.data_sets[0].has_data();
  const bool b = state_.data_sets[1].has_data();
  const bool overlay = view_panel_->lap_overlay();
  data_panel_->set_second_axis_enabled(a && b && !overlay);
  // The "Data A" / "Data B" captions tell the two scales apart, so they show
  // only while B has a scale of its own.
  const bool second_axis = !overlay && data_panel_->b_on_second_axis();
  plot_page_->show_name(0, a, second_axis && a);
  plot_page_->show_name(1, b, second_axis && b);
  if (second_axis) {
    plot_chart()->set_scales_visible(1, a);
    plot_chart()->set_scales_visible(2, b);
  } else {
    plot_chart()->set_scales_visible(1, true);
    plot_chart()->set_scales_visible(2, false);
  }
  // A grid on "Axis2" follows selection 2 to whichever layer it is now in.
  change_grid_mode();
}

void TForm10::change_axis_mode() {
  change_display_mode();
  reload_engine_data();
}

void TForm10::change_view_mode() {
  if (view_panel_->lap_overlay()) {
    if (!analysis_->enter_overlay()) return;
    change_x_axis();
    change_display_mode();
    reload_engine_data();
    return;
  }
  set_all_plot_data();
  change_x_axis();
  change_display_mode();
  reload_engine_data();
  data_panel_->set_slips_enabled(false);
}

void TForm10::set_all_plot_data() {
  view_panel_->set_lap_overlay(false);
  plot_page_->set_mode_caption("Plot All");
  gcircle_page_->set_mode_caption("Plot All");
  analysis_->leave_overlay();
  data_panel_->reset_line_titles();
  data_panel_->set_slips_enabled(false);
}

// ---------------------------------------------------------------------------
// Units, calibration, smoothing, grid.

void TForm10::refresh_unit_labels() {
  data_panel_->refresh_unit_labels(state_.unit_flags);
  const QString caption = x_axis_caption(data_panel_->x_axis_choice());
  plot_chart()->set_x_caption(1, caption);
  plot_chart()->set_x_caption(2, caption);
}

void TForm10::units_switched(const core::UnitFlags& before) {
  // The x-axis series is a copy: rebuild it so its values are in the units
  // its caption names. When the caption changed, the chosen series itself
  // was converted and the plot is fitted to it again.
  const int choice = data_panel_->x_axis_choice();
  const bool axis_converted =
      core::x_axis_caption(choice, before) != core::x_axis_caption(choice, state_.unit_flags);
  change_x_axis();
  if (axis_converted && isVisible()) {
    reload_engine_data();
  } else {
    redraw_engine_data();
  }
}

void TForm10::change_mph_kmh() {
  const core::UnitFlags before = state_.unit_flags;
  if (!core::change_mph_kmh(state_, option_panel_->selected_units().speed_kmh)) return;
  units_switched(before);
  processLaps(core::LapBuildSender::Other);
}

void TForm10::change_degC_degF() {
  const core::UnitFlags before = state_.unit_flags;
  if (!core::change_degC_degF(state_, option_panel_->selected_units().temperature_degf)) return;
  units_switched(before);
}

void TForm10::change_psi_bar() {
  const core::UnitFlags before = state_.unit_flags;
  if (!core::change_psi_bar(state_, option_panel_->selected_units().pressure_bar)) return;
  units_switched(before);
}

void TForm10::change_metre_feet() {
  if (!core::change_metre_feet(state_, option_panel_->selected_units().distance_feet)) return;
  refresh_unit_labels();
  if (isVisible()) {
    change_data_axis();
  } else {
    change_x_axis();  // keeps the x-axis copy in the units its caption names
  }
  processLaps(core::LapBuildSender::Other);
}

void TForm10::changeSvaCal() {
  const core::UnitFlags before = state_.unit_flags;
  if (!core::changeSvaCal(state_, option_panel_->calibration())) return;
  units_switched(before);
}

void TForm10::smoothData() {
  if (core::smoothData(state_, option_panel_->smoothing_channel()) > 0) redraw_engine_data();
}

void TForm10::change_grid_mode() {
  option_panel_->apply_grid(*plot_chart(),
                            core::grid_layer(plot_settings(), option_panel_->grid_enable_choice()));
  plot_chart()->repaint_chart();
}

void TForm10::enable_line_display() {
  data_panel_->enable_line_styles();
  redraw_engine_data();
}

// ---------------------------------------------------------------------------
// Data sets.

void TForm10::loadDataSetA() { load_data_set(DataSetId::A); }
void TForm10::loadDataSetB() { load_data_set(DataSetId::B); }

bool TForm10::load_data_set(DataSetId slot, const std::optional<std::string>& named) {
  state_.current_data_set = slot;
  set_plot_progress(10);
  // A load that loads nothing (cancelled, refused, unreadable) leaves the slot
  // as it was, already in the units in force: converting it again would
  // scale its series twice.
  const bool loaded = core::load_log_data(state_, host_, named);
  set_plot_progress(20);
  if (loaded && state_.data_set(slot).has_data()) {
    core::change_loaded_units(state_, slot, option_panel_->g_axis()->corrections(slot));
    set_plot_progress(30);
    track_page_->chart()->clear();
    copy_notes(slot);
    set_plot_progress(40);
    lap_times_.build_or_clear(state_, host_, slot, lap_page_->lap_options());
    lap_page_->refresh();
    set_plot_progress(50);
    update_lap_combo();
    set_plot_progress(60);
    change_x_axis();
    change_display_mode();
    refresh_name_boxes();
    set_all_plot_data();
    set_plot_progress(80);
    redraw_engine_data();
    zoomFull();
    set_plot_progress(100);
  }
  track_page_->chart()->repaint_chart();
  gcircle_page_->chart()->repaint_chart();
  set_plot_progress(0);
  if (loaded) emit log_file_loaded();
  return loaded;
}

void TForm10::dragEnterEvent(QDragEnterEvent* event) {
  if (!dragged_file(event->mimeData(), ".plr").isEmpty()) event->acceptProposedAction();
}

void TForm10::dropEvent(QDropEvent* event) {
  const QString path = dragged_file(event->mimeData(), ".plr");
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  const DataSetId slot = event->position().x() < width() / 2.0 ? DataSetId::A : DataSetId::B;
  load_data_set(slot, path.toStdString());
}

void TForm10::copy_notes(DataSetId slot) {
  state_.current_data_set = slot;
  notes_pages_[slot_index(slot)]->show_notes(state_.data_set(slot).notes);
  notes_pages_[slot_index(slot)]->show_setup(state_.data_set(slot).setup_texts);
}

void TForm10::refresh_name_boxes() {
  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    const core::DataSet& set = state_.data_set(slot);
    const size_t i = slot_index(slot);
    const QString name =
        set.has_data() ? qs(!set.file_name.empty() ? set.file_name : set.info.label) : QString();
    plot_page_->set_name(i, name);
    file_panel_->show_slot(i, name,
                           set.has_data() ? QString::number(set.info.sample_rate) : QString());
  }
}

void TForm10::set_plot_progress(int percent) { plot_page_->set_progress(percent); }

// ---------------------------------------------------------------------------
// Lap tables.

void TForm10::processLaps(core::LapBuildSender sender) {
  lap_times_.process_laps(state_, host_, lap_page_->lap_options(), sender);
  lap_page_->refresh();
  // The overlay follows the ticks and the split count (its copies of the
  // splits are taken when it is updated); sorting changes neither.
  const bool keeps_overlay =
      sender == core::LapBuildSender::SortBox || sender == core::LapBuildSender::SplitSegment;
  if (!keeps_overlay && analysis_->overlay().any_lap()) analysis_->lapPlotUpdate(0);
}

void TForm10::keyPressEvent(QKeyEvent* event) {
  if (!analysis_->key_down(event)) PelorantWindow::keyPressEvent(event);
}

void TForm10::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) analysis_->key_up();
  PelorantWindow::keyReleaseEvent(event);
}

void TForm10::update_lap_combo() {
  lap_page_->set_selector_items(core::lap_combo_items(state_));
  // The selectors hold no lap now: neither may the overlay, or the export
  // and the plot would act on a lap of data that may no longer be there.
  analysis_->lap_selectors_refilled();
}

// ---------------------------------------------------------------------------
// Math channels.

void TForm10::load_math_channels() {
  const auto library = core::load_channel_library(core::default_channel_library_path());
  if (!library) {
    math_problems_ = {"The library file cannot be read."};
    use_math_channels({});
    return;
  }
  math_problems_ = library->problems;
  use_math_channels(library->channels);
}

void TForm10::use_math_channels(const std::vector<core::MathChannelDefinition>& channels) {
  math_ = std::make_unique<core::MathChannels>(channels);
  std::vector<DataSelectPanel::MathRowCaption> rows;
  QStringList names;
  for (const core::MathChannelDefinition& c : channels) {
    rows.push_back({c.name, c.unit});
    names << qs(c.name);
  }
  data_panel_->set_math_channels(rows);
  marker_panel_->statistics()->set_math_channels(names);
}

void TForm10::update_math_series() {
  for (core::DataSet& set : state_.data_sets) {
    if (set.has_data()) {
      math_->update(set);
    } else {
      set.math.clear();
    }
  }
}

QString TForm10::x_axis_caption(int choice) const {
  const int math = core::x_axis_math_channel(choice);
  if (math >= 0 && static_cast<size_t>(math) < math_->size()) {
    return qs(core::MathChannels::header(math_->definition(static_cast<size_t>(math))));
  }
  return qs(core::x_axis_caption(choice, state_.unit_flags));
}

void TForm10::open_math_channels() {
  if (!math_window_) {
    math_window_ = new MathChannelsWindow(state_, host_, this);
    connect(math_window_, &MathChannelsWindow::applied, this,
            [this](const std::vector<core::MathChannelDefinition>& channels) {
              math_problems_.clear();
              use_math_channels(channels);
              data_panel_->set_x_axis_enabled(data_panel_->any_channel_checked());
              change_data_axis();
            });
  }
  math_window_->edit(math_->definitions(), math_problems_, core::default_channel_library_path());
  math_window_->show();
  math_window_->raise();
}

}  // namespace ardenvis::ui
