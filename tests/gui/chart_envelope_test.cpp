// The chart's min/max envelope: every pixel column of a long series is drawn
// with the very extremes the data has in that column, at full view and zoomed;
// traces composed into one picture paint exactly what each trace filling its
// own columns paints; and a coloured path keeps its points.

#include "widgets/chart_envelope.h"

#include <QApplication>
#include <QtTest>
#include <cmath>
#include <random>

#include "gui/screens.h"
#include "widgets/chart.h"
#include "widgets/chart_column_canvas.h"

using namespace ardenvis;

class ChartEnvelopeTest : public QObject {
  Q_OBJECT

  // Time 0.05 s a sample; a noisy trace with rare one-sample spikes both ways.
  std::vector<double> x_;
  std::vector<double> y_;

  // Per pixel column of [low, high] over `columns`: the data's own extremes
  // (NaN where the column holds no sample) and those drawn.
  struct Column {
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
  };
  static std::vector<Column> columns_of(const std::vector<QPointF>& points, double low, double high,
                                        int columns) {
    std::vector<Column> out(static_cast<size_t>(columns));
    const double width = (high - low) / columns;
    for (const QPointF& p : points) {
      if (p.x() < low || p.x() >= high) continue;
      const auto c = static_cast<size_t>(std::min(columns - 1, int((p.x() - low) / width)));
      out[c].low = std::min(out[c].low, p.y());
      out[c].high = std::max(out[c].high, p.y());
    }
    return out;
  }

  void compare_extremes(ui::Chart& chart, double low, double high) {
    chart.set_range(1, {low, -100, high, 100});
    chart.repaint_now();
    const int columns = chart.data_area_width();
    QVERIFY(columns > 100);
    std::vector<QPointF> data;
    for (size_t i = 0; i < x_.size(); ++i) data.emplace_back(x_[i], y_[i]);
    const std::vector<QPointF> drawn = chart.drawn_points(1);
    QVERIFY(drawn.size() < 4 * size_t(columns) + 8);
    // The drawn points of a column sit at its first sample's key, inside
    // the column: each column's drawn extremes are its data's extremes.
    const auto want = columns_of(data, low, high, columns);
    const auto got = columns_of(drawn, low, high, columns);
    for (size_t c = 0; c < want.size(); ++c) {
      QCOMPARE(got[c].low, want[c].low);
      QCOMPARE(got[c].high, want[c].high);
    }
  }

