// Lap, split, CAN and sensor-module records, and what decoding builds from them
// after the last record. Records are written out byte by byte.

#include <cmath>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "common/savitzky_golay.h"
#include "logger/decoder.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

using testing::ScriptedHost;
using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes repeat(const Bytes& b, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out = out + b;
  return out;
}

// Sample record, 11 data bytes, distance form, lap distance 0.
const Bytes kSample = {0x59, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00};

// Lap record (0x3B: D 7, id 3), distance form set, distance 0x0100.
Bytes lap(uint8_t number, uint32_t ms) {
  return {0x3B, static_cast<uint8_t>(0x80 | (ms >> 16)), static_cast<uint8_t>(ms >> 8),
          static_cast<uint8_t>(ms), number, 0x01, 0x00, 0x00};
}

const char* kFault = "Problem Processing Download Data!\nSave to File for Orvik to Check?";

class Laps : public ::testing::Test {
 protected:
  Laps() {
    state.identity.distance_factor = 1000;
    state.identity.pulses_per_rev = 1;
    state.filter_when_loaded = false;
  }
  DataSet& run(const Bytes& records, uint8_t rate = 0) {
    DataSet& set = state.current();
    set.raw = records + Bytes(64, 0);
    set.info.raw_byte_count = static_cast<uint32_t>(set.raw.size());
    set.info.sample_rate = rate;
    process_data_packets(state, host);
    return set;
  }
  DataSet& ok(const Bytes& records, uint8_t rate = 0) {
    host.expect(MessageKind::Information,
                "Processed " + std::to_string(records.size()) + " bytes of Data");
    DataSet& set = run(records, rate);
    EXPECT_EQ(host.verify(), "");
    return set;
  }
  ProgramState state;
  ScriptedHost host;
};

TEST_F(Laps, LapRecordFields) {
  // 61 234 ms = 0x0EF32; lap 9; as pulses 0x03E8 with factor 1000 = 1609 m.
  const Bytes pulses = {0x3B, 0x00, 0xEF, 0x32, 9, 0x03, 0xE8, 0xAA};
  DataSet& set = ok(kSample + kSample + pulses + kSample);
  ASSERT_EQ(set.lap_count(), 1u);
  const LapEntry& e = set.laps[0];
  EXPECT_EQ(e.lap_time, 61.23f);
  EXPECT_EQ(e.lap_number, 9);
  EXPECT_EQ(e.lap_distance, 1609.0f);
  EXPECT_EQ(e.start_time, 0.0);
  EXPECT_EQ(e.end_time, set[Channel::PeloTime][2]);
  EXPECT_EQ(set.lap_list, (std::vector<uint16_t>{0}));
  EXPECT_EQ(set.best_lap, 0);
}

TEST_F(Laps, SessionsFollowTheLapNumbering) {
  struct Case {
    std::vector<uint8_t> numbers;
    std::vector<uint8_t> sessions;
  } cases[] = {
      {{3, 4, 5, 1, 2}, {1, 1, 1, 2, 2}},
      {{7, 7}, {1, 2}},
      {{255, 0}, {1, 2}},  // the byte wraps: not a successor
  };
  for (const auto& c : cases) {
    Bytes b = kSample;
    for (uint8_t n : c.numbers) b = b + lap(n, 1000) + kSample;
    DataSet& set = ok(b);
    ASSERT_EQ(set.lap_count(), c.numbers.size());
    for (size_t i = 0; i < c.numbers.size(); ++i) {
      EXPECT_EQ(set.laps[i].session, c.sessions[i]) << i;
      EXPECT_EQ(set.lap_list[i], i);
    }
  }
}

