#include "viewer/ui/lap_analysis.h"

#include <QKeyEvent>
#include <QTabBar>
#include <algorithm>

#include "viewer/cursor_markers.h"
#include "viewer/g_circle.h"
#include "viewer/lap_times.h"
#include "viewer/math_readout.h"
#include "viewer/plot_channels.h"
#include "viewer/plot_statistics.h"
#include "viewer/track_drawing.h"
#include "viewer/ui/data_select_panel.h"
#include "viewer/ui/g_axis_box.h"
#include "viewer/ui/g_circle_page.h"
#include "viewer/ui/lap_times_page.h"
#include "viewer/ui/marker_box.h"
#include "viewer/ui/marker_panel.h"
#include "viewer/ui/option_panel.h"
#include "viewer/ui/plot_page.h"
#include "viewer/ui/statistics_box.h"
#include "viewer/ui/track_map_page.h"
#include "viewer/ui/view_data_widgets.h"
#include "viewer/ui/view_panel.h"
#include "widgets/chart.h"

namespace ardenvis::ui {
namespace {

using view_data::qs;
using view_data::to_qcolor;

ChartPen chart_pen(core::PenStyle pen) {
  switch (pen) {
    case core::PenStyle::Dotted:
      return ChartPen::Dotted;
    case core::PenStyle::Invisible:
      return ChartPen::Invisible;
    default:
      return ChartPen::Solid;
  }
}

ChartRange chart_range(const core::PlotRange& r) { return {r.x_low, r.y_low, r.x_high, r.y_high}; }
core::PlotRange plot_range(const ChartRange& r) { return {r.x_low, r.y_low, r.x_high, r.y_high}; }

}  // namespace

LapAnalysis::LapAnalysis(core::ProgramState& state, core::Host& host, LapAnalysisParts parts,
                         QObject* parent)
    : QObject(parent), state_(state), host_(host), parts_(std::move(parts)) {
  TrackMapPage* track = parts_.track;
  connect(parts_.laps, &LapTimesPage::lap_selected, this, &LapAnalysis::lapPlotUpdate);
  connect(track, &TrackMapPage::rotate_changed, this, &LapAnalysis::rotateMap);
  connect(track, &TrackMapPage::line_scale_changed, this, &LapAnalysis::changeLinescale);
  connect(track, &TrackMapPage::source_changed, this, &LapAnalysis::changeMapSource);
  connect(track, &TrackMapPage::track_map_lap_selected, this, &LapAnalysis::selectTrack);
  connect(track, &TrackMapPage::redraw_requested, this, [this] { parts_.redraw_engine_data(); });
  connect(track, &TrackMapPage::full_clicked, this,
          [this] { zoom_full(core::ZoomChart::TrackMap); });
  connect(parts_.g_circle, &GCirclePage::view_changed, this,
          [this] { parts_.redraw_engine_data(); });
  connect(parts_.g_circle, &GCirclePage::full_clicked, this,
          [this] { zoom_full(core::ZoomChart::GCircle); });
  connect(parts_.plot, &PlotPage::lap_g_circle_toggled, this,
          [this] { parts_.redraw_engine_data(); });
  connect(parts_.plot->chart(), &Chart::cursor_moved, this, &LapAnalysis::get_cursor_position);
  connect(parts_.plot->chart(), &Chart::marker_moved, this, [this] { update_markers(); });
  connect(parts_.plot->chart(), &Chart::clicked, this, [this] { update_markers(); });
  MarkerBox* markers = parts_.markers->markers();
  connect(markers, &MarkerBox::markers_changed, this, &LapAnalysis::cursorControl);
  connect(markers, &MarkerBox::reset_clicked, this, &LapAnalysis::clear_markers);
  connect(markers, &MarkerBox::readout_toggled, this,
          [this] { parts_.plot->show_readout(parts_.markers->markers()->readout_on_plot(), {}); });
  connect(parts_.markers->statistics(), &StatisticsBox::options_changed, this,
          [this] { parts_.refresh_engine_data(); });
  connect(parts_.view, &ViewPanel::beacon_changed, this, &LapAnalysis::shiftbeacon);
  connect(parts_.options->g_axis(), &GAxisBox::toggled, this,
          [this](core::DataSetId slot, core::GAxisToggle toggle) {
            g_axis_toggled(slot, static_cast<int>(toggle));
          });
  changeGCircleScale();
}

bool LapAnalysis::lap_overlay() const { return parts_.view->lap_overlay(); }
int LapAnalysis::x_axis() const { return parts_.data->x_axis_choice(); }

core::ViewPage LapAnalysis::page() const {
  return static_cast<core::ViewPage>(std::clamp(parts_.right_tabs->currentIndex(), 0, 5));
}

Chart* LapAnalysis::chart_of(core::ZoomChart chart) const {
  switch (chart) {
    case core::ZoomChart::TrackMap:
      return parts_.track->chart();
    case core::ZoomChart::GCircle:
      return parts_.g_circle->chart();
    default:
      return parts_.plot->chart();
  }
}

// ---------------------------------------------------------------------------
// The plotting pass.

void LapAnalysis::fill_overlay(core::PlotSettings& settings) const {
  for (int k = 1; k <= 2; ++k) {
    const core::LapSelection& s = overlay_.selection(k);
    settings.overlay[static_cast<size_t>(k - 1)] = {s.has_lap, s.slot, s.start, s.end,
                                                    k == 1 ? s.beacon_shift : 0};
  }
}

void LapAnalysis::draw_g_points(const core::PlotSelection& selection, const core::PlotSettings&) {
  if (!parts_.g_circle->view(selection.style)) return;
  const core::DataSet& set = state_.data_set(selection.slot);
  const core::GCirclePoints points = core::g_circle_points(set, selection.first, selection.last);
  const bool lap_window = parts_.plot->lap_g_circle_on();
  auto draw = [&](Chart& chart, bool small) {
    for (const bool braking : {false, true}) {
      const auto& list = braking ? points.braking : points.normal;
      if (list.empty()) continue;
      std::vector<double> x(list.size());
      std::vector<double> y(list.size());
      for (size_t i = 0; i < list.size(); ++i) {
        x[i] = list[i].x;
        y[i] = list[i].y;
      }
      chart.set_pen(to_qcolor(core::g_point_colour(selection.style, braking)), ChartPen::Solid);
      chart.draw_series(1, x.data(), y.data(), static_cast<long>(x.size()), 0, 0, false,
                        core::g_point_shape(selection.style, small));
    }
  };
  draw(*parts_.g_circle->chart(), false);
  if (lap_window) draw(*parts_.plot->lap_g_circle(), true);
}

void LapAnalysis::draw_slips(const core::PlotSelection& selection,
                             const core::PlotSettings& settings) {
  Chart* chart = parts_.plot->chart();
  for (const core::SlipTrace& trace :
       core::slip_traces(state_, settings, selection, parts_.data->slip_settings(),
                         overlay_.odo_slip(), overlay_.time_slip())) {
    chart->set_pen(to_qcolor(trace.colour), chart_pen(trace.pen));
    chart->draw_series(selection.layer, trace.x.data(), trace.y.data(),
                       static_cast<long>(trace.x.size()), 0, 0, false,
                       trace.points ? std::optional<int>(0) : std::nullopt);
  }
}

void LapAnalysis::update_stats(const core::PlotSelection& selection,
                               const core::PlotSettings& settings) {
  StatisticsBox* box = parts_.markers->statistics();
  if (!core::statistics_enabled(settings.x_axis)) return;
  const core::DataSet& set = state_.data_set(selection.slot);
  const ChartRange window = parts_.plot->chart()->range(selection.layer);
  const core::StatisticsChoice choice = box->choice();
  const core::SampleRange range =
      core::statistics_range(set, settings.mode, choice.on, overlay_.selection(selection.number),
                             window.x_low, window.x_high);
  const int field = settings.mode == core::DisplayMode::LapOverlay
                        ? selection.number - 1
                        : (selection.slot == core::DataSetId::B ? 1 : 0);
  box->show_result(field, qs(core::statistic_text(core::statistic(set, range, choice))));
}

void LapAnalysis::changeGCircleScale() {
  GCirclePage::paint_scale(*parts_.g_circle->chart(), false);
  GCirclePage::paint_scale(*parts_.plot->lap_g_circle(), true);
}

void LapAnalysis::track_map_step() {
  if (!lap_overlay()) return;
  const int s = parts_.track->track_map_lap_choice();
  if (!overlay_.has_lap(s)) return;
  state_.track_map_lap = s;
  trackPlot(s);
  update_blobs(core::DotRule::Blobs);
}

// ---------------------------------------------------------------------------
// Lap overlay.

void LapAnalysis::lapPlotUpdate(int sender) {
  const core::LapPlotOutcome outcome =
      overlay_.lapPlotUpdate(state_, host_, parts_.laps->lap_positions(),
                             parts_.laps->lap_options().split_count, x_axis(), sender);
  parts_.data->set_slip_boxes(outcome.slip_boxes);
  parts_.track->set_track_map_lap_enabled(outcome.any_lap);
  if (outcome.track_map_lap_choice > 0) {
    parts_.track->set_track_map_lap_choice(outcome.track_map_lap_choice);
  }
  // Nothing chosen yet: the mode stays as it is.
  if (!lap_overlay() && outcome.any_lap) {
    parts_.view->set_lap_overlay(true);
    parts_.change_view_mode();
  } else if (lap_overlay()) {
    parts_.reload_engine_data();
  }
  update_lap_info();
  parts_.rebuild_lap_grids();
}

bool LapAnalysis::enter_overlay() {
  parts_.view->set_beacon_enabled(true);
  if (!core::any_slot_has_laps(state_)) {
    host_.message(core::MessageKind::Information, core::overlay_message::no_lap_data,
                  core::Buttons::Ok);
    parts_.view->set_lap_overlay(false);
    parts_.view->set_beacon_enabled(false);
    return false;
  }
  parts_.plot->set_mode_caption("Lap Overlay");
  parts_.g_circle->set_mode_caption("Lap Overlay");
  parts_.track->show_mode_note(false);
  if (!overlay_.any_lap()) parts_.track->show_problem(core::overlay_message::no_lap_selected);
  clear_markers();
  update_lap_info();
  parts_.plot->set_lap_windows_enabled(true);
  parts_.data->set_slip_boxes(core::slip_boxes_enabled(overlay_.selections(), x_axis()));
  return true;
}

void LapAnalysis::leave_overlay() {
  clear_markers();
  parts_.view->set_beacon_enabled(false);
  parts_.track->show_mode_note(true);
  parts_.track->show_details({});
  parts_.track->show_legend(false);
  parts_.track->chart()->clear();
  parts_.track->set_zoom_enabled(false);
  parts_.plot->set_lap_windows_enabled(false);
  parts_.g_circle->set_key_caption(0, "Data Set A");
  parts_.g_circle->set_key_caption(1, "Data Set B");
  parts_.markers->statistics()->set_result_caption(0, "Data A:");
  parts_.markers->statistics()->set_result_caption(1, "Data B:");
  state_.track_map_lap = 0;
}

void LapAnalysis::update_lap_info() {
  if (!lap_overlay()) return;
  const core::LapInfoCaptions one = core::lap_info_captions(overlay_.selection(1), 1);
  const core::LapInfoCaptions two = core::lap_info_captions(overlay_.selection(2), 2);
  parts_.data->set_lap_captions(one, two);
  parts_.markers->statistics()->set_result_caption(0, qs(one.statistics_label));
  parts_.markers->statistics()->set_result_caption(1, qs(two.statistics_label));
  parts_.g_circle->set_key_caption(0, qs(one.g_circle_key));
  parts_.g_circle->set_key_caption(1, qs(two.g_circle_key));
}

void LapAnalysis::shiftbeacon() {
  if (!lap_overlay() || !overlay_.has_lap(1)) return;
  overlay_.shiftbeacon(state_, parts_.view->beacon_distance());
  lapPlotUpdate(0);
  rotateMap();
}

void LapAnalysis::x_axis_changed(int axis) {
  // What the readout and the cursor labels say was read on the old axis; the
  // next move of the mouse over the plot shows them again.
  parts_.plot->show_readout(false);
  parts_.plot->show_cursor_labels(false);
  parts_.markers->statistics()->enable_stats(core::statistics_enabled(axis));
  parts_.data->set_slip_boxes(core::slip_boxes_enabled(overlay_.selections(), axis));
}

void LapAnalysis::window_shown() {
  keys_.window_shown();
  changeGCircleScale();
  zoom_full(core::ZoomChart::GCircle);
}

void LapAnalysis::lap_selectors_refilled() {
  overlay_.clear();
  tracks_ = {};
  state_.track_map_lap = 0;
  parts_.view->reset_beacon();
  parts_.track->set_track_map_lap_choice(0);
  parts_.track->set_track_map_lap_enabled(false);
  parts_.data->set_slip_boxes({});
  clear_blobs();
  update_lap_info();
}

// ---------------------------------------------------------------------------
// Track map.

void LapAnalysis::draw_track(int s, bool details, bool recompute) {
  const size_t i = s == 2 ? 1 : 0;
  if (recompute) {
    tracks_[i] =
        core::processTrackData(state_, overlay_.selection(s), parts_.track->track_options());
  }
  const core::TrackCoordinates& track = tracks_[i];
  const core::TrackDrawOptions options = parts_.track->draw_options();
  const core::TrackDrawing drawing =
      core::plotTrackData(state_, overlay_.selections(), s, track, options);
  Chart* map = parts_.track->chart();
  Chart* lap_window = parts_.plot->lap_track();
  if (details) {
    parts_.track->show_details(core::track_details(state_, overlay_.selection(s), s));
    // A lap with no track says why instead of drawing nothing silently.
    parts_.track->show_problem(qs(track.problem));
    lap_window->clear();
    TrackMapPage::paint_track(*lap_window, track, drawing.lap_window, drawing.lap_window_dots);
  }
  parts_.track->show_legend(drawing.legend_visible);
  parts_.track->set_view_braking_enabled(drawing.view_braking_enabled);
  TrackMapPage::paint_track(*map, track, drawing.map, drawing.map_dots);
  if (details && options.analysis == core::TrackAnalysis::DeltaSegments && !overlay_.both_laps()) {
    host_.message(core::MessageKind::Information, core::track_message::select_two_laps,
                  core::Buttons::Ok);
  }
}

void LapAnalysis::draw_track_map(int s, bool recompute) {
  parts_.track->chart()->clear();
  const int other = s == 1 ? 2 : 1;
  if (parts_.track->overlay_tracks() && overlay_.has_lap(other)) {
    draw_track(other, false, recompute);
  }
  draw_track(s, true, recompute);
  if (recompute && parts_.track->track_options().source == core::TrackSource::GData) {
    zoom_full(core::ZoomChart::TrackMap);
  }
}

void LapAnalysis::trackPlot(int s) {
  draw_track_map(s, true);
  parts_.track->set_zoom_enabled(true);
  parts_.track->chart()->repaint_chart();
  parts_.plot->lap_track()->repaint_chart();
  update_markers();
}

void LapAnalysis::rotateMap() {
  const int s = state_.track_map_lap;
  if (!lap_overlay() || !overlay_.has_lap(s)) return;
  draw_track_map(s, true);
  parts_.track->chart()->repaint_chart();
  update_markers();
}

void LapAnalysis::changeLinescale() {
  const int s = state_.track_map_lap;
  if (!lap_overlay() || !overlay_.has_lap(s)) return;
  draw_track_map(s, false);
  parts_.track->chart()->repaint_chart();
}

void LapAnalysis::changeMapSource(bool from_overlay_box) {
  rotateMap();
  if (parts_.track->track_options().source == core::TrackSource::GpsData && !from_overlay_box) {
    zoom_full(core::ZoomChart::TrackMap);
  }
}

void LapAnalysis::selectTrack() {
  const int chosen = parts_.track->track_map_lap_choice();
  if (overlay_.has_lap(chosen)) {
    lapPlotUpdate(0);
    return;
  }
  host_.message(core::MessageKind::Information, core::track_message::load_lap, core::Buttons::Ok);
  // The choice moves to the selection that has a lap, or to none.
  const int other = chosen == 1 ? 2 : 1;
  const int moved_to = overlay_.has_lap(other) ? other : 0;
  parts_.track->set_track_map_lap_choice(moved_to);
  if (moved_to == 0) state_.track_map_lap = 0;
}

// ---------------------------------------------------------------------------
// Cursor, markers and their dots.

void LapAnalysis::get_cursor_position(bool inside, double x, double y) {
  cursor_inside_ = inside;
  MarkerBox* markers = parts_.markers->markers();
  if (!inside) {
    parts_.plot->show_readout(false);
    parts_.plot->show_cursor_labels(false);
    return;
  }
  if (markers->markers_on()) {
    parts_.plot->show_cursor_labels(true, qs(core::cursor_value_text(y)),
                                    qs(core::cursor_value_text(x)));
  }
  const core::DisplayMode mode =
      lap_overlay() ? core::DisplayMode::LapOverlay : core::DisplayMode::AllPlotData;
  const std::string text =
      core::cursor_readout(state_, mode, x_axis(), overlay_.selections(), x, y) +
      core::math_readout(state_, mode, x_axis(), overlay_.selections(),
                         parts_.data->shown_math_channels(), x);
  if (markers->readout_on_plot()) parts_.plot->show_readout(true, qs(text));
  if (state_.track_map_lap > 0 && markers->markers_on()) update_blobs(core::DotRule::Blobs);
}

void LapAnalysis::cursorControl() {
  MarkerBox* box = parts_.markers->markers();
  Chart* chart = parts_.plot->chart();
  const bool on = box->markers_on();
  chart->set_marker_visible(1, on, Qt::blue);
  chart->set_marker_visible(2, on, Qt::red);
  chart->set_mouse_mode(ChartMouseMode::CrossHairDrag);
  box->show_fields_enabled(on);
  if (on) {
    const ChartRange r = chart->range(1);
    for (int m = 1; m <= 2; ++m) chart->set_marker_position(m, r.x_low, 0);
  } else {
    // The cursor's value labels belong to the markers.
    parts_.plot->show_cursor_labels(false);
    clear_blobs();
  }
  chart->repaint_chart();
  update_markers();
}

void LapAnalysis::update_markers() {
  MarkerBox* box = parts_.markers->markers();
  if (!box->markers_on()) return;
  Chart* chart = parts_.plot->chart();
  const ChartRange r = chart->range(1);
  std::array<core::MarkerPosition, 2> m;
  for (int i = 1; i <= 2; ++i) {
    const QPointF p = chart->marker_position(i);
    core::MarkerPosition& position = m[static_cast<size_t>(i - 1)];
    position = {p.x(), p.y()};
    if (core::snap_marker(position, r.x_low, r.x_high)) {
      chart->set_marker_position(i, position.x, position.y);
    }
  }
  box->show_fields(core::marker_fields(m[0], m[1]));
  update_blobs(core::DotRule::Markers);
  chart->repaint_markers();
}

void LapAnalysis::update_blobs(core::DotRule rule) {
  const int s = state_.track_map_lap;
  if (!parts_.markers->markers()->markers_on() || !overlay_.has_lap(s)) return;
  const core::DisplayMode mode =
      lap_overlay() ? core::DisplayMode::LapOverlay : core::DisplayMode::AllPlotData;
  const core::LapSelection& lap = overlay_.selection(s);
  const core::TrackCoordinates& track = tracks_[s == 2 ? 1 : 0];
  const core::DataSet& set = state_.data_set(lap.slot);
  Chart* charts[] = {parts_.track->chart(), parts_.plot->lap_track(), parts_.g_circle->chart(),
                     parts_.plot->lap_g_circle()};
  // Marker 2's dot (red) first, then marker 1's (blue).
  for (int marker : {2, 1}) {
    const double x = parts_.plot->chart()->marker_position(marker).x();
    const auto offset = core::marker_dot_offset(state_, lap, mode, x_axis(), x, rule);
    const QColor colour = marker == 1 ? Qt::blue : Qt::red;
    const bool shown = offset.has_value() && track.drawable();
    const size_t k = shown ? static_cast<size_t>(std::min<long>(*offset, track.size()) - 1) : 0;
    for (int c = 0; c < 2; ++c) {
      charts[c]->set_dot(marker, shown, shown ? track.x[k] : 0, shown ? track.y[k] : 0, colour);
    }
    const long sample = lap.start + (offset ? *offset : 0);
    for (int c = 2; c < 4; ++c) {
      charts[c]->set_dot(marker, offset.has_value(), set[core::Channel::GLat][sample] / 10,
                         set[core::Channel::GLong][sample] / 10, colour);
    }
  }
  for (Chart* chart : charts) chart->repaint_markers();
}

void LapAnalysis::clear_blobs() {
  for (Chart* chart : {parts_.track->chart(), parts_.plot->lap_track(), parts_.g_circle->chart(),
                       parts_.plot->lap_g_circle()}) {
    chart->set_dot(1, false);
    chart->set_dot(2, false);
    chart->repaint_chart();
  }
}

void LapAnalysis::clear_markers() {
  parts_.markers->markers()->set_markers_on(false);
  cursorControl();
}

// ---------------------------------------------------------------------------
// Zoom and function keys.

void LapAnalysis::zoom(core::ZoomChart which, bool in) {
  Chart* chart = chart_of(which);
  const bool second = parts_.data->b_on_second_axis() && !lap_overlay();
  for (int layer = 1; layer <= 2; ++layer) {
    if (layer == 2 && !core::zoom_layer_two(which, in, second)) continue;
    const core::PlotRange now = plot_range(chart->range(layer));
    chart->set_range(layer, chart_range(in ? core::zoom_in(now) : core::zoom_out(now)));
  }
  chart->repaint_chart();
}

void LapAnalysis::zoom_full(core::ZoomChart which) {
  switch (which) {
    case core::ZoomChart::Plot:
      parts_.zoom_plot_full();
      break;
    case core::ZoomChart::TrackMap:
      parts_.track->zoom_full(parts_.plot->lap_track());
      break;
    case core::ZoomChart::GCircle:
      parts_.g_circle->zoom_full();
      break;
  }
}

bool LapAnalysis::key_down(QKeyEvent* event) {
  const int key = event->key();
  const int function_key = key >= Qt::Key_F1 && key <= Qt::Key_F12 ? key - Qt::Key_F1 + 1 : 0;
  if (event->isAutoRepeat()) return function_key > 0;
  const core::KeyAction action = keys_.key_down(function_key, page());
  const auto chart = core::page_chart(page());
  Chart* target = chart ? chart_of(*chart) : nullptr;
  const bool plot = chart == core::ZoomChart::Plot;
  switch (action) {
    case core::KeyAction::ShowGuide:
      host_.message(core::MessageKind::Information, core::kFunctionKeyGuide, core::Buttons::Ok);
      break;
    case core::KeyAction::ZoomBoxHeld:
      target->set_mouse_mode(ChartMouseMode::ZoomBox, true, plot);
      break;
    case core::KeyAction::PanHeld:
      target->set_mouse_mode(ChartMouseMode::Pan, true, plot);
      break;
    case core::KeyAction::ZoomOut:
      zoom(*chart, false);
      break;
    case core::KeyAction::ZoomIn:
      zoom(*chart, true);
      break;
    case core::KeyAction::MarkersOn:
    case core::KeyAction::MarkersOff:
      parts_.markers->markers()->set_markers_on(action == core::KeyAction::MarkersOn);
      cursorControl();
      break;
    case core::KeyAction::Full:
      zoom_full(*chart);
      break;
    case core::KeyAction::None:
      break;
  }
  return function_key > 0;
}

void LapAnalysis::key_up() {
  keys_.key_up();
  parts_.plot->chart()->set_mouse_mode(ChartMouseMode::CrossHairDrag);
  parts_.view->reset_zoom_pan();
  parts_.track->reset_zoom();
  parts_.g_circle->reset_zoom();
}

void LapAnalysis::g_axis_toggled(core::DataSetId slot, int toggle) {
  if (!core::toggle_g_axis(state_.data_set(slot), static_cast<core::GAxisToggle>(toggle))) return;
  parts_.redraw_engine_data();
}

}  // namespace ardenvis::ui
