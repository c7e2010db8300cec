#include "widgets/chart.h"

#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

#include "widgets/chart_impl.h"
#include "widgets/chart_plottables.h"

namespace ardenvis::ui {
namespace {

// Mark shapes are known by number only; these are their looks.
QCPScatterStyle mark_style(int shape, const QPen& pen) {
  static const std::array<std::pair<QCPScatterStyle::ScatterShape, double>, 12> kShapes = {{
      {QCPScatterStyle::ssDisc, 3},
      {QCPScatterStyle::ssCross, 6},
      {QCPScatterStyle::ssPlus, 6},
      {QCPScatterStyle::ssCircle, 6},
      {QCPScatterStyle::ssSquare, 5},
      {QCPScatterStyle::ssDiamond, 6},
      {QCPScatterStyle::ssStar, 7},
      {QCPScatterStyle::ssTriangle, 6},
      {QCPScatterStyle::ssTriangleInverted, 6},
      {QCPScatterStyle::ssCrossCircle, 7},
      {QCPScatterStyle::ssPlusCircle, 7},
      {QCPScatterStyle::ssDisc, 2},
  }};
  const auto& [look, size] = kShapes[static_cast<size_t>(std::abs(shape)) % kShapes.size()];
  QColor colour = pen.style() == Qt::NoPen ? QColor(Qt::transparent) : pen.color();
  if (shape == 24) return QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 9);
  return QCPScatterStyle(look, colour, colour, size);
}

}  // namespace

QCPCurve* Chart::Impl::mark_curve(int layer, int shape) {
  auto key = std::make_tuple(layer, shape, pen.color().rgba());
  auto it = marks.find(key);
  if (it != marks.end()) return it->second;
  auto* curve = new QCPCurve(x(layer), y(layer));
  curve->setLineStyle(QCPCurve::lsNone);
  curve->setScatterStyle(mark_style(shape, pen));
  curve->setPen(pen);
  marks[key] = curve;
  return curve;
}

Chart::Chart(QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>()) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* plot = new QCustomPlot(this);
  impl_->plot = plot;
  layout->addWidget(plot);
  // Never laid out to nothing: QCustomPlot repaints on every resize, and an
  // empty paint buffer cannot be painted.
  plot->setMinimumSize(120, 120);
  plot->setNoAntialiasingOnDrag(true);
  plot->setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
  plot->setAntialiasedElements(QCP::aeNone);
  plot->setBackground(Qt::white);

  QCPAxisRect* rect = plot->axisRect();
  impl_->x_axes = {plot->xAxis, rect->addAxis(QCPAxis::atBottom), plot->xAxis2,
                   rect->addAxis(QCPAxis::atTop)};
  impl_->y_axes = {plot->yAxis, plot->yAxis2, rect->addAxis(QCPAxis::atLeft),
                   rect->addAxis(QCPAxis::atRight)};
  for (int l = 1; l <= kLayers; ++l) {
    set_scales_visible(l, l == 1);
    set_scale_colour(l, Qt::black);
    QCPAxis* xa = impl_->x(l);
    QCPAxis* ya = impl_->y(l);
    xa->grid()->setSubGridVisible(false);
    ya->grid()->setSubGridVisible(false);
    connect(xa, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this, xa] {
      impl_->clamp_range(xa, true);
      emit ranges_changed();
    });
    connect(ya, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this, ya] { impl_->clamp_range(ya, false); });
  }
  impl_->apply_grid();

  impl_->make_labels();
  set_labels_style(Qt::black, palette().color(QPalette::ToolTipBase), true);

  impl_->make_markers();
  connect(plot, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
    QCustomPlot* p = impl_->plot;
    if (impl_->dragging > 0) {
      auto& m = impl_->markers[static_cast<size_t>(impl_->dragging - 1)];
      m.x = p->xAxis->pixelToCoord(event->pos().x());
      m.y = p->yAxis->pixelToCoord(event->pos().y());
      impl_->place_marker(m);
      emit marker_moved(impl_->dragging, m.x, m.y);
      repaint_markers();
    }
    const bool inside = p->axisRect()->rect().contains(event->pos());
    emit cursor_moved(inside, inside ? p->xAxis->pixelToCoord(event->pos().x()) : 0,
                      inside ? p->yAxis->pixelToCoord(event->pos().y()) : 0);
  });
  connect(plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* event) {
    QCustomPlot* p = impl_->plot;
    if (impl_->mode == ChartMouseMode::CrossHairDrag) {
      impl_->dragging = impl_->marker_near(event->pos().x());
      if (impl_->dragging > 0) return;
    }
    if (!p->axisRect()->rect().contains(event->pos())) return;
    emit clicked(p->xAxis->pixelToCoord(event->pos().x()),
                 p->yAxis->pixelToCoord(event->pos().y()));
  });
  connect(plot, &QCustomPlot::mouseRelease, this, [this] { impl_->dragging = 0; });
  set_mouse_mode(ChartMouseMode::CrossHairDrag);
  // The layout has just fixed the data area's width: the envelopes are cut
  // to its pixel columns before anything is painted.
  connect(plot, &QCustomPlot::afterLayout, this, [this] { impl_->refresh_envelopes(); });
}

