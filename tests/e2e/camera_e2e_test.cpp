// The camera database against pelorant-sim over a pseudo-terminal: the
// command-line tool loads, uploads and checks a file; the core uploads and
// checks through the real serial layer while the unit answers late and pauses
// inside a read-back block.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/camera_database.h"
#include "e2e/run_command.h"
#include "e2e/sim_process.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "state/program_state.h"
#include "support/scripted_host.h"
#include "unit/camera_fixture.h"

namespace ardenvis {
namespace {

using testing::CamFile;
using testing::ScriptedHost;
using testing::SimProcess;

using testing::run_command;

class CameraE2e : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    testing::use_private_port_directory();
  }
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("ardenvis-e2e-camera-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string write_file(const CamFile& file) {
    const std::string path = (folder_ / "cameras.cam").string();
    std::ofstream out(path, std::ios::binary);
    out << file.text();
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(CameraE2e, CommandLineLoadsUploadsAndChecks) {
  const std::string path = write_file(CamFile(2000));
  const std::string cli = ARDENVIS_CLI_PATH;
  int status = -1;
  std::string out = run_command(cli + " camera-check-file " + path, status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Loading 2036 bytes of data..."), std::string::npos) << out;
  EXPECT_NE(out.find("Data Loaded OK"), std::string::npos) << out;
  EXPECT_NE(out.find("Camera Locations: 3"), std::string::npos) << out;
  EXPECT_NE(out.find("PocketGPS File Version: 2.500"), std::string::npos) << out;
  EXPECT_NE(out.find("Orvik Format Version: 1.050"), std::string::npos) << out;

  SimProcess sim(8, {"--firmware", "425"});  // paced at 115200 baud
  out = run_command(cli + " camera-upload --port COM8 --in " + path, status);
  EXPECT_EQ(status, 0) << out;
  // The command line's answer to the erase question is No: erase and write.
  EXPECT_NE(out.find("warning: The unit's logged sessions will be erased. Download them first?\n"
                     "  -> No\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("Data Upload OK"), std::string::npos) << out;
  out = run_command(cli + " camera-check --port COM8 --in " + path, status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Ver: 4.25"), std::string::npos) << out;
  EXPECT_NE(out.find("Checking 2036 bytes of data..."), std::string::npos) << out;
  EXPECT_NE(out.find("Database Test Passed OK"), std::string::npos) << out;

  // Another file against what the unit holds: the check fails, exit 1.
  CamFile other(2000);
  other.records[1500] ^= 0xFF;
  const std::string other_path = write_file(other);
  out = run_command(cli + " camera-check --port COM8 --in " + other_path, status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("Database Test FAILED"), std::string::npos) << out;
}

TEST_F(CameraE2e, LateRepliesAndAPauseInsideABlockStayInStep) {
  // Every upload reply comes 80 ms late and the erase takes 400 ms; the third
  // read-back block stops for 200 ms after 3 bytes.
  SimProcess sim(9, {"--firmware", "424", "--reply-delay", "80", "--erase-delay", "400",
                     "--pause-block", "2:3:200"});
  serial::TSerialPort port;
  core::ProgramState state;
  ScriptedHost host;
  testing::RecordingMemo memo;
  state.link.port = &port;
  state.link.serial_port_number = 9;
  core::open_serial_port(state.link, 9);
  ASSERT_TRUE(state.link.serial_port_open);
  CamFile file(1500);
  host.expect("Data Loaded OK");
  core::load_camera_database(state.camera, file.text(), "cameras.cam", host, memo,
                             state.config_cancel);

  host.expect("The unit's logged sessions will be erased. Download them first?", core::Answer::No);
  host.expect("Data Upload OK");
  const auto upload = core::writeFlashData(state, host, memo);
  EXPECT_EQ(upload.failures, 0);
  host.expect("Database Test Passed OK");
  const auto check = core::readFlashData(state, host, memo);
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(check.failures, 1);
  EXPECT_EQ(state.camera.read_back, file.image());
  core::close_serial_port(state.link);
}

}  // namespace
}  // namespace ardenvis
