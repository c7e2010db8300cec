#pragma once
// The boxes of the "File" panel of "View Data" that keep and hand on what the
// viewer shows: "Display Preferences" (load and save a preference file),
// "Plot Output" (clipboard, bitmap file, printer, a figure as PNG, SVG or
// PDF, and the session report of data set A) and "Further Lap Analysis"
// (one chosen lap exported for MoTeC).

#include <QGroupBox>

class QComboBox;

namespace ardenvis::ui {

class DisplayPreferencesBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit DisplayPreferencesBox(QWidget* parent = nullptr);
 signals:
  void load_clicked();
  void save_clicked();
};

class PlotOutputBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit PlotOutputBox(QWidget* parent = nullptr);
 signals:
  void clipboard_clicked();
  void bitmap_clicked();
  void print_clicked();
  void figure_clicked();
  void report_clicked();
};

class LapExportBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit LapExportBox(QWidget* parent = nullptr);
  // 1 or 2 for "Lap Selection 1" / "Lap Selection 2"; 0 while none is chosen.
  int chosen_selection() const;
 signals:
  void export_clicked();

 private:
  QComboBox* selection_ = nullptr;
};

}  // namespace ardenvis::ui
