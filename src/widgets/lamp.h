#pragma once
// An on/off lamp: a round light with its caption beside it, or a warning
// tile with the caption written in it. Lit it glows in its colour; out it is
// a dark glass of the same tint. Drawn with QPainter at any size.

#include <QColor>
#include <QWidget>

namespace ardenvis::ui {

class Lamp : public QWidget {
  Q_OBJECT
 public:
  enum class Shape { Round, Tile };
  Lamp(const QString& caption, const QColor& colour, Shape shape = Shape::Round,
       QWidget* parent = nullptr);

  void set_lit(bool lit);
  bool lit() const { return lit_; }
  const QString& caption() const { return caption_; }
  void set_caption(const QString& caption);
  void set_colour(const QColor& colour);
  // Caption colour of a round lamp (light on a dark panel, dark on a light one).
  void set_caption_colour(const QColor& colour);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  QColor colour_;
  QColor caption_colour_;
  Shape shape_;
  bool lit_ = false;
};

}  // namespace ardenvis::ui
