#pragma once
// A round dial: a value on a scale, a band of three coloured sectors, the
// highest and lowest values seen as markers on the rim, a caption, a unit and
// a digital readout in the face. Drawn with QPainter at any size.

#include <QColor>
#include <QWidget>
#include <array>

namespace ardenvis::ui {

class DialGauge : public QWidget {
  Q_OBJECT
 public:
  explicit DialGauge(const QString& caption, QWidget* parent = nullptr);

  void set_scale(double minimum, double maximum);
  // Sector limits in thousandths of the scale: sector 1 runs to first_end,
  // sector 2 to second_end, sector 3 to the end of the scale.
  void set_sectors(int first_end, int second_end);
  void set_sector_colours(const std::array<QColor, 3>& colours);
  void set_unit(const QString& unit);
  void set_readout(const QString& text);
  // Moves the needle; the markers follow whatever is higher or lower than
  // they hold.
  void set_value(double value);
  // Markers back to the current value (highest := 0, lowest := 999, then the
  // needle nudged so that both follow it at once).
  void reset_markers();

  double value() const { return value_; }
  double maximum_marker() const { return max_marker_; }
  double minimum_marker() const { return min_marker_; }
  double scale_minimum() const { return minimum_; }
  double scale_maximum() const { return maximum_; }
  int first_sector_end() const { return first_end_; }
  int second_sector_end() const { return second_end_; }
  const QString& unit() const { return unit_; }
  const QString& readout() const { return readout_; }

  QSize sizeHint() const override { return {180, 180}; }
  QSize minimumSizeHint() const override { return {90, 90}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return width; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The angle (degrees, counter-clockwise from 3 o'clock) of a scale value.
  double angle_of(double value) const;

  QString caption_;
  QString unit_;
  QString readout_;
  double minimum_ = 0;
  double maximum_ = 100;
  int first_end_ = 0;
  int second_end_ = 1000;
  std::array<QColor, 3> colours_;
  double value_ = 0;
  double max_marker_ = 0;
  double min_marker_ = 999;
};

}  // namespace ardenvis::ui
