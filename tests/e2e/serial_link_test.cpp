// The real serial layer against pelorant-sim on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "e2e/sim_process.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "support/scripted_host.h"

namespace ardenvis {
namespace {

using testing::ScriptedHost;
using testing::SimProcess;

class SerialLink : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    testing::use_private_port_directory();
  }
  void SetUp() override { link.port = &port; }
  void TearDown() override { core::close_serial_port(link); }

  serial::TSerialPort port;
  core::UnitLink link;
  ScriptedHost host;
};

double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

TEST_F(SerialLink, OpenHandshakeAndSilentRead) {
  SimProcess sim(3, {"--fast", "--firmware", "425"});
  ASSERT_EQ(core::change_serial_port(link, host, 3), 3);
  EXPECT_EQ(port.settings_text(), "COM3: baud=115200 parity=N data=8 stop=1 xon=off TO=ON");
  EXPECT_EQ(port.device_name(), "COM3:");

  ASSERT_EQ(core::run_handshake(link, host, core::Operation::DownloadLogSession),
            core::HandshakeResult::Ok);
  EXPECT_EQ(link.unit.version_number, 425);
  EXPECT_EQ(host.verify(), "");

  // Nothing more is sent: a read gives up after about 50 ms and returns 0.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.read_byte(), 0);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_GE(ms, 40);
  EXPECT_LE(ms, 80);

  // Re-opening the open port succeeds (it is closed first).
  EXPECT_EQ(core::change_serial_port(link, host, 3), 3);
  ASSERT_EQ(core::run_handshake(link, host, core::Operation::ReadLogIndex),
            core::HandshakeResult::Ok);
}

TEST_F(SerialLink, StatusRefusalTextOverTheWire) {
  SimProcess sim(4, {"--status", "189"});  // paced at 115200 baud
  ASSERT_EQ(core::change_serial_port(link, host, 4), 4);
  host.expect(core::MessageKind::Warning, "Stop the Engine before proceeding...");
  EXPECT_EQ(core::run_handshake(link, host, core::Operation::ClearLogMemory),
            core::HandshakeResult::StatusRefused);
  EXPECT_EQ(host.verify(), "");
}

TEST_F(SerialLink, MissingPortWarnsAndShowsNone) {
  // COM7 pinned to a device that is gone.
  std::filesystem::create_directories(core::port_directory());
  std::filesystem::create_symlink("/dev/does-not-exist", core::pinned_port_path(7));
  host.expect(core::MessageKind::Warning, "Cannot Open COM Port 7");
  EXPECT_EQ(core::change_serial_port(link, host, 7), 0);
  EXPECT_EQ(link.serial_port_number, 0);
  EXPECT_EQ(host.verify(), "");
  std::filesystem::remove(core::pinned_port_path(7));
}

TEST_F(SerialLink, VanishedDeviceReadsAsSilenceWithoutSpinning) {
  auto sim = std::make_unique<SimProcess>(5, std::vector<std::string>{"--fast"});
  ASSERT_EQ(core::change_serial_port(link, host, 5), 5);
  EXPECT_EQ(sim->stop(), 0);  // stops cleanly and removes its link
  EXPECT_FALSE(std::filesystem::exists(core::pinned_port_path(5)));
  const double cpu_before = cpu_seconds();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(port.read_byte(), 0);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(wall, 0.3);                        // each read waited
  EXPECT_LT(cpu_seconds() - cpu_before, 0.1);  // without burning the CPU
  // The port can be opened again once the unit is back.
  SimProcess back(5, {"--fast"});
  EXPECT_EQ(core::change_serial_port(link, host, 5), 5);
  EXPECT_EQ(core::run_handshake(link, host, core::Operation::DownloadLogSession),
            core::HandshakeResult::Ok);
}

// At 115200 baud a byte takes 1/11520 s on the line, also when the line was
// idle before it: a quiet spell earns no credit to send a reply faster. A
// block of 255 bytes asked for after a short wait takes its 22 ms. (A loaded
// machine only makes it slower.)
TEST_F(SerialLink, PacedReplyAfterAnIdleLineTakesItsByteTime) {
  SimProcess sim(6, {});
  ASSERT_EQ(core::change_serial_port(link, host, 6), 6);
  ASSERT_EQ(core::run_handshake(link, host, core::Operation::DownloadLogSession),
            core::HandshakeResult::Ok);
  for (int block = 0; block < 3; ++block) {
    if (block == 0) {
      const uint8_t start[] = {'o', 0, 0, 0, 0};
      port.write_bytes(start, sizeof start);
      ASSERT_TRUE(port.try_read_byte());
    }
    QThread::msleep(60);  // the line idle, for less than the simulator's idle poll
    const uint8_t next[] = {'f', 254};
    port.write_bytes(next, sizeof next);
    const auto asked = std::chrono::steady_clock::now();
    for (int i = 0; i < 255; ++i) ASSERT_TRUE(port.try_read_byte()) << i;
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - asked).count();
    EXPECT_GE(ms, 255 * 1000.0 / 11520 - 0.5) << "block " << block;
  }
  EXPECT_EQ(host.verify(), "");
}

}  // namespace
}  // namespace ardenvis
