#include "viewer/ui/view_data_files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "link/unit_session.h"
#include "viewer/figure_output.h"
#include "viewer/lap_export.h"
#include "viewer/session_report.h"
#include "viewer/ui/data_select_panel.h"
#include "viewer/ui/file_output_boxes.h"
#include "viewer/ui/file_panel.h"
#include "viewer/ui/labels_box.h"
#include "viewer/ui/option_panel.h"
#include "viewer/ui/session_report_pdf.h"
#include "viewer/ui/view_panel.h"
#include "widgets/chart.h"
#include "widgets/figure_file.h"

namespace ardenvis::ui {

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

ViewDataFiles::ViewDataFiles(core::ProgramState& state, core::Host& host, Parts parts,
                             QObject* parent)
    : QObject(parent),
      state_(state),
      host_(host),
      parts_(std::move(parts)),
      labels_(state.label_counter) {
  print_dialog = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, parts_.window);
    return dialog.exec() == QDialog::Accepted;
  };
  figure_size_dialog = [this](const QSize& start) { return ask_figure_size(start, parts_.window); };
}

// ---------------------------------------------------------------------------
// Display preferences.

core::DisplayPreferences ViewDataFiles::current_preferences() const {
  core::DisplayPreferences preferences;
  parts_.data_panel->fill_preferences(preferences);
  parts_.option_panel->fill_preferences(preferences);
  return preferences;
}

void ViewDataFiles::load_cfg_data(core::PreferenceSource source) {
  core::DisplayPreferences preferences = current_preferences();
  const core::UnitFlags units_before = state_.unit_flags;
  const bool calibration_before = state_.speed_calibration;
  const core::PreferenceLoad loaded = core::load_cfg_data(state_, host_, preferences, source);
  if (loaded == core::PreferenceLoad::NotLoaded) return;
  parts_.data_panel->show_preferences(preferences);
  parts_.option_panel->show_preferences(preferences);
  // Shown with the window, the plot is drawn by the window's own set-up next.
  emit preferences_applied(units_before, calibration_before,
                           source == core::PreferenceSource::LoadButton);
}

void ViewDataFiles::save_cfg_data() { core::save_cfg_data(state_, host_, current_preferences()); }

// ---------------------------------------------------------------------------
// Labels.

void ViewDataFiles::show_labels() {
  Chart* chart = parts_.plot_chart;
  const bool visible = core::labels_visible(parts_.labels_box->mode());
  for (int i = 1; i <= core::kPlotLabelCount; ++i) {
    const core::PlotLabel& label = labels_.label(i);
    chart->set_label(i, label.x, label.y, qs(label.caption));
    chart->set_label_visible(i, visible);
  }
  chart->repaint_chart();
}

void ViewDataFiles::set_cursor_down(double x, double y) {
  // While the mouse zooms or pans, a click places nothing.
  if (parts_.view_panel->zoom_pan_choice() != 0) return;
  const core::LabelMode mode = parts_.labels_box->mode();
  if (mode != core::LabelMode::SetLabel && mode != core::LabelMode::SetText) return;
  const std::string readout = parts_.readout_text ? parts_.readout_text(x, y).toStdString() : "";
  labels_.place(host_, mode, x, y, readout, parts_.labels_box->free_text());
  show_labels();
}

void ViewDataFiles::change_cursor_mode() { show_labels(); }

void ViewDataFiles::clear_labels() {
  labels_.clear_all();
  show_labels();
}

void ViewDataFiles::clear_last_label() {
  labels_.clear_last();
  show_labels();
}

void ViewDataFiles::save_lab_data() { labels_.save(state_, host_); }

void ViewDataFiles::load_lab_data() {
  if (!labels_.load(state_, host_)) return;
  show_labels();
  parts_.labels_box->set_mode(core::LabelMode::View);
}

// ---------------------------------------------------------------------------
// Lap export.

void ViewDataFiles::save_lap_data() {
  const int chosen = parts_.file_panel->lap_export_box()->chosen_selection();
  std::optional<core::ExportLap> lap;
  if (chosen > 0 && parts_.lap_selection) lap = core::export_lap(parts_.lap_selection(chosen));
  core::save_lap_data(state_, host_, lap);
}

// ---------------------------------------------------------------------------
// Clipboard, bitmap file, printer.

Chart* ViewDataFiles::output_chart() const {
  const core::ViewPage page =
      parts_.current_page ? parts_.current_page() : core::ViewPage::PlotData;
  switch (core::output_chart(page)) {
    case core::OutputChart::TrackMap:
      return parts_.track_chart;
    case core::OutputChart::GCircle:
      return parts_.gcircle_chart;
    case core::OutputChart::Plot:
      break;
  }
  return parts_.plot_chart;
}

void ViewDataFiles::SavePlotClipBoardBitmap() {
  output_chart()->copy_to_clipboard();
  host_.message(core::MessageKind::Information, core::plot_output_message::clipboard_done,
                core::Buttons::Ok);
}

void ViewDataFiles::SavePlotFileBitmap() {
  const core::FileLocation& location = state_.file(core::FileKind::PlotPicture);
  const auto typed =
      host_.save_file({core::kBitmapTitle, core::kBitmapFilter, location.folder, location.name});
  if (!typed || typed->empty()) {
    host_.message(core::MessageKind::Warning, core::plot_output_message::bitmap_cancelled,
                  core::Buttons::Ok);
    return;
  }
  const QString path = qs(core::bitmap_file_name(*typed));
  if (!output_chart()->save_bitmap(path)) {
    host_.message(core::MessageKind::Error, core::plot_output_message::bitmap_problem,
                  core::Buttons::Ok);
  }
}

