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

TEST_F(ExportCsvCli, MathChannelsFollowTheStandardColumnsUnchanged) {
  int status = -1;
  std::string out = export_csv("", status);
  ASSERT_EQ(status, 0) << out;
  const auto plain = lines_of(csv());
  const std::string library = (dir_ / "channels.txt").string();
  std::ofstream(library) << "# test channels\n"
                            "Speed x2 [MPH] = Speed * 2\n"
                            "no equals sign\n"
                            "Typo = Sped / 2\n"
                            "Rate [m/s] = d(Odo)\n";
  out = export_csv(" --yes --math " + library, status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find(library + ": Line 3: no \"=\" between the name and the formula"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(library + ": line 4: math channel \"Typo\" is empty: Formula \"Sped / "
                               "2\": unknown channel \"Sped\" at position 1"),
            std::string::npos)
      << out;
  const auto with_math = lines_of(csv());
  ASSERT_EQ(with_math.size(), plain.size());
  const auto first_sample = static_cast<size_t>(plain.size() - samples_);
  for (size_t i = 0; i < plain.size(); ++i) {
    if (i + 1 < first_sample) {
      ASSERT_EQ(with_math[i], plain[i]) << "line " << i + 1;
    } else {
      // The standard columns byte for byte, then the math channels.
      ASSERT_EQ(with_math[i].substr(0, plain[i].size() + 1), plain[i] + ",") << "line " << i + 1;
    }
  }
  EXPECT_EQ(with_math[first_sample - 1].substr(plain[first_sample - 1].size()),
            ",Speed x2 (MPH),Typo,Rate (m/s)");
  const std::string& line = with_math[first_sample + samples_ / 2];
  const std::string extra = line.substr(plain[first_sample + samples_ / 2].size());
  EXPECT_EQ(std::count(extra.begin(), extra.end(), ','), 3) << extra;
  EXPECT_NEAR(field(line, 21), 2 * field(line, 3), 0.11) << line;
  EXPECT_NE(extra.find(",,"), std::string::npos) << "Typo is an empty field: " << extra;
  EXPECT_GT(field(line, 23), 0) << line;
}

TEST_F(ExportCsvCli, MathCheckListsEveryProblem) {
  const std::string good = (dir_ / "good.txt").string();
  std::ofstream(good) << "Combined G [g] = hypot(G_Lat, G_Long)\nBrake time = "
                         "lap_integral(Brake / 100)\n";
  int status = -1;
  std::string out = run_command(std::string(ARDENVIS_CLI_PATH) + " math-check " + good, status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out, "2 channels ready, 0 problems\n");

  const std::string bad = (dir_ / "bad.txt").string();
  std::ofstream(bad) << "Slip [% = 1\nOK = Speed\nRatio = Speed / 0\n";
  out = run_command(std::string(ARDENVIS_CLI_PATH) + " math-check " + bad, status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_EQ(out,
            "Line 1: missing \"]\" after the unit\n"
            "Line 3 (Ratio): Formula \"Speed / 0\": division by zero at position 7\n"
            "1 channels ready, 2 problems\n");
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
