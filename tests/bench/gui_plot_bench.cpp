// "View Data" with two full-memory data sets and five channels: the first full
// plot (reload to a painted frame) and one zoom and one pan step. Offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <memory>

#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/ui/plot_data.h"
#include "widgets/chart.h"

using namespace ardenvis;

namespace {

struct Viewer {
  core::ProgramState state;
  testing::ScriptedHost host;
  std::unique_ptr<ui::TForm10> form;

  Viewer() {
    testing::decode_into(state, core::DataSetId::A, testing::viewer_session(20, 3), "a.plr");
    testing::decode_into(state, core::DataSetId::B, testing::viewer_session(20, 5), "b.plr");
    form = std::make_unique<ui::TForm10>(state, host);
    form->show();
    // The four channels ticked at start and the oil temperature: five.
    form->findChild<QCheckBox*>("channel4Check")->setChecked(true);
    QApplication::processEvents();
  }
  ui::Chart& chart() { return *form->plot_chart(); }
};

Viewer& viewer() {
  static Viewer v;
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

// One zoom-in step (span / 1.4 about the centre) from the full view, painted.
void BM_ZoomStep(benchmark::State& st) {
  Viewer& v = viewer();
  v.form->reload_engine_data();
  const ui::ChartRange full = v.chart().range(1);
  bool in = true;
  for (auto _ : st) {
    const double c = (full.x_low + full.x_high) / 2;
    const double h = (full.x_high - full.x_low) / 2 * (in ? 1 / 1.4 : 1.0);
    v.chart().set_range(1, {c - h, full.y_low, c + h, full.y_high});
    v.chart().repaint_now();
    in = !in;
  }
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

}  // namespace

BENCHMARK(BM_FirstFullPlot)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
BENCHMARK(BM_PanStep)
    ->Arg(0)
    ->Arg(120)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  viewer();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
