// The configuration's round trip through the real serial layer and
// pelorant-sim on a pseudo-terminal: read -> file -> write -> read.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e/run_command.h"
#include "e2e/sim_process.h"

namespace ardenvis {
namespace {

namespace fs = std::filesystem;
using testing::SimProcess;

using testing::run_command;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ConfigTransferE2e : public ::testing::Test {
 protected:
  ConfigTransferE2e() {
    testing::use_private_port_directory();
    dir_ = fs::temp_directory_path() / ("ardenvis-e2e-pcf-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~ConfigTransferE2e() override { fs::remove_all(dir_); }

  std::string cli(const std::string& arguments, int& status) {
    return run_command(std::string(ARDENVIS_CLI_PATH) + " " + arguments, status);
  }
  std::string file(const char* name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

TEST_F(ConfigTransferE2e, ReadFileWriteReadRoundTrip) {
  SimProcess sim(6);
  int status = -1;
  std::string out = cli("config-read --port COM6 --out " + file("first"), status);
  ASSERT_EQ(status, 0) << out;
  // The "Version" page's lines come on stdout, before the file is saved.
  EXPECT_NE(out.find("Pelorant2 Config Downloaded OK\n"), std::string::npos) << out;
  // The simulated unit: the dash at its firmware 4.22 and a position module 1.05,
  // statistics 0, 1, 2, 0, 7.
  EXPECT_NE(out.find("Searching for CAN modules...\n"
                     "CANID:  128 Version: 4.22 Module:(D: Main Dash)\n"
                     "CANID:  132 Version: 1.05 Module:(M: Position)\n"
                     "\n"
                     "Checking CAN Statistics...\n"
                     "BO0.BU1.RE2.TE0.CS7\n"
                     "Config Saved OK\n"),
            std::string::npos)
      << out;
  std::string text = read_file(file("first.pcf"));
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 282);
  // The vehicle weight (EEPROM 4..5, lines 7 and 8) changed by hand: 874 -> 1200 kg.
  const size_t weight = text.find("\r\n6A\r\n03\r\n");
  ASSERT_NE(weight, std::string::npos);
  text.replace(weight, 10, "\r\nB0\r\n04\r\n");
  std::ofstream(file("edited.pcf"), std::ios::binary) << text;

  out = cli("config-write --port COM6 --in " + file("edited.pcf"), status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Config Loaded OK\nPelorant2 Config Uploaded OK\n"), std::string::npos) << out;

  out = cli("config-read --port COM6 --out " + file("second.pcf"), status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(read_file(file("second.pcf")), text);
  // Nothing but the files the commands were given.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

TEST_F(ConfigTransferE2e, FailuresAreNotReportedAsSuccess) {
  int status = -1;
  {
    SimProcess sim(6);
    std::string out = cli("config-read --port COM6 --out " + file("good.pcf"), status);
    ASSERT_EQ(status, 0) << out;
  }
  {
    SimProcess sim(6, {"--config-fail-eeprom", "20"});
    std::string out = cli("config-write --port COM6 --in " + file("good.pcf"), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("error: Problem Writing EEPROM Data Packet"), std::string::npos) << out;
    EXPECT_NE(out.find("warning: Pelorant2 Config Upload Incomplete"), std::string::npos) << out;
    EXPECT_EQ(out.find("Uploaded OK"), std::string::npos) << out;
  }
  {
    SimProcess sim(6, {"--config-silent-after", "80"});
    std::string out = cli("config-read --port COM6 --out " + file("half.pcf"), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("error: Pelorant2 Config Download Failed"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(file("half.pcf")));
  }
  {
    SimProcess sim(6);
    std::string out = cli(
        "config-write --port COM6 --in " + file("good.pcf") + " --odometer-password wrong", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("error: Incorrect Password"), std::string::npos) << out;
  }
}

}  // namespace
}  // namespace ardenvis
