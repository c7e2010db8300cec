#pragma once
// A digital readout: amber figures on a dark display, in a fixed-width face so
// that padded numbers ("  4", " 6000") keep their columns. The text scales
// with the widget's height.

#include <QColor>
#include <QWidget>

namespace ardenvis::ui {

class DigitalReadout : public QWidget {
  Q_OBJECT
 public:
  // `columns` is the width in characters the readout is laid out for.
  explicit DigitalReadout(int columns, QWidget* parent = nullptr);

  void set_text(const QString& text);
  const QString& text() const { return text_; }
  void set_colour(const QColor& colour);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int columns_;
  QColor colour_{255, 176, 40};
};

}  // namespace ardenvis::ui