TEST_F(Laps, PerSampleLapValuesUseTheExactEndTimes) {
  // Laps of 60.00 s (lap 4) and 65.30 s (lap 5) ending after samples 600 (60.0 s)
  // and 1253 (125.3 s), then 20 more samples.
  DataSet& set = ok(repeat(kSample, 600) + lap(4, 60000) + repeat(kSample, 653) +
                    lap(5, 65300) + repeat(kSample, 20), 10);
  ASSERT_EQ(set.sample_count(), 1273u);
  struct Want {
    long k;
    double lap, session;
    float lap_time;
  } want[] = {{1, 4, 1, 60.0f},    {599, 4, 1, 60.0f},  {600, 5, 1, 65.3f},
              {1252, 5, 1, 65.3f}, {1253, 6, 1, 65.3f}, {1273, 6, 1, 65.3f}};
  for (const auto& w : want) {
    EXPECT_EQ(set[Channel::Lap][w.k], w.lap) << w.k;
    EXPECT_EQ(set[Channel::Session][w.k], w.session) << w.k;
    EXPECT_EQ(set[Channel::LapTime][w.k], static_cast<double>(w.lap_time)) << w.k;
  }
  EXPECT_NEAR(set.laps[1].end_time, 125.3, 1e-9);

  // No lap record: all three are 0.
  ok(repeat(kSample, 5));
  for (long k = 1; k <= 5; ++k) {
    EXPECT_EQ(set[Channel::Lap][k] + set[Channel::Session][k] + set[Channel::LapTime][k], 0);
  }
}

TEST_F(Laps, LapRecordsWithoutASampleBetweenDoNotStallTheLaps) {
  // A lap record before any sample and two in a row: every later sample still
  // moves on to the lap it belongs to.
  DataSet& set = ok(lap(1, 500) + repeat(kSample, 3) + lap(2, 1000) + lap(3, 1000) +
                    repeat(kSample, 3) + lap(4, 2000) + repeat(kSample, 2));
  const double laps[] = {2, 2, 4, 4, 4, 5, 5, 5};
  for (long k = 1; k <= 8; ++k) EXPECT_EQ(set[Channel::Lap][k], laps[k - 1]) << k;
}

TEST_F(Laps, SplitsAndSegments) {
  // Splits 0, 1, 2 at 30.00, 55.00, 70.00 s (0x07530, 0x0D6D8, 0x11170 ms), a
  // 90.00 s lap (0x15F90). Split 17 = high bits 1 (p4 0x40), low nibble 1; split
  // 32 (p4 0x80) is ignored.
  const Bytes s0 = {0x34, 0x00, 0x75, 0x30, 0x00, 0x00, 0x00};
  const Bytes s1 = {0x34, 0x10, 0xD6, 0xD8, 0x00, 0x00, 0x00};
  const Bytes s2 = {0x34, 0x21, 0x11, 0x70, 0x3F, 0xFF, 0x00};
  const Bytes s17 = {0x34, 0x10, 0x03, 0xE8, 0x40, 0x00, 0x00};
  const Bytes s32 = {0x34, 0x00, 0x07, 0xD0, 0x80, 0x00, 0x00};
  const Bytes lap90 = {0x3B, 0x81, 0x5F, 0x90, 1, 0x00, 0x10, 0x00};
  DataSet& set = ok(kSample + s0 + kSample + s1 + s2 + kSample + lap90 + kSample + s17 + kSample +
                    s32 + kSample + lap(2, 5000) + kSample + s0);
  ASSERT_EQ(set.lap_count(), 2u);
  const LapEntry& a = set.laps[0];
  EXPECT_EQ(a.split_count, 3);
  EXPECT_EQ(a.split_times[0], 30.0f);
  EXPECT_EQ(a.split_sample_indexes[0], 2);  // the index of the next sample
  EXPECT_EQ(a.split_sample_indexes[2], 3);
  const float segments[] = {30, 25, 15, 20};
  for (int j = 0; j < 4; ++j) EXPECT_EQ(a.segment_times[static_cast<size_t>(j)], segments[j]) << j;

  const LapEntry& b = set.laps[1];
  EXPECT_EQ(b.split_count, 1);
  EXPECT_EQ(b.split_times[17], 1.0f);
  // Segments run over split numbers 0..count-1, so split 17 alone leaves
  // segment 0 = split 0 (never set) and segment 1 = lap time - split 0.
  EXPECT_EQ(b.segment_times[0], 0.0f);
  EXPECT_EQ(b.segment_times[1], 5.0f);

  // The Split series follows every split (not 32), and a split after the last
  // lap only moves the series.
  EXPECT_EQ(set[Channel::Split][2], 30.0);
  EXPECT_EQ(set[Channel::Split][3], 70.0);
  EXPECT_EQ(set[Channel::Split][5], 1.0);
  EXPECT_EQ(set[Channel::Split][6], 1.0);
  EXPECT_EQ(set.laps[1].split_times[0], 0.0f);
}

