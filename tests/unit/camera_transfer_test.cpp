// Uploading the camera database to the simulated unit and checking it.

#include <gtest/gtest.h>

#include "config/camera_database.h"
#include "link/commands.h"
#include "sim/camera_flash.h"
#include "unit/camera_fixture.h"
#include "unit/logger_fixture.h"

namespace ardenvis::testing {
namespace {

namespace command = core::command;
using core::CameraTransferOutcome;

struct CameraBench : LoggerBench {
  RecordingMemo memo;
  CameraBench() { firmware(424); }
  sim::CameraFlash& camera() { return unit.camera_flash(); }

  // Loads a database of `record_bytes` record bytes (36 header bytes first).
  void load(int record_bytes) {
    CamFile file(record_bytes);
    host.expect("Data Loaded OK");
    core::load_camera_database(state.camera, file.text(), "test.cam", host, memo,
                               state.config_cancel);
  }
  // "Write to Dash" ending in `outcome`, the erase question (asked whenever a
  // database is loaded) answered No: erase the sessions and write.
  core::CameraTransferResult upload(core::MessageKind kind, const std::string& outcome) {
    if (state.camera.total_length != 0) {
      host.expect(core::MessageKind::Warning, core::camera_message::erase_question,
                  core::Answer::No);
    }
    host.expect(kind, outcome);
    return core::writeFlashData(state, host, memo);
  }
  core::CameraTransferResult upload(const std::string& outcome) {
    return upload(core::MessageKind::Information, outcome);
  }
  core::CameraTransferResult check() { return core::readFlashData(state, host, memo); }

  // The bytes written after the first write of `command_byte`.
  std::vector<uint8_t> written_from(uint8_t command_byte) const {
    std::vector<uint8_t> out;
    bool on = false;
    for (const auto& e : port.exchanges()) {
      on = on || e.written == command_byte;
      if (on) out.push_back(e.written);
    }
    return out;
  }
};

// The upload starts with the unit's erase, which takes every logged session
// with it: the user is asked first, and "Yes" (download them first) leaves
// the unit untouched.
TEST(CameraUpload, AsksBeforeErasingTheLoggedSessions) {
  for (core::Answer answer : {core::Answer::Yes, core::Answer::No}) {
    CameraBench t;
    t.load(300);
    sim::StoredSession session;
    session.bytes = sample_records(20);
    t.memory().store_session(session);
    const auto index = t.memory().index();
    t.host.expect(core::MessageKind::Warning,
                  "The unit's logged sessions will be erased. Download them first?", answer);
    if (answer == core::Answer::No) t.host.expect("Data Upload OK");
    const auto result = core::writeFlashData(t.state, t.host, t.memo);
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(t.host.messages[1].buttons, core::Buttons::YesNo);
    EXPECT_FALSE(t.host.messages[1].busy_cursor);
    if (answer == core::Answer::Yes) {
      EXPECT_EQ(result.outcome, CameraTransferOutcome::NotStarted);
      EXPECT_TRUE(t.port.exchanges().empty());  // not even a wake
      EXPECT_EQ(t.memory().index(), index);     // the session is still there
    } else {
      EXPECT_EQ(result.outcome, CameraTransferOutcome::Succeeded);
      EXPECT_EQ(t.sent(command::erase), 1);
      EXPECT_NE(t.memory().index(), index);
    }
  }
}

// 300 bytes go as two blocks: 254 data bytes, then 46 data bytes and 208
// padding bytes 0xAA; each check byte is the XOR of the block's 254 bytes.
TEST(CameraUpload, ThreeHundredBytesGoAsTwoPaddedBlocks) {
  CameraBench t;
  t.load(300 - 36);
  const std::vector<uint8_t> image = t.state.camera.data;
  ASSERT_EQ(image.size(), 300u);
  sim::StoredSession session;
  session.bytes = sample_records(20);
  t.memory().store_session(session);
  t.port.clear_log();
  const auto result = t.upload(core::MessageKind::Information, "Data Upload OK");
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_EQ(result.outcome, CameraTransferOutcome::Succeeded);
  EXPECT_EQ(result.position, 300);

  std::vector<uint8_t> expected = {'z', 't', 254};
  uint8_t check = 0;
  for (int i = 0; i < 254; ++i) {
    expected.push_back(image[static_cast<size_t>(i)]);
    check ^= image[static_cast<size_t>(i)];
  }
  expected.push_back(check);
  expected.insert(expected.end(), {'t', 254});
  check = 0;
  for (int i = 254; i < 300; ++i) {
    expected.push_back(image[static_cast<size_t>(i)]);
    check ^= image[static_cast<size_t>(i)];
  }
  for (int i = 0; i < 208; ++i) {
    expected.push_back(0xAA);
    check ^= 0xAA;
  }
  expected.push_back(check);
  expected.insert(expected.end(), {'t', 0});
  EXPECT_EQ(t.written_from('z'), expected);

  // The erase cleared the logged sessions; the flash holds the database.
  EXPECT_EQ(t.memory().index()[1], 0);
  ASSERT_GE(t.memory().flash().size(), 300u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), t.memory().flash().begin()));
  EXPECT_EQ(t.camera().uploads_ended(), 1);
  EXPECT_EQ(t.host.progress.stages.back(), "Uploading");
  EXPECT_EQ(t.host.busy_depth, 0);
}

