#pragma once
// "File" panel of "View Data" ("Load and Print Data"): loading data sets A
// and B, where each came from and its sample rate, the background logo.

#include <QGroupBox>
#include <array>

#include "state/program_state.h"

class QCheckBox;
class QLineEdit;

namespace ardenvis::ui {

class DisplayPreferencesBox;
class RecentFilesButton;
class LapExportBox;
class PlotOutputBox;

class FilePanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit FilePanel(QWidget* parent = nullptr);

  // Shows what slot A (0) or B (1) holds; empty texts for an empty slot.
  void show_slot(size_t slot, const QString& loaded_from, const QString& sample_rate);
  bool logo_on() const;
  DisplayPreferencesBox* preferences_box() const { return preferences_box_; }
  PlotOutputBox* plot_output_box() const { return plot_output_box_; }
  LapExportBox* lap_export_box() const { return lap_export_box_; }
  // Beside "Load Data Set A" (slot 0) and "B" (1).
  RecentFilesButton* recent_files(size_t slot) const { return recent_[slot]; }

 signals:
  void load_requested(core::DataSetId slot);
  void logo_clicked();

 private:
  std::array<QLineEdit*, 2> loaded_from_{};
  std::array<QLineEdit*, 2> sample_rate_{};
  std::array<RecentFilesButton*, 2> recent_{};
  QCheckBox* logo_on_ = nullptr;
  DisplayPreferencesBox* preferences_box_ = nullptr;
  PlotOutputBox* plot_output_box_ = nullptr;
  LapExportBox* lap_export_box_ = nullptr;
};

}  // namespace ardenvis::ui