Chart::~Chart() = default;

void Chart::set_x_caption(int layer, const QString& caption) { impl_->x(layer)->setLabel(caption); }
void Chart::set_y_caption(int layer, const QString& caption) { impl_->y(layer)->setLabel(caption); }
QString Chart::x_caption(int layer) const { return impl_->x(layer)->label(); }

void Chart::set_scales_visible(int layer, bool visible) {
  impl_->x(layer)->setVisible(visible);
  impl_->y(layer)->setVisible(visible);
}

bool Chart::scales_visible(int layer) const { return impl_->x(layer)->visible(); }

void Chart::set_scale_colour(int layer, const QColor& colour) {
  for (QCPAxis* axis : {impl_->x(layer), impl_->y(layer)}) {
    axis->setBasePen(QPen(colour));
    axis->setTickPen(QPen(colour));
    axis->setSubTickPen(QPen(colour));
    axis->setLabelColor(colour);
    axis->setTickLabelColor(colour);
  }
}

ChartRange Chart::range(int layer) const {
  const QCPRange x = impl_->x(layer)->range();
  const QCPRange y = impl_->y(layer)->range();
  return {x.lower, y.lower, x.upper, y.upper};
}

void Chart::set_range(int layer, const ChartRange& r) {
  impl_->x(layer)->setRange(r.x_low, r.x_high);
  impl_->y(layer)->setRange(r.y_low, r.y_high);
}

void Chart::set_range_limits(const ChartRange& limits) { impl_->limits = limits; }

void Chart::set_pen(const QColor& colour, ChartPen style, int width) {
  impl_->pen = make_pen(colour, style, width);
}

void Chart::move_to(int layer, double x, double y) {
  impl_->path = new QCPCurve(impl_->x(layer), impl_->y(layer));
  impl_->path->setPen(impl_->pen);
  impl_->path->addData(x, y);
}

void Chart::draw_to(double x, double y) {
  if (impl_->path) impl_->path->addData(x, y);
}

void Chart::mark_at(int layer, double x, double y, int shape) {
  impl_->mark_curve(layer, shape)->addData(x, y);
}

