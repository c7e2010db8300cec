// Decoding of hand-written log bytes. Every record below is spelled out byte by
// byte from the record layouts, so the decoder is never checked against an
// encoder of our own.

#include "logger/decoder.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

using testing::ScriptedHost;
using Bytes = std::vector<uint8_t>;

// A sample record with 11 data bytes (header 0x59 = D 11, id 1): no G, no speed,
// p9 as given (default: distance form, no gear), lap distance p10 p11.
Bytes sample(uint8_t p9 = 0x20, uint8_t p10 = 0, uint8_t p11 = 0) {
  return {0x59, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, p9, p10, p11};
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes repeat(const Bytes& b, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out = out + b;
  return out;
}

// The 64 bytes at the end that never start a record.
Bytes tail() { return Bytes(64, 0x00); }

std::string processed(size_t n) { return "Processed " + std::to_string(n) + " bytes of Data"; }

class Decode : public ::testing::Test {
 protected:
  Decode() {
    state.identity.distance_factor = 1000;
    state.identity.pulses_per_rev = 1;
  }

  // Decodes `records` followed by the 64-byte tail into slot A.
  DataSet& run(const Bytes& records, uint8_t rate = 0, bool add_tail = true) {
    DataSet& set = state.current();
    set.raw = add_tail ? records + tail() : records;
    set.info.raw_byte_count = static_cast<uint32_t>(set.raw.size());
    set.info.sample_rate = rate;
    process_data_packets(state, host);
    return set;
  }
  // Decodes and expects the success message for `records`.
  DataSet& ok(const Bytes& records, uint8_t rate = 0) {
    host.expect(MessageKind::Information, processed(records.size()));
    DataSet& set = run(records, rate);
    EXPECT_EQ(host.verify(), "");
    return set;
  }

  ProgramState state;
  ScriptedHost host;
};

TEST(RecordHeader, ShortExtendedAndSixteenByteForms) {
  struct Case {
    Bytes bytes;
    RecordHeader want;
  } cases[] = {
      {{0x59}, {0, 11, 1, 12}},
      {{0x79}, {0, 16, 1, 17}},         // L = 15 means 16 data bytes
      {{0x22}, {0, 4, 2, 5}},
      {{0x00}, {0, 0, 0, 1}},
      {{0xA1, 0x23}, {1, 4, 0x123 + 8, 6}},
      {{0xFF, 0x05}, {1, 16, 1792 + 5 + 8, 18}},
  };
  for (const auto& c : cases) {
    RecordHeader h = read_record_header(c.bytes.data());
    EXPECT_EQ(h.extended, c.want.extended);
    EXPECT_EQ(h.data_count, c.want.data_count);
    EXPECT_EQ(h.record_id, c.want.record_id);
    EXPECT_EQ(h.length, c.want.length);
  }
}

TEST(Hundredths, TruncatesThe32BitValue) {
  EXPECT_EQ(hundredths_seconds(61234), 61.23f);
  EXPECT_EQ(hundredths_seconds(61230), 61.22f);  // 61.23f is just below 61.23
  EXPECT_EQ(hundredths_seconds(90000), 90.0f);
  EXPECT_EQ(hundredths_seconds(0), 0.0f);
  EXPECT_EQ(hundredths_seconds(0xFFFFF), 1048.57f);
}

TEST_F(Decode, EntryRuleAndTail) {
  // 64 bytes: too short, whatever they hold.
  host.expect(MessageKind::Information, "Not Enough Data to Process...");
  DataSet& set = run(repeat(sample(), 5) + Bytes(4, 0x59), 0, false);
  EXPECT_EQ(set.raw.size(), 64u);
  EXPECT_EQ(set.loaded, kNotLoaded);
  EXPECT_EQ(host.verify(), "");

  // 65 bytes of sample records: only the record at offset 0 may start a record.
  Bytes b = repeat(sample(), 6);
  b.resize(65, 0x59);
  host.expect(MessageKind::Information, processed(12));
  run(b, 0, false);
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kDecoded);
  EXPECT_EQ(set.sample_count(), 1u);
  EXPECT_EQ(set.info.raw_byte_count, 12u);  // trimmed to the last framed record
  EXPECT_FALSE(host.progress.visible);
}

