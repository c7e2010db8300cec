#pragma once
// TForm10: "View Data". Plots the channels of data sets A and B against a
// chosen x-axis, converts units, smooths, and shows the lap tables. The rules
// live in core (viewer/); this window binds its controls to them.

#include <array>

#include "common/host.h"
#include "state/program_state.h"
#include "viewer/lap_times.h"
#include "viewer/plot_pass.h"
#include "widgets/pelorant_window.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTableView;

namespace ardenvis::ui {

class Chart;
class LapGridModel;
class TForm20;

class TForm10 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm10(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);
  ~TForm10() override;

  Chart* plot_chart() const { return plot_chart_; }
  TForm20* progress_window() const { return progress_; }

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
  void tabPlotOptions(int page);
  void tabViewOptions(int page);
  void adjustBoxesonResize();
  void clear_plot_data();
  void zoomFull();
  void change_mouse_mode();
  void processLaps(core::LapBuildSender sender);
  void update_lap_combo();

 signals:
  void back_to_main();
  void back_to_log_menu();

 protected:
  void activated() override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct ChannelRow {
    QComboBox* colour_a;
    QComboBox* colour_b;
    QCheckBox* shown;
    QLabel* unit;
  };

  QWidget* build_left_panel();
  QGroupBox* build_load_box();
  QGroupBox* build_data_select_box();
  QGroupBox* build_view_box();
  QGroupBox* build_marker_box();
  QGroupBox* build_options_box();
  QWidget* build_plot_page();
  QWidget* build_lap_page();
  QWidget* build_notes_page(core::DataSetId slot);
  QWidget* build_track_page();
  QWidget* build_gcircle_page();
  QComboBox* make_colour_box(uint32_t colour, const QString& name);

  core::PlotSettings plot_settings() const;
  core::LapTimeOptions lap_options() const;
  bool any_channel_checked() const;
  void refresh_unit_labels();
  void refresh_lap_panels();
  void refresh_name_boxes();
  void load_data_set(core::DataSetId slot);
  void copy_notes(core::DataSetId slot);
  void leave(bool to_log_menu);
  void set_plot_progress(int percent);
  void draw_selections(bool fit_full_range, bool auto_scale);

  core::ProgramState& state_;
  core::Host& host_;
  TForm20* progress_;
  core::LapTimes lap_times_;

  QTabBar* left_tabs_ = nullptr;
  std::array<QGroupBox*, 5> left_boxes_{};
  QTabBar* right_tabs_ = nullptr;
  QStackedWidget* right_pages_ = nullptr;

  // "Data Select".
  std::array<ChannelRow, core::kPlotChannelCount> channels_{};
  QCheckBox* time_slip_ = nullptr;
  QCheckBox* odo_slip_ = nullptr;
  QComboBox* line_a_ = nullptr;
  QComboBox* line_b_ = nullptr;
  QCheckBox* visible_a_ = nullptr;
  QCheckBox* visible_b_ = nullptr;
  QGroupBox* line_a_box_ = nullptr;
  QGroupBox* line_b_box_ = nullptr;
  QComboBox* x_axis_ = nullptr;
  QCheckBox* b_on_second_axis_ = nullptr;

  // "View Options".
  QComboBox* display_mode_ = nullptr;
  QCheckBox* y_autoscale_ = nullptr;
  QComboBox* zoom_pan_ = nullptr;

  // "Options".
  QComboBox* speed_unit_ = nullptr;
  QComboBox* pressure_unit_ = nullptr;
  QComboBox* temperature_unit_ = nullptr;
  QComboBox* distance_unit_ = nullptr;
  QCheckBox* calibration_ = nullptr;
  QComboBox* smooth_channel_ = nullptr;
  QCheckBox* filter_when_loaded_ = nullptr;
  QComboBox* grid_lines_ = nullptr;
  QComboBox* grid_horizontal_ = nullptr;
  QComboBox* grid_vertical_ = nullptr;
  QComboBox* grid_enable_ = nullptr;
  double grid_x_spacing_ = 0;  // 0 = automatic
  double grid_y_spacing_ = 0;

  // "Load and Print Data".
  std::array<QLineEdit*, 2> loaded_from_{};
  std::array<QLineEdit*, 2> sample_rate_{};
  QCheckBox* logo_on_ = nullptr;

  // "Plot Data" page.
  Chart* plot_chart_ = nullptr;
  std::array<QLabel*, 2> name_captions_{};
  std::array<QLineEdit*, 2> name_boxes_{};
  QLabel* plot_mode_caption_ = nullptr;
  QProgressBar* plot_progress_ = nullptr;

  // "Lap Times" page.
  QWidget* lap_area_ = nullptr;
  std::array<QGroupBox*, 2> lap_panels_{};
  std::array<QTableView*, 2> lap_views_{};
  std::array<LapGridModel*, 2> lap_models_{};
  std::array<QLabel*, 2> lap_summaries_{};
  std::array<QPushButton*, 2> all_buttons_{};
  QGroupBox* lap_options_box_ = nullptr;
  QGroupBox* select_laps_box_ = nullptr;
  QComboBox* splits_ = nullptr;
  QComboBox* split_segment_ = nullptr;
  QCheckBox* sort_ = nullptr;
  QComboBox* sort_parameter_ = nullptr;
  QComboBox* sort_segment_ = nullptr;
  std::array<QComboBox*, 2> lap_selectors_{};

  // Notes, track map and G circle pages.
  std::array<QPlainTextEdit*, 2> notes_{};
  Chart* track_chart_ = nullptr;
  Chart* gcircle_chart_ = nullptr;
  QLabel* track_note_ = nullptr;
  QLabel* gcircle_mode_caption_ = nullptr;
};

}  // namespace ardenvis::ui
