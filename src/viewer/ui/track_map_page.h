#pragma once
// "Track Map" page of "View Data": the track of the track map lap, its
// options (source, rotate and shape, colouring, plot mode, grid, overlay),
// the delta segment legend and the track details.

#include <QGroupBox>
#include <array>

#include "viewer/track_drawing.h"
#include "viewer/track_map.h"
#include "viewer/zoom_keys.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace ardenvis::ui {

class Chart;

class TrackMapPage : public QGroupBox {
  Q_OBJECT
 public:
  explicit TrackMapPage(QWidget* parent = nullptr);

  Chart* chart() const { return chart_; }
  // The note that the map needs "Lap Overlay" mode; also why a lap has no track.
  void show_mode_note(bool shown);
  void show_problem(const QString& problem);

  core::TrackOptions track_options() const;
  core::TrackDrawOptions draw_options() const;
  bool overlay_tracks() const;
  // "Track Map Lap": 1 or 2 ("Selection 1", "Selection 2"); set without signal.
  int track_map_lap_choice() const;
  void set_track_map_lap_choice(int selection);
  void set_track_map_lap_enabled(bool enabled);
  void set_zoom_enabled(bool enabled);
  void reset_zoom();

  void show_details(const core::TrackDetails& details);
  void show_legend(bool shown);
  void set_view_braking_enabled(bool enabled);

  // Draws one track (strokes and dots) on a chart.
  static void paint_track(Chart& chart, const core::TrackCoordinates& track,
                          const std::vector<core::TrackStroke>& strokes,
                          const std::vector<core::TrackDot>& dots);
  // "Full" on the track map and the lap track window.
  void zoom_full(Chart* lap_window);

 signals:
  void rotate_changed();                       // rotateMap
  void line_scale_changed();                   // changeLinescale
  void source_changed(bool from_overlay_box);  // changeMapSource
  void track_map_lap_selected();               // selectTrack
  void redraw_requested();                     // redraw_engine_data
  void full_clicked();

 private:
  void trackMapGrid();
  void changeChart2_ZoomMode();
  void enable_source_sliders();

  Chart* chart_ = nullptr;
  QLabel* note_ = nullptr;
  QComboBox* track_map_lap_ = nullptr;
  QComboBox* source_ = nullptr;
  QSlider* rotate_ = nullptr;
  QSlider* shape_ = nullptr;
  QComboBox* analysis_ = nullptr;
  QCheckBox* view_braking_ = nullptr;
  QCheckBox* delta_width_ = nullptr;
  QSlider* width_ = nullptr;
  QComboBox* plot_mode_ = nullptr;
  QComboBox* grid_style_ = nullptr;
  QCheckBox* overlay_tracks_ = nullptr;
  QCheckBox* dotted_selection_2_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QGroupBox* legend_ = nullptr;
  std::array<QLabel*, 6> details_{};
};

}  // namespace ardenvis::ui
