#pragma once
// TForm10: "View Data". Plots the channels of data sets A and B against a
// chosen x-axis, converts units, smooths, and shows the lap tables. Each tab
// page and left-hand panel is its own class; this window owns what they share
// (the program state, the lap tables, the progress window) and wires them.
// The rules live in core (viewer/).

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/host.h"
#include "state/program_state.h"
#include "viewer/lap_times.h"
#include "viewer/plot_pass.h"
#include "widgets/pelorant_window.h"

namespace ardenvis::core {
class MathChannels;
struct MathChannelDefinition;
}  // namespace ardenvis::core

class QGroupBox;
class QStackedWidget;
class QTabBar;

namespace ardenvis::ui {

class Chart;
class DataSelectPanel;
class FilePanel;
class GCirclePage;
class LapAnalysis;
class LapTimesPage;
class MarkerPanel;
class MathChannelsWindow;
class NotesPage;
class OptionPanel;
class PlotPage;
class TForm20;
class TrackMapPage;
class ViewDataFiles;
class ViewPanel;

class TForm10 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm10(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);
  ~TForm10() override;

  Chart* plot_chart() const;
  TForm20* progress_window() const { return progress_; }
  // Preferences, labels, lap export, plot output and the logo.
  ViewDataFiles* files() const { return files_; }
  // The left-hand "File" panel.
  FilePanel* file_panel() const { return file_panel_; }

  // Handlers (the window's own names).
  void setup_form_10();
  void plot_engine_data(const core::PlotSelection& selection);
  void refresh_engine_data();
  void redraw_engine_data();
  void reload_engine_data();
  void change_data_axis();
  void change_x_axis();
  void change_display_mode();
  void change_axis_mode();
  void change_view_mode();
  void change_mph_kmh();
  void change_degC_degF();
  void change_psi_bar();
  void change_metre_feet();
  void changeSvaCal();
  void smoothData();
  void change_grid_mode();
  void enable_line_display();
  void loadDataSetA();
  void loadDataSetB();
  // What "Load Data Set A/B" runs; a file `named` (dropped, picked from the
  // recent files, given on the command line) is loaded without the dialog.
  // True when the slot took the file.
  bool load_data_set(core::DataSetId slot, const std::optional<std::string>& named = std::nullopt);
  void tabPlotOptions(int page);
  void tabViewOptions(int page);
  void adjustBoxesonResize();
  void clear_plot_data();
  void zoomFull();
  void change_mouse_mode();
  void processLaps(core::LapBuildSender sender);
  void update_lap_combo();
  // "Math Channels..." on the "Math" tab of "Data Select".
  void open_math_channels();
  MathChannelsWindow* math_channels_window() const { return math_window_; }

 signals:
  // A log data file was loaded into a slot; the log data location names it.
  void log_file_loaded();
  void back_to_main();
  void back_to_log_menu();

 protected:
  void activated() override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  // A log data file dropped on the left half loads into A, on the right into B.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* build_left_panel();
  void wire_panels();
  void wire_files();
  // After a preference file set the controls: labels, grid, lines, the lap
  // tables a unit switch affects, and the plot.
  void preferences_applied(core::UnitFlags before, bool calibration_before, bool redraw);
  core::PlotSettings plot_settings() const;
  void refresh_unit_labels();
  // After a unit switch or the calibration: labels, x-axis copy, plot.
  void units_switched(const core::UnitFlags& before);
  void refresh_name_boxes();
  void copy_notes(core::DataSetId slot);
  void leave(bool to_log_menu);
  void set_plot_progress(int percent);
  // "All Plot Data" in the "Data" selector and in every caption that names
  // the mode (the plot and G circle pages, the line groups, the track page);
  // the caller plots.
  void set_all_plot_data();
  void draw_selections(bool fit_full_range, bool auto_scale);
  // The user's math channels: read from the library file, shown in the lists,
  // and worked out for each loaded data set (again whenever its series may
  // have changed).
  void load_math_channels();
  void use_math_channels(const std::vector<core::MathChannelDefinition>& channels);
  void update_math_series();
  // The X scale caption of an x-axis choice (a math channel's name and unit).
  QString x_axis_caption(int choice) const;

  core::ProgramState& state_;
  core::Host& host_;
  TForm20* progress_;
  core::LapTimes lap_times_;

  QTabBar* left_tabs_ = nullptr;
  std::array<QGroupBox*, 5> left_boxes_{};
  QTabBar* right_tabs_ = nullptr;
  QStackedWidget* right_pages_ = nullptr;

  // Left-hand panels: "File", "Data", "View", "Marker", "Option".
  FilePanel* file_panel_ = nullptr;
  DataSelectPanel* data_panel_ = nullptr;
  ViewPanel* view_panel_ = nullptr;
  MarkerPanel* marker_panel_ = nullptr;
  OptionPanel* option_panel_ = nullptr;

  // Tab pages.
  PlotPage* plot_page_ = nullptr;
  LapTimesPage* lap_page_ = nullptr;
  std::array<NotesPage*, 2> notes_pages_{};
  TrackMapPage* track_page_ = nullptr;
  GCirclePage* gcircle_page_ = nullptr;

  // Overlay, track map, G circle, markers, statistics and function keys.
  LapAnalysis* analysis_ = nullptr;
  ViewDataFiles* files_ = nullptr;

  std::unique_ptr<core::MathChannels> math_;
  std::vector<std::string> math_problems_;  // library lines left out
  MathChannelsWindow* math_window_ = nullptr;
};

}  // namespace ardenvis::ui
