#pragma once
// What a Chart holds behind its interface: the QCustomPlot, its scale pairs,
// the items over the traces and the envelopes of long series. Seen only by
// the chart's own files (chart.cpp: scales, traces and fitting;
// chart_overlays.cpp: labels, markers, dots and texts; chart_output.cpp:
// clipboard, bitmap and figures), never by a window.

#include <QHash>
#include <QPen>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "qcustomplot.h"
#include "widgets/chart.h"
#include "widgets/chart_envelope.h"

namespace ardenvis::ui {

// A sorted graph drawn from its envelope, and the view its data was built for.
struct EnvelopeView {
  std::shared_ptr<MinMaxEnvelope> envelope;
  double low = 0;
  double high = 0;
  int columns = 0;
};

struct Chart::Impl {
  QCustomPlot* plot = nullptr;
  std::array<QCPAxis*, kLayers> x_axes{};
  std::array<QCPAxis*, kLayers> y_axes{};
  std::array<QCPItemText*, kLabels> labels{};
  QPen pen{Qt::black};
  QCPCurve* path = nullptr;  // the drawing move_to started
  std::map<std::tuple<int, int, QRgb>, QCPCurve*> marks;
  // Bounds of whole series handed over at once, so fitting never rescans them.
  QHash<QCPAbstractPlottable*, ChartRange> bounds;
  std::optional<ChartRange> limits;
  ChartMouseMode mode = ChartMouseMode::CrossHairDrag;
  ChartGrid grid = ChartGrid::Both;
  QPen grid_pen{QColor(192, 192, 192), 0, Qt::DotLine};
  int grid_layer = 1;
  double x_spacing = 0;
  double y_spacing = 0;
  bool clamping = false;
  bool envelope_on = true;
  bool composed_on = true;
  struct Marker {
    QCPItemStraightLine* vertical = nullptr;
    QCPItemStraightLine* horizontal = nullptr;
    double x = 0;
    double y = 0;
  };
  std::array<Marker, 2> markers{};
  int dragging = 0;  // the marker being dragged, 0 = none
  std::vector<QCPItemText*> texts;
  std::array<QCPItemTracer*, 2> dots{};

  void place_marker(Marker& m) {
    m.vertical->point1->setCoords(m.x, 0);
    m.vertical->point2->setCoords(m.x, 1);
    m.horizontal->point1->setCoords(0, m.y);
    m.horizontal->point2->setCoords(1, m.y);
  }
  // The shown marker whose vertical line is nearest the pixel, within reach.
  int marker_near(double pixel_x) const {
    int found = 0;
    double best = 7;
    for (int i = 0; i < 2; ++i) {
      const Marker& m = markers[static_cast<size_t>(i)];
      if (!m.vertical->visible()) continue;
      const double d = std::fabs(plot->xAxis->coordToPixel(m.x) - pixel_x);
      if (d < best) {
        best = d;
        found = i + 1;
      }
    }
    return found;
  }
  QHash<QCPGraph*, EnvelopeView> envelopes;

  // The key vector of the last series handed over, shared by the following
  // series with the same keys (a data set's channels).
  EnvelopeKeys last_keys;

