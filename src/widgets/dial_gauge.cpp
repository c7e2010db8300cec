#include "widgets/dial_gauge.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace ardenvis::ui {

namespace {
constexpr double kStartAngle = 225;  // the scale's minimum, lower left
constexpr double kSweep = 270;       // clockwise to the lower right
constexpr int kMajorTicks = 10;
constexpr int kMinorPerMajor = 5;

QPointF on_circle(QPointF centre, double radius, double degrees) {
  const double r = degrees * std::numbers::pi / 180;
  return {centre.x() + radius * std::cos(r), centre.y() - radius * std::sin(r)};
}

// Scale labels without needless decimals: 0 1.5 3 ... or 0 15 30 ...
QString tick_label(double value) {
  if (std::abs(value - std::round(value)) < 1e-9) return QString::number(std::lround(value));
  return QString::number(value, 'f', 1);
}
}  // namespace

DialGauge::DialGauge(const QString& caption, QWidget* parent)
    : QWidget(parent),
      caption_(caption),
      colours_{QColor(46, 157, 76), QColor(230, 194, 41), QColor(216, 58, 46)} {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAccessibleName(caption);
}

void DialGauge::set_scale(double minimum, double maximum) {
  if (minimum == minimum_ && maximum == maximum_) return;
  minimum_ = minimum;
  maximum_ = maximum > minimum ? maximum : minimum + 1;
  update();
}

void DialGauge::set_sectors(int first_end, int second_end) {
  if (first_end == first_end_ && second_end == second_end_) return;
  first_end_ = first_end;
  second_end_ = second_end;
  update();
}

void DialGauge::set_sector_colours(const std::array<QColor, 3>& colours) {
  colours_ = colours;
  update();
}

void DialGauge::set_unit(const QString& unit) {
  if (unit == unit_) return;
  unit_ = unit;
  update();
}

void DialGauge::set_readout(const QString& text) {
  if (text == readout_) return;
  readout_ = text;
  update();
}

void DialGauge::set_value(double value) {
  max_marker_ = std::max(max_marker_, value);
  min_marker_ = std::min(min_marker_, value);
  if (value == value_) return;
  value_ = value;
  update();
}

void DialGauge::reset_markers() {
  max_marker_ = 0;
  min_marker_ = 999;
  const double current = value_;
  set_value(current + 0.01);
  set_value(current);
  max_marker_ = min_marker_ = current;
  update();
}

double DialGauge::angle_of(double value) const {
  const double f = std::clamp((value - minimum_) / (maximum_ - minimum_), 0.0, 1.0);
  return kStartAngle - f * kSweep;
}

