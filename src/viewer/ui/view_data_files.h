#pragma once
// What "View Data" keeps and hands on: display preference files, the plot's
// labels and their files, the lap export, the chart to the clipboard, a bitmap
// file or a printer, and the background logo. The window owns one of these and
// forwards the buttons; the rules are in core (viewer/display_preferences,
// plot_labels, lap_export, plot_output).

#include <QObject>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "common/host.h"
#include "state/program_state.h"
#include "viewer/display_preferences.h"
#include "viewer/lap_selection.h"
#include "viewer/plot_labels.h"
#include "viewer/plot_output.h"

class QPainter;
class QPaintDevice;
class QPrinter;
class QWidget;

namespace ardenvis::ui {

class Chart;
class DataSelectPanel;
class FilePanel;
class LabelsBox;
class OptionPanel;
class ViewPanel;

class ViewDataFiles : public QObject {
  Q_OBJECT
 public:
  // The window's parts this works with.
  struct Parts {
    QWidget* window = nullptr;  // parent of the printer dialog
    FilePanel* file_panel = nullptr;
    DataSelectPanel* data_panel = nullptr;
    OptionPanel* option_panel = nullptr;
    ViewPanel* view_panel = nullptr;
    LabelsBox* labels_box = nullptr;
    Chart* plot_chart = nullptr;
    Chart* track_chart = nullptr;
    Chart* gcircle_chart = nullptr;
    // The right-hand page the user looks at.
    std::function<core::ViewPage()> current_page;
    // The lap "Selection 1:" (k = 1) or "Selection 2:" (k = 2) holds.
    std::function<core::LapSelection(int k)> lap_selection;
    // The cursor readout a "Set Label" click at (x, y) pins.
    std::function<QString(double x, double y)> readout_text;
  };

  ViewDataFiles(core::ProgramState& state, core::Host& host, Parts parts,
                QObject* parent = nullptr);

  // "Load File" (LoadButton) or the window being shown (WindowShown).
  void load_cfg_data(core::PreferenceSource source);
  void save_cfg_data();

  // A click on the plot at layer 1 coordinates.
  void set_cursor_down(double x, double y);
  void change_cursor_mode();
  void clear_labels();
  void clear_last_label();
  void save_lab_data();
  void load_lab_data();
  const core::PlotLabels& labels() const { return labels_; }

  void save_lap_data();

  void SavePlotClipBoardBitmap();
  void SavePlotFileBitmap();
  void PrintPlot();
  // "Save Figure...": the chart of the current page as PNG, SVG or PDF.
  void save_figure();
  // "Session Report...": the report of data set A as a PDF. `venue` is
  // where the session library tells the report the venue it knows.
  void save_session_report();
  std::function<std::optional<std::string>(const core::DataSet& set, int session)> venue;
  // Paints the printed page onto any device in its own units (the printer's,
  // or an image's for a preview).
  void paint_print_page(QPainter& painter, const QPaintDevice& device);

  // "BackGround Logo On" clicked (report_missing) or the window shown (a
  // missing logo is silently no picture).
  void updateLogo(bool report_missing);

  // Asks where to print; the printer dialog unless replaced.
  std::function<bool(QPrinter& printer)> print_dialog;
  // Asks for a figure's size, starting at the chart's size on screen;
  // nullopt when cancelled. The "Figure Size" dialog unless replaced.
  std::function<std::optional<QSize>(const QSize& start)> figure_size_dialog;

 signals:
  // A preference file was applied to the controls and the data; `before`
  // are the units and calibration that held until then. `redraw` says the
  // plot is to be drawn again now.
  void preferences_applied(core::UnitFlags before, bool calibration_before, bool redraw);

 private:
  core::DisplayPreferences current_preferences() const;
  Chart* output_chart() const;
  void show_labels();

  core::ProgramState& state_;
  core::Host& host_;
  Parts parts_;
  core::PlotLabels labels_;
};

}  // namespace ardenvis::ui