TEST_F(Laps, NoLapKeepsMoreSplitsThanItsTable) {
  // 40 splits of number 5 in one lap: the lap stores 32 and its segments stay
  // inside their 33 entries.
  const Bytes s5 = {0x34, 0x50, 0x03, 0xE8, 0x00, 0x00, 0x00};
  DataSet& set = ok(kSample + repeat(s5 + kSample, 40) + lap(1, 9000) + kSample);
  EXPECT_EQ(set.laps[0].split_count, 32);
  EXPECT_EQ(set.laps[0].segment_times[32], 9.0f);
}

TEST_F(Laps, BestLapIsTheFirstOfTheFastest) {
  DataSet& set = ok(kSample + lap(1, 70000) + kSample + lap(2, 65000) + kSample + lap(3, 65000) +
                    kSample + lap(4, 66000) + kSample);
  EXPECT_EQ(set.best_lap, 1);
}

TEST_F(Laps, TableOverflowsAreDecodingFaults) {
  // 257 laps numbered 0 every time: 257 sessions.
  host.expect(MessageKind::Warning, kFault);
  DataSet& set = run(kSample + repeat(lap(0, 1000) + kSample, 257));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kNotLoaded);
  // 300 laps in two sessions, each faster than the last: the best is the 300th.
  Bytes b = kSample;
  for (uint32_t i = 0; i < 300; ++i) b = b + lap(static_cast<uint8_t>(i), 100000 - 10 * i) + kSample;
  host.expect(MessageKind::Warning, kFault);
  run(b);
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kNotLoaded);
  // 256 such laps still fit.
  b = kSample;
  for (uint32_t i = 0; i < 256; ++i) b = b + lap(static_cast<uint8_t>(i), 100000 - 10 * i) + kSample;
  ok(b);
  EXPECT_EQ(set.best_lap, 255);
}

TEST_F(Laps, CanFrames) {
  // CAN id 0x123 with D 4 (0xA1 0x23): 3 data bytes and the stamp; id 0x7FF with
  // 8 data bytes (0xCF 0xFF: D 9).
  const Bytes three = {0xA1, 0x23, 0x0A, 0x0B, 0x0C, 0x63};
  const Bytes eight = {0xCF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 0xEE};
  DataSet& set = ok(kSample + three + kSample + eight);
  ASSERT_EQ(set.info.can_frame_count, 2u);
  ASSERT_EQ(set.can_frames.size(), 2u);
  const CanFrame& f = set.can_frames[0];
  EXPECT_EQ(f.can_id, 0x123);
  EXPECT_EQ(f.data_count, 3);
  EXPECT_EQ(f.data[0], 0x0A);
  EXPECT_EQ(f.data[2], 0x0C);
  EXPECT_EQ(f.data[3], 0);
  EXPECT_EQ(f.stamp, 0x63);
  EXPECT_EQ(f.time, set[Channel::PeloTime][1]);
  EXPECT_EQ(set.can_frames[1].can_id, 2047);
  EXPECT_EQ(set.can_frames[1].data_count, 8);
  EXPECT_EQ(set.can_frames[1].stamp, 0xEE);

  // D = 1: no data byte at all.
  host.expect(MessageKind::Warning, "Problem with CAN data byte Inc: [0]");
  host.expect(MessageKind::Warning, kFault);
  run(kSample + Bytes{0x89, 0x10, 0x42} + kSample);
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.loaded, kNotLoaded);
}

