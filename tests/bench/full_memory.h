#pragma once
// What the core benchmarks share: a host whose event pump costs what the
// throttled Qt one does when nothing is pending, full log memories of the
// kinds users open, and the floors every figure is divided by. Absolute times
// differ 3-4x between machines, so each benchmark measures its floor in the
// same run, iteration by iteration, and reports the ratio.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/host.h"
#include "sim/session_synth.h"
#include "state/data_set.h"

namespace ardenvis::bench {

// Every dialog gets `file`; every question is answered Yes (overwrite).
class CheapHost : public core::Host {
 public:
  core::Answer message(core::MessageKind, const std::string&, core::Buttons buttons) override {
    ++messages;
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
  core::NullProgress progress;
  long calls = 0;
  int messages = 0;
  std::chrono::steady_clock::time_point last_look;
};

// Kinds of full log memory at 20 samples/s:
//  0 "bare": no GPS, sensor or gear module, no extra inputs (about 550k samples);
//  1 "dense": as bare, but every module sending once a second;
//  2 "rich": every module at its usual rate (fewer samples, many more frames).
inline const char* kLogKindNames = "0 bare, 1 dense, 2 rich";
inline sim::SessionOptions full_memory(int kind) {
  sim::SessionOptions o;
  o.sample_rate = 20;
  o.size_target = sim::kFullLogMemoryBytes;
  o.seed = 3;
  if (kind == 0) {
    o.extra_inputs = false;
    o.gps_hz = o.sensor_hz = o.gear_module_hz = 0;
    o.second_sensor_module = false;
    o.other_can_hz = 1;
  } else if (kind == 1) {
    o.extra_inputs = false;
    o.gps_hz = o.sensor_hz = o.gear_module_hz = o.other_can_hz = 1;
    o.second_sensor_module = false;
  }
  return o;
}

inline double ms_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// CPU time of this thread (user and system), ms: unlike the wall clock it does
// not grow while other processes have the cores.
inline double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Timing {
  double wall_ms = 0;
  double cpu_ms = 0;
};

template <typename Work>
Timing timed(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu = thread_cpu_ms();
  work();
  return {ms_since(start), thread_cpu_ms() - cpu};
}

template <typename Work>
double timed_ms(Work&& work) {
  return timed(work).wall_ms;
}

// Work and floor timed side by side in every iteration (so both see the same
// machine); the counters give the mean of each and their ratio, by the wall
// clock and by this thread's CPU time (the one to trust while other work
// shares the cores).
struct Ratio {
  Timing work;
  Timing floor;
  int count = 0;
  void add(Timing w, Timing f) {
    work.wall_ms += w.wall_ms;
    work.cpu_ms += w.cpu_ms;
    floor.wall_ms += f.wall_ms;
    floor.cpu_ms += f.cpu_ms;
    ++count;
  }
  void report(benchmark::State& st, const std::string& work_name = "work") const {
    if (count == 0) return;
    st.counters[work_name + "_ms"] = work.wall_ms / count;
    st.counters["floor_ms"] = floor.wall_ms / count;
    st.counters["ratio"] = work.wall_ms / floor.wall_ms;
    st.counters[work_name + "_cpu_ms"] = work.cpu_ms / count;
    st.counters["floor_cpu_ms"] = floor.cpu_ms / count;
    st.counters["cpu_ratio"] = work.cpu_ms / floor.cpu_ms;
  }
};

// Writes N doubles, in order, into every series of the slot that holds
// storage: what decoding stores, with nothing computed.
inline void write_series_floor(core::DataSet& set) {
  for (core::Series& s : set.series) {
    if (!s.has_storage()) continue;
    double* x = s.data();
    const long n = s.size();
    for (long i = 0; i < n; ++i) x[i] = static_cast<double>(i);
    benchmark::DoNotOptimize(x);
    benchmark::ClobberMemory();
  }
}

inline size_t stored_doubles(const core::DataSet& set) {
  size_t count = 0;
  for (const core::Series& s : set.series) {
    if (s.has_storage()) count += static_cast<size_t>(s.size());
  }
  return count;
}

// Resident memory of this process now (VmRSS) and at its peak (VmHWM), MB.
inline double status_mb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::string(key).size())) / 1024.0;
  }
  return 0;
}

}  // namespace ardenvis::bench
