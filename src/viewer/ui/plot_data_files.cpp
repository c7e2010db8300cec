// TForm10's wiring of what it keeps and hands on (ViewDataFiles): preference
// files, labels, the lap export, plot output and the logo.

#include <QTabBar>

#include "viewer/cursor_markers.h"
#include "viewer/ui/data_select_panel.h"
#include "viewer/ui/file_output_boxes.h"
#include "viewer/ui/file_panel.h"
#include "viewer/ui/g_circle_page.h"
#include "viewer/ui/labels_box.h"
#include "viewer/ui/lap_analysis.h"
#include "viewer/ui/lap_times_page.h"
#include "viewer/ui/marker_panel.h"
#include "viewer/ui/option_panel.h"
#include "viewer/ui/plot_data.h"
#include "viewer/ui/plot_page.h"
#include "viewer/ui/track_map_page.h"
#include "viewer/ui/view_data_files.h"
#include "viewer/ui/view_panel.h"
#include "widgets/chart.h"

namespace ardenvis::ui {

void TForm10::wire_files() {
  ViewDataFiles::Parts parts;
  parts.window = this;
  parts.file_panel = file_panel_;
  parts.data_panel = data_panel_;
  parts.option_panel = option_panel_;
  parts.view_panel = view_panel_;
  parts.labels_box = marker_panel_->labels_box();
  parts.plot_chart = plot_page_->chart();
  parts.track_chart = track_page_->chart();
  parts.gcircle_chart = gcircle_page_->chart();
  parts.current_page = [this] { return static_cast<core::ViewPage>(right_tabs_->currentIndex()); };
  // The record the overlay holds for "Selection 1:" / "Selection 2:", only
  // while that selector holds a lap.
  parts.lap_selection = [this](int k) {
    if (lap_page_->lap_positions()[k == 2 ? 1 : 0] < 0) return core::LapSelection{};
    return analysis_->overlay().selection(k);
  };
  parts.readout_text = [this](double x, double y) {
    const core::DisplayMode mode =
        view_panel_->lap_overlay() ? core::DisplayMode::LapOverlay : core::DisplayMode::AllPlotData;
    return QString::fromStdString(core::cursor_readout(state_, mode, data_panel_->x_axis_choice(),
                                                       analysis_->overlay().selections(), x, y));
  };
  files_ = new ViewDataFiles(state_, host_, std::move(parts), this);

  DisplayPreferencesBox* preferences = file_panel_->preferences_box();
  connect(preferences, &DisplayPreferencesBox::load_clicked, files_,
          [this] { files_->load_cfg_data(core::PreferenceSource::LoadButton); });
  connect(preferences, &DisplayPreferencesBox::save_clicked, files_, &ViewDataFiles::save_cfg_data);
  connect(files_, &ViewDataFiles::preferences_applied, this, &TForm10::preferences_applied);

  PlotOutputBox* output = file_panel_->plot_output_box();
  connect(output, &PlotOutputBox::clipboard_clicked, files_,
          &ViewDataFiles::SavePlotClipBoardBitmap);
  connect(output, &PlotOutputBox::bitmap_clicked, files_, &ViewDataFiles::SavePlotFileBitmap);
  connect(output, &PlotOutputBox::print_clicked, files_, &ViewDataFiles::PrintPlot);
  connect(output, &PlotOutputBox::figure_clicked, files_, &ViewDataFiles::save_figure);
  connect(output, &PlotOutputBox::report_clicked, files_, &ViewDataFiles::save_session_report);
  connect(file_panel_->lap_export_box(), &LapExportBox::export_clicked, files_,
          &ViewDataFiles::save_lap_data);
  connect(file_panel_, &FilePanel::logo_clicked, files_, [this] { files_->updateLogo(true); });

  LabelsBox* labels = marker_panel_->labels_box();
  connect(plot_page_->chart(), &Chart::clicked, files_, &ViewDataFiles::set_cursor_down);
  connect(labels, &LabelsBox::mode_changed, files_, &ViewDataFiles::change_cursor_mode);
  connect(labels, &LabelsBox::clear_all_clicked, files_, &ViewDataFiles::clear_labels);
  connect(labels, &LabelsBox::clear_last_clicked, files_, &ViewDataFiles::clear_last_label);
  connect(labels, &LabelsBox::save_clicked, files_, &ViewDataFiles::save_lab_data);
  connect(labels, &LabelsBox::load_clicked, files_, &ViewDataFiles::load_lab_data);
}

void TForm10::preferences_applied(core::UnitFlags before, bool calibration_before, bool redraw) {
  const core::UnitFlags& now = state_.unit_flags;
  refresh_unit_labels();
  data_panel_->enable_line_styles();
  change_grid_mode();
  // The lap tables show speeds and distances; the x-axis copy holds the old
  // values of whatever series a switch converted.
  if (now.speed_kmh != before.speed_kmh || now.distance_feet != before.distance_feet) {
    processLaps(core::LapBuildSender::Other);
  }
  if (!(now == before) || state_.speed_calibration != calibration_before) change_x_axis();
  if (redraw && isVisible()) redraw_engine_data();
}

}  // namespace ardenvis::ui
