// "View Data" with two full-memory data sets and five channels: the first full
// plot (reload to a painted frame) and one zoom and one pan step. Offscreen.
// The same zoom step again with four math channels shown beside the five.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <memory>

#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/g_circle.h"
#include "viewer/lap_selection.h"
#include "viewer/track_map.h"
#include "viewer/ui/plot_data.h"
#include "widgets/chart.h"

using namespace ardenvis;

namespace {

struct Viewer {
  core::ProgramState state;
  testing::ScriptedHost host;
  std::unique_ptr<ui::TForm10> form;

  // The window reads the user's math channel library when it is built; the
  // benchmarks give it their own (empty unless math_channels are asked for).
  explicit Viewer(int math_channels = 0) {
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QDir().mkpath(config.path() + "/ardenvis");
    QFile library(config.path() + "/ardenvis/math_channels.txt");
    library.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const char* formulas[] = {
        "Combined G [g] = hypot(G_Lat, G_Long)\n", "Accel [MPH/s] = d(Speed)\n",
        "Revs per speed = RPM / max(Speed, 1)\n", "Brake time [s] = lap_integral(Brake / 100)\n"};
    for (int i = 0; i < math_channels && i < 4; ++i) library.write(formulas[i]);
    library.close();

    testing::decode_into(state, core::DataSetId::A, testing::viewer_session(20, 3), "a.plr");
    testing::decode_into(state, core::DataSetId::B, testing::viewer_session(20, 5), "b.plr");
    form = std::make_unique<ui::TForm10>(state, host);
    form->show();
    // The four channels ticked at start and the oil temperature: five.
    form->findChild<QCheckBox*>("channel4Check")->setChecked(true);
    for (int i = 0; i < math_channels; ++i) {
      form->findChild<QCheckBox*>(QString("mathChannel%1Check").arg(i))->setChecked(true);
    }
    QApplication::processEvents();
  }
  ui::Chart& chart() { return *form->plot_chart(); }
};

Viewer& viewer() {
  static Viewer v;
  return v;
}

// A second window over its own copy of the data sets, with four math
// channels, built only when its benchmark runs.
std::unique_ptr<Viewer>& math_viewer() {
  static std::unique_ptr<Viewer> v;
  return v;
}

void add_counters(benchmark::State& st) {
  Viewer& v = viewer();
  st.counters["samples_A"] = v.state.data_sets[0].sample_count();
  st.counters["samples_B"] = v.state.data_sets[1].sample_count();
  st.counters["points"] = static_cast<double>(v.chart().point_count(1));
}

void BM_FirstFullPlot(benchmark::State& st) {
  Viewer& v = viewer();
  for (auto _ : st) {
    v.form->reload_engine_data();
    v.chart().repaint_now();
  }
  add_counters(st);
}

// Zoom-in steps (span / 1.4 about the centre) from the full view and back,
// each painted.
void zoom_steps(benchmark::State& st, ui::Chart& chart, const ui::ChartRange& full) {
  bool in = true;
  for (auto _ : st) {
    const double c = (full.x_low + full.x_high) / 2;
    const double h = (full.x_high - full.x_low) / 2 * (in ? 1 / 1.4 : 1.0);
    chart.set_range(1, {c - h, full.y_low, c + h, full.y_high});
    chart.repaint_now();
    in = !in;
  }
}

void BM_ZoomStep(benchmark::State& st) {
  Viewer& v = viewer();
  v.form->reload_engine_data();
  const ui::ChartRange full = v.chart().range(1);
  zoom_steps(st, v.chart(), full);
}

// The zoom step with five logged and four math channels on both data sets.
void BM_ZoomStepFourMathChannels(benchmark::State& st) {
  if (!math_viewer()) math_viewer() = std::make_unique<Viewer>(4);
  Viewer& v = *math_viewer();
  v.form->reload_engine_data();
  const ui::ChartRange full = v.chart().range(1);
  zoom_steps(st, v.chart(), full);
  st.counters["points"] = static_cast<double>(v.chart().point_count(1));
}

// One pan step of a tenth of the window, at the full view and at a one-lap
// window (st.range(0) = visible seconds, 0 = full).
void BM_PanStep(benchmark::State& st) {
  Viewer& v = viewer();
  v.form->reload_engine_data();
  ui::ChartRange r = v.chart().range(1);
  if (st.range(0) > 0) r.x_high = r.x_low + static_cast<double>(st.range(0));
  const double step = (r.x_high - r.x_low) / 10;
  int direction = 1;
  for (auto _ : st) {
    r.x_low += direction * step;
    r.x_high += direction * step;
    v.chart().set_range(1, r);
    v.chart().repaint_now();
    direction = -direction;
  }
}

void show_page(int page);
template <typename T>
T* widget(const char* name);

// The whole of both data sets on the plot page, as the first benchmarks see it.
void all_plot_data() {
  Viewer& v = viewer();
  show_page(0);
  auto* mode = v.form->findChild<QComboBox*>("displayMode");
  if (mode->currentIndex() != 0) {
    mode->setCurrentIndex(0);
    emit mode->activated(0);
  }
  v.form->reload_engine_data();
}

// The same frames drawn plainly: every sample handed to QCustomPlot, which
// samples adaptively itself (the envelope off).
void plain(bool on) {
  Viewer& v = viewer();
  v.chart().set_envelope(!on);
  all_plot_data();
}

// Both data sets drawn with solid lines (B is dotted by default).
void BM_ZoomStepSolid(benchmark::State& st) {
  auto* b_line = widget<QComboBox>("dataBLine");
  b_line->setCurrentIndex(0);
  all_plot_data();
  BM_ZoomStep(st);
  b_line->setCurrentIndex(1);
  all_plot_data();
}

// The floor of a frame: the same chart and zoom step with nothing drawn
// (axes, grid, labels and the paint buffers only).
void BM_ZoomStepFloor(benchmark::State& st) {
  Viewer& v = viewer();
  all_plot_data();
  const ui::ChartRange full = v.chart().range(1);
  v.chart().clear();
  zoom_steps(st, v.chart(), full);
  all_plot_data();
}

// The same frames with every trace filling its own pixel columns, nothing
// composed: what composing the traces into one picture saves.
void BM_ZoomStepEachTrace(benchmark::State& st) {
  viewer().chart().set_composed_traces(false);
  BM_ZoomStep(st);
  viewer().chart().set_composed_traces(true);
}

void BM_ZoomStepPlain(benchmark::State& st) {
  plain(true);
  BM_ZoomStep(st);
  plain(false);
}

void BM_PanStepPlain(benchmark::State& st) {
  plain(true);
  BM_PanStep(st);
  plain(false);
}

template <typename T>
T* widget(const char* name) {
  return viewer().form->findChild<T*>(name);
}

void show_page(int page) {
  widget<QTabBar>("rightTabs")->setCurrentIndex(page);
  QApplication::processEvents();
}

// A marker dragged across the full view: the marker moves, its six fields
// and the dots follow, the plot is painted.
void BM_MarkerDrag(benchmark::State& st) {
  Viewer& v = viewer();
  all_plot_data();
  auto* markers = widget<QComboBox>("markersSelector");
  markers->setCurrentIndex(1);
  emit markers->activated(1);
  const ui::ChartRange r = v.chart().range(1);
  double x = r.x_low;
  const double step = (r.x_high - r.x_low) / 97;
  for (auto _ : st) {
    x = x + step > r.x_high ? r.x_low : x + step;
    v.chart().set_marker_position(1, x, (r.y_low + r.y_high) / 2);
    emit v.chart().marker_moved(1, x, (r.y_low + r.y_high) / 2);
    QApplication::processEvents();  // the markers' layer reaches the screen
  }
  markers->setCurrentIndex(0);
  emit markers->activated(0);
}

void BM_MarkerDragPlain(benchmark::State& st) {
  plain(true);
  BM_MarkerDrag(st);
  plain(false);
}

// Choosing another lap in "Selection 2:": the records, the slips, the
// overlay's reload with its track map, painted.
void BM_LapSelectionChange(benchmark::State& st) {
  Viewer& v = viewer();
  show_page(0);
  auto* first = widget<QComboBox>("lapSelection1");
  auto* second = widget<QComboBox>("lapSelection2");
  first->setCurrentIndex(1);
  emit first->activated(1);
  int lap = 2;
  for (auto _ : st) {
    lap = lap == 2 ? 3 : 2;
    second->setCurrentIndex(lap);
    emit second->activated(lap);
    v.chart().repaint_now();
  }
  st.counters["lap_samples"] = static_cast<double>(core::select_lap(v.state, 1, 2).sample_count);
}

void BM_LapSelectionChangePlain(benchmark::State& st) {
  plain(true);
  BM_LapSelectionChange(st);
  plain(false);
}

// The track map of the chosen lap recomputed, coloured and painted (a turn of
// the Rotate slider); beside it the floor: the same points as one plain line.
void choose_laps() {
  auto* first = widget<QComboBox>("lapSelection1");
  auto* second = widget<QComboBox>("lapSelection2");
  first->setCurrentIndex(1);
  emit first->activated(1);
  second->setCurrentIndex(2);
  emit second->activated(2);
}

void BM_TrackMap(benchmark::State& st) {
  Viewer& v = viewer();
  choose_laps();
  show_page(4);
  auto* rotate = v.form->findChild<QWidget*>("trackRotate");
  auto* chart = v.form->findChild<ui::Chart*>("trackChart");
  int value = 12;
  for (auto _ : st) {
    value = value == 12 ? 13 : 12;
    QMetaObject::invokeMethod(rotate, "setValue", Q_ARG(int, value));
    chart->repaint_now();
  }
  st.counters["points"] = static_cast<double>(chart->drawn_points(1).size());
}

void BM_TrackMapPlain(benchmark::State& st) {
  Viewer& v = viewer();
  show_page(4);
  auto* chart = v.form->findChild<ui::Chart*>("trackChart");
  const core::LapSelection lap = core::select_lap(v.state, 1, 2);
  for (auto _ : st) {
    const core::TrackCoordinates t = core::processTrackData(v.state, lap, core::TrackOptions{});
    chart->clear();
    chart->set_pen(Qt::green, ui::ChartPen::Solid, 4);
    chart->draw_series(1, t.x.data(), t.y.data(), t.size(), 0, 0, false);
    chart->repaint_now();
  }
}

// The G circle of both full data sets (All Plot Data): the points, each place
// drawn once, painted; beside it every sample drawn as a mark.
void BM_GCircle(benchmark::State& st) {
  Viewer& v = viewer();
  show_page(5);
  auto* chart = v.form->findChild<ui::Chart*>("gCircleChart");
  for (auto _ : st) {
    chart->clear();
    for (size_t s = 0; s < 2; ++s) {
      const core::DataSet& set = v.state.data_sets[s];
      const core::GCirclePoints p = core::g_circle_points(set, 1, long(set.sample_count()));
      for (const auto* list : {&p.normal, &p.braking}) {
        std::vector<double> x;
        std::vector<double> y;
        for (const core::GPoint& g : *list) {
          x.push_back(g.x);
          y.push_back(g.y);
        }
        chart->set_pen(list == &p.normal ? Qt::darkGreen : Qt::green, ui::ChartPen::Solid);
        chart->draw_series(1, x.data(), y.data(), long(x.size()), 0, 0, false, 17);
      }
    }
    chart->repaint_now();
  }
  st.counters["points"] = static_cast<double>(chart->point_count(1));
}

void BM_GCirclePlain(benchmark::State& st) {
  Viewer& v = viewer();
  show_page(5);
  auto* chart = v.form->findChild<ui::Chart*>("gCircleChart");
  for (auto _ : st) {
    chart->clear();
    for (size_t s = 0; s < 2; ++s) {
      const core::DataSet& set = v.state.data_sets[s];
      const long n = long(set.sample_count());
      std::vector<double> x(static_cast<size_t>(n));
      std::vector<double> y(static_cast<size_t>(n));
      for (long i = 1; i <= n; ++i) {
        x[size_t(i - 1)] = set[core::Channel::GLat][i] / 10;
        y[size_t(i - 1)] = set[core::Channel::GLong][i] / 10;
      }
      chart->set_pen(Qt::darkGreen, ui::ChartPen::Solid);
      chart->draw_series(1, x.data(), y.data(), n, 0, 0, false, 17);
    }
    chart->repaint_now();
  }
  st.counters["points"] = static_cast<double>(chart->point_count(1));
}

}  // namespace

BENCHMARK(BM_FirstFullPlot)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_ZoomStepFourMathChannels)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3);
BENCHMARK(BM_PanStep)
    ->Arg(0)
    ->Arg(120)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3);

BENCHMARK(BM_ZoomStepFloor)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_ZoomStepSolid)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_ZoomStepEachTrace)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_ZoomStepPlain)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_PanStepPlain)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_MarkerDrag)->Unit(benchmark::kMillisecond)->Iterations(40)->Repetitions(3);
BENCHMARK(BM_MarkerDragPlain)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_LapSelectionChange)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);
BENCHMARK(BM_LapSelectionChangePlain)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3);
BENCHMARK(BM_TrackMap)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_TrackMapPlain)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_GCircle)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_GCirclePlain)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  viewer();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // The windows go before the application they belong to.
  math_viewer().reset();
  viewer().form.reset();
  return 0;
}
