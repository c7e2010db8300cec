#pragma once
// "Plot Data" page of "View Data": the names of the plotted data sets, the
// plot chart, the plot progress bar and "Full".

#include <QGroupBox>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace ardenvis::ui {

class Chart;

class PlotPage : public QGroupBox {
  Q_OBJECT
 public:
  explicit PlotPage(QWidget* parent = nullptr);

  Chart* chart() const { return chart_; }
  void set_progress(int percent);
  void set_mode_caption(const QString& caption);
  // Slot A (0) or B (1): its name box and its "Data A" / "Data B" caption.
  void show_name(size_t slot, bool box_shown, bool caption_shown);
  void set_name(size_t slot, const QString& name);

  // The on-plot readout box and the cursor's two white value labels.
  void show_readout(bool shown, const QString& text = {});
  void show_cursor_labels(bool shown, const QString& y = {}, const QString& x = {});
  // The small lap track and lap G circle windows over the plot.
  Chart* lap_track() const { return lap_track_; }
  Chart* lap_g_circle() const { return lap_g_circle_; }
  bool lap_g_circle_on() const;
  // Usable only in "Lap Overlay"; shown there while ticked.
  void set_lap_windows_enabled(bool overlay);

 signals:
  void lap_g_circle_toggled();

  void full_clicked();

 private:
  Chart* chart_ = nullptr;
  std::array<QLabel*, 2> name_captions_{};
  std::array<QLineEdit*, 2> name_boxes_{};
  QLabel* mode_caption_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* readout_ = nullptr;
  std::array<QLabel*, 2> cursor_labels_{};
  Chart* lap_track_ = nullptr;
  Chart* lap_g_circle_ = nullptr;
  QCheckBox* lap_track_on_ = nullptr;
  QCheckBox* lap_g_circle_on_ = nullptr;
  bool overlay_ = false;

  void showTrackMap();
  void place_lap_windows();
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ardenvis::ui
