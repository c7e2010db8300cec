// ardenvis-cli export-csv on a log data file saved from a synthesised session.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e/run_command.h"
#include "files/log_file.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis {
namespace {

namespace fs = std::filesystem;

using testing::run_command;

std::vector<std::string> lines_of(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The sample lines: everything after the column header.
std::vector<std::string> samples(const std::vector<std::string>& lines) {
  auto header = std::find_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.starts_with("PeloTime (s),"); });
  return header == lines.end() ? std::vector<std::string>{}
                               : std::vector<std::string>(header + 1, lines.end());
}

double field(const std::string& line, int index) {
  std::stringstream s(line);
  std::string value;
  for (int i = 0; i <= index; ++i) std::getline(s, value, ',');
  return std::stod(value);
}

class ExportCsvCli : public ::testing::Test {
 protected:
  ExportCsvCli() {
    dir_ = fs::temp_directory_path() / ("ardenvis-e2e-csv-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    sim::SessionOptions options;
    options.laps = 3;
    const auto session = sim::synthesise_session(options);
    core::ProgramState state;
    core::DataSet& set = state.current();
    testing::put_downloaded(set, session);
    state.identity.distance_factor = 1000;
    testing::ScriptedHost host;
    core::process_data_packets(state, host);
    samples_ = set.sample_count();
    laps_ = set.lap_count();
    host.queue_save_file(plr());
    core::save_log_data(state, host);
  }
  ~ExportCsvCli() override { fs::remove_all(dir_); }

  std::string plr() const { return (dir_ / "session.plr").string(); }
  std::string csv() const { return (dir_ / "session.csv").string(); }
  std::string export_csv(const std::string& options, int& status) {
    return run_command(
        std::string(ARDENVIS_CLI_PATH) + " export-csv " + plr() + " " + csv() + options, status);
  }

  fs::path dir_;
  uint32_t samples_ = 0;
  uint32_t laps_ = 0;
};

TEST_F(ExportCsvCli, ExportsInTheChosenUnits) {
  ASSERT_GT(samples_, 1000u);
  int status = -1;
  std::string out = export_csv("", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("File Saved OK"), std::string::npos) << out;
  const auto plain = lines_of(csv());
  const auto plain_samples = samples(plain);
  ASSERT_EQ(plain_samples.size(), samples_);
  EXPECT_NE(std::find(plain.begin(), plain.end(), "Note: Orvik Speed +3% over reading IN DATA"),
            plain.end());
  for (const auto& line : plain_samples) {
    ASSERT_EQ(std::count(line.begin(), line.end(), ','), 20) << line;
  }
  EXPECT_EQ(std::count(plain.begin(), plain.end(), "Segment Times:"), 1);

  // Overwriting needs --yes; without it the answer is No.
  out = export_csv(" --kmh --feet --minus3", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("No Data Saved"), std::string::npos) << out;
  out = export_csv(" --kmh --feet --minus3 --yes", status);
  EXPECT_EQ(status, 0) << out;
  const auto converted = lines_of(csv());
  const auto converted_samples = samples(converted);
  ASSERT_EQ(converted_samples.size(), samples_);
  EXPECT_NE(std::find(converted.begin(), converted.end(),
                      "Note: Orvik Speed +3% over reading REMOVED FROM DATA"),
            converted.end());
  const size_t k = samples_ / 2;
  // Speed (column 3, one decimal) scaled by 0.97 x 1.6; Odo (column 14) by 3.281.
  EXPECT_NEAR(field(converted_samples[k], 3), field(plain_samples[k], 3) * 1.552, 0.2);
  EXPECT_NEAR(field(converted_samples[k], 14), field(plain_samples[k], 14) * 3.281, 4);
}

TEST_F(ExportCsvCli, FailuresExitNonZero) {
  int status = -1;
  std::string out = run_command(
      std::string(ARDENVIS_CLI_PATH) + " export-csv " + dir_.string() + "/missing.plr " + csv(),
      status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("Filename Does Not Exist, No Data Loaded"), std::string::npos) << out;
  out = run_command(
      std::string(ARDENVIS_CLI_PATH) + " export-csv " + plr() + " " + dir_.string() + "/out.CSV",
      status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("Invalid Filename, No Data Saved"), std::string::npos) << out;
  out = run_command(std::string(ARDENVIS_CLI_PATH) + " export-csv " + plr(), status);
  EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace ardenvis
