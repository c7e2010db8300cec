#include "widgets/digital_readout.h"

#include <QPainter>
#include <algorithm>

namespace ardenvis::ui {

namespace {
// Figures grow with the widget up to this size; beyond it only the box grows.
constexpr int kLargestFigures = 20;

QFont readout_font(int pixel_size) {
  QFont f("DejaVu Sans Mono");
  f.setStyleHint(QFont::Monospace);
  f.setBold(true);
  f.setPixelSize(std::max(8, pixel_size));
  return f;
}
}  // namespace

DigitalReadout::DigitalReadout(int columns, QWidget* parent)
    : QWidget(parent), columns_(std::max(1, columns)) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void DigitalReadout::set_text(const QString& text) {
  if (text == text_) return;
  text_ = text;
  setAccessibleName(text);
  update();
}

void DigitalReadout::set_colour(const QColor& colour) {
  colour_ = colour;
  update();
}

QSize DigitalReadout::sizeHint() const {
  const QFontMetrics fm(readout_font(kLargestFigures));
  return {fm.horizontalAdvance(QString(columns_, '0')) + 14, fm.height() + 6};
}

QSize DigitalReadout::minimumSizeHint() const {
  // As wide as the figures at full size, so that every readout of a window
  // shows its figures alike; only the height may shrink.
  const QFontMetrics fm(readout_font(QFontMetrics(font()).height()));
  return {sizeHint().width(), fm.height() + 4};
}

void DigitalReadout::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(QColor(70, 74, 80), 1));
  p.setBrush(QColor(10, 12, 10));
  p.drawRoundedRect(r, 3, 3);
  // As large as the height allows, but never wider than the box.
  QFont f = readout_font(sizePolicy().verticalPolicy() == QSizePolicy::Fixed
                             ? std::min(kLargestFigures, static_cast<int>(r.height() * 0.75))
                             : static_cast<int>(r.height() * 0.75));
  const int wanted = QFontMetrics(f).horizontalAdvance(
      QString(std::max<int>(columns_, static_cast<int>(text_.size())), '0'));
  if (wanted > r.width() - 8) {
    f.setPixelSize(std::max(6, static_cast<int>(f.pixelSize() * (r.width() - 8) / wanted)));
  }
  p.setFont(f);
  p.setPen(colour_);
  p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignRight, text_);
}

}  // namespace ardenvis::ui
