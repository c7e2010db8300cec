#pragma once
// "Statistics (Time Axis Only)" box of the "Marker" panel: the maximum,
// minimum or mean of a channel over all data or the window, per data set.

#include <QGroupBox>
#include <array>

#include "viewer/plot_statistics.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace ardenvis::ui {

class StatisticsBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit StatisticsBox(QWidget* parent = nullptr);

  core::StatisticsChoice choice() const;
  // enable_stats, on every rebuild of the x-axis: empties the results and
  // resets the channel to "RPM"; on (time axis) enables the controls,
  // yellow, off disables them.
  void enable_stats(bool on);
  // Result of "Data A:" (0) or "Data B:" (1).
  void show_result(int field, const QString& text);
  // "Data A:" / "Data B:", or the selection captions in "Lap Overlay".
  void set_result_caption(int field, const QString& caption);
  // The math channels' names, listed after the logged channels.
  void set_math_channels(const QStringList& names);

 signals:
  void options_changed();  // refresh_engine_data

 private:
  QComboBox* channel_ = nullptr;
  QComboBox* kind_ = nullptr;
  QComboBox* on_ = nullptr;
  std::array<QLabel*, 2> captions_{};
  std::array<QLineEdit*, 2> results_{};
};

}  // namespace ardenvis::ui
