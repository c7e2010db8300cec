#include "logger/download.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "link/exchange.h"
#include "unit/logger_fixture.h"
#include "unit/reply_faults.h"

namespace ardenvis::core {
namespace {

using testing::LoggerBench;
using testing::sample_records;

// A bench whose unit holds the given sessions (oldest first) and whose index
// has been read.
struct DownloadBench : LoggerBench {
  explicit DownloadBench(std::initializer_list<int> record_counts, int firmware = 422) {
    this->firmware(firmware);
    for (int n : record_counts) memory().store_session({sample_records(n), 10});
    EXPECT_EQ(getLogIndex(state, host), kIndexOk);
  }
  DownloadResult download(int session, DataSetId to = DataSetId::A) {
    return downloadLogSession(state, host, {session, to, false, false});
  }
  // "Processed %d bytes of Data" for a stream of whole 12-byte records: framing
  // takes every record that starts 65 or more bytes before the end.
  static std::string processed(long bytes) {
    const long framed = ((bytes - 65) / 12 + 1) * 12;
    return "Processed " + std::to_string(framed) + " bytes of Data";
  }
};

TEST(Download, ShortSessionTakesTwoBlocksAndStoresExactlyItsBytes) {
  DownloadBench b({25});  // 300 bytes
  b.host.expect(MessageKind::Information, "Processed 240 bytes of Data");
  const DownloadResult r = b.download(1, DataSetId::B);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::Complete);
  const DataSet& slot = b.state.data_set(DataSetId::B);
  EXPECT_EQ(slot.raw, sample_records(25));
  EXPECT_EQ(slot.info.raw_byte_count, 300u);
  EXPECT_EQ(slot.info.label, "Memory B");
  EXPECT_EQ(slot.info.sample_rate, 10);
  EXPECT_EQ(slot.info.firmware_major, 4);
  EXPECT_EQ(slot.info.firmware_minor, 22);
  EXPECT_EQ(slot.info.unit_identity_word, 0x1234);
  EXPECT_EQ(slot.download_state, kDownloaded);
  EXPECT_EQ(b.state.data_set(DataSetId::A).info.label, "No Data");
  EXPECT_EQ(b.state.current_data_set, DataSetId::B);
  // Two blocks, no resend, the block read started at the session and ended.
  EXPECT_EQ(b.sent('f'), 2);
  EXPECT_EQ(b.sent('u'), 0);
  EXPECT_EQ(b.sent('o'), 2);  // with each of the two copies of the session header
  EXPECT_EQ(b.sent('c'), 1);
  EXPECT_EQ(b.host.progress.stages.front(), "Downloading");
  EXPECT_FALSE(b.host.progress.visible);
  EXPECT_EQ(b.host.progress.efficiency, "100.00%");
}

TEST(Download, EventsRunWhileTheUnitSendsNotBetweenBlocks) {
  DownloadBench b({300});  // 3600 bytes: 15 blocks
  b.watch_gaps_between('f');
  EXPECT_EQ(b.download(1).outcome, DownloadOutcome::Complete);
  EXPECT_EQ(b.sent('f'), 15);
  EXPECT_EQ(b.events_between_blocks('f'), 0);
}

TEST(Download, IdentityAndPulsesPerRevolutionComeFromTheUnit) {
  for (uint8_t code : {uint8_t{2}, uint8_t{7}}) {
    DownloadBench b({30});
    b.memory().config()[14] = code;
    b.unit.options().distance_factor = 777;
    b.host.expect(b.processed(360));
    b.download(1);
    EXPECT_EQ(b.state.identity.distance_factor, 777);
    EXPECT_EQ(b.state.identity.identity_bytes[4], 5);
    EXPECT_EQ(b.state.identity.pulses_per_rev, code == 2 ? 2 : 1);
    ASSERT_TRUE(b.state.data_set(DataSetId::A).unit.has_value());
    EXPECT_EQ(b.state.data_set(DataSetId::A).unit->distance_factor, 777);
    EXPECT_EQ(b.host.verify(), "");
  }
}

// One line fault in the replies the download reads before its first block. On
// firmware 421 nothing is sent again, so a fault that reached the blocks would
// stop the download: each must be caught where it happens, and the session,
// the identity and the pulses-per-revolution code are still the unit's own.
TEST(Download, SessionHeaderFaultsAreCaughtAndReadAgain) {
  using Kind = testing::ReplyFaultLine::Kind;
  using Case = testing::ReplyFaultLine::NamedFault;
  const Case cases[] = {
      {"noise byte in the identity", {'i'}, 1, 3, Kind::Noise, 0x5A},
      {"flipped bit in the unit type", {'i'}, 1, 1, Kind::Flip, 0x80},  // 1 reads as 129
      {"flipped bit in an identity byte", {'i'}, 2, 14, Kind::Flip, 0x04},
      {"lost identity byte", {'i'}, 1, 6, Kind::Drop, 0},
      {"wrong pulses code", {'r', 14}, 1, 0, Kind::Replace, 1},
      {"lost block-start acknowledgement", {'o'}, 1, 0, Kind::Drop, 0},
      // Just before the first block is asked for.
      {"noise after the block-start acknowledgement", {'o'}, 2, 1, Kind::Noise, 0x33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DownloadBench b({30}, 421);
    b.memory().config()[14] = 2;
    b.unit.options().distance_factor = 777;
    testing::ReplyFaultLine line(b.port);
    b.state.link.port = &line;
    line.add(c);
    b.host.expect(b.processed(360));
    const DownloadResult r = b.download(1);
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(line.fired(), 1);
    EXPECT_EQ(r.outcome, DownloadOutcome::Complete);
    const DataSet& slot = b.state.data_set(DataSetId::A);
    EXPECT_EQ(slot.raw, sample_records(30));
    ASSERT_TRUE(slot.unit.has_value());
    const UnitIdentity& id = *slot.unit;
    EXPECT_EQ(id.unit_type, 1);
    EXPECT_EQ(id.identity_word, 0x1234);
    EXPECT_EQ(id.distance_factor, 777);
    EXPECT_EQ(id.third_word, 1);
    EXPECT_EQ(id.identity_bytes, (std::array<uint8_t, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(id.pulses_per_rev, 2);
    EXPECT_EQ(b.unit.pending_output(), 0u);
  }
}

// Replies that never agree, or a unit other than the one whose index was
// read: the download fails before its first block and the slot keeps what it
// had.
TEST(Download, SessionHeaderThatDoesNotSettleStoresNothing) {
  using Kind = testing::ReplyFaultLine::Kind;
  DownloadBench b({30});
  testing::ReplyFaultLine line(b.port);
  b.state.link.port = &line;
  for (int occurrence = 1; occurrence <= 7; occurrence += 2) {
    line.add({'r', 14}, occurrence, 0, Kind::Flip, 0x10);
  }
  b.host.expect(MessageKind::Warning,
                "Problem talking to Pelorant Unit...\r1) Is the correct serial cable in place "
                "?\r2) Is the Pelorant switched on ?");
  DownloadResult r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::NotStarted);
  EXPECT_EQ(r.state, kNothingToSave);
  EXPECT_EQ(b.sent('r'), kReadExchangeAttempts + 1);
  EXPECT_EQ(b.sent('f'), 0);
  EXPECT_EQ(b.sent('c'), 1);  // the block read the header opened is ended
  EXPECT_FALSE(b.host.progress.visible);
  EXPECT_EQ(b.state.data_set(DataSetId::A).info.label, "No Data");
  EXPECT_EQ(b.unit.pending_output(), 0u);

  line.faults.clear();
  b.unit.options().unit_type = 5;  // another flash logger on the cable
  b.host.expect(MessageKind::Warning, "Pelorant Unit Changed, Please Refresh the Log Index");
  r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::NotStarted);
  EXPECT_EQ(b.sent('f'), 0);
  EXPECT_EQ(b.state.data_set(DataSetId::A).info.label, "No Data");
}

TEST(Download, DecodedSessionIsBroughtToTheUnitsInForce) {
  DownloadBench stored({30});
  stored.host.expect(stored.processed(360));
  stored.download(1);
  DownloadBench converted({30});
  converted.state.unit_flags.speed_kmh = true;
  converted.state.unit_flags.temperature_degf = true;
  converted.host.expect(converted.processed(360));
  converted.download(1);
  const DataSet& a = stored.state.data_set(DataSetId::A);
  const DataSet& b = converted.state.data_set(DataSetId::A);
  ASSERT_GT(a.sample_count(), 2);
  ASSERT_NE(a[Channel::Speed][2], 0.0);
  EXPECT_DOUBLE_EQ(b[Channel::Speed][2], a[Channel::Speed][2] * 1.6);
  EXPECT_DOUBLE_EQ(b[Channel::WaterTemp][2], a[Channel::WaterTemp][2] * 1.8 + 32);
  EXPECT_EQ(converted.host.verify(), "");
}

TEST(Download, AllZeroBlockIsRefusedAndAskedForAgain) {
  DownloadBench b({});
  b.memory().store_session({std::vector<uint8_t>(300, 0), 10});
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  b.host.expect(MessageKind::Warning, "Ardenvis Download Stopped [0,300,10]");
  b.host.expect("Not Enough Data to Process...");
  const DownloadResult r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::StoppedEarly);
  EXPECT_EQ(b.sent('u'), 10);
  EXPECT_EQ(b.memory().resends(), 10);
  EXPECT_EQ(b.host.progress.bars[ProgressBar::LinkQuality].first, 0);
  EXPECT_EQ(b.host.progress.efficiency, "0.00%");
}

// Below firmware 422 a bad block stops the download. A block known to be bad
// is never data: the slot keeps the blocks before it, and the stop message
// counts what was kept.
TEST(Download, OldFirmwareStopsOnTheFirstBadBlockAndKeepsOnlyTheBlocksBeforeIt) {
  DownloadBench b({50}, 421);  // 600 bytes
  testing::ReplyFaultLine line(b.port);
  b.state.link.port = &line;
  line.add({'f'}, 2, 10, testing::ReplyFaultLine::Kind::Flip, 0x40);  // block 1, byte 10
  const int opens = b.port.opens();
  b.host.expect(MessageKind::Warning, "Ardenvis Download Stopped [254,600,10]");
  b.host.expect(b.processed(254));
  const DownloadResult r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(line.fired(), 1);
  EXPECT_EQ(r.state, kStoppedEarly);
  EXPECT_EQ(r.received, 254);
  EXPECT_EQ(b.sent('u'), 0);
  EXPECT_EQ(b.sent('c'), 1);
  const DataSet& slot = b.state.data_set(DataSetId::A);
  EXPECT_EQ(slot.download_state, kStoppedEarly);
  EXPECT_EQ(slot.held_byte_count, 254u);
  EXPECT_EQ(slot.info.raw_byte_count, 600u);  // as the unit announced it
  EXPECT_EQ(slot.info.label, "Memory A");
  const auto unit_bytes = sample_records(50);
  EXPECT_TRUE(std::equal(slot.raw.begin(), slot.raw.begin() + 254, unit_bytes.begin()));
  EXPECT_TRUE(
      std::all_of(slot.raw.begin() + 254, slot.raw.end(), [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(b.port.opens(), opens + 1);  // the port is opened afresh after a stop
}

TEST(Download, LinkQualityAndEfficiencyAfterResends) {
  // 20 blocks; the 18th fails three times: 20 attempts, 3 failed, when the
  // label is last written.
  DownloadBench b({423});
  b.memory().options().bad_blocks = {{17, 3}};
  b.host.expect(b.processed(423 * 12));
  const DownloadResult r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::Complete);
  EXPECT_EQ(b.sent('u'), 3);
  EXPECT_EQ(b.host.progress.bars[ProgressBar::LinkQuality].first, 7);
  EXPECT_EQ(b.host.progress.efficiency, "85.00%");
  EXPECT_EQ(b.state.data_set(DataSetId::A).raw, sample_records(423));
  // The bar moves at most once per 1000 bytes: set up, then 5 moves.
  EXPECT_EQ(b.host.progress.bar_updates[ProgressBar::Downloading], 6);
}

// A unit that pauses inside a block (busy with its flash, an adapter hiccup):
// the bytes after the pause arrive late, and the block must be asked for again
// only once they have passed, or every later block is read shifted.
TEST(Download, PausedBlocksAreAskedForAgainOnceAndSavedExactly) {
  struct Case {
    std::map<int, sim::BlockPause> pauses;
    int resends;
  };
  const Case cases[] = {
      {{{1, {100, 200}}, {3, {3, 80}}}, 2},  // two pauses, one resend each
      {{{0, {0, 120}}}, 1},                  // before the first byte
      {{{2, {254, 60}}}, 1},                 // before the check byte
      {{{4, {50, 600}}}, 1},
      // Longer than the drain waits: the rest of the block comes after it,
      // in front of the resend, which so reads as a rotation of the block
      // (its check passes); the bytes left after it show it, and it is
      // asked for again.
      {{{2, {252, 225}}}, 2},
  };
  for (const Case& c : cases) {
    DownloadBench b({100});  // 1200 bytes: 5 blocks
    b.memory().options().pause_blocks = c.pauses;
    b.host.expect(b.processed(1200));
    const DownloadResult r = b.download(1);
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(r.outcome, DownloadOutcome::Complete);
    EXPECT_EQ(b.state.data_set(DataSetId::A).raw, sample_records(100));
    EXPECT_EQ(b.memory().pauses_made(), static_cast<int>(c.pauses.size()));
    EXPECT_EQ(b.sent('u'), c.resends);
    EXPECT_EQ(b.memory().resends(), c.resends);
    EXPECT_EQ(b.sent('f'), 5);
    EXPECT_EQ(b.unit.pending_output(), 0u);
  }
}

TEST(Download, OldFirmwareStopsAtAPauseAndKeepsNothingFromIt) {
  DownloadBench b({50}, 421);  // 600 bytes
  b.memory().options().pause_blocks = {{1, {30, 100}}};
  b.host.expect(MessageKind::Warning, "Ardenvis Download Stopped [254,600,10]");
  b.host.expect(b.processed(254));
  EXPECT_EQ(b.download(1).outcome, DownloadOutcome::StoppedEarly);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(b.sent('u'), 0);
  const DataSet& slot = b.state.data_set(DataSetId::A);
  EXPECT_EQ(slot.held_byte_count, 254u);
  const auto unit_bytes = sample_records(50);
  EXPECT_TRUE(std::equal(slot.raw.begin(), slot.raw.begin() + 254, unit_bytes.begin()));
}

TEST(Download, EfficiencyText) {
  EXPECT_EQ(efficiency_text(20, 3), "85.00%");
  EXPECT_EQ(efficiency_text(3, 3), "0.00%");
  EXPECT_EQ(efficiency_text(2, 3), "0.00%");
  EXPECT_EQ(efficiency_text(3, 1), "66.67%");
}

// A first download into A, so the slot has something to lose.
void fill_slot_a(DownloadBench& b) {
  b.host.expect(b.processed(40 * 12));
  b.download(2);
  ASSERT_EQ(b.host.verify(), "");
  ASSERT_EQ(b.state.data_set(DataSetId::A).info.label, "Memory A");
}

void expect_slot_a_untouched(DownloadBench& b) {
  const DataSet& slot = b.state.data_set(DataSetId::A);
  EXPECT_EQ(slot.info.label, "Memory A");
  EXPECT_EQ(slot.raw, sample_records(40));
  EXPECT_EQ(slot.info.raw_byte_count, 480u);
  EXPECT_EQ(slot.download_state, kDownloaded);
  EXPECT_EQ(slot.loaded, kDecoded);
  EXPECT_EQ(slot.sample_count(), 40u - 5u);  // framing leaves the last 64 bytes
}

TEST(Download, CancelLeavesTheSlotExactlyAsItWas) {
  DownloadBench b({40, 400});
  fill_slot_a(b);
  const long reads = b.port.reads();
  b.host.on_process_events = [&] {
    if (b.port.reads() > reads + 1000) b.state.log_cancel = true;
  };
  b.host.expect(MessageKind::Information, "Download Cancelled, No Data Stored");
  const DownloadResult r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::Cancelled);
  EXPECT_EQ(r.state, kNothingToSave);
  EXPECT_EQ(b.sent('c'), 2);
  EXPECT_FALSE(b.host.progress.visible);
  expect_slot_a_untouched(b);
}

TEST(Download, StalledUnitEndsAsACancelByTheWatchdog) {
  DownloadBench b({40, 400});
  fill_slot_a(b);
  b.memory().options().stall_after = 600;
  const long long start = b.host.clock.now_ms;
  b.host.expect(MessageKind::Information, "Download Cancelled, No Data Stored");
  const DownloadResult r = b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(r.outcome, DownloadOutcome::Cancelled);
  EXPECT_TRUE(b.state.log_cancel);
  // The block in progress is read out (each silent byte a time-out) before the
  // watchdog's cancel is seen.
  EXPECT_LT(b.host.clock.now_ms - start, 14000);
  expect_slot_a_untouched(b);
}

TEST(Download, RefusalsLeaveTheSlotAlone) {
  DownloadBench b({40, 400});
  fill_slot_a(b);
  b.host.expect(MessageKind::Information, "No Data to Download");
  EXPECT_EQ(b.download(5).outcome, DownloadOutcome::NotStarted);
  expect_slot_a_untouched(b);

  b.unit.options().status = 188;
  b.host.expect(MessageKind::Warning, "Stop the Vehicle before proceeding...");
  const DownloadResult r = b.download(1);
  EXPECT_EQ(r.state, kHandshakeFailed);
  expect_slot_a_untouched(b);

  b.state.link.serial_port_open = false;
  b.host.expect(MessageKind::Warning, "Select a free COM port");
  b.download(1);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(b.sent('f'), 2);  // only the first download's blocks
}

TEST(Download, AutomaticFileNames) {
  EXPECT_EQ(automatic_file_name(3, "    12/05", " 14h:05m", 2026, true),
            "26y12d05m_14h05m_LogID_3");
  EXPECT_EQ(automatic_file_name(3, "    12/05", " 14h:05m", 2026, false), "LogSession_3");
  EXPECT_EQ(automatic_file_name(11, "", "", 2031, true), "31y00d00m_00h00m_LogID_11");
}

TEST(Download, AutomaticSaveAfterADownloadOnly) {
  DownloadBench b({30, 40});
  std::vector<std::string> saved;
  b.state.save_log_data = [&](ProgramState& s, Host&) {
    saved.push_back(s.file(FileKind::LogData).name);
  };
  // 2026-05-12 10:00 UTC: the year of the computer's clock names the file.
  b.host.fixed_now = std::chrono::system_clock::from_time_t(1778580000);
  b.host.expect(b.processed(40 * 12));
  downloadLogSession(b.state, b.host, {1, DataSetId::A, true, true});
  b.host.expect(b.processed(30 * 12));
  downloadLogSession(b.state, b.host, {2, DataSetId::B, true, false});
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0], "26y12d05m_14h05m_LogID_1");
  EXPECT_EQ(saved[1], "LogSession_2");

  b.host.expect(MessageKind::Information, "No Data to Download");
  downloadLogSession(b.state, b.host, {3, DataSetId::A, true, true});
  b.host.on_process_events = [&] { b.state.log_cancel = true; };
  b.host.expect(MessageKind::Information, "Download Cancelled, No Data Stored");
  downloadLogSession(b.state, b.host, {1, DataSetId::A, true, true});
  EXPECT_EQ(saved.size(), 2u);
  EXPECT_EQ(b.host.verify(), "");
}

}  // namespace
}  // namespace ardenvis::core