  // Hands each enveloped graph the points of its current view; a view that
  // has not moved keeps its points. Graphs over the same keys and view share
  // their pixel columns, found once.
  void refresh_envelopes() {
    struct Found {
      const std::vector<double>* keys;
      double low;
      double high;
      int columns;
      EnvelopeColumns at;
    };
    std::vector<Found> found;
    std::vector<MinMaxEnvelope::Point> points;
    for (auto it = envelopes.begin(); it != envelopes.end(); ++it) {
      QCPGraph* graph = it.key();
      EnvelopeView& view = it.value();
      const QCPRange range = graph->keyAxis()->range();
      const int columns = std::max(1, graph->keyAxis()->axisRect()->width());
      if (range.lower == view.low && range.upper == view.high && columns == view.columns) continue;
      view.low = range.lower;
      view.high = range.upper;
      view.columns = columns;
      const std::vector<double>* keys = view.envelope->keys().get();
      auto same = std::find_if(found.begin(), found.end(), [&](const Found& f) {
        return f.keys == keys && f.low == range.lower && f.high == range.upper &&
               f.columns == columns;
      });
      if (same == found.end()) {
        found.push_back({keys, range.lower, range.upper, columns, {}});
        same = found.end() - 1;
        same->at.find(*keys, range.lower, range.upper, columns);
      }
      view.envelope->points(same->at, points);
      QVector<QCPGraphData> data(static_cast<qsizetype>(points.size()));
      for (size_t i = 0; i < points.size(); ++i) {
        data[static_cast<qsizetype>(i)] = QCPGraphData(points[i].key, points[i].value);
      }
      graph->data()->set(data, true);
    }
  }

  // The keys x[i] - offset, shared with the last series when they are the same.
  EnvelopeKeys keys_of(const double* x, long count, double offset) {
    const auto n = static_cast<size_t>(count);
    if (last_keys && last_keys->size() == n) {
      const std::vector<double>& keys = *last_keys;
      size_t i = 0;
      while (i < n && keys[i] == x[i] - offset) ++i;
      if (i == n) return last_keys;
    }
    auto keys = std::make_shared<std::vector<double>>(n);
    for (size_t i = 0; i < n; ++i) (*keys)[i] = x[i] - offset;
    last_keys = std::move(keys);
    return last_keys;
  }

  QCPAxis* x(int layer) const { return x_axes[static_cast<size_t>(std::clamp(layer, 1, 4) - 1)]; }
  QCPAxis* y(int layer) const { return y_axes[static_cast<size_t>(std::clamp(layer, 1, 4) - 1)]; }
  int layer_of(const QCPAbstractPlottable* p) const {
    for (int l = 1; l <= kLayers; ++l) {
      if (p->keyAxis() == x(l) && p->valueAxis() == y(l)) return l;
    }
    return 0;
  }

  void apply_grid() {
    for (int l = 1; l <= kLayers; ++l) {
      const bool on = grid != ChartGrid::None && l == grid_layer;
      x(l)->grid()->setVisible(on && (grid == ChartGrid::Both || grid == ChartGrid::VerticalOnly));
      y(l)->grid()->setVisible(on &&
                               (grid == ChartGrid::Both || grid == ChartGrid::HorizontalOnly));
      x(l)->grid()->setPen(grid_pen);
      y(l)->grid()->setPen(grid_pen);
      x(l)->grid()->setZeroLinePen(grid_pen);
      y(l)->grid()->setZeroLinePen(grid_pen);
    }
    apply_spacing(x(grid_layer), x_spacing);
    apply_spacing(y(grid_layer), y_spacing);
  }

  // A fixed spacing; on a range thousands of spacings wide its multiples are
  // used instead, so a 0.1 s grid on an hour of data never draws 36,000 lines.
  static void apply_spacing(QCPAxis* axis, double spacing) {
    if (spacing > 0) {
      auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
      ticker->setTickStep(spacing);
      ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
      axis->setTicker(ticker);
    } else if (axis->ticker().dynamicCast<QCPAxisTickerFixed>()) {
      axis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
  }

  void clamp_range(QCPAxis* axis, bool horizontal) {
    if (!limits || clamping) return;
    const double low = horizontal ? limits->x_low : limits->y_low;
    const double high = horizontal ? limits->x_high : limits->y_high;
    QCPRange r = axis->range();
    if (r.lower >= low && r.upper <= high) return;
    clamping = true;
    axis->setRange(std::max(r.lower, low), std::min(r.upper, high));
    clamping = false;
  }

  // The items over the traces, made once with the chart (chart_overlays.cpp).
  void make_labels();
  void make_markers();

  // The curve that holds the marks of one layer, shape and colour.
  QCPCurve* mark_curve(int layer, int shape);
};

}  // namespace ardenvis::ui
