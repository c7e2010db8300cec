// The chart's min/max envelope: every pixel column of a long series is drawn
// with the very extremes the data has in that column, at full view and zoomed,
// and a coloured path keeps its points.

#include "widgets/chart_envelope.h"

#include <QApplication>
#include <QtTest>
#include <cmath>
#include <random>

#include "gui/screens.h"
#include "widgets/chart.h"

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
