#include "widgets/chart_plottables.h"

#include <QPaintEngine>
#include <cmath>

namespace ardenvis::ui {

QPen make_pen(const QColor& colour, ChartPen style, int width) {
  switch (style) {
    case ChartPen::Solid:
      return QPen(colour, width, Qt::SolidLine);
    case ChartPen::Dotted:
      return QPen(colour, width, Qt::DotLine);
    case ChartPen::Dashed:
      return QPen(colour, width, Qt::DashLine);
    case ChartPen::Invisible:
      return QPen(Qt::NoPen);
  }
  return QPen(colour);
}

namespace {

// A painter on which a composed picture lands exactly where the spans would
// have been filled: raster, plain source-over, whole-pixel offsets and a
// whole scale (a high-density screen's two device pixels to a pixel, drawn
// as the same blocks a filled rectangle covers).
bool paints_whole_pixels(const QPainter* painter) {
  const QPaintEngine* engine = painter->paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return false;
  if (painter->compositionMode() != QPainter::CompositionMode_SourceOver) return false;
  const QTransform t = painter->deviceTransform();
  auto whole = [](double v) { return v == std::floor(v); };
  return t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() >= 1 && whole(t.m11()) &&
         whole(t.dx()) && whole(t.dy());
}

}  // namespace

bool ColumnGraph::columnar() const {
  const QPen& line_pen = pen();
  return lineStyle() == lsLine && line_pen.style() != Qt::NoPen && line_pen.widthF() <= 1 &&
         !data()->isEmpty();
}

bool ColumnGraph::composable() const {
  return composed_ && columnar() && pen().color().alpha() == 255;
}

void ColumnGraph::find_strokes(Strokes& out) const {
  out.spans.clear();
  out.lines.clear();
  QCPAxis* kx = keyAxis();
  QCPAxis* vy = valueAxis();
  if (!kx || !vy || data()->isEmpty()) return;
  // A dotted trace fills every other column: where the trace is dense that
  // reads as the dotted line it is, at half the cost (a patterned brush
  // would cost more than the solid trace).
  const bool dotted = pen().style() != Qt::SolidLine;
  auto pixel_y = [&](double value) { return std::clamp(vy->coordToPixel(value), -1e6, 1e6); };
  auto pixel_x = [&](double key) {
    return std::nearbyint(std::clamp(kx->coordToPixel(key), -1e6, 1e6));
  };
  // The column being gathered: its pixel x, the last point's y and the span.
  bool open = false;
  double column = 0;
  double y = 0;
  double low = 0;
  double high = 0;
  auto flush = [&] {
    if (!open || (dotted && std::fmod(column, 2) != 0)) return;
    out.spans.push_back({static_cast<int>(column), static_cast<int>(std::floor(low)),
                         static_cast<int>(std::floor(high))});
  };
  for (auto it = data()->constBegin(); it != data()->constEnd(); ++it) {
    const double x = pixel_x(it->key);
    const double next = pixel_y(it->value);
    if (std::isnan(x) || std::isnan(next)) {
      // A gap: nothing drawn, and no line across it.
      flush();
      open = false;
      continue;
    }
    if (!open) {
      low = high = next;
      open = true;
    } else if (x == column) {
      low = std::min(low, next);
      high = std::max(high, next);
    } else if (x == column + 1) {
      flush();
      low = std::min(y, next);
      high = std::max(y, next);
    } else {
      flush();
      out.lines.emplace_back(QPointF(column, y), QPointF(x, next));
      low = high = next;
    }
    column = x;
    y = next;
  }
  flush();
}

void ColumnGraph::draw_strokes(QCPPainter* painter, const Strokes& strokes, bool spans) const {
  painter->setPen(pen());
  painter->setBrush(Qt::NoBrush);
  if (spans) {
    const QColor fill = pen().color();
    for (const ColumnSpan& s : strokes.spans) {
      painter->fillRect(QRect(s.column, s.top, 1, s.bottom - s.top + 1), fill);
    }
  }
  for (const QLineF& line : strokes.lines) painter->drawLine(line);
}

std::vector<ColumnGraph*> ColumnGraph::composed_run() const {
  auto joins = [this](QCPLayerable* layerable) {
    auto* graph = dynamic_cast<ColumnGraph*>(layerable);
    return graph && graph->composable() && graph->clipRect() == clipRect() ? graph : nullptr;
  };
  const QList<QCPLayerable*> children = layer()->children();
  const auto at = children.indexOf(const_cast<ColumnGraph*>(this));
  if (at < 0) return {const_cast<ColumnGraph*>(this)};
  // Invisible children are not drawn and do not part a run.
  for (auto i = at - 1; i >= 0; --i) {
    if (!children[i]->realVisibility()) continue;
    if (joins(children[i])) return {};
    break;
  }
  std::vector<ColumnGraph*> run{const_cast<ColumnGraph*>(this)};
  for (auto i = at + 1; i < children.size(); ++i) {
    if (!children[i]->realVisibility()) continue;
    ColumnGraph* graph = joins(children[i]);
    if (!graph) break;
    run.push_back(graph);
  }
  return run;
}

void ColumnGraph::draw_composed(QCPPainter* painter, const std::vector<ColumnGraph*>& run) {
  // The device in the painter's pixels, and of it the part the clip leaves.
  const QPaintDevice* target = painter->device();
  QRect area = painter->deviceTransform()
                   .inverted()
                   .mapRect(QRectF(0, 0, target->width(), target->height()))
                   .toAlignedRect();
  if (painter->hasClipping()) area &= painter->clipBoundingRect().toAlignedRect();
  std::vector<ColumnTrace> traces;
  auto paint = [&] {
    const QRect part = canvas_.compose(area, traces);
    if (!part.isEmpty()) painter->drawImage(area.topLeft() + part.topLeft(), canvas_.image(), part);
    traces.clear();
  };
  for (ColumnGraph* graph : run) {
    graph->find_strokes(graph->strokes_);
    traces.push_back({&graph->strokes_.spans, graph->pen().color().rgba()});
    if (graph->strokes_.lines.empty()) continue;
    // The lines go over the traces so far and under the ones after.
    paint();
    graph->applyDefaultAntialiasingHint(painter);
    graph->draw_strokes(painter, graph->strokes_, false);
  }
  paint();
}

void ColumnGraph::draw(QCPPainter* painter) {
  // A figure file keeps its traces as lines whatever its size.
  if (!columnar() || painter->modes().testFlag(QCPPainter::pmVectorized)) {
    QCPGraph::draw(painter);
    return;
  }
  if (!composable() || !paints_whole_pixels(painter)) {
    find_strokes(strokes_);
    draw_strokes(painter, strokes_, true);
    return;
  }
  const std::vector<ColumnGraph*> run = composed_run();
  if (!run.empty()) draw_composed(painter, run);
}

}  // namespace ardenvis::ui
