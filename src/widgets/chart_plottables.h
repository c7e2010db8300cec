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
#include "widgets/chart_column_canvas.h"

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
//
// Consecutive column graphs of a layer with opaque pens are composed
// together: the first of them paints the spans of all in one picture (see
// ColumnCanvas), the others draw nothing of their own. Lines are drawn
// between, so every trace stays over the ones before it.
class ColumnGraph : public QCPGraph {
 public:
  using QCPGraph::QCPGraph;

  // Off, each graph fills its own spans: the same picture, slower.
  void set_composed(bool on) { composed_ = on; }

 protected:
  void draw(QCPPainter* painter) override;

 private:
  struct Strokes {
    std::vector<ColumnSpan> spans;
    std::vector<QLineF> lines;
  };
  // Drawn as columns at all (a plain line, at most one pixel wide).
  bool columnar() const;
  // Drawn as columns and composed with its neighbours.
  bool composable() const;
  void find_strokes(Strokes& out) const;
  void draw_strokes(QCPPainter* painter, const Strokes& strokes, bool spans) const;
  // The graphs composed with this one when it is the first of them; empty
  // when an earlier one draws it.
  std::vector<ColumnGraph*> composed_run() const;
  void draw_composed(QCPPainter* painter, const std::vector<ColumnGraph*>& run);

  bool composed_ = true;
  Strokes strokes_;
  ColumnCanvas canvas_;
};

}  // namespace ardenvis::ui
