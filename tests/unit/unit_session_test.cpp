#include "link/unit_session.h"

#include <gtest/gtest.h>

#include "link/commands.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

using sim::SimulatedPort;
using sim::SimulatedUnit;
using testing::ScriptedHost;

struct Bench {
  SimulatedUnit unit;
  SimulatedPort port{unit};
  ScriptedHost host;
  UnitLink link;

  Bench() {
    link.port = &port;
    open_serial_port(link, 1);
    port.clear_log();
  }
  // Reads that followed the n-th write of `byte` (n counted from 0).
  int reads_after(uint8_t byte, int n = 0) const {
    for (const auto& e : port.exchanges()) {
      if (e.written == byte && n-- == 0) return e.reads_after;
    }
    return -1;
  }
  std::string written() const {
    std::string s;
    for (const auto& e : port.exchanges()) s += static_cast<char>(e.written);
    return s;
  }
};

TEST(LineSettings, TextAsTheDeviceParserExpects) {
  EXPECT_EQ(line_settings_text(unit_line_settings(1)),
            "COM1: baud=115200 parity=N data=8 stop=1 xon=off TO=ON");
  LineSettings other = unit_line_settings(0);
  other.parity = true;
  other.xon_xoff = true;
  EXPECT_EQ(line_settings_text(other), " baud=115200 parity=Y data=8 stop=1 xon=on TO=ON");
}

TEST(ComPortBox, MissingPortWarnsAndFallsBackToNone) {
  Bench b;
  b.host.expect(MessageKind::Warning, "Cannot Open COM Port 7");
  EXPECT_EQ(change_serial_port(b.link, b.host, 7), 0);
  EXPECT_EQ(b.link.serial_port_number, 0);
  EXPECT_FALSE(b.link.serial_port_open);
  EXPECT_EQ(b.host.verify(), "");
}

TEST(ComPortBox, ReopeningTheOpenPortSucceedsAndNoneCloses) {
  Bench b;
  const int opens = b.port.opens();
  EXPECT_EQ(change_serial_port(b.link, b.host, 1), 1);
  EXPECT_TRUE(b.link.serial_port_open);
  EXPECT_EQ(b.port.opens(), opens + 1);
  EXPECT_EQ(change_serial_port(b.link, b.host, 0), 0);
  EXPECT_FALSE(b.link.serial_port_open);
  EXPECT_FALSE(b.port.is_open());
  // The next exchange reports that no port is chosen.
  b.host.expect(MessageKind::Warning, "Select a free COM port");
  EXPECT_EQ(run_handshake(b.link, b.host, Operation::DownloadLogSession), HandshakeResult::NoPort);
  EXPECT_EQ(b.host.verify(), "");
}

TEST(StartUp, MissingCom1IsSilent) {
  SimulatedUnit unit;
  SimulatedPort port(unit);
  port.available_ports = {};
  UnitLink link;
  link.port = &port;
  check_serial_port(link);
  EXPECT_EQ(link.serial_port_number, 0);
  EXPECT_FALSE(link.serial_port_open);
}

// Every variant: the bytes drained at each step, counted at the unit's end.
TEST(Handshake, EachVariantDrainsItsCounts) {
  for (Operation op : {Operation::ReadLogIndex, Operation::ClearLogMemory,
                       Operation::DownloadLogSession, Operation::LiteDownload,
                       Operation::ReadConfiguration, Operation::WriteConfiguration,
                       Operation::UploadCameraDatabase, Operation::ReadCameraDatabase}) {
    SCOPED_TRACE(static_cast<int>(op));
    const HandshakeVariant& v = handshake_variant(op);
    Bench b;
    sim::set_firmware_version(b.unit.options(), 425);
    const int opens = b.port.opens();
    ASSERT_EQ(run_handshake(b.link, b.host, op), HandshakeResult::Ok);
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.port.opens(), opens + (v.reopens_port ? 1 : 0));
    EXPECT_EQ(b.reads_after('q', 1), v.wake_drain);
    EXPECT_EQ(b.reads_after('p', 0), 1);
    EXPECT_EQ(b.reads_after('p', 1), 1 + v.drop_before_identity);
    EXPECT_EQ(b.reads_after('x'), 2 + (op == Operation::LiteDownload ? 0 : 4));
    const std::string expected_writes =
        v.identity_before_version ? "qqppix" : "qqppx";
    EXPECT_EQ(b.written(), expected_writes);
    if (v.identity_before_version) {
      EXPECT_EQ(b.reads_after('i'), v.identity_before_version);
    }
    EXPECT_EQ(b.link.unit.version_number, 425);
  }
}