void Chart::draw_series(int layer, const double* x, const double* y, long count, double x_offset,
                        double y_offset, bool x_sorted, std::optional<int> mark_shape) {
  if (count <= 0) return;
  ChartRange bounds{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  QCPAbstractPlottable* plottable = nullptr;
  if (x_sorted && impl_->envelope_on) {
    EnvelopeKeys keys = impl_->keys_of(x, count, x_offset);
    std::vector<double> values(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
      const double value = y[i] - y_offset;
      values[static_cast<size_t>(i)] = value;
      bounds.y_low = std::min(bounds.y_low, value);
      bounds.y_high = std::max(bounds.y_high, value);
    }
    bounds.x_low = keys->front();
    bounds.x_high = keys->back();
    auto* graph = new ColumnGraph(impl_->x(layer), impl_->y(layer));
    graph->setAdaptiveSampling(false);  // the envelope already follows the pixels
    graph->set_composed(impl_->composed_on);
    impl_->envelopes[graph] = {std::make_shared<MinMaxEnvelope>(std::move(keys), std::move(values)),
                               HUGE_VAL, -HUGE_VAL, 0};
    plottable = graph;
    if (mark_shape) {
      graph->setLineStyle(QCPGraph::lsNone);
      graph->setScatterStyle(mark_style(*mark_shape, impl_->pen));
    }
  } else if (x_sorted) {
    QVector<QCPGraphData> data(static_cast<qsizetype>(count));
    QCPGraphData* out = data.data();
    for (long i = 0; i < count; ++i) {
      const double key = x[i] - x_offset;
      const double value = y[i] - y_offset;
      out[i].key = key;
      out[i].value = value;
      bounds.y_low = std::min(bounds.y_low, value);
      bounds.y_high = std::max(bounds.y_high, value);
    }
    bounds.x_low = out[0].key;
    bounds.x_high = out[count - 1].key;
    auto* graph = new QCPGraph(impl_->x(layer), impl_->y(layer));
    graph->data()->set(data, true);
    graph->setAdaptiveSampling(true);
    plottable = graph;
    if (mark_shape) {
      graph->setLineStyle(QCPGraph::lsNone);
      graph->setScatterStyle(mark_style(*mark_shape, impl_->pen));
    }
  } else {
    QVector<QCPCurveData> data(static_cast<qsizetype>(count));
    QCPCurveData* out = data.data();
    for (long i = 0; i < count; ++i) {
      const double key = x[i] - x_offset;
      const double value = y[i] - y_offset;
      out[i] = QCPCurveData(static_cast<double>(i), key, value);
      bounds.x_low = std::min(bounds.x_low, key);
      bounds.x_high = std::max(bounds.x_high, key);
      bounds.y_low = std::min(bounds.y_low, value);
      bounds.y_high = std::max(bounds.y_high, value);
    }
    auto* curve = new QCPCurve(impl_->x(layer), impl_->y(layer));
    curve->data()->set(data, true);
    plottable = curve;
    if (mark_shape) {
      curve->setLineStyle(QCPCurve::lsNone);
      curve->setScatterStyle(mark_style(*mark_shape, impl_->pen));
    }
  }
  plottable->setPen(impl_->pen);
  plottable->setAntialiased(false);
  if (std::isfinite(bounds.x_low) && std::isfinite(bounds.y_low)) impl_->bounds[plottable] = bounds;
}

void Chart::draw_path(int layer, const double* x, const double* y, long count,
                      std::vector<ChartPathRun> runs) {
  if (count <= 0) return;
  std::vector<QPointF> points(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) points[static_cast<size_t>(i)] = QPointF(x[i], y[i]);
  auto* path =
      new PathPlottable(impl_->x(layer), impl_->y(layer), std::move(points), std::move(runs));
  path->setAntialiased(false);
}

void Chart::set_envelope(bool on) { impl_->envelope_on = on; }

void Chart::set_composed_traces(bool on) {
  impl_->composed_on = on;
  for (auto it = impl_->envelopes.begin(); it != impl_->envelopes.end(); ++it) {
    if (auto* graph = dynamic_cast<ColumnGraph*>(it.key())) graph->set_composed(on);
  }
}

int Chart::data_area_width() const { return impl_->plot->axisRect()->width(); }

std::vector<QPointF> Chart::drawn_points(int layer) const {
  impl_->refresh_envelopes();
  std::vector<QPointF> points;
  QCustomPlot* plot = impl_->plot;
  for (int i = 0; i < plot->plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot->plottable(i);
    if (impl_->layer_of(p) != layer) continue;
    if (auto* graph = qobject_cast<QCPGraph*>(p)) {
      for (const QCPGraphData& d : *graph->data()) points.emplace_back(d.key, d.value);
    } else if (auto* curve = qobject_cast<QCPCurve*>(p)) {
      for (const QCPCurveData& d : *curve->data()) points.emplace_back(d.key, d.value);
    } else if (auto* path = dynamic_cast<PathPlottable*>(p)) {
      points.insert(points.end(), path->points().begin(), path->points().end());
    }
  }
  return points;
}

void Chart::clear() {
  for (QCPItemText* text : impl_->texts) impl_->plot->removeItem(text);
  impl_->texts.clear();
  impl_->envelopes.clear();
  impl_->last_keys.reset();
  impl_->plot->clearPlottables();
  impl_->path = nullptr;
  impl_->marks.clear();
  impl_->bounds.clear();
}

// A chart on a hidden page has no size to paint into; it paints when shown.
void Chart::repaint_chart() {
  if (isVisible()) impl_->plot->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::repaint_now() {
  if (isVisible()) impl_->plot->replot(QCustomPlot::rpImmediateRefresh);
}

void Chart::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  impl_->plot->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::set_fixed_margins(int left, int top, int right, int bottom) {
  QCPAxisRect* rect = impl_->plot->axisRect();
  rect->setAutoMargins(QCP::msNone);
  rect->setMargins(QMargins(left, top, right, bottom));
}

std::optional<ChartRange> Chart::fit_range(int layer) const {
  std::optional<ChartRange> result;
  auto unite = [&](const ChartRange& r) {
    if (!result) {
      result = r;
      return;
    }
    result->x_low = std::min(result->x_low, r.x_low);
    result->y_low = std::min(result->y_low, r.y_low);
    result->x_high = std::max(result->x_high, r.x_high);
    result->y_high = std::max(result->y_high, r.y_high);
  };
  QCustomPlot* plot = impl_->plot;
  for (int i = 0; i < plot->plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot->plottable(i);
    if (impl_->layer_of(p) != layer) continue;
    auto cached = impl_->bounds.find(p);
    if (cached != impl_->bounds.end()) {
      unite(*cached);
      continue;
    }
    bool found_x = false;
    bool found_y = false;
    const QCPRange xr = p->getKeyRange(found_x);
    const QCPRange yr = p->getValueRange(found_y);
    if (found_x && found_y) unite({xr.lower, yr.lower, xr.upper, yr.upper});
  }
  return result;
}

std::optional<ChartRange> Chart::extent(int layer, const ChartRange& window) const {
  ChartRange found{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  auto take = [&](double key, double value) {
    if (key < window.x_low || key > window.x_high || value < window.y_low ||
        value > window.y_high) {
      return;
    }
    found.x_low = std::min(found.x_low, key);
    found.x_high = std::max(found.x_high, key);
    found.y_low = std::min(found.y_low, value);
    found.y_high = std::max(found.y_high, value);
  };
  QCustomPlot* plot = impl_->plot;
  for (int i = 0; i < plot->plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot->plottable(i);
    if (impl_->layer_of(p) != layer) continue;
    auto enveloped = impl_->envelopes.find(qobject_cast<QCPGraph*>(p));
    if (enveloped != impl_->envelopes.end()) {
      const MinMaxEnvelope& e = *enveloped->envelope;
      const size_t first = e.lower(window.x_low);
      const size_t end = e.upper(window.x_high);
      double low = 0;
      double high = 0;
      if (end > first && e.extremes(first, end - 1, low, high) && low >= window.y_low &&
          high <= window.y_high) {
        take(e.key(first), low);
        take(e.key(end - 1), high);
      } else {
        // Values beyond the window's y limits: only the samples inside count.
        for (size_t k = first; k < end; ++k) take(e.key(k), e.value(k));
      }
      continue;
    }
    if (auto* graph = qobject_cast<QCPGraph*>(p)) {
      auto data = graph->data();
      // Sorted keys: only the part inside the window is read.
      for (auto it = data->findBegin(window.x_low, false);
           it != data->findEnd(window.x_high, false); ++it) {
        take(it->key, it->value);
      }
    } else if (auto* curve = qobject_cast<QCPCurve*>(p)) {
      for (const QCPCurveData& d : *curve->data()) take(d.key, d.value);
    } else if (auto* path = dynamic_cast<PathPlottable*>(p)) {
      for (const QPointF& point : path->points()) take(point.x(), point.y());
    }
  }
  if (!(found.x_low <= found.x_high)) return std::nullopt;
  return found;
}

void Chart::set_grid(ChartGrid grid, Qt::PenStyle line, const QColor& colour) {
  impl_->grid = grid;
  impl_->grid_pen = QPen(colour, 0, line);
  impl_->apply_grid();
}

int Chart::grid_layer() const { return impl_->grid_layer; }

void Chart::set_grid_layer(int layer) {
  impl_->grid_layer = std::clamp(layer, 1, kLayers);
  impl_->apply_grid();
}

void Chart::set_grid_spacing(double x_spacing, double y_spacing) {
  impl_->x_spacing = x_spacing;
  impl_->y_spacing = y_spacing;
  impl_->apply_grid();
}

void Chart::set_mouse_mode(ChartMouseMode mode, bool layer1, bool layer2) {
  impl_->mode = mode;
  QCustomPlot* plot = impl_->plot;
  QCPAxisRect* rect = plot->axisRect();
  QList<QCPAxis*> horizontal;
  QList<QCPAxis*> vertical;
  if (layer1) {
    horizontal << impl_->x(1);
    vertical << impl_->y(1);
  }
  if (layer2) {
    horizontal << impl_->x(2);
    vertical << impl_->y(2);
  }
  rect->setRangeDragAxes(horizontal,
                         mode == ChartMouseMode::PanHorizontal ? QList<QCPAxis*>{} : vertical);
  rect->setRangeZoomAxes(horizontal, vertical);
  rect->setRangeDrag(mode == ChartMouseMode::PanHorizontal ? Qt::Horizontal
                                                           : Qt::Horizontal | Qt::Vertical);
  plot->setSelectionRectMode(mode == ChartMouseMode::ZoomBox ? QCP::srmZoom : QCP::srmNone);
  QCP::Interactions interactions;
  if (mode == ChartMouseMode::ZoomPan) interactions = QCP::iRangeDrag | QCP::iRangeZoom;
  if (mode == ChartMouseMode::Pan || mode == ChartMouseMode::PanHorizontal) {
    interactions = QCP::iRangeDrag;
  }
  plot->setInteractions(interactions);
  setCursor(mode == ChartMouseMode::CrossHairDrag ? Qt::CrossCursor : Qt::ArrowCursor);
}

ChartMouseMode Chart::mouse_mode() const { return impl_->mode; }

long Chart::point_count(int layer) const {
  long points = 0;
  QCustomPlot* plot = impl_->plot;
  for (int i = 0; i < plot->plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot->plottable(i);
    if (impl_->layer_of(p) != layer) continue;
    auto enveloped = impl_->envelopes.find(qobject_cast<QCPGraph*>(p));
    if (enveloped != impl_->envelopes.end()) {
      points += static_cast<long>(enveloped->envelope->size());
      continue;
    }
    if (auto* graph = qobject_cast<QCPGraph*>(p)) points += graph->dataCount();
    if (auto* curve = qobject_cast<QCPCurve*>(p)) points += curve->dataCount();
  }
  return points;
}

}  // namespace ardenvis::ui
