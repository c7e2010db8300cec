#include "widgets/lamp.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace ardenvis::ui {

Lamp::Lamp(const QString& caption, const QColor& colour, Shape shape, QWidget* parent)
    : QWidget(parent),
      caption_(caption),
      colour_(colour),
      caption_colour_(Qt::black),
      shape_(shape) {
  setAccessibleName(caption);
  const bool grows = shape == Shape::Tile || caption.isEmpty();
  setSizePolicy(grows ? QSizePolicy::Expanding : QSizePolicy::Preferred,
                grows ? QSizePolicy::Expanding : QSizePolicy::Fixed);
}

void Lamp::set_lit(bool lit) {
  if (lit == lit_) return;
  lit_ = lit;
  update();
}

void Lamp::set_caption(const QString& caption) {
  caption_ = caption;
  updateGeometry();
  update();
}

void Lamp::set_colour(const QColor& colour) {
  colour_ = colour;
  update();
}

void Lamp::set_caption_colour(const QColor& colour) {
  caption_colour_ = colour;
  update();
}

QSize Lamp::sizeHint() const {
  const QFontMetrics fm(font());
  if (shape_ == Shape::Tile) return {fm.horizontalAdvance(caption_) + 24, fm.height() * 2};
  if (caption_.isEmpty()) return {fm.height() * 2, fm.height() * 2};
  const int d = fm.height();
  return {d + 4 + (caption_.isEmpty() ? 0 : 8 + fm.horizontalAdvance(caption_)), d + 4};
}

QSize Lamp::minimumSizeHint() const {
  const QFontMetrics fm(font());
  if (shape_ == Shape::Tile) return {fm.horizontalAdvance(caption_) + 8, fm.height() + 4};
  if (caption_.isEmpty()) return {fm.height(), fm.height()};
  return sizeHint();
}

void Lamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor dark = colour_.darker(lit_ ? 130 : 420);
  if (shape_ == Shape::Tile) {
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QRadialGradient glow(r.center(), std::max(r.width(), r.height()) * 0.7);
    glow.setColorAt(0, lit_ ? colour_.lighter(130) : colour_.darker(360));
    glow.setColorAt(1, dark);
    p.setPen(QPen(QColor(20, 20, 22), 1.5));
    p.setBrush(glow);
    const double radius = std::min(r.width(), r.height()) * 0.18;
    p.drawRoundedRect(r, radius, radius);
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(std::max(8, static_cast<int>(std::min(r.height() * 0.42, r.width() * 0.3))));
    p.setFont(f);
    p.setPen(lit_ ? QColor(255, 255, 255) : colour_.darker(220));
    p.drawText(r, Qt::AlignCenter, caption_);
    return;
  }
  const QFontMetrics fm(font());
  // Without a caption the light fills the widget (the shift-light bar).
  const double d = caption_.isEmpty() ? std::min(width(), height()) - 4.0
                                      : std::min<double>(height() - 4, fm.height());
  const QRectF light(caption_.isEmpty() ? (width() - d) / 2 : 2, (height() - d) / 2, d, d);
  QRadialGradient glass(light.center() - QPointF(d * 0.15, d * 0.15), d * 0.7);
  glass.setColorAt(0, lit_ ? colour_.lighter(170) : colour_.darker(300));
  glass.setColorAt(1, dark);
  p.setPen(QPen(QColor(30, 30, 32), 1));
  p.setBrush(glass);
  p.drawEllipse(light);
  if (!caption_.isEmpty()) {
    p.setPen(caption_colour_);
    p.drawText(QRectF(light.right() + 6, 0, width() - light.right() - 6, height()),
               Qt::AlignVCenter | Qt::AlignLeft, caption_);
  }
}

}  // namespace ardenvis::ui