void ViewDataFiles::paint_print_page(QPainter& painter, const QPaintDevice& device) {
  const core::ViewPage page =
      parts_.current_page ? parts_.current_page() : core::ViewPage::PlotData;
  const core::OutputChart which = core::output_chart(page);
  const core::PrintLayout layout = core::print_layout(state_, which);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(core::kPrintLeft, core::kPrintTitleTop), qs(layout.title));
  painter.drawText(QPoint(core::kPrintLeft, core::kPrintDataATop), qs(layout.data_a));
  painter.drawText(QPoint(core::kPrintLeft, core::kPrintDataBTop), qs(layout.data_b));
  // The page is laid out in the device's own units; the chart keeps 0.8 of
  // its size on screen whatever the printer's resolution, and a chart wider
  // or taller than what is left of the page is made to fit rather than cut.
  Chart* chart = output_chart();
  const double to_device =
      static_cast<double>(device.logicalDpiX()) / std::max(chart->logicalDpiX(), 1);
  const double fit_width =
      static_cast<double>(device.width() - 2 * core::kPrintLeft) / std::max(chart->width(), 1);
  const double fit_height =
      static_cast<double>(device.height() - core::kPrintChartTop - core::kPrintLeft) /
      std::max(chart->height(), 1);
  const double scale =
      std::max(0.0, std::min({core::kPrintChartScale * to_device, fit_width, fit_height}));
  chart->render_into(painter, QPoint(core::kPrintLeft, core::kPrintChartTop), scale);
}

void ViewDataFiles::PrintPlot() {
  QPrinter printer(QPrinter::HighResolution);
  if (!print_dialog(printer)) return;
  QPainter painter;
  if (!painter.begin(&printer)) return;
  paint_print_page(painter, printer);
  painter.end();
}

void ViewDataFiles::save_figure() {
  const core::ViewPage page =
      parts_.current_page ? parts_.current_page() : core::ViewPage::PlotData;
  const auto file = core::choose_figure_file(state_, host_, core::output_chart(page));
  if (!file) return;
  Chart* chart = output_chart();
  const core::FigureSize start = core::default_figure_size(chart->width(), chart->height());
  const auto size = figure_size_dialog(QSize(start.width, start.height));
  if (!size) {
    host_.message(core::MessageKind::Warning, core::file_message::cancelled_no_data_saved,
                  core::Buttons::Ok);
    return;
  }
  // The dialog took only names with one of the figure extensions.
  const core::FigureFormat format =
      core::figure_format(file->path).value_or(core::FigureFormat::Png);
  bool written = false;
  {
    core::BusyCursor busy(host_);
    written = write_figure(chart_figure(*chart), qs(file->path), format, *size);
  }
  if (!written) {
    host_.message(core::MessageKind::Error, core::figure_message::problem, core::Buttons::Ok);
    return;
  }
  core::remember(state_.file(core::FileKind::Figure), *file);
  host_.message(core::MessageKind::Information, core::file_message::file_saved_ok,
                core::Buttons::Ok);
}

void ViewDataFiles::save_session_report() {
  const core::DataSet& set = state_.data_sets[0];
  if (!set.has_data()) {
    host_.message(core::MessageKind::Information, core::report_message::no_data, core::Buttons::Ok);
    return;
  }
  core::FileLocation location = state_.file(core::FileKind::SessionReport);
  location.name = core::report_default_name(set.file_name);
  const auto file = core::choose_file_to_save(host_, location, core::kReportTitle,
                                              core::kReportFilter, core::kReportExtension);
  if (!file) return;
  core::ReportOptions options;
  options.venue = venue;
  const QFileInfo log(qs(state_.file(core::FileKind::LogData).folder + set.file_name));
  if (!set.file_name.empty() && log.exists()) {
    options.file_time = static_cast<std::time_t>(log.lastModified().toSecsSinceEpoch());
  }
  std::string problem;
  const auto report = core::build_session_report(state_, core::DataSetId::A, options, &problem);
  if (!report) {
    host_.message(core::MessageKind::Information, problem, core::Buttons::Ok);
    return;
  }
  bool written = false;
  {
    core::BusyCursor busy(host_);
    written = write_session_report(*report, qs(file->path));
  }
  if (!written) {
    host_.message(core::MessageKind::Error, core::report_message::problem, core::Buttons::Ok);
    return;
  }
  core::remember(state_.file(core::FileKind::SessionReport), *file);
  host_.message(core::MessageKind::Information, core::file_message::file_saved_ok,
                core::Buttons::Ok);
}

// ---------------------------------------------------------------------------
// Background logo.

void ViewDataFiles::updateLogo(bool report_missing) {
  Chart* chart = parts_.plot_chart;
  const QString logo = QCoreApplication::applicationDirPath() + "/" + core::kLogoFile;
  if (parts_.file_panel->logo_on()) {
    if (!(QFileInfo::exists(logo) && chart->set_background_image(logo))) {
      chart->clear_background_image();
      if (report_missing) {
        host_.message(core::MessageKind::Warning, core::plot_output_message::logo_missing,
                      core::Buttons::Ok);
      }
    }
  } else {
    chart->clear_background_image();
  }
  chart->repaint_chart();
}

}  // namespace ardenvis::ui