TEST_F(Decode, ZeroHeaderStopsFraming) {
  host.expect(MessageKind::Information, "Stopped Processing Pelorant Data [24,0,0,1]");
  host.expect(MessageKind::Information, processed(24));
  DataSet& set = run(sample(0x20, 0, 10) + sample(0x20, 0, 20) + Bytes{0x00} + sample());
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kDecodedToFramingStop);
  EXPECT_EQ(set.sample_count(), 2u);
  EXPECT_EQ(set.info.raw_byte_count, 24u);
  EXPECT_EQ(set[Channel::LapOdo][2], 20.0);
}

TEST_F(Decode, AllOnesHeaderIsAnEighteenByteCanRecord) {
  // 0xFF 0x05: extended, 16 data bytes, CAN id 1797. Framing carries on after its
  // 18 bytes; decoding then refuses a CAN frame of 15 data bytes.
  Bytes can = Bytes{0xFF, 0x05} + Bytes(16, 0x11);
  host.expect(MessageKind::Warning, "Problem with CAN data byte Inc: [15]");
  host.expect(MessageKind::Warning,
              "Problem Processing Download Data!\nSave to File for Orvik to Check?");
  DataSet& set = run(sample() + can + sample());
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.record_counts[1805], 1u);
  EXPECT_EQ(set.sample_count(), 2u);
  EXPECT_EQ(set.loaded, kNotLoaded);
}

TEST_F(Decode, EverySampleField) {
  const Bytes eleven = {0x59, 0x0F, 0x2A, 0x44, 0xD2, 0x9A, 0x85, 55, 33, 0xA3, 0x01, 0x2C};
  const Bytes sixteen = {0x79, 0x96, 0x00, 0x80, 0x00, 0x00, 0x00, 0, 0, 0x20, 0x01, 0x2C,
                         0x10, 0x20, 0x30, 0x40, 0xE4};
  DataSet& set = ok(eleven + sixteen);
  EXPECT_EQ(set[Channel::GLat][1], -1.5);  // p3 bit 7 clear: negative
  EXPECT_EQ(set[Channel::GLong][1], 4.2);  // p3 bit 6 set: positive
  EXPECT_EQ(set[Channel::Speed][1], 123.4);
  EXPECT_EQ(set[Channel::Rpm][1], 67.89);  // p5 bit 7 ignored
  EXPECT_EQ(set[Channel::OilPressure][1], 55);
  EXPECT_EQ(set[Channel::AuxPressure][1], 33);
  EXPECT_EQ(set[Channel::Brake][1], 100);
  EXPECT_EQ(set[Channel::LapOdo][1], 300);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(set[extra_input_channel(i)][1], 0) << i;

  EXPECT_EQ(set[Channel::GLat][2], 15.0);
  EXPECT_EQ(set[Channel::GLong][2], 0.0);
  EXPECT_FALSE(std::signbit(set[Channel::GLong][2]));  // no "-0"
  EXPECT_EQ(set[Channel::Brake][2], 0);
  EXPECT_EQ(set[extra_input_channel(1)][2], 16);
  EXPECT_EQ(set[extra_input_channel(2)][2], 288);
  EXPECT_EQ(set[extra_input_channel(3)][2], 560);
  EXPECT_EQ(set[extra_input_channel(4)][2], 832);
}

