// Downloads from pelorant-sim over a pseudo-terminal through the real serial
// layer: the index, a session into data set B, and the decoded result; then
// the command-line tool's index and download commands.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "e2e/run_command.h"
#include "e2e/sim_process.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "logger/decoder.h"
#include "logger/download.h"
#include "logger/log_index.h"
#include "sim/stored_sessions.h"
#include "state/program_state.h"
#include "support/scripted_host.h"

namespace ardenvis {
namespace {

using testing::ScriptedHost;
using testing::SimProcess;

class DownloadE2e : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    testing::use_private_port_directory();
  }
  void SetUp() override {
    state.link.port = &port;
    state.filter_when_loaded = false;  // compare the unit's own values
  }
  void TearDown() override { core::close_serial_port(state.link); }

  serial::TSerialPort port;
  core::ProgramState state;
  ScriptedHost host;
};

// What the simulator stores with its default setup: the same synthesiser,
// the same seeds.
std::vector<sim::SynthesisedSession> simulator_sessions() {
  sim::SimulatedUnit unit;
  return sim::store_synthesised_sessions(unit.log_memory(), sim::SessionSetup{});
}

// Decoding frames the records that start at least 65 bytes before the end.
long framed_length(const std::vector<uint8_t>& bytes) {
  long c = 0;
  const long n = static_cast<long>(bytes.size());
  while (c <= n - 65) c += core::read_record_header(&bytes[static_cast<size_t>(c)]).length;
  return c;
}

TEST_F(DownloadE2e, SessionIntoDataSetBIsTheUnitsOwnAndDecodes) {
  SimProcess sim(5, {"--fast"});
  state.link.serial_port_number = 5;
  ASSERT_TRUE(core::view_session_data(state, host));
  const auto sessions = simulator_sessions();
  const sim::SynthesisedSession& second = sessions[sessions.size() - 2];  // session 2
  ASSERT_EQ(state.log_index.session(2)->length, static_cast<int32_t>(second.bytes.size()));
  EXPECT_EQ(state.log_index.screen.rows[1].date, "    12/05");

  host.expect(core::MessageKind::Information,
              "Processed " + std::to_string(framed_length(second.bytes)) + " bytes of Data");
  const core::DownloadResult r =
      core::downloadLogSession(state, host, {2, core::DataSetId::B, false, false});
  EXPECT_EQ(host.verify(), "");
  ASSERT_EQ(r.outcome, core::DownloadOutcome::Complete);

  const core::DataSet& slot = state.data_set(core::DataSetId::B);
  EXPECT_EQ(slot.raw, second.bytes);
  EXPECT_EQ(slot.info.label, "Memory B");
  EXPECT_EQ(slot.info.sample_rate, second.sample_rate);
  EXPECT_EQ(slot.download_state, core::kDownloaded);
  EXPECT_NEAR(static_cast<double>(slot.sample_count()), second.samples, 6.0);
  // Every lap the car drove is in the lap table with the unit's own time.
  ASSERT_GE(slot.lap_count(), second.laps);
  for (uint32_t i = 0; i < second.laps; ++i) {
    EXPECT_NEAR(slot.laps[i].lap_time, second.lap_times_ms[i] / 1000.0, 0.011) << i;
  }
  EXPECT_EQ(state.data_set(core::DataSetId::A).info.label, "No Data");
}

// A unit that pauses inside two blocks, paced at 115200 baud as a real line:
// each paused block is asked for once more and the session is the unit's own,
// byte for byte.
TEST_F(DownloadE2e, PausedBlocksOverThePacedLineAreSavedExactly) {
  SimProcess sim(8, {"--sessions", "1", "--session-bytes", "6000", "--pause-block", "1:100:200",
                     "--pause-block", "3:3:80"});
  state.link.serial_port_number = 8;
  ASSERT_TRUE(core::view_session_data(state, host));
  sim::SimulatedUnit unit;
  sim::SessionSetup setup;
  setup.sessions = 1;
  setup.newest_bytes = 6000;
  const auto sessions = sim::store_synthesised_sessions(unit.log_memory(), setup);
  ASSERT_EQ(sessions.back().bytes.size(), 6000u);

  host.expect(
      core::MessageKind::Information,
      "Processed " + std::to_string(framed_length(sessions.back().bytes)) + " bytes of Data");
  const core::DownloadResult r =
      core::downloadLogSession(state, host, {1, core::DataSetId::A, false, false});
  EXPECT_EQ(host.verify(), "");
  ASSERT_EQ(r.outcome, core::DownloadOutcome::Complete);
  EXPECT_EQ(state.data_set(core::DataSetId::A).raw, sessions.back().bytes);
  // The label is written at each failure: the last one was the 5th attempt
  // (blocks 0, 1, 1 again, 2, 3) and the 2nd failure, and no block failed twice.
  EXPECT_EQ(host.progress.efficiency, "60.00%");
  EXPECT_EQ(host.progress.bars[core::ProgressBar::LinkQuality].first, 9);
}