TEST_F(Laps, GpsFrames) {
  // Frame 140 (0xC8 0x8C: D 9, CAN id 140), little-endian words. Latitude bits
  // 27..0 = 51 500 000 (0x0311D3E0) with bits 30..28 set; longitude 1 234 567
  // (0x0012D687). Frame 141 (0xC8 0x8D): speed 0x04D2 = 123.4, altitude 0x8064 = +100.
  // A frame fills the sample before it and every later one until the next frame.
  const Bytes north_west = {0xC8, 0x8C, 0xE0, 0xD3, 0x11, 0xF3, 0x87, 0xD6, 0x12, 0x00, 0x00};
  const Bytes south_east = {0xC8, 0x8C, 0xE0, 0xD3, 0x11, 0x73, 0x87, 0xD6, 0x12, 0x80, 0x00};
  const Bytes up = {0xC8, 0x8D, 0xD2, 0x04, 0x64, 0x80, 0, 0, 0, 0, 0};
  const Bytes down = {0xC8, 0x8D, 0x00, 0x00, 0x64, 0x00, 0, 0, 0, 0, 0};
  DataSet& set = ok(up + kSample + north_west + kSample + kSample + south_east + down + kSample +
                    up + kSample);
  const double lat[] = {51.5, 51.5, -51.5, -51.5, -51.5};
  const double lon[] = {-1.234567, -1.234567, 1.234567, 1.234567, 1.234567};
  const double alt[] = {0, 0, -100, 100, 100};
  const double speed[] = {0, 0, 0, 123.4, 123.4};  // the frame ahead of all samples is lost
  for (long k = 1; k <= 5; ++k) {
    EXPECT_EQ(set[Channel::GpsLatitude][k], lat[k - 1]) << k;
    EXPECT_EQ(set[Channel::GpsLongitude][k], lon[k - 1]) << k;
    EXPECT_EQ(set[Channel::GpsAltitude][k], alt[k - 1]) << k;
    EXPECT_EQ(set[Channel::GpsSpeed][k], speed[k - 1]) << k;
  }
  EXPECT_EQ(set.info.can_frame_count, 0u);  // sensor frames are not CAN frames
}