TEST(Handshake, VersionGatePerOperation) {
  struct Case {
    Operation op;
    int version;
    bool accepted;
  };
  const Case cases[] = {
      {Operation::ReadLogIndex, 399, false},       {Operation::ReadLogIndex, 400, true},
      {Operation::ReadLogIndex, 430, true},        {Operation::ReadLogIndex, 431, false},
      {Operation::DownloadLogSession, 399, false}, {Operation::DownloadLogSession, 430, true},
      {Operation::DownloadLogSession, 431, false}, {Operation::ClearLogMemory, 400, true},
      {Operation::LiteDownload, 431, false},       {Operation::ReadConfiguration, 431, false},
      {Operation::WriteConfiguration, 399, false}, {Operation::UploadCameraDatabase, 422, false},
      {Operation::UploadCameraDatabase, 423, true}, {Operation::UploadCameraDatabase, 999, true},
      {Operation::ReadCameraDatabase, 422, false}, {Operation::ReadCameraDatabase, 999, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.op)) + " v" + std::to_string(c.version));
    Bench b;
    sim::set_firmware_version(b.unit.options(), c.version);
    if (!c.accepted) {
      b.host.expect(MessageKind::Error, "Ardenvis Version not compatible with Pelorant Version",
                    Answer::Abort);
    }
    const int opens_before = b.port.opens();
    auto result = run_handshake(b.link, b.host, c.op);
    EXPECT_EQ(result, c.accepted ? HandshakeResult::Ok : HandshakeResult::VersionRefused);
    EXPECT_EQ(b.host.verify(), "");
    const HandshakeVariant& v = handshake_variant(c.op);
    if (!c.accepted) {
      EXPECT_EQ(b.reads_after('x'), 2 + v.version_refusal_drain);
      EXPECT_EQ(b.host.messages.back().buttons, Buttons::Abort);
      // The camera upload re-opens the port after its drain.
      const int reopens = (v.reopens_port ? 1 : 0) + (v.reopen_after_version_refusal ? 1 : 0);
      EXPECT_EQ(b.port.opens(), opens_before + reopens);
    }
  }
}

TEST(Handshake, StatusRefusalsShowTheirTextAndSendNothingMore) {
  struct Case {
    uint8_t status;
    Operation op;
    const char* text;
  };
  const Case cases[] = {
      {187, Operation::ReadLogIndex, "Did not connect properly, Please try again..."},
      {188, Operation::ReadLogIndex, "Stop the Vehicle before proceeding..."},
      {189, Operation::ClearLogMemory, "Stop the Engine before proceeding..."},
      {190, Operation::ReadConfiguration, "Stop the Logger before proceeding..."},
      {0, Operation::ReadLogIndex, message::problem_talking_long},
      {0, Operation::WriteConfiguration, message::problem_talking_long},
      {0, Operation::DownloadLogSession, message::problem_talking_short},
      {12, Operation::LiteDownload, message::problem_talking_short},
      {0, Operation::UploadCameraDatabase, message::problem_talking_short},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Bench b;
    b.unit.options().status = c.status;
    b.host.expect(MessageKind::Warning, c.text);
    EXPECT_EQ(run_handshake(b.link, b.host, c.op), HandshakeResult::StatusRefused);
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.written(), "qqp");
  }
  EXPECT_EQ(std::string(message::problem_talking_long),
            "Problem talking to Pelorant Unit...\r1) Are you on the correct COM port ?\r2) Is the "
            "correct serial cable in place ?\r3) Is the Pelorant switched on ?");
}

