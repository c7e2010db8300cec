#pragma once
// "G Circle" page of "View Data": lateral against longitudinal G over a
// scale of rings, with the data key, its "View" boxes and the zoom options.

#include <QGroupBox>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;

namespace ardenvis::ui {

class Chart;

class GCirclePage : public QGroupBox {
  Q_OBJECT
 public:
  explicit GCirclePage(QWidget* parent = nullptr);

  Chart* chart() const { return chart_; }
  void set_mode_caption(const QString& caption);
  // The "View" box of a style (0 = A-style, 1 = B-style).
  bool view(int style) const;
  // The key's line per style: "Data Set A" / "Data Set B", or the lap's.
  void set_key_caption(int style, const QString& caption);
  void reset_zoom();

  // changeGCircleScale on the main G circle or the lap G circle.
  static void paint_scale(Chart& chart, bool lap_window);
  // gCircleZoomFull.
  void zoom_full();

 signals:
  void view_changed();  // redraw_engine_data
  void full_clicked();

 private:
  void changeGCircleMode();

  QLabel* mode_caption_ = nullptr;
  Chart* chart_ = nullptr;
  std::array<QCheckBox*, 2> view_{};
  std::array<QLabel*, 2> key_{};
  QComboBox* zoom_ = nullptr;
};

}  // namespace ardenvis::ui