TEST_F(Laps, SensorModuleFrames) {
  // Frame 143 (0xC8 0x8F): analog 0x10, 0x20, 0x30, 0x40 with high bits 0, 1, 2, 3
  // (p5 0xE4); pulse period 625 000 = 0x098968 (p8 bit 7 ignored). Frame 147
  // (0xC8 0x93): period 0. Frame 142 is ignored.
  const Bytes ch1_4 = {0xC8, 0x8F, 0x10, 0x20, 0x30, 0x40, 0xE4, 0x68, 0x89, 0x89, 0x00};
  const Bytes ch13_16 = {0xC8, 0x93, 0xFF, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00};
  const Bytes ignored = {0xC8, 0x8E, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  DataSet& set = ok(kSample + ch1_4 + ch13_16 + ignored + kSample);
  for (long k = 1; k <= 2; ++k) {
    EXPECT_EQ(set[analog_channel(1)][k], 16);
    EXPECT_EQ(set[analog_channel(2)][k], 288);
    EXPECT_EQ(set[analog_channel(3)][k], 560);
    EXPECT_EQ(set[analog_channel(4)][k], 832);
    EXPECT_EQ(set[pulse_channel(1)][k], 3600);
    EXPECT_EQ(set[analog_channel(13)][k], 1023);
    EXPECT_EQ(set[analog_channel(16)][k], 1);
    EXPECT_EQ(set[pulse_channel(4)][k], 0);
    EXPECT_EQ(set[analog_channel(5)][k], 0);
  }
}

TEST_F(Laps, GearModuleCodes) {
  // Frame 145 (0xC8 0x91), code in p1 bits 4..0 (bits 7..5 ignored); each frame
  // fills the sample before it, the first one (ahead of all samples) is lost.
  auto gear = [](uint8_t p1) { return Bytes{0xC8, 0x91, p1, 0, 0, 0, 0, 0, 0, 0, 0}; };
  DataSet& set = ok(gear(3) + kSample + gear(0xE4) + kSample + gear(24) + kSample + gear(11) +
                    kSample + gear(4) + kSample + gear(11) + kSample + gear(9) + kSample);
  const double want[] = {40, -10, -10, 40, 40, 0, 0};
  for (long k = 1; k <= 7; ++k) EXPECT_EQ(set[Channel::GearModule][k], want[k - 1]) << k;
}

TEST(SavitzkyGolay, PublishedWeights) {
  const double w5[] = {17, 12, -3};
  const double w15[] = {167, 162, 147, 122, 87, 42, -13, -78};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(savitzky_golay_weight(5, i), w5[i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(savitzky_golay_weight(15, i), w15[i]);
  EXPECT_EQ(savitzky_golay_norm(5), 35);
  EXPECT_EQ(savitzky_golay_norm(15), 1105);
  EXPECT_EQ(savitzky_golay_weight(19, 0), 269);
  EXPECT_EQ(savitzky_golay_norm(19), 2261);
}

TEST(SavitzkyGolay, InPlaceOrderAndEnds) {
  // A spike at index 3 (0-based) of 7 values, window 5: j = 2 sees the raw spike,
  // j = 3 already sees the smoothed j = 2.
  std::vector<double> x = {0, 0, 0, 35, 0, 0, 0};
  ASSERT_TRUE(savitzky_golay_smooth(x, 5));
  const double x2 = 12.0 * 35 / 35;
  const double x3 = (17.0 * 35 + 12 * (0 + x2) - 3 * (0 + 0)) / 35;
  const double x4 = (17.0 * 0 + 12 * (0 + x3) - 3 * (0 + x2)) / 35;
  EXPECT_DOUBLE_EQ(x[2], x2);
  EXPECT_DOUBLE_EQ(x[3], x3);
  EXPECT_DOUBLE_EQ(x[4], x4);
  EXPECT_EQ(x[0], x[2]);
  EXPECT_EQ(x[1], x[2]);
  EXPECT_EQ(x[5], x[4]);
  EXPECT_EQ(x[6], x[4]);
  // Too short for the window: unchanged.
  std::vector<double> y = {1, 5, 1, 5};
  EXPECT_FALSE(savitzky_golay_smooth(y, 5));
  EXPECT_EQ(y, (std::vector<double>{1, 5, 1, 5}));
}

TEST(SavitzkyGolay, SideBySideEqualsOneByOneInTheWrittenOrder) {
  // The smoothing written out literally: 1-based, sum in the order c0, then
  // i = 1..h, divided by the norm and stored at once; then the two ends.
  auto reference = [](std::vector<double> x, int m, const std::vector<double>& c, double norm) {
    const long n = static_cast<long>(x.size()), h = (m - 1) / 2;
    auto at = [&](long i) -> double& { return x[static_cast<size_t>(i - 1)]; };
    for (long j = h + 1; j <= n - h; ++j) {
      double sum = c[0] * at(j);
      for (long i = 1; i <= h; ++i) sum += c[static_cast<size_t>(i)] * (at(j + i) + at(j - i));
      at(j) = sum / norm;
    }
    for (long i = 1; i <= h; ++i) at(i) = at(h + 1);
    for (long i = n - h + 1; i <= n; ++i) at(i) = at(n - h);
    return x;
  };
  const std::vector<double> c15 = {167, 162, 147, 122, 87, 42, -13, -78};
  std::vector<double> a(200), b(200);
  uint32_t seed = 12345;
  for (size_t i = 0; i < a.size(); ++i) {
    seed = seed * 1664525 + 1013904223;
    a[i] = static_cast<double>(seed >> 8) / 65536.0;
    b[i] = std::sin(static_cast<double>(i) / 3.0) * 100 + static_cast<double>(seed % 7);
  }
  const auto want_a = reference(reference(a, 15, c15, 1105), 15, c15, 1105);
  const auto want_b = reference(reference(b, 15, c15, 1105), 15, c15, 1105);
  const std::span<double> both[] = {a, b};
  ASSERT_TRUE(savitzky_golay_smooth_together(both, 15));
  ASSERT_TRUE(savitzky_golay_smooth_together(both, 15));
  EXPECT_EQ(a, want_a);  // bit for bit
  EXPECT_EQ(b, want_b);
}

}  // namespace
}  // namespace ardenvis::core
