#include "logger/log_index.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/exchange.h"
#include "unit/logger_fixture.h"
#include "unit/reply_faults.h"

namespace ardenvis::core {
namespace {

using testing::LoggerBench;

// Writes the 15 bytes of slot k's index record as the unit lays them out.
void put_record(LoggerBench& b, int slot, std::initializer_list<uint8_t> bytes) {
  ASSERT_EQ(bytes.size(), 15u);
  std::copy(bytes.begin(), bytes.end(), b.memory().index().begin() + 1 + 15 * slot);
}

TEST(LogIndex, NewestSlotWalksBackwardsAndTheTopBitMeansFull) {
  LoggerBench b;
  b.memory().options().flash_memory_code = 11;  // 528-byte pages
  b.memory().index()[0] = 0x83;
  // Slot k starts on page k and ends on page k + 1; its hour is k.
  for (int k = 0; k < 16; ++k) {
    const auto p = static_cast<uint8_t>(k);
    put_record(b, k, {static_cast<uint8_t>(k + 1), 0, 0, 0, p, 0, 0, 0, 0, p, 30, 12, 5, 0, 0});
  }
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  const LogIndex& index = b.state.log_index;
  EXPECT_EQ(index.session(1)->start_page, 3);
  EXPECT_EQ(index.session(2)->start_page, 2);
  EXPECT_EQ(index.session(4)->start_page, 0);
  EXPECT_EQ(index.session(5)->start_page, 15);
  EXPECT_EQ(index.session(16)->start_page, 4);
  EXPECT_TRUE(index.screen.memory_full);
  EXPECT_EQ(index.screen.rows[0].number, "1");
  EXPECT_EQ(index.screen.rows[0].size, "0.53");
  EXPECT_EQ(index.screen.rows[0].date, "    12/05");
  EXPECT_EQ(index.screen.rows[0].time, " 03h:30m");
  // 4096 pages of 528 bytes; entry 1 ends on page 4.
  EXPECT_EQ(index.screen.total, "17.30");
  EXPECT_EQ(index.screen.used, "0.02");
  EXPECT_EQ(index.screen.free, "99.90");
  EXPECT_EQ(b.sent('g'), 2 * 241);  // read twice: the index carries no check
  EXPECT_EQ(b.host.busy_depth, 0);
  EXPECT_TRUE(b.host.busy_ever);
  EXPECT_EQ(b.host.verify(), "");
}

TEST(LogIndex, LengthFromPagesAndOffsetsAndEmptySlotsShowNA) {
  LoggerBench b;
  b.memory().options().flash_memory_code = 11;
  b.memory().index()[0] = 0x00;
  // End page 10 offset 0, start page 2 offset 264: 3960 bytes.
  put_record(b, 0, {10, 0, 0, 0, 2, 0, 0x08, 0x01, 0, 9, 5, 1, 2, 0x3C, 0});
  // End equals start: nothing to download.
  put_record(b, 15, {7, 0, 100, 0, 7, 0, 100, 0, 0, 9, 5, 1, 2, 0, 0});
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  const LogIndex& index = b.state.log_index;
  EXPECT_EQ(index.session(1)->length, 3960);
  EXPECT_TRUE(index.session(1)->valid);
  EXPECT_EQ(index.screen.rows[0].size, "3.96");
  EXPECT_EQ(index.screen.rows[0].duration, "1.00");  // firmware 422: the recorded 60 s
  EXPECT_EQ(index.session(2)->length, 0);
  EXPECT_FALSE(index.session(2)->valid);
  for (const char* text : {"NA"}) {
    EXPECT_EQ(index.screen.rows[1].duration, text);
    EXPECT_EQ(index.screen.rows[1].size, text);
    EXPECT_EQ(index.screen.rows[1].date, text);
    EXPECT_EQ(index.screen.rows[1].time, text);
  }
  EXPECT_EQ(index.screen.rows[1].number, "2");
  EXPECT_FALSE(index.screen.memory_full);
}

TEST(LogIndex, DurationRulesByFirmwareAndUnitType) {
  struct Case {
    int firmware;
    uint16_t unit_type;
    uint8_t flags;  // bit 0: rate 20
    const char* minutes;
  };
  // 27360 bytes at rate 20 on firmware 412 is 109 s; at rate 10 twice as long.
  const Case cases[] = {
      {412, 1, 1, "1.82"},   // 27360 bytes: 109 s
      {412, 1, 0, "3.63"},   // 27360 bytes at rate 10: 218 s
      {415, 5, 0, "-9.99"},  // type 5 before 416 has no rule
      {416, 5, 0, "2.08"},   // the recorded 125 s
      {430, 1, 1, "2.08"},
  };
  for (const Case& c : cases) {
    LoggerBench b;
    b.firmware(c.firmware);
    b.unit.options().unit_type = c.unit_type;
    b.memory().options().flash_memory_code = 15;
    // End page 25 offset 960 = 27360 bytes from 0; recorded duration 125 s.
    put_record(b, 0, {25, 0, 0xC0, 0x03, 0, 0, 0, 0, c.flags, 8, 0, 1, 1, 125, 0});
    ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
    EXPECT_EQ(b.state.log_index.session(1)->length, 27360);
    EXPECT_EQ(b.state.log_index.screen.rows[0].duration, c.minutes) << c.firmware;
  }
}

TEST(LogIndex, ResultCodesOfFailedReads) {
  struct Case {
    const char* what;
    void (*setup)(LoggerBench&);
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"status", [](LoggerBench& b) { b.unit.options().status = 189; }, kIndexStatusRefused,
       "Stop the Engine before proceeding..."},
      {"second status", [](LoggerBench& b) { b.unit.options().second_status = 0; },
       kIndexSecondStatus,
       "Connected to Pelorant Unit but...\rhad a problem with received data!\rPlease Try Again"},
      {"version", [](LoggerBench& b) { b.firmware(431); }, kIndexVersionRefused,
       "Ardenvis Version not compatible with Pelorant Version"},
      {"memory code", [](LoggerBench& b) { b.memory().options().flash_memory_code = 7; },
       kIndexMemoryType, "Failed to Read Memory Type on Logger Unit"},
      {"unit type", [](LoggerBench& b) { b.unit.options().unit_type = 3; }, kIndexUnknownType,
       "Unknown Pelorant Type"},
  };
  for (const Case& c : cases) {
    LoggerBench b;
    b.state.log_index.screen.total = "kept";
    c.setup(b);
    b.host.expect(c.message);
    EXPECT_EQ(getLogIndex(b.state, b.host), c.code) << c.what;
    EXPECT_EQ(b.host.verify(), "") << c.what;
    EXPECT_EQ(b.state.log_index.screen.total, "kept") << c.what;
    EXPECT_EQ(b.sent('g'), 0) << c.what;
  }
}

// One line fault in the 241 replies of an index read: the index is read until
// two copies agree, so the session table is the unit's own.
TEST(LogIndex, ALineFaultInTheIndexIsReadAgain) {
  using Kind = testing::ReplyFaultLine::Kind;
  struct Case {
    const char* what;
    Kind kind;
    uint8_t value;
    int whole_copies;
    bool copy_cut_short;  // by the time-out where the lost byte was owed
  };
  const Case cases[] = {
      // 840 = 0x348: bit 4 set would make the session 16 bytes longer, and
      // its download would end in the next session.
      {"flipped bit in the newest session's end offset", Kind::Flip, 0x10, 3, false},
      // Every later reply of that copy is one behind, and the one left over
      // is read as the next copy's memory code (index byte 240: 0, no memory
      // known), which asks for nothing more and is not silent after.
      {"noise byte before its reply", Kind::Noise, 0x07, 3, false},
      {"its reply lost", Kind::Drop, 0, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoggerBench b;
    b.memory().store_session({testing::sample_records(30), 10});
    b.memory().store_session({testing::sample_records(40), 10});
    const int newest = b.memory().index()[0] & 0x7F;
    const auto end_offset_low = static_cast<uint8_t>(1 + 15 * newest + 2);
    ASSERT_EQ(b.memory().index()[end_offset_low], 0x48);
    testing::ReplyFaultLine line(b.port);
    b.state.link.port = &line;
    line.add({'g', 1, end_offset_low}, 1, 0, c.kind, c.value);
    ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
    EXPECT_EQ(line.fired(), 1);
    EXPECT_EQ(b.host.verify(), "");
    const LogIndex& index = b.state.log_index;
    EXPECT_EQ(index.session(1)->length, 480);
    EXPECT_EQ(index.session(2)->length, 360);
    EXPECT_EQ(index.screen.rows[0].size, "0.48");
    EXPECT_TRUE(std::equal(index.raw.begin(), index.raw.end(), b.memory().index().begin()));
    EXPECT_EQ(b.sent('g'),
              c.whole_copies * kLogIndexBytes + (c.copy_cut_short ? end_offset_low + 1 : 0));
    EXPECT_EQ(b.unit.pending_output(), 0u);
  }
}

TEST(LogIndex, AnIndexThatNeverReadsTheSameTwiceChangesNothing) {
  LoggerBench b;
  b.memory().store_session({testing::sample_records(30), 10});
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  const LogIndex before = b.state.log_index;
  b.memory().store_session({testing::sample_records(40), 10});
  testing::ReplyFaultLine line(b.port);
  b.state.link.port = &line;
  for (int occurrence = 1; occurrence <= 7; occurrence += 2) {
    line.add({'g', 1, 100}, occurrence, 0, testing::ReplyFaultLine::Kind::Flip, 0x01);
  }
  b.host.expect(MessageKind::Warning,
                "Problem talking to Pelorant Unit...\r1) Are you on the correct COM port ?\r2) "
                "Is the correct serial cable in place ?\r3) Is the Pelorant switched on ?");
  EXPECT_EQ(getLogIndex(b.state, b.host), kIndexNotReadable);
  EXPECT_EQ(b.host.verify(), "");
  const LogIndex& after = b.state.log_index;
  EXPECT_EQ(after.raw, before.raw);
  EXPECT_EQ(after.session(1)->length, 360);
  EXPECT_EQ(after.screen.rows[0].size, before.screen.rows[0].size);
  EXPECT_EQ(after.screen.used, before.screen.used);
  EXPECT_EQ(b.sent('g'), (kReadExchangeAttempts + 1 + 2) * kLogIndexBytes);
  EXPECT_EQ(b.host.busy_depth, 0);
}

TEST(LogIndex, NewestSlotBeyondTheSixteenRecordsOffersNoSession) {
  LoggerBench b;
  b.memory().store_session({testing::sample_records(30), 10});
  b.memory().index()[0] = 0x80 | 21;
  b.host.expect(MessageKind::Warning, "Log Index not Readable, No Sessions Shown");
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  EXPECT_EQ(b.host.verify(), "");
  const LogIndex& index = b.state.log_index;
  EXPECT_TRUE(index.unreadable);
  for (int n = 1; n <= 16; ++n) EXPECT_FALSE(index.session(n)->valid);
  EXPECT_EQ(index.screen.rows[0].size, "NA");
  EXPECT_EQ(index.screen.used, "NA");
  EXPECT_EQ(index.screen.free, "NA");
  EXPECT_TRUE(index.screen.memory_full);
}

TEST(LogIndex, PagingReadsAgainAndStopsAtTheSecondPage) {
  LoggerBench b;
  for (int i = 0; i < 10; ++i) b.memory().store_session({testing::sample_records(10 + i), 10});
  ASSERT_TRUE(view_session_data(b.state, b.host));
  LogIndex& index = b.state.log_index;
  EXPECT_EQ(index.screen.rows[0].size, "0.23");  // the newest: 19 records
  gotoPrevLogPage(b.state, b.host);              // first page: nothing happens
  EXPECT_EQ(index.page, 1);
  gotoNextLogPage(b.state, b.host);
  EXPECT_EQ(index.page, 9);
  EXPECT_EQ(index.screen.rows[0].number, "9");
  EXPECT_EQ(index.screen.rows[1].size, "0.12");  // session 10 is the oldest: 10 records
  EXPECT_EQ(index.screen.rows[2].size, "NA");
  b.host.expect(MessageKind::Information, "No More Sessions to View");
  gotoNextLogPage(b.state, b.host);
  EXPECT_EQ(index.page, 9);
  gotoPrevLogPage(b.state, b.host);
  EXPECT_EQ(index.page, 1);
  EXPECT_EQ(index.screen.rows[0].number, "1");
  EXPECT_EQ(b.sent('h'), 5 * 2);  // every page button reads the index again (two copies)
  EXPECT_EQ(b.host.verify(), "");
}

TEST(LogIndex, DownloadMenuNeedsAPort) {
  LoggerBench b;
  b.state.link.serial_port_number = 0;
  b.host.expect(MessageKind::Warning, "Select a free COM port");
  EXPECT_FALSE(view_session_data(b.state, b.host));
  EXPECT_EQ(b.host.verify(), "");
}

TEST(LogIndex, ClearAsksClearsAndReadsTheIndexAgain) {
  LoggerBench b;
  b.memory().store_session({testing::sample_records(20), 10});
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  b.host.expect(MessageKind::Warning, "Clear the Pelorant Logger Memory", Answer::No);
  b.host.expect(MessageKind::Information, "Memory Not Cleared");
  clearLogPointers(b.state, b.host);
  EXPECT_EQ(b.sent('z'), 0);

  b.host.expect(MessageKind::Warning, "Clear the Pelorant Logger Memory", Answer::Yes);
  b.host.expect(MessageKind::Information, "Pelorant Memory Cleared");
  clearLogPointers(b.state, b.host);
  EXPECT_EQ(b.sent('z'), 1);
  EXPECT_FALSE(b.state.log_index.session(1)->valid);
  EXPECT_EQ(b.host.busy_depth, 0);

  b.memory().options().erase_reply = 1;
  b.host.expect(MessageKind::Warning, "Clear the Pelorant Logger Memory", Answer::Yes);
  b.host.expect(MessageKind::Error, "Problem Clearing Log Index, Please Try Again");
  clearLogPointers(b.state, b.host);
  EXPECT_EQ(b.host.verify(), "");
}

TEST(LiteIndex, MemoryFiguresAndTheOneRow) {
  struct Case {
    uint8_t code;
    int pointer;
    uint8_t channel;
    uint8_t status;
    const char *total, *used, *free, *duration, *size;
  };
  const Case cases[] = {
      {8, 1024, 0, 0, "0.06", "0.00", "100.00", "NA", "NA"},
      {32, 2024, 0, 0, "0.25", "0.01", "96.85", "1.67", "1.00"},
      {32, 2024, 1, 0, "0.25", "0.01", "96.85", "0.83", "1.00"},
      {32, 2024, 0, 1, "0.25", "0.01", "0.00", "1.67", "1.00"},  // memory full
      {32, 1000, 0, 0, "0.25", "0.00", "100.00", "NA", "NA"},    // below the first address
  };
  for (const Case& c : cases) {
    LoggerBench b;
    b.unit.options().unit_type = 2;
    b.memory().options().lite_memory_code = c.code;
    b.memory().options().logger_status = c.status;
    b.memory().set_lite_pointer(c.pointer);
    b.memory().config()[17] = c.channel;
    ASSERT_TRUE(view_session_data(b.state, b.host));
    const IndexScreen& s = b.state.log_index.screen;
    EXPECT_EQ(s.total, c.total);
    EXPECT_EQ(s.used, c.used);
    EXPECT_EQ(s.free, c.free);
    EXPECT_EQ(s.memory_full, c.status == 1);
    EXPECT_EQ(s.rows[0].number, "1");
    EXPECT_EQ(s.rows[0].duration, c.duration) << c.pointer << " " << int(c.channel);
    EXPECT_EQ(s.rows[0].size, c.size);
    EXPECT_EQ(s.rows[7].number, "8");
    EXPECT_EQ(s.rows[7].size, "NA");
    EXPECT_EQ(b.host.verify(), "");
  }
  LoggerBench b;
  b.unit.options().unit_type = 2;
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  b.host.expect(MessageKind::Information, "No more log sessions to see...");
  gotoNextLogPage(b.state, b.host);
  EXPECT_EQ(b.host.verify(), "");
}

TEST(LiteIndex, APointerByteSpoiltOnTheLineIsReadAgain) {
  LoggerBench b;
  b.unit.options().unit_type = 2;
  b.memory().set_lite_pointer(2024);  // 0x07E8
  testing::ReplyFaultLine line(b.port);
  b.state.link.port = &line;
  line.add({'g', 0, 67}, 1, 0, testing::ReplyFaultLine::Kind::Flip, 0x10);
  ASSERT_EQ(getLogIndex(b.state, b.host), kIndexOk);
  EXPECT_EQ(line.fired(), 1);
  EXPECT_EQ(b.state.log_index.screen.used, "0.01");
  EXPECT_EQ(b.state.log_index.screen.rows[0].size, "1.00");
  EXPECT_EQ(b.host.verify(), "");
}

TEST(ViewData, NeedsDecodedSamples) {
  LoggerBench b;
  b.host.expect(MessageKind::Information, "No Pelorant Data Loaded");
  EXPECT_FALSE(viewData(b.state, b.host));
  b.state.data_set(DataSetId::B).loaded = kDecoded;
  b.host.expect(MessageKind::Information, "No Data Recorded");
  EXPECT_FALSE(viewData(b.state, b.host));
  b.state.data_set(DataSetId::B).record_counts[1] = 5;
  EXPECT_TRUE(viewData(b.state, b.host));
  EXPECT_EQ(b.host.verify(), "");
}

}  // namespace
}  // namespace ardenvis::core
