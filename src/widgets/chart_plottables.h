#pragma once
// The chart's own QCustomPlot plottables and its pen rule. Included only by
// the chart's .cpp files, so qcustomplot.h stays out of every other unit.

#include <QPen>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "qcustomplot.h"
#include "widgets/chart.h"

namespace ardenvis::ui {

QPen make_pen(const QColor& colour, ChartPen style, int width);

// A polyline drawn in runs of its own pens (a track coloured sample by
// sample): one plottable however many colours, so a lap of thousands of
// differently coloured steps paints as fast as one line.
class PathPlottable : public QCPAbstractPlottable {
 public:
  PathPlottable(QCPAxis* key_axis, QCPAxis* value_axis, std::vector<QPointF> points,
                std::vector<ChartPathRun> runs)
      : QCPAbstractPlottable(key_axis, value_axis),
        points_(std::move(points)),
        runs_(std::move(runs)) {}

  double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
  QCPRange getKeyRange(bool& found, QCP::SignDomain) const override {
    return range_of(found, [](const QPointF& p) { return p.x(); });
  }
  QCPRange getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const override {
    return range_of(found, [](const QPointF& p) { return p.y(); });
  }
  const std::vector<QPointF>& points() const { return points_; }

 protected:
  void draw(QCPPainter* painter) override {
    QCPAxis* kx = keyAxis();
    QCPAxis* vy = valueAxis();
    if (!kx || !vy) return;
    std::vector<QPointF> pixels(points_.size());
    for (size_t i = 0; i < points_.size(); ++i) {
      pixels[i] = QPointF(kx->coordToPixel(points_[i].x()), vy->coordToPixel(points_[i].y()));
    }
    for (const ChartPathRun& run : runs_) {
      const long from = std::clamp<long>(run.from, 0, static_cast<long>(pixels.size()) - 1);
      const long to = std::clamp<long>(run.to, from, static_cast<long>(pixels.size()) - 1);
      QPen pen = make_pen(run.colour, run.style, run.width);
      pen.setCapStyle(Qt::RoundCap);
      pen.setJoinStyle(Qt::RoundJoin);
      painter->setPen(pen);
      if (to == from) {
        painter->drawPoint(pixels[static_cast<size_t>(from)]);
      } else {
        painter->drawPolyline(pixels.data() + from, static_cast<int>(to - from + 1));
      }
    }
  }
  void drawLegendIcon(QCPPainter*, const QRectF&) const override {}

 private:
  template <typename Coordinate>
  QCPRange range_of(bool& found, Coordinate coordinate) const {
    found = !points_.empty();
    if (!found) return {};
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (const QPointF& p : points_) {
      low = std::min(low, coordinate(p));
      high = std::max(high, coordinate(p));
    }
    return {low, high};
  }

  std::vector<QPointF> points_;
  std::vector<ChartPathRun> runs_;
};

// A graph of envelope points drawn as pixel columns: where consecutive
// points fall in the same or the next pixel column, the column's span (from
// where the line enters it to its lowest and highest point) is filled as one
// rectangle. The raster engine fills a rectangle several times faster than it
// strokes the same pixels as line segments, and a dense trace at full view is
// almost all such spans. Points further apart are joined by a line.
class ColumnGraph : public QCPGraph {
 public:
  using QCPGraph::QCPGraph;

 protected:
  void draw(QCPPainter* painter) override {
    const QPen line_pen = pen();
    if (lineStyle() != lsLine || line_pen.style() == Qt::NoPen || line_pen.widthF() > 1 ||
        data()->isEmpty()) {
      QCPGraph::draw(painter);
      return;
    }
    QCPAxis* kx = keyAxis();
    QCPAxis* vy = valueAxis();
    if (!kx || !vy) return;
    // A dotted trace fills every other column: where the trace is dense that
    // reads as the dotted line it is, at half the cost (a patterned brush
    // would cost more than the solid trace).
    const bool dotted = line_pen.style() != Qt::SolidLine;
    const QColor fill = line_pen.color();
    painter->setPen(line_pen);
    painter->setBrush(Qt::NoBrush);
    auto pixel_y = [&](double value) { return std::clamp(vy->coordToPixel(value), -1e6, 1e6); };
    auto pixel_x = [&](double key) {
      return std::nearbyint(std::clamp(kx->coordToPixel(key), -1e6, 1e6));
    };
    auto it = data()->constBegin();
    double column = pixel_x(it->key);
    double y = pixel_y(it->value);
    double low = y;
    double high = y;
    auto flush = [&] {
      if (dotted && std::fmod(column, 2) != 0) return;
      const int top = static_cast<int>(std::floor(low));
      painter->fillRect(
          QRect(static_cast<int>(column), top, 1, static_cast<int>(std::floor(high)) - top + 1),
          fill);
    };
    for (++it; it != data()->constEnd(); ++it) {
      const double x = pixel_x(it->key);
      const double next = pixel_y(it->value);
      if (x == column) {
        low = std::min(low, next);
        high = std::max(high, next);
      } else if (x == column + 1) {
        flush();
        column = x;
        low = std::min(y, next);
        high = std::max(y, next);
      } else {
        flush();
        painter->drawLine(QPointF(column, y), QPointF(x, next));
        column = x;
        low = high = next;
      }
      y = next;
    }
    flush();
  }
};

}  // namespace ardenvis::ui