void DialGauge::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const double side = std::min(width(), height());
  const QPointF c(width() / 2.0, height() / 2.0);
  const double r = side / 2 - 2;

  // Bezel and face.
  QRadialGradient bezel(c, r);
  bezel.setColorAt(0.90, QColor(70, 74, 80));
  bezel.setColorAt(1.0, QColor(25, 27, 30));
  p.setPen(Qt::NoPen);
  p.setBrush(bezel);
  p.drawEllipse(c, r, r);
  QRadialGradient face(c - QPointF(0, r * 0.3), r * 1.2);
  face.setColorAt(0, QColor(44, 48, 54));
  face.setColorAt(1, QColor(14, 15, 18));
  p.setBrush(face);
  const double face_r = r * 0.93;
  p.drawEllipse(c, face_r, face_r);

  // Sector band.
  const double band_r = face_r * 0.86;
  const double band_w = std::max(3.0, face_r * 0.09);
  const QRectF band(c.x() - band_r, c.y() - band_r, 2 * band_r, 2 * band_r);
  const std::array<int, 4> limits{0, std::clamp(first_end_, 0, 1000),
                                  std::clamp(std::max(first_end_, second_end_), 0, 1000), 1000};
  for (int s = 0; s < 3; ++s) {
    const int from = limits[static_cast<size_t>(s)], to = limits[static_cast<size_t>(s) + 1];
    if (to <= from) continue;
    const double a0 = kStartAngle - kSweep * from / 1000.0;
    const double span = -kSweep * (to - from) / 1000.0;
    p.setPen(QPen(colours_[static_cast<size_t>(s)], band_w, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(band, static_cast<int>(a0 * 16), static_cast<int>(span * 16));
  }

  // Ticks and labels; a small dial labels every other major tick.
  const bool small = face_r < 90;
  QFont label_font = font();
  label_font.setPixelSize(std::max(8, static_cast<int>(face_r * (small ? 0.15 : 0.12))));
  p.setFont(label_font);
  const int ticks = kMajorTicks * kMinorPerMajor;
  const double outer = band_r - band_w / 2 - 1;
  for (int i = 0; i <= ticks; ++i) {
    const double a = kStartAngle - kSweep * i / ticks;
    const bool major = i % kMinorPerMajor == 0;
    const double inner = outer - (major ? face_r * 0.12 : face_r * 0.06);
    p.setPen(QPen(QColor(230, 232, 235), major ? std::max(1.5, face_r * 0.02) : 1));
    p.drawLine(on_circle(c, inner, a), on_circle(c, outer, a));
    if (major && (!small || (i / kMinorPerMajor) % 2 == 0)) {
      const double v = minimum_ + (maximum_ - minimum_) * i / ticks;
      const QPointF at = on_circle(c, outer - face_r * (small ? 0.30 : 0.25), a);
      const QRectF box(at.x() - face_r * 0.25, at.y() - face_r * 0.1, face_r * 0.5, face_r * 0.2);
      p.drawText(box, Qt::AlignCenter, tick_label(v));
    }
  }

  // Unit above the hub, caption below it, digital readout in the gap at the foot.
  QFont unit_font = font();
  unit_font.setPixelSize(std::max(8, static_cast<int>(face_r * 0.11)));
  p.setFont(unit_font);
  p.setPen(QColor(170, 175, 182));
  p.drawText(QRectF(c.x() - face_r * 0.4, c.y() - face_r * 0.36, face_r * 0.8, face_r * 0.16),
             Qt::AlignCenter, unit_);
  QFont caption_font = font();
  caption_font.setPixelSize(std::max(8, static_cast<int>(face_r * (small ? 0.15 : 0.12))));
  caption_font.setBold(true);
  p.setFont(caption_font);
  p.setPen(QColor(235, 235, 235));
  p.drawText(QRectF(c.x() - face_r * 0.7, c.y() + face_r * 0.14, face_r * 1.4, face_r * 0.2),
             Qt::AlignCenter, caption_);

  const QRectF lcd(c.x() - face_r * 0.32, c.y() + face_r * 0.42, face_r * 0.64, face_r * 0.26);
  p.setPen(QPen(QColor(80, 84, 90), 1));
  p.setBrush(QColor(8, 10, 8));
  p.drawRoundedRect(lcd, 3, 3);
  QFont lcd_font("DejaVu Sans Mono");
  lcd_font.setStyleHint(QFont::Monospace);
  lcd_font.setBold(true);
  lcd_font.setPixelSize(std::max(8, static_cast<int>(lcd.height() * 0.75)));
  const int wanted = QFontMetrics(lcd_font).horizontalAdvance(readout_);
  if (wanted > lcd.width() - 6 && wanted > 0) {
    lcd_font.setPixelSize(
        std::max(7, static_cast<int>(lcd_font.pixelSize() * (lcd.width() - 6) / wanted)));
  }
  p.setFont(lcd_font);
  p.setPen(QColor(255, 176, 40));
  p.drawText(lcd, Qt::AlignCenter, readout_);

  // Highest and lowest markers: small triangles on the rim.
  auto marker = [&](double v, const QColor& colour) {
    const double a = angle_of(v);
    const double tip = band_r + band_w / 2 + 1;
    const double base = face_r - 1;
    const double half = 4.5 * face_r / 100;
    QPainterPath tri;
    tri.moveTo(on_circle(c, tip, a));
    tri.lineTo(on_circle(c, base, a + half));
    tri.lineTo(on_circle(c, base, a - half));
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(tri);
  };
  if (min_marker_ <= max_marker_) {
    marker(min_marker_, QColor(80, 160, 255));
    marker(max_marker_, QColor(255, 70, 60));
  }

  // Needle and hub.
  const double a = angle_of(value_);
  const QPointF tip = on_circle(c, band_r, a);
  const QPointF tail = on_circle(c, face_r * 0.16, a + 180);
  const QPointF left = on_circle(c, face_r * 0.045, a + 90);
  const QPointF right = on_circle(c, face_r * 0.045, a - 90);
  QPainterPath needle;
  needle.moveTo(tip);
  needle.lineTo(left);
  needle.lineTo(tail);
  needle.lineTo(right);
  needle.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 90, 30));
  p.drawPath(needle);
  QRadialGradient hub(c, face_r * 0.09);
  hub.setColorAt(0, QColor(120, 124, 130));
  hub.setColorAt(1, QColor(30, 32, 36));
  p.setBrush(hub);
  p.drawEllipse(c, face_r * 0.08, face_r * 0.08);
}

}  // namespace ardenvis::ui