TEST_F(Decode, SampleRateSetsPeriodAndGearWindow) {
  struct Case {
    uint8_t rate;
    double period;
    int window;
  } cases[] = {{20, 0.05, 6}, {10, 0.1, 3}, {0, 0.1, 3}, {255, 0.1, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    DataSet& set = ok(repeat(sample(0x23), 8), c.rate);  // gear code 3 throughout
    for (long k = 1; k <= 3; ++k) EXPECT_NEAR(set[Channel::PeloTime][k], k * c.period, 1e-12);
    EXPECT_EQ(set[Channel::PeloTime][2], c.period + c.period);  // one running sum
    EXPECT_EQ(set[Channel::Gear][c.window - 1], 0);
    EXPECT_EQ(set[Channel::Gear][c.window], 30);
  }
}

TEST_F(Decode, GearDebouncing) {
  // Codes (p9 low nibble): 2 2 2 4 2 2 0 9 15 5 5 5
  const int codes[] = {2, 2, 2, 4, 2, 2, 0, 9, 15, 5, 5, 5};
  const double want[] = {0, 0, 20, 20, 20, 20, 20, 20, 20, 20, 20, 50};
  Bytes b;
  for (int c : codes) b = b + sample(static_cast<uint8_t>(0x20 | c));
  DataSet& set = ok(b, 10);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(set[Channel::Gear][k], want[k - 1]) << k;
  // The same bytes decode the same way whatever was decoded before: the last
  // log ended in 5th, and this one starts in 5th from a fresh history.
  ok(repeat(sample(0x25), 3), 10);
  EXPECT_EQ(set[Channel::Gear][1], 0);
  EXPECT_EQ(set[Channel::Gear][3], 50);
}

TEST_F(Decode, DistanceForms) {
  // 0x03E8 = 1000: as distance, and as pulses with factor 1000 and codes 1 and 2.
  DataSet& set = ok(sample(0x20, 0x03, 0xE8) + sample(0x00, 0x03, 0xE8));
  EXPECT_EQ(set[Channel::LapOdo][1], 1000);
  EXPECT_EQ(set[Channel::LapOdo][2], 1609);
  state.identity.pulses_per_rev = 2;
  ok(sample(0x00, 0x03, 0xE8));
  EXPECT_EQ(set[Channel::LapOdo][1], 804.5);
}

TEST_F(Decode, ZeroDistanceFactorIsAFaultThatOffersTheSave) {
  int saves = 0;
  state.save_log_data = [&](ProgramState& s, Host&) {
    EXPECT_EQ(&s, &state);
    ++saves;
  };
  state.identity.distance_factor = 0;
  host.expect(MessageKind::Warning,
              "Problem Processing Download Data!\nSave to File for Orvik to Check?",
              Answer::Yes);
  // Distances already in metres do not need the factor; the pulses record does.
  DataSet& set = run(sample(0x20, 0, 5) + sample(0x00, 0, 5));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kNotLoaded);
  EXPECT_EQ(saves, 1);
  EXPECT_FALSE(host.progress.visible);

  // A lap record logged in pulses needs it too (0x3B: lap, p1 bit 7 clear).
  host.expect("Problem Processing Download Data!\nSave to File for Orvik to Check?", Answer::No);
  run(sample() + Bytes{0x3B, 0x00, 0x27, 0x10, 0x01, 0x00, 0xC8, 0x00} + sample());
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(set.loaded, kNotLoaded);
}

TEST_F(Decode, FallingLapDistanceKeepsOdoAndResetsSplit) {
  // Split 0 at 1.5 s (0x005DC ms), then the lap distance falls at sample 3.
  const Bytes split = {0x34, 0x00, 0x05, 0xDC, 0x00, 0x00, 0x00};
  const Bytes lap = {0x3B, 0x80, 0x27, 0x10, 0x01, 0x00, 0xC8, 0x00};  // 10.00 s, lap 1
  DataSet& set = ok(sample(0x20, 0, 100) + split + sample(0x20, 0, 200) + sample(0x20, 0, 50) +
                    sample(0x20, 0, 150) + lap + sample(0x20, 0, 160));
  const double odo[] = {100, 200, 200, 300, 310};
  const double split_series[] = {0, 1.5, 0, 0, 0};
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(set[Channel::Odo][k], odo[k - 1]) << k;
    EXPECT_EQ(set[Channel::Split][k], split_series[k - 1]) << k;
  }
  ASSERT_EQ(set.lap_count(), 1u);
  EXPECT_EQ(set.laps[0].start_time, set[Channel::PeloTime][3]);
  EXPECT_EQ(set.laps[0].end_time, set[Channel::PeloTime][4]);
  EXPECT_EQ(set.laps[0].lap_distance, 200.0f);  // p1 bit 7: metres as logged
}