// The lite logger never asks again: a pause stops its download with the
// blocks before it, nothing of the paused block.
TEST_F(DownloadE2e, LiteLoggerPauseStopsWithTheBlocksBeforeIt) {
  SimProcess sim(9, {"--unit-type", "2", "--lite-channel", "1", "--lite-bytes", "1000",
                     "--pause-block", "1:10:200"});
  state.link.serial_port_number = 9;
  ASSERT_TRUE(core::view_session_data(state, host));
  const auto recording = sim::lite_recording(simulator_sessions().back(), 1, 1000);
  ASSERT_EQ(recording.size(), 1000u);

  host.expect(core::MessageKind::Warning, "Ardenvis Lite Download Stopped [1524,6000]");
  host.expect(core::MessageKind::Information, "Processed 1464 bytes of Data");
  const core::DownloadResult r =
      core::downloadLogSession(state, host, {1, core::DataSetId::A, false, false});
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(r.outcome, core::DownloadOutcome::StoppedEarly);
  const core::DataSet& slot = state.data_set(core::DataSetId::A);
  ASSERT_EQ(slot.held_byte_count, 127u * 12);
  for (size_t k = 0; k < 127; ++k) {
    ASSERT_EQ(slot.raw[k * 12 + 5], recording[2 * k]) << k;
    ASSERT_EQ(slot.raw[k * 12 + 6], recording[2 * k + 1]) << k;
  }
  EXPECT_TRUE(std::all_of(slot.raw.begin() + 127 * 12, slot.raw.end(),
                          [](uint8_t byte) { return byte == 0; }));
}

using testing::run_command;

TEST_F(DownloadE2e, CommandLineIndexAndDownload) {
  SimProcess sim(6, {"--fast", "--sessions", "2"});
  int status = -1;
  const std::string cli = ARDENVIS_CLI_PATH;
  const std::string table = run_command(cli + " index --port COM6", status);
  EXPECT_EQ(status, 0) << table;
  EXPECT_NE(table.find("      3              NA             NA     NA       NA"), std::string::npos)
      << table;
  EXPECT_NE(table.find("Total 69.21 Mbit"), std::string::npos) << table;

  const std::string file = std::filesystem::temp_directory_path() / "ardenvis-e2e-download.plr";
  std::filesystem::remove(file);
  std::string out =
      run_command(cli + " download --port COM6 --session 1 --to B --out " + file, status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("File Saved OK"), std::string::npos) << out;
  EXPECT_TRUE(std::filesystem::exists(file));

  // The file exists now: without --yes the overwrite is refused.
  out = run_command(cli + " download --port COM6 --session 1 --out " + file, status);
  EXPECT_NE(status, 0) << out;
  EXPECT_NE(out.find("File Exists, Overwrite File ?"), std::string::npos) << out;
  out = run_command(cli + " download --port COM6 --session 1 --out " + file + " --yes", status);
  EXPECT_EQ(status, 0) << out;
  std::filesystem::remove(file);

  // An output that cannot be written is refused before the transfer.
  for (const std::string& bad : {std::string("/nonexistent-ardenvis/session.plr"), file + ".txt"}) {
    out = run_command(cli + " download --port COM6 --session 1 --out " + bad, status);
    EXPECT_EQ(status, 2) << out;
    EXPECT_NE(out.find("download: cannot write " + bad), std::string::npos) << out;
    EXPECT_NE(out.find("nothing downloaded"), std::string::npos) << out;
    EXPECT_EQ(out.find("received"), std::string::npos) << out;
  }

  out = run_command(cli + " download --port COM6 --session 9 --raw /dev/null", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("No Data to Download"), std::string::npos) << out;
}

