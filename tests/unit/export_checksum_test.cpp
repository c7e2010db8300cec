// Whole-log results that must never move by one byte: the spreadsheet export
// and every decoded series of full log memories (and of a log data file round
// trip), pinned by checksums recorded from the program as users have it. Any
// change to decoding, smoothing, unit conversion, the file load or the number
// formatting that alters a single digit fails here.

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/csv_export.h"
#include "files/log_file.h"
#include "logger/data_set_units.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

// FNV-1a, 64 bits.
struct Checksum {
  uint64_t value = 0xcbf29ce484222325ull;
  void add(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) value = (value ^ p[i]) * 0x100000001b3ull;
  }
};

uint64_t text_checksum(const std::string& text) {
  Checksum c;
  c.add(text.data(), text.size());
  return c.value;
}

// Every decoded series of the slot, value by value through the reading rule
// (so a series without storage counts the same as one full of zeros).
uint64_t series_checksum(const DataSet& set) {
  Checksum c;
  const long n = static_cast<long>(set.sample_count());
  for (int ch = 0; ch < static_cast<int>(Channel::XAxis); ++ch) {
    const Series& s = set.series[static_cast<size_t>(ch)];
    for (long k = 1; k <= n; ++k) {
      const uint64_t bits = std::bit_cast<uint64_t>(s[k]);
      c.add(&bits, sizeof bits);
    }
  }
  return c.value;
}

struct Case {
  const char* name;
  sim::SessionOptions options;
  bool display_units;  // km/h, bar, degF, feet, "-3% Calibration" and both G corrections
  uint64_t export_checksum;
  uint64_t series_checksum;
};

sim::SessionOptions full_memory(uint8_t rate, int gps, int sensor, int gear, bool extra,
                                sim::DistanceForm form) {
  sim::SessionOptions o;
  o.sample_rate = rate;
  o.size_target = sim::kFullLogMemoryBytes;
  o.seed = 3;
  o.gps_hz = gps;
  o.sensor_hz = sensor;
  o.second_sensor_module = sensor > 1;
  o.gear_module_hz = gear;
  o.extra_inputs = extra;
  o.distance_form = form;
  return o;
}

class ExportChecksum : public ::testing::Test {
 protected:
  ExportChecksum() {
    dir_ = fs::temp_directory_path() / ("ardenvis-checksum-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    state.identity.distance_factor = 1000;
    state.identity.pulses_per_rev = 1;
  }
  ~ExportChecksum() override { fs::remove_all(dir_); }

  void decode(const sim::SynthesisedSession& session) {
    DataSet& set = state.current();
    testing::put_downloaded(set, session);
    process_data_packets(state, host);
    ASSERT_TRUE(set.has_data());
  }

  std::string exported() {
    const std::string file = (dir_ / "out.csv").string();
    AtomicTextWriter out;
    EXPECT_TRUE(out.open(file));
    write_csv(out, state.current(), state.unit_flags, state.speed_calibration, host);
    EXPECT_TRUE(out.commit());
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  ProgramState state;
  ScriptedHost host;
};

TEST_F(ExportChecksum, FullLogMemoriesExportAndDecodeUnchanged) {
  using sim::DistanceForm;
  const Case cases[] = {
      {"dense, add-ons once a second", full_memory(20, 1, 1, 1, false, DistanceForm::Metres), false,
       10680775037089875279ull, 8164178463208636952ull},
      {"every add-on", full_memory(20, 10, 5, 5, true, DistanceForm::Metres), false,
       5615997053364295863ull, 13364808347766068514ull},
      {"no GPS, sensor or gear module", full_memory(20, 0, 0, 0, false, DistanceForm::Metres),
       false, 13388520573092230476ull, 16531148575828570693ull},
      {"pulses at 10/s in display units", full_memory(10, 0, 5, 0, true, DistanceForm::Pulses),
       true, 17496326875418080069ull, 12984148928645216957ull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state = ProgramState{};
    state.identity.distance_factor = 1000;
    state.identity.pulses_per_rev = 1;
    decode(sim::synthesise_session(c.options));
    if (c.display_units) {
      state.unit_flags = {true, true, true, true};
      state.speed_calibration = true;
      change_loaded_units(state, DataSetId::A, {true, true, true});
    }
    EXPECT_EQ(series_checksum(state.current()), c.series_checksum);
    EXPECT_EQ(text_checksum(exported()), c.export_checksum);
  }
}

// A full log memory saved as a log data file and loaded into the other slot
// decodes to the same bytes as ever.
TEST_F(ExportChecksum, FullLogMemoryThroughTheLogDataFile) {
  decode(sim::synthesise_session(full_memory(20, 10, 5, 5, true, sim::DistanceForm::Metres)));
  state.current().unit = state.identity;
  const std::string file = (dir_ / "full.plr").string();
  state.file(FileKind::LogData) = {dir_.string() + "/", "full.plr"};
  host.queue_save_file(file);
  ASSERT_TRUE(save_log_data(state, host));
  state.current_data_set = DataSetId::B;
  host.queue_open_file(file);
  ASSERT_TRUE(load_log_data(state, host));
  const DataSet& b = state.current();
  ASSERT_TRUE(b.has_data());
  Checksum raw;
  raw.add(b.raw.data(), b.info.raw_byte_count);
  EXPECT_EQ(raw.value, 200005795139524183ull);
  EXPECT_EQ(series_checksum(b), 13364808347766068514ull);
  EXPECT_EQ(text_checksum(exported()), 180332253237283378ull);
}

}  // namespace
}  // namespace ardenvis::core