TEST(Handshake, AfterAStatusRefusalTheDownloadReopensAndDrains) {
  Bench b;
  b.unit.options().status = 188;
  b.host.expect("Stop the Vehicle before proceeding...");
  const int opens = b.port.opens();
  run_handshake(b.link, b.host, Operation::DownloadLogSession);
  EXPECT_EQ(b.port.opens(), opens + 1);
  EXPECT_EQ(b.reads_after('p'), 1 + 8);

  Bench camera;
  camera.unit.options().status = 190;
  camera.host.expect("Stop the Logger before proceeding...");
  run_handshake(camera.link, camera.host, Operation::ReadCameraDatabase);
  EXPECT_EQ(camera.reads_after('p'), 1 + 8);

  Bench index;
  index.unit.options().status = 190;
  index.host.expect("Stop the Logger before proceeding...");
  run_handshake(index.link, index.host, Operation::ReadLogIndex);
  EXPECT_EQ(index.reads_after('p'), 1);
}

TEST(Handshake, SwitchedOffUnitReadsZeroStatus) {
  Bench b;
  b.unit.options().silent = true;
  b.host.expect(MessageKind::Warning, message::problem_talking_short);
  EXPECT_EQ(run_handshake(b.link, b.host, Operation::DownloadLogSession),
            HandshakeResult::StatusRefused);
  EXPECT_EQ(b.host.verify(), "");
}

TEST(Handshake, SecondStatusWordings) {
  struct Case {
    Operation op;
    const char* text;
  };
  const Case cases[] = {
      {Operation::ReadLogIndex,
       "Connected to Pelorant Unit but...\rhad a problem with received data!\rPlease Try Again"},
      {Operation::DownloadLogSession,
       "Connected to Pelorant Unit but...\rhad a problem with received data!\rPlease Try Again..."},
      {Operation::WriteConfiguration,
       "Connected to Pelorant2 Unit but...\rhad a problem with received data!\rPlease Try "
       "Again..."},
  };
  for (const Case& c : cases) {
    Bench b;
    b.unit.options().second_status = 0;
    b.host.expect(MessageKind::Warning, c.text);
    EXPECT_EQ(run_handshake(b.link, b.host, c.op), HandshakeResult::SecondStatusNotReady);
    EXPECT_EQ(b.host.verify(), "");
  }
}

TEST(Handshake, IndexReadKeepsTheUnitTypeFromItsIdentityReply) {
  Bench b;
  b.unit.options().unit_type = 5;
  ASSERT_EQ(run_handshake(b.link, b.host, Operation::ReadLogIndex), HandshakeResult::Ok);
  EXPECT_EQ(b.link.unit.unit_type, 5);
}

TEST(Identity, HighByteFirstWithThreeDroppedBytes) {
  const uint8_t reply[16] = {0x00, 0x05, 0x12, 0x34, 0x03, 0xE8, 0xAB, 0xCD,
                             0xEE, 0xEE, 0xEE, 11,   12,   13,   14,   15};
  IdentityReply id = parse_identity(reply, 16);
  EXPECT_EQ(id.unit_type, 5);
  EXPECT_EQ(id.identity_word, 0x1234);
  EXPECT_EQ(id.distance_factor, 1000);
  EXPECT_EQ(id.third_word, 0xABCD);
  EXPECT_EQ(id.identity_bytes[0], 11);
  EXPECT_EQ(id.identity_bytes[4], 15);
}

TEST(NumberedMessages, Texts) {
  EXPECT_EQ(program_problem_text(12, 300), "Ardenvis Program Problem [12,300]");
  EXPECT_EQ(download_stopped_text(254, 300, 10), "Ardenvis Download Stopped [254,300,10]");
  EXPECT_EQ(lite_download_stopped_text(1, 2), "Ardenvis Lite Download Stopped [1,2]");
  EXPECT_EQ(camera_download_stopped_text(3, 4), "Ardenvis Download Stopped [3,4]");
  EXPECT_EQ(upload_problem_text(5, 6), "Ardenvis Upload Problem [5,6]");
}

TEST(LivePoll, NeedsNoHandshake) {
  Bench b;
  b.link.write(command::live_poll);
  EXPECT_EQ(b.link.read(b.host), command::live_reply);
  EXPECT_EQ(b.unit.command_count('q'), 0);
  EXPECT_EQ(b.unit.command_count('p'), 0);
}

TEST(BusyCursor, RestoredOnEveryExit) {
  ScriptedHost host;
  try {
    BusyCursor busy(host);
    EXPECT_EQ(host.busy_depth, 1);
    throw std::runtime_error("fault in an exchange");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(host.busy_depth, 0);
}

}  // namespace
}  // namespace ardenvis::core