TEST_F(Decode, SlowChannelRecords) {
  // Lost before the first sample; between samples 1 and 2 it changes sample 1 and
  // every later one until the next record. 0x2A = D 5, 0x22 = D 4 (no CAN Load).
  const Bytes early = {0x2A, 90, 80, 120, 50, 7};
  const Bytes first = {0x2A, 91, 81, 125, 51, 8};
  const Bytes second = {0x22, 92, 82, 130, 52};
  DataSet& set = ok(early + sample() + first + sample() + sample() + second + sample());
  const double oil[] = {91, 91, 92, 92};
  const double load[] = {8, 8, 0, 0};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(set[Channel::OilTemp][k], oil[k - 1]) << k;
    EXPECT_EQ(set[Channel::CanLoad][k], load[k - 1]) << k;
  }
  EXPECT_EQ(set[Channel::WaterTemp][2], 81);
  EXPECT_EQ(set[Channel::Battery][2], 12.5);
  EXPECT_EQ(set[Channel::Fuel][4], 52);
}

TEST_F(Decode, BackFillOfTheFirstSecond) {
  const Bytes slow_a = {0x2A, 60, 70, 130, 40, 9};
  const Bytes slow_b = {0x2A, 61, 71, 131, 41, 9};
  // Rate 10: indexes 1..11 take index 11's values (CAN Load is not back-filled).
  DataSet& set = ok(sample() + slow_a + repeat(sample(), 10) + slow_b + repeat(sample(), 2), 10);
  for (long k = 1; k <= 11; ++k) {
    EXPECT_EQ(set[Channel::OilTemp][k], 61) << k;
    EXPECT_EQ(set[Channel::WaterTemp][k], 71) << k;
    EXPECT_EQ(set[Channel::Fuel][k], 41) << k;
  }
  EXPECT_EQ(set[Channel::CanLoad][1], 9);
  // Fewer than r + 1 samples: index r + 1 reads 0 and so does everything.
  ok(sample() + slow_a + repeat(sample(), 4), 10);
  for (long k = 1; k <= 5; ++k) {
    EXPECT_EQ(set[Channel::OilTemp][k], 0) << k;
    EXPECT_EQ(set[Channel::Battery][k], 0) << k;
  }
  EXPECT_EQ(set[Channel::CanLoad][5], 9);
}

TEST_F(Decode, LoadTimeSmoothing) {
  // Alternating speeds 0 / 10.0 mph: any smoothing pulls them together.
  const Bytes fast = {0x59, 0, 0, 0xC0, 100, 0, 0, 0, 0, 0x20, 0, 0};
  auto series_of = [&](int samples) {
    Bytes b;
    for (int k = 0; k < samples; ++k) b = b + (k % 2 ? fast : sample());
    return b;
  };
  DataSet& set = ok(series_of(15));
  EXPECT_EQ(set[Channel::Speed][8], 10.0);  // 15 samples: untouched
  ok(series_of(16));
  EXPECT_NE(set[Channel::Speed][8], 10.0);
  state.filter_when_loaded = false;
  ok(series_of(16));
  EXPECT_EQ(set[Channel::Speed][8], 10.0);
}

TEST_F(Decode, NoSampleRecord) {
  host.expect(MessageKind::Information, "No Valid Data Processed...");
  DataSet& set = run(Bytes{0x2A, 1, 2, 3, 4, 5});
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kNotLoaded);
}

