// ardenvis-cli laps and lap-export on a log data file saved from a
// synthesised session: stdout holds only the grid, messages go to stderr, and
// the exit status tells success.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/format.h"
#include "files/log_file.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = -1;
  std::string out;  // stdout
  std::string err;  // stderr
};

CliRun run(const std::string& command, const fs::path& err_file) {
  CliRun result;
  FILE* pipe = popen((command + " 2>" + err_file.string()).c_str(), "r");
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) result.out += buffer;
  const int raw = pipe ? pclose(pipe) : -1;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(err_file);
  std::stringstream text;
  text << in.rdbuf();
  result.err = text.str();
  return result;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream s(text);
  for (std::string part; std::getline(s, part, separator);) parts.push_back(part);
  return parts;
}

class LapsCli : public ::testing::Test {
 protected:
  LapsCli() {
    dir_ = fs::temp_directory_path() / ("ardenvis-e2e-laps-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    sim::SessionOptions options;
    options.laps = 4;
    options.sample_rate = 20;
    const auto session = sim::synthesise_session(options);
    core::ProgramState state;
    core::DataSet& set = state.current();
    testing::put_downloaded(set, session);
    state.identity.distance_factor = options.distance_factor;
    testing::ScriptedHost host;
    core::process_data_packets(state, host);
    laps_ = static_cast<int>(set.lap_count());
    for (int i = 0; i < laps_; ++i) {
      laps_list_.emplace_back(set.laps[static_cast<size_t>(i)].session,
                              set.laps[static_cast<size_t>(i)].lap_number);
    }
    host.queue_save_file(plr());
    core::save_log_data(state, host);
  }
  ~LapsCli() override { fs::remove_all(dir_); }

  std::string plr() const { return (dir_ / "session.plr").string(); }
  CliRun cli(const std::string& arguments) {
    return run(std::string(ARDENVIS_CLI_PATH) + " " + arguments, dir_ / "stderr.txt");
  }

  fs::path dir_;
  int laps_ = 0;
  std::vector<std::pair<int, int>> laps_list_;  // session, lap number
};

TEST_F(LapsCli, PrintsTheGridRowsEndAndSummary) {
  ASSERT_GE(laps_, 3);
  CliRun r = cli("laps " + plr());
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = split(r.out, '\n');
  ASSERT_EQ(lines.size(), static_cast<size_t>(laps_) + 3) << r.out;
  EXPECT_EQ(lines[0], "Session,Lap,Lap Time (s),Distance (m),Avg MPH,Split 1,Split 2");
  for (int i = 1; i <= laps_; ++i) {
    const auto fields = split(lines[static_cast<size_t>(i)], ',');
    ASSERT_EQ(fields.size(), 7u) << lines[static_cast<size_t>(i)];
    // Record order, with the lap's own session and number.
    EXPECT_EQ(fields[0], std::to_string(laps_list_[static_cast<size_t>(i - 1)].first));
    EXPECT_EQ(fields[1], std::to_string(laps_list_[static_cast<size_t>(i - 1)].second));
    EXPECT_EQ(fields[2].find('.'), fields[2].size() - 3);  // two decimals
    EXPECT_EQ(fields[3].find('.'), fields[3].size() - 2);  // one decimal
  }
  EXPECT_EQ(lines[static_cast<size_t>(laps_) + 1], "End");
  const auto summary = split(lines.back(), ',');
  ASSERT_EQ(summary.size(), 15u) << lines.back();
  EXPECT_EQ(summary[0], "Best: Sess");
  EXPECT_EQ(summary[2], "Lap");
  EXPECT_EQ(summary[8], "MPH");
  EXPECT_EQ(summary[9], "Theory");
  EXPECT_EQ(summary[11], "s");
  EXPECT_EQ(summary[12], "Avg Dist");
  EXPECT_EQ(summary[14], "(m)");
  EXPECT_EQ(r.out.find('\r'), std::string::npos);

  // Segments: M + 1 columns; units follow the flags.
  r = cli("laps " + plr() + " --splits 4 --segments --kmh --feet");
  ASSERT_EQ(r.status, 0) << r.err;
  lines = split(r.out, '\n');
  EXPECT_EQ(lines[0],
            "Session,Lap,Lap Time (s),Distance (ft),Avg KMH,Seg 1,Seg 2,Seg 3,Seg 4,Seg 5");
  EXPECT_EQ(split(lines[1], ',').size(), 10u);
  const auto feet = split(lines.back(), ',');
  EXPECT_EQ(feet[8], "KMH");
  EXPECT_EQ(feet[14], "(ft)");
  // The segments of a lap add up to its lap time.
  const auto row = split(lines[2], ',');
  double sum = 0;
  for (size_t k = 5; k < row.size(); ++k) sum += std::stod(row[k]);
  EXPECT_NEAR(sum, std::stod(row[2]), 0.03);

  r = cli("laps " + plr() + " --splits 33");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  r = cli("laps " + (dir_ / "missing.plr").string());
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("Filename Does Not Exist, No Data Loaded"), std::string::npos) << r.err;
}

TEST_F(LapsCli, LapExportWritesTheChosenLap) {
  ASSERT_GE(laps_, 2);
  const auto [session, lap] = laps_list_[1];
  const fs::path out = dir_ / "lap.csv";
  const std::string args = core::format("lap-export %s --session %d --lap %d %s", plr().c_str(),
                                        session, lap, out.string().c_str());
  CliRun r = cli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("File Saved OK"), std::string::npos) << r.err;
  std::ifstream in(out, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const auto lines = split(text.str(), '\n');
  ASSERT_GT(lines.size(), 100u);
  EXPECT_EQ(lines[0], "Format, MoTeC CSV File\r");
  EXPECT_EQ(lines[8], "Sample Rate,20\r");
  EXPECT_EQ(lines[10], core::format("Reference,Session_%d_Lap_%d\r", session, lap));
  const std::string metres_last = lines.back();

  // Again in feet, answering the overwrite question: still kilometres.
  r = cli(args + " --feet");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("No Data Saved"), std::string::npos) << r.err;
  r = cli(args + " --feet --yes");
  ASSERT_EQ(r.status, 0) << r.err;
  std::ifstream again(out, std::ios::binary);
  std::stringstream feet_text;
  feet_text << again.rdbuf();
  const auto feet_lines = split(feet_text.str(), '\n');
  ASSERT_EQ(feet_lines.size(), lines.size());
  EXPECT_NEAR(std::stod(split(feet_lines.back(), ',')[1]), std::stod(split(metres_last, ',')[1]),
              0.0015);

  // No such lap: the message, a failure, and no file.
  const fs::path none = dir_ / "none.csv";
  r = cli(core::format("lap-export %s --session %d --lap 200 %s", plr().c_str(), session,
                       none.string().c_str()));
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("No Valid Lap Data Selected"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(none));
}

}  // namespace
}  // namespace ardenvis
