#pragma once
// "Plot Data" page of "View Data": the names of the plotted data sets, the
// plot chart, the plot progress bar and "Full".

#include <QGroupBox>
#include <array>

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

 signals:
  void full_clicked();

 private:
  Chart* chart_ = nullptr;
  std::array<QLabel*, 2> name_captions_{};
  std::array<QLineEdit*, 2> name_boxes_{};
  QLabel* mode_caption_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace ardenvis::ui
