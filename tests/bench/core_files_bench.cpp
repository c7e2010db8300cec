// The data files of a whole log memory: saving it as a log data file, loading
// that file again (text to raw bytes, and with the decoding) and the
// spreadsheet export.
//
// Floors: for the load, reading the file and splitting it into lines without
// reading a pair; for the export, writing the very same bytes from a ready
// buffer through the same atomic writer.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "common/text_file.h"
#include "files/csv_export.h"
#include "files/log_file.h"
#include "full_memory.h"
#include "logger/decoder.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"

namespace {

using namespace ardenvis;
namespace fs = std::filesystem;

struct FullMemory {
  explicit FullMemory(int kind) {
    const auto session = sim::synthesise_session(bench::full_memory(kind));
    folder = fs::temp_directory_path() / ("ardenvis-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    state.identity.distance_factor = 1000;
    core::DataSet& set = state.current();
    testing::put_downloaded(set, session);
    set.unit = state.identity;
    core::process_data_packets(state, host);
  }
  ~FullMemory() { fs::remove_all(folder); }
  std::string path(const char* name) const { return (folder / name).string(); }

  fs::path folder;
  core::ProgramState state;
  bench::CheapHost host;
};

void report(benchmark::State& st, FullMemory& m, const std::string& file) {
  const core::DataSet& set = m.state.current();
  if (!set.has_data()) st.SkipWithError("no data");
  st.counters["samples"] = set.sample_count();
  st.counters["file_MB"] = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
}

// Reading the file and walking its lines: what any loader of it pays.
size_t read_and_split(const std::string& file) {
  const auto content = core::read_text_file(file);
  core::LineReader lines(*content);
  std::string_view line;
  size_t characters = 0;
  while (lines.next(line)) characters += line.size();
  benchmark::DoNotOptimize(characters);
  return characters;
}

void BM_SaveLogFile(benchmark::State& st) {
  FullMemory m(static_cast<int>(st.range(0)));
  m.host.file = m.path("session.plr");
  for (auto _ : st) {
    if (!core::save_log_data(m.state, m.host)) st.SkipWithError("save failed");
  }
  report(st, m, m.host.file);
}

// Text to raw bytes: the loader alone, against reading and splitting the file.
void BM_LoadLogFile(benchmark::State& st) {
  FullMemory m(static_cast<int>(st.range(0)));
  m.host.file = m.path("session.plr");
  core::save_log_data(m.state, m.host);
  m.state.current_data_set = core::DataSetId::B;
  bench::Ratio ratio;
  for (auto _ : st) {
    const bench::Timing work = bench::timed([&] {
      const auto content = core::read_text_file(m.host.file);
      if (!content || !core::read_log_file_bytes(m.state, m.host, *content)) {
        st.SkipWithError("load failed");
      }
    });
    st.PauseTiming();
    ratio.add(work, bench::timed([&] { read_and_split(m.host.file); }));
    st.ResumeTiming();
  }
  ratio.report(st, "load");
  st.counters["bytes_MB"] = m.state.current().info.raw_byte_count / (1024.0 * 1024.0);
  m.state.current_data_set = core::DataSetId::A;
  report(st, m, m.host.file);
}

// The whole load as the user has it: the file read, its bytes and the decoding.
void BM_LoadAndDecodeLogFile(benchmark::State& st) {
  FullMemory m(static_cast<int>(st.range(0)));
  m.host.file = m.path("session.plr");
  core::save_log_data(m.state, m.host);
  m.state.current_data_set = core::DataSetId::B;
  for (auto _ : st) {
    if (!core::load_log_data(m.state, m.host)) st.SkipWithError("load failed");
  }
  report(st, m, m.host.file);
}

void BM_ExportCsv(benchmark::State& st) {
  FullMemory m(static_cast<int>(st.range(0)));
  m.host.file = m.path("session.csv");
  core::save_csv_data(m.state, m.host, {});
  const std::string bytes = *core::read_text_file(m.host.file);
  const std::string copy = m.path("copy.csv");
  bench::Ratio ratio;
  for (auto _ : st) {
    const bench::Timing work = bench::timed([&] {
      if (!core::save_csv_data(m.state, m.host, {})) st.SkipWithError("export failed");
    });
    st.PauseTiming();
    ratio.add(work, bench::timed([&] {
                core::AtomicTextWriter out;
                out.open(copy);
                constexpr size_t kChunk = 1 << 20;  // the writer's own flush size
                for (size_t at = 0; at < bytes.size(); at += kChunk) {
                  out.write(std::string_view(bytes).substr(at, kChunk));
                }
                if (!out.commit()) st.SkipWithError("floor write failed");
              }));
    st.ResumeTiming();
  }
  ratio.report(st, "export");
  report(st, m, m.host.file);
}

#define FILES_BENCHMARK(name)         \
  BENCHMARK(name)                     \
      ->ArgName("kind")               \
      ->Arg(0)                        \
      ->Arg(1)                        \
      ->Arg(2)                        \
      ->Unit(benchmark::kMillisecond) \
      ->Iterations(3)                 \
      ->Repetitions(5)                \
      ->ReportAggregatesOnly(true)
FILES_BENCHMARK(BM_SaveLogFile);
FILES_BENCHMARK(BM_LoadLogFile);
FILES_BENCHMARK(BM_LoadAndDecodeLogFile);
FILES_BENCHMARK(BM_ExportCsv);

}  // namespace
