#pragma once
// The analysis side of "View Data": the lap overlay and its slips, the track
// map and the G circle, the cursor readout, markers and statistics, zoom and
// the function keys. It binds the pages and panels that show them to the
// core rules (viewer/lap_overlay, track_map, cursor_markers, ...); the
// window calls it from its plotting pass and forwards keys to it.

#include <QObject>
#include <array>
#include <functional>

#include "common/host.h"
#include "state/program_state.h"
#include "viewer/cursor_markers.h"
#include "viewer/lap_overlay.h"
#include "viewer/plot_pass.h"
#include "viewer/track_map.h"
#include "viewer/zoom_keys.h"

class QKeyEvent;
class QTabBar;

namespace ardenvis::ui {

class Chart;
class DataSelectPanel;
class GCirclePage;
class LapTimesPage;
class MarkerPanel;
class OptionPanel;
class PlotPage;
class TrackMapPage;
class ViewPanel;

// What the analysis works with, and the window's handlers it calls back.
struct LapAnalysisParts {
  PlotPage* plot = nullptr;
  LapTimesPage* laps = nullptr;
  TrackMapPage* track = nullptr;
  GCirclePage* g_circle = nullptr;
  DataSelectPanel* data = nullptr;
  ViewPanel* view = nullptr;
  MarkerPanel* markers = nullptr;
  OptionPanel* options = nullptr;
  QTabBar* right_tabs = nullptr;
  std::function<void()> reload_engine_data;
  std::function<void()> redraw_engine_data;
  std::function<void()> refresh_engine_data;
  std::function<void()> change_view_mode;
  std::function<void()> rebuild_lap_grids;  // updateSplitInfo
  std::function<void()> zoom_plot_full;
};

class LapAnalysis : public QObject {
  Q_OBJECT
 public:
  LapAnalysis(core::ProgramState& state, core::Host& host, LapAnalysisParts parts,
              QObject* parent = nullptr);

  const core::LapOverlay& overlay() const { return overlay_; }

  // The plotting pass: the overlay's laps in the settings, the G circle
  // points before a selection's channels, the slips after, its statistics.
  void fill_overlay(core::PlotSettings& settings) const;
  void draw_g_points(const core::PlotSelection& selection, const core::PlotSettings& settings);
  void draw_slips(const core::PlotSelection& selection, const core::PlotSettings& settings);
  void update_stats(const core::PlotSelection& selection, const core::PlotSettings& settings);
  // Cleared G circles get their scale back (changeGCircleScale).
  void changeGCircleScale();
  // The end of reload and refresh: in "Lap Overlay" the track map lap's track
  // and the marker dots.
  void track_map_step();

  // The lap selectors, split count and grid changes.
  void lapPlotUpdate(int sender);
  // "Lap Overlay" chosen: false when no slot has laps (the mode goes back).
  bool enter_overlay();
  void leave_overlay();
  // change_x_axis: statistics only on time, slips as the axis allows, the
  // readout and cursor labels of the old axis hidden.
  void x_axis_changed(int x_axis);
  // "Markers" off, their fields, dots and cursor labels gone.
  void clear_markers();
  // Window shown.
  void window_shown();
  // The lap selectors were emptied and refilled: the laps they held go, and
  // with them the slips, the tracks, the track map lap and the beacon shift.
  void lap_selectors_refilled();

  // ctrltoZOOM / ctrlendZoom. True when the key was a function key it used.
  bool key_down(QKeyEvent* event);
  void key_up();

 private:
  // Track map.
  void trackPlot(int selection);
  void draw_track(int selection, bool details, bool recompute);
  // The track map of `selection`, over the other lap's track when both are
  // shown; `recompute` false only redraws (the line widths changed).
  void draw_track_map(int selection, bool recompute);
  void rotateMap();
  void changeLinescale();
  void changeMapSource(bool from_overlay_box);
  void selectTrack();
  // Cursor, markers, dots.
  void get_cursor_position(bool inside, double x, double y);
  void cursorControl();
  void update_markers();
  void update_blobs(core::DotRule rule);
  void clear_blobs();
  void update_lap_info();
  // Zoom.
  void zoom(core::ZoomChart chart, bool in);
  void zoom_full(core::ZoomChart chart);
  void shiftbeacon();
  void g_axis_toggled(core::DataSetId slot, int toggle);

  bool lap_overlay() const;
  int x_axis() const;
  core::ViewPage page() const;
  Chart* chart_of(core::ZoomChart chart) const;

  core::ProgramState& state_;
  core::Host& host_;
  LapAnalysisParts parts_;
  core::LapOverlay overlay_;
  core::FunctionKeys keys_;
  std::array<core::TrackCoordinates, 2> tracks_;
  int track_map_lap_ = 0;  // 0 none, 1 or 2
  bool cursor_inside_ = false;
};

}  // namespace ardenvis::ui