TEST(CameraUpload, TenRejectionsStopWithoutAnnouncingAnotherBlock) {
  CameraBench t;
  t.load(600);
  t.camera().options().rejected_blocks[1] = sim::kAlways;
  const auto result = t.upload(core::MessageKind::Warning, "Ardenvis Upload Problem [254,636]");
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_EQ(result.outcome, CameraTransferOutcome::Stopped);
  EXPECT_EQ(t.camera().blocks_rejected(), 10);
  // One announcement per block sent, then the end: the unit never waits
  // inside a block, and the closing "t", 0 is read as the end.
  EXPECT_EQ(t.sent(command::write_block), 1 + 10 + 1);
  EXPECT_EQ(t.camera().uploads_ended(), 1);
  EXPECT_EQ(t.camera().out_of_step(), 0);
  EXPECT_EQ(t.host.progress.efficiency, "9.09%");
  EXPECT_EQ(t.port.opens(), 2);  // the port is re-opened after the problem
}

TEST(CameraUpload, RejectedBlocksAreResentUntilTaken) {
  CameraBench t;
  t.load(600);
  t.camera().options().rejected_blocks[1] = 3;
  // What the upload showed before the read-back took the progress window.
  std::string efficiency;
  long link_quality = 0;
  t.host.on_process_events = [&] {
    if (t.host.progress.stages.back() != "Uploading") return;
    efficiency = t.host.progress.efficiency;
    link_quality = t.host.progress.bars[core::ProgressBar::LinkQuality].first;
  };
  const auto result = t.upload("Data Upload OK");
  t.host.on_process_events = nullptr;
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_EQ(result.failures, 3);
  // Shown at the last failure: 1 of 4 attempts went through.
  EXPECT_EQ(efficiency, "25.00%");
  EXPECT_EQ(link_quality, 7);
  EXPECT_TRUE(std::equal(t.state.camera.data.begin(), t.state.camera.data.end(),
                         t.memory().flash().begin()));
  // The unit's copy was read back and compared before the upload was called good.
  EXPECT_EQ(t.host.progress.stages.back(), "Downloading");
  EXPECT_EQ(t.sent(command::next_block), 3);
  EXPECT_EQ(std::vector<std::string>(t.memo.lines.end() - 3, t.memo.lines.end()),
            (std::vector<std::string>{" ", "Checking Uploaded Data...", "Upload Checked OK..."}));
}