TEST_F(Decode, CancelInEitherPassLeavesTheSlotEmpty) {
  for (long at_call : {3L, 12L}) {  // pass 1 frames 10 records, pass 2 starts at call 11
    SCOPED_TRACE(at_call);
    host.process_event_calls = 0;
    host.on_process_events = [&] {
      if (host.process_event_calls == at_call) state.log_cancel = true;
    };
    host.expect(MessageKind::Information, "Processing Cancelled...");
    DataSet& set = run(repeat(sample(0x20, 0, 10), 10));
    EXPECT_EQ(host.verify(), "");
    EXPECT_EQ(set.loaded, kNotLoaded);
    EXPECT_FALSE(host.progress.visible);
    if (at_call == 12) {
      EXPECT_EQ(set[Channel::LapOdo][2], 10);  // partial data stays
    }
  }
}

TEST_F(Decode, ProgressBarsMoveEveryThousandBytes) {
  DataSet& set = ok(repeat(sample(), 200));  // 2400 bytes
  (void)set;
  EXPECT_EQ(host.progress.bar_updates[ProgressBar::Processing], 3);  // range, 1008, 2016
  EXPECT_EQ(host.progress.bars[ProgressBar::Processing], (std::pair<long, long>{2016, 2464}));
  EXPECT_EQ(host.progress.bars[ProgressBar::Formatting], (std::pair<long, long>{2016, 2400}));
  EXPECT_EQ(host.progress.shows, 1);
  EXPECT_GE(host.process_event_calls, 400);  // once per record in each pass
}

TEST_F(Decode, ShortRecordsNeverBorrowTheirNeighboursBytes) {
  // A sample record with 2 data bytes (0x11) followed by a slow-channel record:
  // the missing fields read 0 instead of the next record's bytes.
  DataSet& set = ok(Bytes{0x11, 0x05, 0x07} + Bytes{0x2A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(set[Channel::GLat][1], -0.5);
  EXPECT_EQ(set[Channel::Speed][1], 0);
  EXPECT_EQ(set[Channel::Rpm][1], 0);
}

TEST_F(Decode, RawBytesShorterThanTheirCount) {
  DataSet& set = state.current();
  set.raw = repeat(sample(), 3) + tail();
  set.info.raw_byte_count = 100000;
  host.expect(processed(36));
  process_data_packets(state, host);
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.sample_count(), 3u);
}

TEST_F(Decode, DecodingTheOtherSlotLeavesThisOneAlone) {
  DataSet& a = ok(repeat(sample(0x20, 0, 7), 3));
  state.current_data_set = DataSetId::B;
  DataSet& b = ok(repeat(sample(0x20, 0, 9), 5));
  EXPECT_NE(&a, &b);
  EXPECT_EQ(a.sample_count(), 3u);
  EXPECT_EQ(a[Channel::LapOdo][3], 7);
  EXPECT_EQ(b[Channel::LapOdo][5], 9);
}

TEST(SeriesRules, ReadWriteResize) {
  Series s;
  s.resize(0);
  EXPECT_EQ(s.size(), 0);
  s.resize(3);
  s.set(1, 1.5);
  s.set(3, 3.5);
  s.set(0, 9);
  s.set(4, 9);
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[1], 1.5);
  EXPECT_EQ(s[4], 0);
  s.resize(-1);  // refused
  EXPECT_EQ(s.size(), 3);
  s.resize(5);
  EXPECT_EQ(s[3], 3.5);
  EXPECT_EQ(s[5], 0);
  s.resize(2);
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(s[1], 1.5);
  s.resize(4);  // growing again: the dropped values do not come back
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(s[4], 0);
  Series copy = s;
  copy.set(1, 7);
  EXPECT_EQ(s[1], 1.5);
  EXPECT_EQ(copy.size(), 4);
  Series moved = std::move(copy);
  EXPECT_EQ(moved[1], 7);
  s.clear();
  EXPECT_EQ(s.size(), 0);
  EXPECT_EQ(s[1], 0);
}

}  // namespace
}  // namespace ardenvis::core
