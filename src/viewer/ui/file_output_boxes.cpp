#include "viewer/ui/file_output_boxes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

DisplayPreferencesBox::DisplayPreferencesBox(QWidget* parent)
    : QGroupBox("Display Preferences", parent) {
  setObjectName("displayPreferencesBox");
  auto* layout = new QHBoxLayout(this);
  QPushButton* load = PelorantWindow::make_button(
      "Load File",
      "Load a configuration file for preffered data channels and line colours on startup.",
      "loadPreferencesButton", this);
  QPushButton* save = PelorantWindow::make_button(
      "Save File", "Save preffered startup data channels and line colours to file.",
      "savePreferencesButton", this);
  layout->addWidget(load);
  layout->addWidget(save);
  connect(load, &QPushButton::clicked, this, &DisplayPreferencesBox::load_clicked);
  connect(save, &QPushButton::clicked, this, &DisplayPreferencesBox::save_clicked);
}

PlotOutputBox::PlotOutputBox(QWidget* parent) : QGroupBox("Plot Output", parent) {
  setObjectName("plotOutputBox");
  auto* layout = new QGridLayout(this);
  QPushButton* clipboard = PelorantWindow::make_button(
      "Send to ClipBoard", "Print plot window to PC clipboard memory area.", "clipboardButton",
      this);
  QPushButton* bitmap = PelorantWindow::make_button(
      "Print to File .bmp", "Print the plot area to a file to print later.", "bitmapButton", this);
  QPushButton* print = PelorantWindow::make_button(
      "Print to Device", "Print the plot area to available printer.", "printButton", this);
  layout->addWidget(clipboard, 0, 0);
  layout->addWidget(bitmap, 0, 1);
  QPushButton* figure = PelorantWindow::make_button(
      "Save Figure...", "Save the plot area as a PNG, SVG or PDF file of a chosen size.",
      "saveFigureButton", this);
  layout->addWidget(print, 1, 0);
  layout->addWidget(figure, 1, 1);
  QPushButton* report = PelorantWindow::make_button(
      "Session Report...", "Save a printable PDF report of the session in Data A.",
      "sessionReportButton", this);
  layout->addWidget(report, 2, 0, 1, 2);
  connect(figure, &QPushButton::clicked, this, &PlotOutputBox::figure_clicked);
  connect(report, &QPushButton::clicked, this, &PlotOutputBox::report_clicked);
  connect(clipboard, &QPushButton::clicked, this, &PlotOutputBox::clipboard_clicked);
  connect(bitmap, &QPushButton::clicked, this, &PlotOutputBox::bitmap_clicked);
  connect(print, &QPushButton::clicked, this, &PlotOutputBox::print_clicked);
}

LapExportBox::LapExportBox(QWidget* parent) : QGroupBox("Further Lap Analysis", parent) {
  setObjectName("furtherLapAnalysisBox");
  auto* layout = new QHBoxLayout(this);
  selection_ = new QComboBox(this);
  selection_->setObjectName("lapExportSelection");
  selection_->addItems({"Lap Selection 1", "Lap Selection 2"});
  selection_->setCurrentIndex(-1);  // no choice at start
  QPushButton* export_lap = PelorantWindow::make_button(
      "Export Lap", "Export the selected lap to CSV file.", "exportLapButton", this);
  layout->addWidget(selection_, 1);
  layout->addWidget(export_lap);
  connect(export_lap, &QPushButton::clicked, this, &LapExportBox::export_clicked);
}

int LapExportBox::chosen_selection() const { return selection_->currentIndex() + 1; }

}  // namespace ardenvis::ui