// "t" carries no address: an acceptance corrupted into a rejection has the
// block sent again and stored twice. After any rejection the unit's copy is
// read back and compared, and a copy that differs is no "Data Upload OK".
TEST(CameraUpload, ACorruptedAcceptanceIsCaughtByReadingTheUnitsCopyBack) {
  struct Case {
    const char* fault;
    int version;
    std::vector<uint8_t> reply_of_block_1;
    const char* outcome;
  };
  // Block 1 stored twice: the unit's copy first differs where block 2 belongs.
  const char* kTwice = "Ardenvis Upload Problem [508,1036]";
  const Case cases[] = {
      {"accept corrupted to 0", 424, {0}, kTwice},
      {"accept corrupted to 2", 424, {2}, kTwice},
      {"accept corrupted to 0, firmware 423", 423, {0}, kTwice},
      {"noise byte 0 in front of the accept", 424, {0, 1}, kTwice},
      // Read as an acceptance: the blocks are stored once each, but the
      // replies run one behind, which the end's reply shows.
      {"noise byte 0x55 in front of the accept", 424, {0x55, 1}, "Data Upload OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    CameraBench t;
    t.firmware(c.version);
    t.load(1000);
    t.camera().options().garbled_accepts[1] = c.reply_of_block_1;
    const bool good = std::string(c.outcome) == "Data Upload OK";
    const auto result =
        t.upload(good ? core::MessageKind::Information : core::MessageKind::Warning, c.outcome);
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(result.outcome,
              good ? CameraTransferOutcome::Succeeded : CameraTransferOutcome::Stopped);
    EXPECT_EQ(t.sent(command::block_start), 1);  // the copy was read back
    EXPECT_EQ(t.memo.lines.back(),
              good ? "Upload Checked OK..." : "Upload Check Failed!!! Write to Dash again...");
    const auto& flash = t.memory().flash();
    EXPECT_EQ(good,
              std::equal(t.state.camera.data.begin(), t.state.camera.data.end(), flash.begin()));
    EXPECT_EQ(t.camera().out_of_step(), 0);
  }
}

// Replies that come after the line's time-out are still replies: a block is
// never sent twice (the unit would store it twice), also after a long erase.
TEST(CameraUpload, LateRepliesAndASlowEraseStoreEveryBlockOnce) {
  for (auto [reply_ms, erase_ms] : {std::pair{120, 0}, std::pair{0, 1500}, std::pair{300, 600}}) {
    SCOPED_TRACE(::testing::Message() << reply_ms << " " << erase_ms);
    CameraBench t;
    t.load(700);
    t.camera().options().reply_delay_ms = reply_ms;
    t.camera().options().erase_delay_ms = erase_ms;
    const auto result = t.upload("Data Upload OK");
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(result.failures, 0);
    EXPECT_EQ(t.camera().blocks_taken(), 3);
    EXPECT_TRUE(std::equal(t.state.camera.data.begin(), t.state.camera.data.end(),
                           t.memory().flash().begin()));
  }
}

TEST(CameraUpload, AUnitThatStopsAnsweringCancelsTheUpload) {
  CameraBench t;
  t.load(700);
  t.camera().options().reply_delay_ms = 5000;
  EXPECT_EQ(t.upload(core::MessageKind::Information, "Upload Cancelled, No Data Stored").outcome,
            CameraTransferOutcome::Cancelled);
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_TRUE(t.state.config_cancel);
  EXPECT_FALSE(t.host.progress.visible);
}

TEST(CameraUpload, NothingLoadedOrNoMemoryErasesNothing) {
  {
    CameraBench t;
    core::TCameraFlashData failed;
    t.host.expect("File Format Error, No Data Loaded");
    CamFile file(8);
    file.trailer = {"256"};
    core::load_camera_database(t.state.camera, file.text(), "x.cam", t.host, t.memo,
                               t.state.config_cancel);
    EXPECT_EQ(t.upload(core::MessageKind::Information, "No Data to Upload").outcome,
              CameraTransferOutcome::NoData);
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(t.sent(command::erase), 0);
  }
  {
    CameraBench t;
    t.load(8);
    t.memory().options().flash_memory_code = 3;
    EXPECT_EQ(t.upload(core::MessageKind::Warning, "No Camera Memory Fitted!!!").outcome,
              CameraTransferOutcome::NoMemory);
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(t.sent(command::erase), 0);
  }
}

TEST(CameraUpload, UnitsBelow423AreRefusedAndThePortReopened) {
  CameraBench t;
  t.load(8);
  t.firmware(422);
  EXPECT_EQ(
      t.upload(core::MessageKind::Error, "Ardenvis Version not compatible with Pelorant Version")
          .outcome,
      CameraTransferOutcome::NotStarted);
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_EQ(t.sent(command::erase), 0);
  EXPECT_EQ(t.port.opens(), 2);
}

TEST(CameraCheck, UploadThenCheckPassesWithTheMemoLines) {
  CameraBench t;
  t.load(1000);
  t.upload("Data Upload OK");
  t.host.expect(core::MessageKind::Information, "Database Test Passed OK");
  const auto result = t.check();
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_EQ(result.outcome, CameraTransferOutcome::Succeeded);
  EXPECT_EQ(t.state.camera.read_back, t.state.camera.data);
  EXPECT_EQ(t.memo.lines, (std::vector<std::string>{
                              "Checking Dash Version...", "Ver: 4.24", "Memory: 69.20 Mbits", " ",
                              "Checking Database Version...", "Pocket GPS Version: 2.500",
                              "Orvik File Format: 1.050", " ", "Checking Camera Data...",
                              "Checking 1036 bytes of data...", "Test Passed..."}));
  EXPECT_EQ(t.host.progress.stages.back(), "Downloading");
}

TEST(CameraCheck, DifferentFlashFailsTheTest) {
  CameraBench t;
  t.load(1000);
  t.upload("Data Upload OK");
  t.memory().flash()[700] ^= 0x10;
  t.host.expect(core::MessageKind::Warning, "Database Test FAILED");
  EXPECT_EQ(t.check().outcome, CameraTransferOutcome::Differs);
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_EQ(t.memo.lines.back(), "Test Failed!!!");
}

// A bad check byte: units from 424 read the block again, 423 stops at once.
TEST(CameraCheck, BadBlockIsReadAgainFrom424AndStopsAt423) {
  for (int version : {423, 424}) {
    SCOPED_TRACE(version);
    CameraBench t;
    t.load(1000);
    t.upload("Data Upload OK");
    t.firmware(version);
    t.memory().options().bad_blocks[1] = 1;
    if (version == 423) {
      t.host.expect(core::MessageKind::Warning, "Ardenvis Download Stopped [508,1036]");
    } else {
      t.host.expect("Database Test Passed OK");
    }
    const auto result = t.check();
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(t.memory().resends(), version == 423 ? 0 : 1);
    EXPECT_EQ(t.sent(command::next_block), version == 423 ? 2 : 5);
    EXPECT_EQ(t.sent(command::end_block_read), 1);
    EXPECT_EQ(result.outcome,
              version == 423 ? CameraTransferOutcome::Stopped : CameraTransferOutcome::Succeeded);
  }
}

// A pause inside a block: the time-out's 0 is not data, the rest of the block
// is let go by before the block is asked for again, and the check passes.
TEST(CameraCheck, PauseInsideABlockIsReadAgainInStep) {
  struct Case {
    int after, ms, reads_again;
  };
  // The last: a pause longer than the drain waits; the rest of the block
  // comes in front of the resend (a rotation of it, whose check passes) and
  // the bytes left after it send it back once more.
  for (auto [after, ms, reads_again] :
       {Case{3, 80, 1}, Case{100, 200, 1}, Case{253, 120, 1}, Case{252, 225, 2}}) {
    SCOPED_TRACE(::testing::Message() << after << " " << ms);
    CameraBench t;
    t.load(1500);
    t.upload("Data Upload OK");
    t.memory().options().pause_blocks[2] = {after, ms};
    t.host.expect("Database Test Passed OK");
    const auto result = t.check();
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(result.failures, reads_again);
    EXPECT_EQ(t.memory().resends(), reads_again);
    EXPECT_EQ(t.state.camera.read_back, t.state.camera.data);
  }
}

// "Cancel" in the middle of a block is not a bad block: every firmware says
// the check was cancelled, and no block is asked for again.
TEST(CameraCheck, CancelInTheMiddleOfABlockIsNoProblem) {
  for (int version : {423, 424}) {
    SCOPED_TRACE(version);
    CameraBench t;
    t.load(1000);
    t.upload("Data Upload OK");
    t.firmware(version);
    int events = 0;
    t.host.on_process_events = [&] {
      if (++events == 400) t.state.config_cancel = true;  // the progress window's "Cancel"
    };
    t.host.expect(core::MessageKind::Information, "Download Cancelled");
    const auto result = t.check();
    t.host.on_process_events = nullptr;
    EXPECT_EQ(result.outcome, CameraTransferOutcome::Cancelled);
    EXPECT_EQ(result.position % 254, 0);  // whole blocks only
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(t.memory().resends(), 0);
    EXPECT_EQ(t.sent(command::end_block_read), 1);
  }
}

TEST(CameraCheck, TenBadReadsAndASilentUnit) {
  {
    CameraBench t;
    t.load(600);
    t.upload("Data Upload OK");
    t.memory().options().bad_blocks[0] = sim::kAlways;
    t.host.expect(core::MessageKind::Warning, "Ardenvis Download Stopped [0,636]");
    EXPECT_EQ(t.check().outcome, CameraTransferOutcome::Stopped);
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(t.memory().resends(), 9);
  }
  {
    CameraBench t;
    t.load(600);
    t.upload("Data Upload OK");
    t.memory().options().stall_after = 300;
    t.host.expect(core::MessageKind::Information, "Download Cancelled");
    EXPECT_EQ(t.check().outcome, CameraTransferOutcome::Cancelled);
    EXPECT_EQ(t.host.verify(), "");
  }
  {
    CameraBench t;
    t.load(600);
    t.host.expect(core::MessageKind::Information, "No File Loaded to Check with Dash");
    t.state.camera = {};
    EXPECT_EQ(t.check().outcome, CameraTransferOutcome::NoData);
    EXPECT_EQ(t.host.verify(), "");
  }
}

}  // namespace
}  // namespace ardenvis::testing
