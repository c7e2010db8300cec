// The data files of a whole log memory: saving it as a log data file, loading
// that file again (reading, parsing and decoding) and the spreadsheet export.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "files/csv_export.h"
#include "files/log_file.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "state/program_state.h"

namespace {

using namespace ardenvis;
namespace fs = std::filesystem;

class NoProgress : public core::AnalysisProgress {
 public:
  void show() override {}
  void hide() override {}
  void set_stage(const std::string&) override {}
  void set_bar(core::ProgressBar, long, long) override {}
  void set_efficiency(const std::string&) override {}
};

// Every dialog gets `file`; every question is answered Yes (overwrite). The
// event pump costs what the throttled Qt one does when nothing is pending.
class FileHost : public core::Host {
 public:
  core::Answer message(core::MessageKind, const std::string&, core::Buttons buttons) override {
    return buttons == core::Buttons::YesNo ? core::Answer::Yes : core::Answer::Ok;
  }
  std::optional<std::string> open_file(const core::FileDialog&) override { return file; }
  std::optional<std::string> save_file(const core::FileDialog&) override { return file; }
  void process_events() override {
    if ((++calls & 1023) == 0) last_look = std::chrono::steady_clock::now();
  }
  void busy_cursor(bool) override {}
  core::AnalysisProgress& analysis_progress() override { return progress; }
  void start_timer(core::Tickable&, int) override {}
  void stop_timer(core::Tickable&) override {}

  std::string file;
  NoProgress progress;
  long calls = 0;
  std::chrono::steady_clock::time_point last_look;
};

// A full log memory at 20 samples/s: "dense" is mostly engine samples (about
// 600k of them), otherwise every add-on at its usual rate.
struct FullMemory {
  explicit FullMemory(bool dense) {
    sim::SessionOptions o;
    o.sample_rate = 20;
    o.size_target = sim::kFullLogMemoryBytes;
    o.seed = 3;
    if (dense) {
      o.extra_inputs = false;
      o.gps_hz = o.sensor_hz = o.gear_module_hz = o.other_can_hz = 1;
      o.second_sensor_module = false;
    }
    const auto session = sim::synthesise_session(o);
    folder = fs::temp_directory_path() / ("ardenvis-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    state.identity.distance_factor = 1000;
    core::DataSet& set = state.current();
    set.raw = session.bytes;
    set.held_byte_count = static_cast<uint32_t>(set.raw.size());
    set.info.raw_byte_count = set.held_byte_count;
    set.info.sample_rate = session.sample_rate;
    set.info.firmware_major = 4;
    set.info.firmware_minor = 22;
    set.download_state = 1;
    set.unit = state.identity;
    core::process_data_packets(state, host);
  }
  ~FullMemory() { fs::remove_all(folder); }
  std::string path(const char* name) const { return (folder / name).string(); }

  fs::path folder;
  core::ProgramState state;
  FileHost host;
};

void report(benchmark::State& st, FullMemory& m, const std::string& file) {
  const core::DataSet& set = m.state.current();
  if (!set.has_data()) st.SkipWithError("no data");
  st.counters["samples"] = set.sample_count();
  st.counters["file_MB"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
}

void BM_SaveLogFile(benchmark::State& st) {
  FullMemory m(st.range(0) == 1);
  m.host.file = m.path("session.plr");
  for (auto _ : st) {
    if (!core::save_log_data(m.state, m.host)) st.SkipWithError("save failed");
  }
  report(st, m, m.host.file);
}

void BM_LoadAndDecodeLogFile(benchmark::State& st) {
  FullMemory m(st.range(0) == 1);
  m.host.file = m.path("session.plr");
  core::save_log_data(m.state, m.host);
  m.state.current_data_set = core::DataSetId::B;
  for (auto _ : st) {
    if (!core::load_log_data(m.state, m.host)) st.SkipWithError("load failed");
  }
  report(st, m, m.host.file);
}

void BM_ExportCsv(benchmark::State& st) {
  FullMemory m(st.range(0) == 1);
  m.host.file = m.path("session.csv");
  for (auto _ : st) {
    if (!core::save_csv_data(m.state, m.host, {})) st.SkipWithError("export failed");
  }
  report(st, m, m.host.file);
}

#define FILES_BENCHMARK(name)         \
  BENCHMARK(name)                     \
      ->Arg(1)                        \
      ->Arg(0)                        \
      ->ArgName("dense")              \
      ->Unit(benchmark::kMillisecond) \
      ->Iterations(2)                 \
      ->Repetitions(3)                \
      ->ReportAggregatesOnly(true)
FILES_BENCHMARK(BM_SaveLogFile);
FILES_BENCHMARK(BM_LoadAndDecodeLogFile);
FILES_BENCHMARK(BM_ExportCsv);

}  // namespace
