#include "logger/lite_download.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "unit/logger_fixture.h"
#include "unit/reply_faults.h"

namespace ardenvis::core {
namespace {

using testing::LoggerBench;

// A lite logger holding `count` recorded bytes (value = address & 0xFF, never
// 0 so every sample shows) on `channel`, whose index has been read.
struct LiteBench : LoggerBench {
  LiteBench(int count, uint8_t channel, uint8_t rate = 10) {
    unit.options().unit_type = 2;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(i % 250 + 1));
    memory().set_lite_recording(bytes, rate, channel);
    EXPECT_EQ(getLogIndex(state, host), kIndexOk);
  }
  DownloadResult download(DataSetId to = DataSetId::A) {
    return downloadLogSession(state, host, {7, to, false, false});
  }
};

TEST(LiteDownload, EventsRunWhileTheUnitSendsNotBetweenBlocks) {
  LiteBench b(2000, 1);
  b.watch_gaps_between('j');
  EXPECT_EQ(b.download().outcome, DownloadOutcome::Complete);
  EXPECT_GT(b.sent('j'), 2);
  EXPECT_EQ(b.events_between_blocks('j'), 0);
}

TEST(LiteDownload, RecordingSizesAndBlocks) {
  struct Case {
    int pointer;
    uint8_t channel;
    size_t raw_bytes;
    int blocks;
    const char* processed;
  };
  const Case cases[] = {
      {1524, 0, 6000, 2, "Processed 5940 bytes of Data"},  // 246 samples in the 2nd block
      {1278, 1, 1524, 1, "Processed 1464 bytes of Data"},  // exactly one block
      {1280, 2, 1536, 2, "Processed 1476 bytes of Data"},  // one sample in the 2nd block
      {1280, 3, 1536, 2, "Processed 1476 bytes of Data"},
  };
  for (const Case& c : cases) {
    LiteBench b(c.pointer - 1024, c.channel);
    b.host.expect(MessageKind::Information, c.processed);
    const DownloadResult r = b.download(DataSetId::B);
    EXPECT_EQ(b.host.verify(), "") << c.pointer;
    EXPECT_EQ(r.outcome, DownloadOutcome::Complete);
    EXPECT_EQ(b.sent('j'), c.blocks) << c.pointer;
    EXPECT_EQ(b.sent('c'), 0);
    const DataSet& slot = b.state.data_set(DataSetId::B);
    EXPECT_EQ(slot.raw.size(), c.raw_bytes);
    EXPECT_EQ(slot.info.raw_byte_count, c.raw_bytes);
    EXPECT_EQ(slot.info.label, "Memory B");
    // Every 12 bytes a rebuilt sample record.
    for (size_t at = 0; at < slot.raw.size(); at += 12) ASSERT_EQ(slot.raw[at], 0x59);
  }
}

TEST(LiteDownload, SampleBytesGoToTheirChannelsPlace) {
  // Recorded bytes 0x12, 0x34 and the record each channel makes of them.
  const std::vector<uint8_t> recorded = {0x12, 0x34};
  struct Case {
    uint8_t channel;
    std::vector<uint8_t> first_record;
  };
  const Case cases[] = {
      {0, {0x59, 0, 0, 0, 0, 0, 0, 0x12, 0, 0, 0, 0}},
      {1, {0x59, 0, 0, 0, 0, 0x12, 0x34, 0, 0, 0, 0, 0}},
      {2, {0x59, 0, 0, 0x12, 0x34, 0, 0, 0, 0, 0, 0, 0}},
      {3, {0x59, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34}},
  };
  for (const Case& c : cases) {
    LiteBench b(200, c.channel, 20);
    std::vector<uint8_t> bytes(200, 0x40);
    bytes[0] = recorded[0];
    bytes[1] = recorded[1];
    b.memory().set_lite_recording(bytes, 20, c.channel);
    b.host.expect(MessageKind::Information,
                  c.channel == 0 ? "Processed 2340 bytes of Data" : "Processed 1140 bytes of Data");
    b.download();
    EXPECT_EQ(b.host.verify(), "");
    const DataSet& slot = b.state.data_set(DataSetId::A);
    ASSERT_GE(slot.raw.size(), 12u);
    EXPECT_EQ(std::vector<uint8_t>(slot.raw.begin(), slot.raw.begin() + 12), c.first_record)
        << int(c.channel);
    EXPECT_EQ(slot.info.sample_rate, 20);
  }
}

// A block that fails its check is never data, nor is any sample of it: the
// slot keeps the blocks before it.
TEST(LiteDownload, BadCheckStopsAndKeepsTheBlocksBeforeIt) {
  LiteBench b(500, 0);
  b.memory().options().bad_blocks = {{1, 1}};
  b.host.expect(MessageKind::Warning, "Ardenvis Lite Download Stopped [3048,6000]");
  b.host.expect(MessageKind::Information, "Processed 2988 bytes of Data");
  EXPECT_EQ(b.download().outcome, DownloadOutcome::StoppedEarly);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(b.state.data_set(DataSetId::A).held_byte_count, 3048u);

  LiteBench early(1000, 0);
  early.memory().options().bad_blocks = {{0, sim::kAlways}};
  early.host.expect(MessageKind::Warning, "Ardenvis Lite Download Stopped [0,12000]");
  early.host.expect(MessageKind::Information, "Not Enough Data to Process...");
  early.download();
  EXPECT_EQ(early.host.verify(), "");
  EXPECT_EQ(early.sent('j'), 1);
  const DataSet& slot = early.state.data_set(DataSetId::A);
  EXPECT_EQ(slot.download_state, kStoppedEarly);
  EXPECT_TRUE(std::all_of(slot.raw.begin(), slot.raw.end(), [](uint8_t v) { return v == 0; }));

  // A byte lost in block 1: its samples after that point come one byte late
  // (the check byte read as a sample) until the check read times out.
  LiteBench dropped(1000, 1);  // 500 samples, 6000 raw bytes, 4 blocks
  testing::ReplyFaultLine line(dropped.port);
  dropped.state.link.port = &line;
  line.add({'j'}, 2, 100, testing::ReplyFaultLine::Kind::Drop);
  dropped.host.expect(MessageKind::Warning, "Ardenvis Lite Download Stopped [1524,6000]");
  dropped.host.expect(MessageKind::Information, "Processed 1464 bytes of Data");
  dropped.download();
  EXPECT_EQ(dropped.host.verify(), "");
  EXPECT_EQ(line.fired(), 1);
  const DataSet& kept = dropped.state.data_set(DataSetId::A);
  EXPECT_EQ(kept.held_byte_count, 1524u);
  EXPECT_TRUE(
      std::all_of(kept.raw.begin() + 1524, kept.raw.end(), [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(dropped.unit.pending_output(), 0u);
}

// The lite logger never asks for a block again: a read that times out ends
// the transfer with the blocks before it, and a time-out is never a sample.
TEST(LiteDownload, PauseOrSilenceStopsWithNothingFromAfterIt) {
  struct Case {
    const char* what;
    std::map<int, sim::BlockPause> pauses;
    long stall_after;
    long kept_samples;
    const char* stopped;
    const char* processed;
  };
  const Case cases[] = {
      {"pause after 10 bytes of block 1",
       {{1, {10, 200}}},
       -1,
       127,
       "Ardenvis Lite Download Stopped [1524,6000]",
       "Processed 1464 bytes of Data"},
      {"pause inside a sample",
       {{1, {11, 80}}},
       -1,
       127,
       "Ardenvis Lite Download Stopped [1524,6000]",
       "Processed 1464 bytes of Data"},
      {"pause before the check byte of block 1",
       {{1, {254, 80}}},
       -1,
       127,
       "Ardenvis Lite Download Stopped [1524,6000]",
       "Processed 1464 bytes of Data"},
      // A unit that falls silent after its first block once gave blocks of
      // zeros with a zero check, all accepted: a "complete" session of zeros.
      {"silent after block 1",
       {},
       254,
       127,
       "Ardenvis Lite Download Stopped [1524,6000]",
       "Processed 1464 bytes of Data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LiteBench b(1000, 1);  // 500 samples, 6000 raw bytes, 4 blocks
    b.memory().options().pause_blocks = c.pauses;
    b.memory().options().stall_after = c.stall_after;
    b.host.expect(MessageKind::Warning, c.stopped);
    b.host.expect(MessageKind::Information, c.processed);
    const DownloadResult r = b.download();
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(r.outcome, DownloadOutcome::StoppedEarly);
    const DataSet& slot = b.state.data_set(DataSetId::A);
    EXPECT_EQ(slot.download_state, kStoppedEarly);
    ASSERT_EQ(slot.held_byte_count, static_cast<uint32_t>(c.kept_samples * 12));
    for (long k = 0; k < c.kept_samples; ++k) {
      const uint8_t* record = &slot.raw[static_cast<size_t>(k * 12)];
      ASSERT_EQ(record[5], (2 * k) % 250 + 1) << k;
      ASSERT_EQ(record[6], (2 * k + 1) % 250 + 1) << k;
    }
    EXPECT_TRUE(std::all_of(slot.raw.begin() + c.kept_samples * 12, slot.raw.end(),
                            [](uint8_t byte) { return byte == 0; }));
    // The rest of the paused block has passed: the next download is whole.
    EXPECT_EQ(b.unit.pending_output(), 0u);
    if (c.stall_after < 0) {
      b.memory().options().pause_blocks.clear();
      b.host.expect(MessageKind::Information, "Processed 5940 bytes of Data");
      EXPECT_EQ(b.download().outcome, DownloadOutcome::Complete);
      EXPECT_EQ(b.host.verify(), "");
    }
  }
}

// One line fault in the replies the lite download reads before its first
// block (identity, memory code, pointer, rate, channel, pulses code): each is
// caught and read again, and the recording is the unit's own.
TEST(LiteDownload, HeaderFaultsAreCaughtAndReadAgain) {
  using Kind = testing::ReplyFaultLine::Kind;
  using Case = testing::ReplyFaultLine::NamedFault;
  const Case cases[] = {
      {"noise byte in the handshake's identity", {'i'}, 1, 3, Kind::Noise, 0x5A},
      {"flipped bit in the identity read again", {'i'}, 2, 4, Kind::Flip, 0x01},
      {"flipped bit in the pointer", {'g', 0, 66}, 1, 0, Kind::Flip, 0x08},
      {"lost rate", {'g', 0, 68}, 1, 0, Kind::Drop, 0},
      {"wrong channel", {'r', 17}, 1, 0, Kind::Replace, 0},
      {"wrong pulses code", {'r', 14}, 1, 0, Kind::Replace, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LiteBench b(1000, 1, 20);  // 500 samples of channel 1, 6000 raw bytes
    b.memory().config()[14] = 2;
    testing::ReplyFaultLine line(b.port);
    b.state.link.port = &line;
    line.add(c);
    b.host.expect(MessageKind::Information, "Processed 5940 bytes of Data");
    EXPECT_EQ(b.download().outcome, DownloadOutcome::Complete);
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(line.fired(), 1);
    const DataSet& slot = b.state.data_set(DataSetId::A);
    ASSERT_EQ(slot.raw.size(), 6000u);
    for (size_t k = 0; k < 500; ++k) {
      ASSERT_EQ(slot.raw[k * 12 + 5], (2 * k) % 250 + 1) << k;
      ASSERT_EQ(slot.raw[k * 12 + 6], (2 * k + 1) % 250 + 1) << k;
    }
    EXPECT_EQ(slot.info.sample_rate, 20);
    ASSERT_TRUE(slot.unit.has_value());
    EXPECT_EQ(slot.unit->identity_word, 0x1234);
    EXPECT_EQ(slot.unit->distance_factor, 1000);
    EXPECT_EQ(slot.unit->pulses_per_rev, 2);
    EXPECT_EQ(b.unit.pending_output(), 0u);
  }
}

TEST(LiteDownload, RefusalsAndTheirDrains) {
  {
    // A flash logger plugged in since the index was read.
    LiteBench b(100, 0);
    b.unit.options().unit_type = 1;
    b.host.expect(MessageKind::Error, "Pelorant2 Lite not Connected");
    b.port.clear_log();
    EXPECT_EQ(b.download().outcome, DownloadOutcome::NotStarted);
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.port.exchanges().back().written, 'i');
    EXPECT_EQ(b.port.exchanges().back().reads_after, 16 + 8);
    EXPECT_EQ(b.state.data_set(DataSetId::A).info.label, "No Data");
  }
  {
    LiteBench b(100, 4);
    b.host.expect(MessageKind::Error, "Lite Logger Download Channel not Recognised");
    b.download();
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.sent('j'), 0);
  }
  {
    LiteBench b(0, 1);
    b.host.expect(MessageKind::Information, "No Data to Download");
    b.download();
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.host.busy_depth, 0);
  }
  {
    LiteBench b(100, 0);
    b.memory().options().lite_memory_code = 9;
    b.host.expect(MessageKind::Error, "Failed to Read Memory Type on Logger Unit");
    b.download();
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.sent('x'), 1);  // only the index read's
    EXPECT_EQ(b.host.busy_depth, 0);
  }
  {
    LiteBench b(100, 0);
    b.firmware(399);
    b.host.expect(MessageKind::Error, "Ardenvis Version not compatible with Pelorant Version");
    b.download();
    EXPECT_EQ(b.host.verify(), "");
    EXPECT_EQ(b.host.busy_depth, 0);
    ASSERT_FALSE(b.host.messages.empty());
    EXPECT_FALSE(b.host.messages.back().busy_cursor);  // the default cursor over the box
  }
}

TEST(LiteDownload, OddByteCountOnATwoByteChannelDropsTheHalfSample) {
  // 255 recorded bytes are 127 whole samples: 1524 bytes, one block, and no
  // record written past the end.
  EXPECT_EQ(lite_raw_length(1279, 1), 1524);
  EXPECT_EQ(lite_raw_length(1000, 0), 0);
  LiteBench b(255, 1);
  b.host.expect(MessageKind::Information, "Processed 1464 bytes of Data");
  b.download();
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(b.sent('j'), 1);
}

TEST(LiteDownload, CancelLeavesTheSlotAlone) {
  LiteBench b(3000, 0);
  DataSet& slot = b.state.data_set(DataSetId::A);
  slot.info.label = "Memory A";
  slot.raw = {1, 2, 3};
  slot.download_state = kDownloaded;
  const long reads = b.port.reads();
  b.host.on_process_events = [&] {
    if (b.port.reads() > reads + 600) b.state.log_cancel = true;
  };
  b.host.expect(MessageKind::Information, "Lite Download Cancelled, No Data Stored");
  EXPECT_EQ(b.download().outcome, DownloadOutcome::Cancelled);
  EXPECT_EQ(b.host.verify(), "");
  EXPECT_EQ(slot.info.label, "Memory A");
  EXPECT_EQ(slot.raw, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(slot.download_state, kDownloaded);
  EXPECT_EQ(b.host.busy_depth, 0);
}

}  // namespace
}  // namespace ardenvis::core