 private slots:
  void initTestCase() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1, 1);
    const long n = 600000;
    for (long i = 0; i < n; ++i) {
      x_.push_back(0.05 * static_cast<double>(i + 1));
      double v = 20 * std::sin(static_cast<double>(i) / 3000) + noise(random);
      if (i % 9973 == 0) v = 60 + static_cast<double>(i % 7);
      if (i % 15013 == 0) v = -55 - static_cast<double>(i % 5);
      y_.push_back(v);
    }
  }

  void envelope_gives_exact_column_extremes() {
    ui::MinMaxEnvelope envelope(x_, y_);
    std::mt19937 random(3);
    for (int trial = 0; trial < 200; ++trial) {
      size_t a = random() % x_.size();
      size_t b = random() % x_.size();
      if (trial % 3 == 0) b = a + random() % 40;  // short ranges too
      b = std::min(b, x_.size() - 1);
      if (a > b) std::swap(a, b);
      double low = 0;
      double high = 0;
      QVERIFY(envelope.extremes(a, b, low, high));
      const auto [lo, hi] = std::minmax_element(y_.begin() + long(a), y_.begin() + long(b) + 1);
      QCOMPARE(low, *lo);
      QCOMPARE(high, *hi);
    }
    // A stretch without values is never part of the extremes, however it
    // meets the blocks of the pyramid, and alone it has none.
    std::vector<double> gapped(y_);
    std::fill(gapped.begin() + 100003, gapped.begin() + 140011, NAN);
    ui::MinMaxEnvelope with_gap(x_, gapped);
    for (const auto& [a, b] : {std::pair<size_t, size_t>{90000, 150000},
                               {100000, 140020},
                               {99999, 100010},
                               {139000, 140011}}) {
      double low = 0;
      double high = 0;
      QVERIFY(with_gap.extremes(a, b, low, high));
      double lo = HUGE_VAL;
      double hi = -HUGE_VAL;
      for (size_t i = a; i <= b; ++i) {
        if (std::isnan(gapped[i])) continue;
        lo = std::min(lo, gapped[i]);
        hi = std::max(hi, gapped[i]);
      }
      QCOMPARE(low, lo);
      QCOMPARE(high, hi);
    }
    double low_gap = 0;
    double high_gap = 0;
    QVERIFY(!with_gap.extremes(100003, 140010, low_gap, high_gap));
    QVERIFY(!with_gap.extremes(110000, 130000, low_gap, high_gap));

    // Per pixel column: each column's drawn points hold its exact extremes.
    std::vector<ui::MinMaxEnvelope::Point> points;
    const double low = 1000;
    const double high = 21000;
    const int columns = 640;
    envelope.points(low, high, columns, points);
    QVERIFY(points.size() <= 4 * 642);
    const double width = (high - low) / columns;
    size_t p = 0;
    for (int c = 0; c < columns; ++c) {
      const size_t first = envelope.lower(low + c * width);
      const size_t end = envelope.lower(low + (c + 1) * width);
      const auto [lo, hi] = std::minmax_element(y_.begin() + long(first), y_.begin() + long(end));
      while (p < points.size() && points[p].key < x_[first]) ++p;
      double drawn_low = HUGE_VAL;
      double drawn_high = -HUGE_VAL;
      for (size_t q = p; q < points.size() && points[q].key == x_[first]; ++q) {
        drawn_low = std::min(drawn_low, points[q].value);
        drawn_high = std::max(drawn_high, points[q].value);
      }
      QCOMPARE(drawn_low, *lo);
      QCOMPARE(drawn_high, *hi);
    }
  }

  void chart_draws_every_peak_at_full_view_and_zoomed() {
    ui::Chart chart;
    chart.resize(1200, 600);
    chart.show();
    QApplication::processEvents();
    chart.set_pen(Qt::red, ui::ChartPen::Solid);
    chart.draw_series(1, x_.data(), y_.data(), long(x_.size()), 0, 0, true);
    QCOMPARE(chart.point_count(1), long(x_.size()));
    compare_extremes(chart, 0, x_.back() + 1);
    compare_extremes(chart, 4000, 4600);
    compare_extremes(chart, 100, 103);  // fewer samples than pixels: the samples themselves
    // Autoscale's extent comes from the envelope too.
    const auto extent = chart.extent(1, {0, -1e6, x_.back() + 1, 1e6});
    QVERIFY(extent.has_value());
    QCOMPARE(extent->y_high, *std::max_element(y_.begin(), y_.end()));
    QCOMPARE(extent->y_low, *std::min_element(y_.begin(), y_.end()));
    testing::save_grab(&chart, "chart_envelope_zoomed");
  }

  void canvas_paints_spans_in_order_inside_its_area() {
    // The area starts at (10, 20): spans are in the chart's pixels.
    const QRect area(10, 20, 40, 30);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    // Red: a column cut at the area's top, one left of it, one below it, and
    // a column out of order (an axis running backwards).
    const std::vector<ui::ColumnSpan> first = {
        {12, 5, 30}, {9, 25, 30}, {20, 60, 70}, {30, 40, 45}, {25, 22, 22}};
    // Blue over red in column 12, and cut at the area's right edge.
    const std::vector<ui::ColumnSpan> second = {{12, 28, 35}, {49, 20, 49}, {50, 20, 49}};
    ui::ColumnCanvas canvas;
    const QRect part = canvas.compose(area, {{&first, red}, {&second, blue}});
    // Columns 12..49 and rows 20..49 of the chart, in the area's coordinates.
    QCOMPARE(part, QRect(2, 0, 38, 30));
    const QImage& image = canvas.image();
    auto at = [&](int x, int y) { return image.pixel(x - area.x(), y - area.y()); };
    QCOMPARE(at(12, 20), red);
    QCOMPARE(at(12, 27), red);
    QCOMPARE(at(12, 28), blue);
    QCOMPARE(at(12, 35), blue);
    QCOMPARE(at(12, 36), QRgb(0));
    QCOMPARE(at(25, 22), red);
    QCOMPARE(at(25, 21), QRgb(0));
    QCOMPARE(at(30, 40), red);
    QCOMPARE(at(30, 46), QRgb(0));
    QCOMPARE(at(49, 20), blue);
    QCOMPARE(at(49, 49), blue);
    QCOMPARE(at(13, 30), QRgb(0));
    // Nothing inside: nothing to draw.
    const std::vector<ui::ColumnSpan> outside = {{5, 0, 100}, {60, 0, 100}};
    QVERIFY(canvas.compose(area, {{&outside, red}}).isEmpty());
  }

  // Traces composed into one picture and each filling its own columns paint
  // the same pixels: traces over each other in order, dotted ones, a second
  // pair of scales, marks between traces, a translucent trace, a gap in the
  // keys and a stretch without values, at full view and zoomed in until the
  // samples are pixels apart and joined by lines.
  void composed_traces_paint_what_each_trace_paints() {
    ui::Chart chart;
    chart.resize(900, 500);
    chart.show();
    QApplication::processEvents();
    const long n = long(x_.size());
    std::vector<double> shifted(y_.size());
    std::vector<double> gapped_x(x_);
    std::vector<double> gapped_y(y_.size());
    for (size_t i = 0; i < y_.size(); ++i) {
      shifted[i] = y_[i] / 2 + 5;
      gapped_x[i] += i >= y_.size() / 2 ? 500 : 0;  // 500 s without samples
      gapped_y[i] = (i / 20000) % 7 == 3 ? NAN : y_[i] * 3;
    }
    chart.set_scales_visible(2, true);
    // A step joined across the gap by a line, and a dense trace over it
    // from top to bottom: the line stays under it.
    std::vector<double> step(y_.size());
    std::vector<double> cover(y_.size());
    for (size_t i = 0; i < y_.size(); ++i) {
      step[i] = i < y_.size() / 2 ? 80 : -80;
      cover[i] = i % 2 ? 90 : -90;
    }
    chart.set_pen(Qt::cyan, ui::ChartPen::Solid);
    chart.draw_series(1, gapped_x.data(), step.data(), n, 0, 0, true);
    chart.set_pen(Qt::gray, ui::ChartPen::Solid);
    chart.draw_series(1, x_.data(), cover.data(), n, 0, 0, true);
    chart.set_pen(Qt::red, ui::ChartPen::Solid);
    chart.draw_series(1, x_.data(), y_.data(), n, 0, 0, true);
    chart.set_pen(Qt::blue, ui::ChartPen::Dotted);
    chart.draw_series(1, x_.data(), shifted.data(), n, 0, 0, true);
    chart.set_pen(Qt::darkGreen, ui::ChartPen::Solid);
    chart.draw_series(2, gapped_x.data(), gapped_y.data(), n, 0, 0, true);
    chart.set_pen(Qt::black, ui::ChartPen::Solid);
    const double mark_x[] = {2000, 9000, 20000};
    const double mark_y[] = {0, 10, -10};
    chart.draw_series(1, mark_x, mark_y, 3, 0, 0, false, 1);
    chart.set_pen(Qt::magenta, ui::ChartPen::Dashed);
    chart.draw_series(1, x_.data(), shifted.data(), n, 0, -20, true);
    chart.set_pen(QColor(0, 128, 255, 128), ui::ChartPen::Solid);
    chart.draw_series(2, x_.data(), y_.data(), n, 0, 0, true);
    chart.set_pen(Qt::darkYellow, ui::ChartPen::Solid);
    chart.draw_series(2, x_.data(), shifted.data(), n, 0, 0, true);

    auto picture = [&](bool composed) {
      chart.set_composed_traces(composed);
      chart.repaint_now();
      return chart.grab().toImage();
    };
    const double end = gapped_x.back() + 1;
    const struct {
      double low;
      double high;
    } views[] = {{0, end},    {14000, 16000}, {15000, 15030},
                 {-100, 200}, {29900, 30600}, {14990, 15510}};
    for (const auto& view : views) {
      chart.set_range(1, {view.low, -100, view.high, 100});
      chart.set_range(2, {view.low, -200, view.high, 200});
      const QImage composed = picture(true);
      const QImage each = picture(false);
      QCOMPARE(composed.size(), each.size());
      QVERIFY2(composed == each, qPrintable(QString("view %1..%2").arg(view.low).arg(view.high)));
      // The traces are there at all.
      long red = 0;
      for (int y = 0; y < composed.height(); ++y) {
        for (int x = 0; x < composed.width(); ++x) red += composed.pixel(x, y) == qRgb(255, 0, 0);
      }
      QVERIFY(red > 100);
    }
    chart.set_range(1, {0, -100, end, 100});
    chart.set_range(2, {0, -200, end, 200});
    picture(true);
    testing::save_grab(&chart, "chart_composed_traces");
  }

  void coloured_path_keeps_its_points() {
    ui::Chart chart;
    chart.resize(400, 400);
    chart.show();
    const double x[] = {0, 1, 1, 0};
    const double y[] = {0, 0, 1, 1};
    chart.draw_path(1, x, y, 4, {{0, 1, Qt::red, 4}, {1, 3, Qt::blue, 2, ui::ChartPen::Dotted}});
    QCOMPARE(chart.drawn_points(1).size(), size_t(4));
    const auto fitted = chart.fit_range(1);
    QVERIFY(fitted.has_value());
    QCOMPARE(fitted->x_high, 1.0);
    chart.set_range(1, {-0.5, -0.5, 1.5, 1.5});
    chart.repaint_now();
  }
};

QTEST_MAIN(ChartEnvelopeTest)
#include "chart_envelope_test.moc"