// pelorant-sim with seeded faults on its output, through the real port and
// the command-line tool: each download writes exactly the unit's bytes, or
// fails and writes nothing; the simulator counts the faults at exit.
TEST_F(DownloadE2e, LineFaultsEndInTheUnitsBytesOrInNothingWritten) {
  const std::string sim = testing::kPelorantSimPath;
  const std::string cli = ARDENVIS_CLI_PATH;
  const std::string dir = std::filesystem::temp_directory_path() / "ardenvis-e2e-faults";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  int status = -1;
  std::string clean;
  {
    SimProcess clean_sim(2, {"--fast", "--sessions", "1"});
    const std::string out =
        run_command(cli + " download --port COM2 --session 1 --raw " + dir + "/clean.raw", status);
    ASSERT_EQ(status, 0) << out;
  }
  const auto bytes_of = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string clean_bytes = bytes_of(dir + "/clean.raw");
  ASSERT_FALSE(clean_bytes.empty());
  int downloaded = 0;
  for (int seed = 1; seed <= 4; ++seed) {
    const std::string raw = dir + "/faults" + std::to_string(seed) + ".raw";
    const std::string script =
        sim + " --port 2 --fast --sessions 1 --line-faults " + std::to_string(seed) + ":3 >" + dir +
        "/sim.log & sim=$!; while [ ! -e " + std::string(core::pinned_port_path(2)) +
        " ]; do sleep 0.02; done; " + cli + " download --port COM2 --session 1 --raw " + raw +
        "; echo \"exit $?\"; kill $sim; wait $sim; cat " + dir + "/sim.log";
    const std::string out = run_command("sh -c '" + script + "'", status);
    SCOPED_TRACE(out);
    EXPECT_NE(out.find("pelorant-sim: line faults: drop "), std::string::npos);
    if (out.find("exit 0") != std::string::npos) {
      ++downloaded;
      EXPECT_EQ(bytes_of(raw), clean_bytes);
    } else {
      EXPECT_FALSE(std::filesystem::exists(raw));
    }
  }
  EXPECT_GT(downloaded, 0);
  std::filesystem::remove_all(dir);
}

TEST_F(DownloadE2e, BadBlockIsSentAgainOverTheRealPort) {
  SimProcess sim(7, {"--fast", "--sessions", "1", "--bad-block", "3:2"});
  int status = -1;
  const std::string out = run_command(
      std::string(ARDENVIS_CLI_PATH) + " download --port COM7 --session 1 --raw /dev/null", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find("Stopped"), std::string::npos) << out;
}

// Below firmware 422 block 3 fails and the transfer stops after 762 verified
// bytes. By default nothing is written and no file is replaced; with
// --keep-partial the verified part is written, over an existing file only
// with --yes. Either way the exit status says the transfer stopped.
TEST_F(DownloadE2e, StoppedTransferNeverReplacesAGoodFile) {
  SimProcess sim(7, {"--fast", "--sessions", "1", "--firmware", "421", "--bad-block", "3"});
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "ardenvis-e2e-stopped";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string good = (dir / "good.plr").string();
  const std::string good_raw = (dir / "good.bin").string();
  for (const std::string& path : {good, good_raw}) std::ofstream(path) << "a good download";
  const auto untouched = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {}) == "a good download";
  };
  const std::string cli = std::string(ARDENVIS_CLI_PATH) + " download --port COM7 --session 1 ";
  int status = -1;

  std::string out = run_command(cli + "--out " + good + " --raw " + good_raw + " --yes", status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("Ardenvis Download Stopped [762,"), std::string::npos) << out;
  EXPECT_NE(out.find("nothing written"), std::string::npos) << out;
  EXPECT_TRUE(untouched(good));
  EXPECT_TRUE(untouched(good_raw));

  out = run_command(cli + "--out " + good + " --raw " + good_raw + " --keep-partial", status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find(good + " exists"), std::string::npos) << out;
  EXPECT_NE(out.find(good_raw + " exists"), std::string::npos) << out;
  EXPECT_TRUE(untouched(good));
  EXPECT_TRUE(untouched(good_raw));

  const std::string partial = (dir / "partial.bin").string();
  out = run_command(cli + "--raw " + partial + " --keep-partial", status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_EQ(fs::file_size(partial), 762u) << out;

  out = run_command(cli + "--out " + good + " --keep-partial --yes", status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("File Saved OK"), std::string::npos) << out;
  EXPECT_FALSE(untouched(good));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace ardenvis
