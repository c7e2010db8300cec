// "Session Library" opened on a catalogue of 10,000 sessions: from nothing to
// the window painted with its rows (the catalogue read, no session file
// touched). Offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>

#include "full_memory.h"
#include "library/session_library.h"
#include "library/ui/session_library_window.h"
#include "library_catalogue.h"
#include "support/scripted_host.h"

namespace {

using namespace ardenvis;

void BM_OpenLibraryWindow(benchmark::State& st) {
  const std::string& path = bench::catalogue_of(10000);
  testing::ScriptedHost host;
  int rows = 0;
  for (auto _ : st) {
    core::SessionLibrary library(path);
    ui::SessionLibraryWindow window(library, host);
    window.show();
    QApplication::processEvents();
    window.repaint();
    rows = window.table()->model()->rowCount();
    st.PauseTiming();
    window.hide();
    st.ResumeTiming();
  }
  st.counters["rows"] = rows;
}

}  // namespace

BENCHMARK(BM_OpenLibraryWindow)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
