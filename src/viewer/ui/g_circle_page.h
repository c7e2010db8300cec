#pragma once
// "G Circle" page of "View Data": lateral against longitudinal G.

#include <QGroupBox>

class QLabel;

namespace ardenvis::ui {

class Chart;

class GCirclePage : public QGroupBox {
  Q_OBJECT
 public:
  explicit GCirclePage(QWidget* parent = nullptr);

  Chart* chart() const { return chart_; }
  void set_mode_caption(const QString& caption);

 private:
  QLabel* mode_caption_ = nullptr;
  Chart* chart_ = nullptr;
};

}  // namespace ardenvis::ui
