// How a series holds its values: no storage while it reads 0 everywhere,
// storage on the first other value, blocks kept for the next decode of a slot;
// and the decoder, unit conversion, smoothing and readers that go straight to
// a series' values.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <iterator>
#include <random>
#include <vector>

#include "common/savitzky_golay.h"
#include "logger/data_set_units.h"
#include "logger/decoder.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SeriesStorage, ZerosNeedNoStorageUntilAnotherValueComes) {
  for (long length : {3L, 100000L}) {  // a malloc'd block and a mapped one
    SCOPED_TRACE(length);
    Series s;
    s.resize(length);
    EXPECT_FALSE(s.has_storage());
    EXPECT_EQ(s.capacity_bytes(), 0u);
    s.set(2, 0.0);  // +0 changes nothing
    EXPECT_FALSE(s.has_storage());
    const Series& reader = s;
    for (long i = 0; i < length; ++i) ASSERT_EQ(reader.data()[i], 0.0);
    EXPECT_EQ(s[length], 0.0);

    s.set(length, 2.5);
    EXPECT_TRUE(s.has_storage());
    EXPECT_EQ(s[length], 2.5);
    EXPECT_EQ(s[1], 0.0);
    EXPECT_EQ(s[length - 1], 0.0);

    // Back to zeros with its block kept; the next writer sees no stale value.
    s.assign_zeros(length);
    EXPECT_FALSE(s.has_storage());
    EXPECT_GT(s.capacity_bytes(), 0u);
    EXPECT_EQ(s[length], 0.0);
    double* x = s.data();  // a writer through data() gets zeros to start from
    EXPECT_TRUE(s.has_storage());
    EXPECT_EQ(x[length - 1], 0.0);
    x[0] = 1;

    // A writer that promises to fill from index 3 on finds 0 below it.
    s.assign_zeros(length);
    double* y = s.storage_for_writing_from(3);
    EXPECT_EQ(y[0], 0.0);
    EXPECT_EQ(y[1], 0.0);
    for (long i = 2; i < length; ++i) y[i] = 7;
    EXPECT_FALSE(s.release_if_zero());

    Series copy = s;
    EXPECT_EQ(copy[length], 7);
    s.assign_zeros(length);
    s.release_spare();
    EXPECT_EQ(s.capacity_bytes(), 0u);
    Series zero_copy = s;
    EXPECT_FALSE(zero_copy.has_storage());
    EXPECT_EQ(zero_copy.size(), length);
  }
}

TEST(SeriesStorage, NegativeZeroIsAValueOfItsOwn) {
  // -0 prints as "-0" in the export, so it must survive as written.
  Series s;
  s.resize(4);
  s.set(3, -0.0);
  EXPECT_TRUE(s.has_storage());
  EXPECT_TRUE(std::signbit(s[3]));
  EXPECT_FALSE(s.release_if_zero());
  s.set(3, 0.0);
  EXPECT_TRUE(s.release_if_zero());
  EXPECT_FALSE(s.has_storage());
  EXPECT_EQ(s.capacity_bytes(), 0u);
}

TEST(SeriesStorage, GrowingKeepsValuesAndShrinkingKeepsTheBlock) {
  Series s;
  s.resize(10);
  s.set(10, 4);
  s.resize(200000);  // outgrows its block
  EXPECT_EQ(s[10], 4);
  EXPECT_EQ(s[200000], 0);
  s.resize(5);
  s.resize(20);  // within the block: the dropped values read 0 again
  EXPECT_EQ(s[10], 0);
}

// 0x59: a sample record with 11 data bytes; speed 10.0 mph, lap distance `odo`.
Bytes sample(uint8_t odo) { return {0x59, 20, 10, 0xC0, 100, 0x0B, 0xB8, 30, 5, 0x23, 0, odo}; }
// 0x2A: a slow-channel record with 5 data bytes.
Bytes slow() { return {0x2A, 90, 80, 125, 50, 7}; }
// 0x80 0x8D = CAN id 141 (GPS speed and altitude), D = 8 (0x40): extended header.
Bytes gps() { return {0xC0, 0x8D, 200, 0, 100, 0, 0, 0, 0, 0}; }

class SlotStorage : public ::testing::Test {
 protected:
  SlotStorage() {
    state.identity.distance_factor = 1000;
    state.identity.pulses_per_rev = 1;
    state.filter_when_loaded = false;
  }
  DataSet& decode(const Bytes& records) {
    DataSet& set = state.current();
    set.raw = records;
    set.raw.resize(records.size() + 64, 0);
    set.info.raw_byte_count = static_cast<uint32_t>(set.raw.size());
    set.info.sample_rate = 10;
    process_data_packets(state, host);
    EXPECT_TRUE(set.has_data());
    return set;
  }
  static Bytes log(int samples, const Bytes& every_fifth) {
    Bytes out;
    for (int k = 0; k < samples; ++k) {
      const Bytes s = sample(static_cast<uint8_t>(k));
      out.insert(out.end(), s.begin(), s.end());
      if (k % 5 == 0) out.insert(out.end(), every_fifth.begin(), every_fifth.end());
    }
    return out;
  }

  ProgramState state;
  testing::ScriptedHost host;
};

TEST_F(SlotStorage, ChannelsTheLogNeverCarriesHoldNothing) {
  DataSet& set = decode(log(40, slow()));
  for (Channel c : {Channel::GpsSpeed, Channel::GpsLatitude, Channel::GearModule, analog_channel(1),
                    pulse_channel(4), extra_input_channel(1), Channel::Lap, Channel::Split}) {
    EXPECT_FALSE(set[c].has_storage()) << channel_name(c);
    EXPECT_EQ(set[c].size(), 40) << channel_name(c);
    EXPECT_EQ(set[c][20], 0) << channel_name(c);
  }
  for (Channel c : {Channel::PeloTime, Channel::Speed, Channel::OilTemp, Channel::CanLoad}) {
    EXPECT_TRUE(set[c].has_storage()) << channel_name(c);
  }
  EXPECT_EQ(set[Channel::OilTemp][40], 90);
  EXPECT_EQ(set[Channel::Speed][40], 10.0);
}

TEST_F(SlotStorage, ASlotDecodedAgainKeepsWhatItUsesAndDropsTheRest) {
  DataSet& set = decode(log(40, gps()));
  EXPECT_TRUE(set[Channel::GpsSpeed].has_storage());
  EXPECT_EQ(set[Channel::GpsSpeed][1], 20.0);  // held from the frame after sample 1
  const double* time_block = set[Channel::PeloTime].data();
  decode(log(30, slow()));
  EXPECT_EQ(set[Channel::PeloTime].data(), time_block);  // the same storage, reused
  EXPECT_FALSE(set[Channel::GpsSpeed].has_storage());
  EXPECT_EQ(set[Channel::GpsSpeed].capacity_bytes(), 0u);
  EXPECT_EQ(set[Channel::GpsSpeed][5], 0);
  EXPECT_EQ(set[Channel::PeloTime][30], set[Channel::PeloTime][29] + 0.1);
}

TEST_F(SlotStorage, UnitConversionOfChannelsWithoutStorage) {
  // No slow-channel record: Oil Temp reads 0 (0 degC) and converts to 32 degF;
  // a sign change turns a G channel's zeros into -0; km/h of 0 stays 0.
  DataSet& set = decode(log(20, {}));
  ASSERT_FALSE(set[Channel::OilTemp].has_storage());
  ASSERT_TRUE(change_degC_degF(state, true));
  EXPECT_EQ(set[Channel::OilTemp][7], 32);
  EXPECT_EQ(set[Channel::WaterTemp][20], 32);
  ASSERT_TRUE(change_degC_degF(state, false));
  EXPECT_EQ(set[Channel::OilTemp][7], 0);

  Series& speed = set[Channel::Speed];
  speed.assign_zeros(20);
  ASSERT_TRUE(change_mph_kmh(state, true));
  EXPECT_FALSE(speed.has_storage());
  EXPECT_EQ(speed[4], 0);
  Series& lat = set[Channel::GLat];
  lat.assign_zeros(20);
  apply_g_axis_corrections(set, {false, true, false});
  EXPECT_TRUE(std::signbit(lat[3]));
}

// Every (window, passes) run must give bit for bit what that many single
// passes give, whatever the length, the short ones included.
TEST(SmoothingRuns, SameBitsAsSinglePasses) {
  for (const bool lanes : {true, false}) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-50, 50);
    // Six runs of window 15 fill more than one vector of lanes; the window-5
    // runs walk along with them, also past the end of a one-pass walk.
    const std::vector<std::vector<std::array<int, 2>>> shape_sets = {
        {{5, 1},
         {5, 3},
         {15, 1},
         {15, 2},
         {15, 3},
         {15, 2},
         {7, 2},
         {19, 4},
         {15, 3},
         {15, 0},
         {15, 2}},
        {{15, 1}, {5, 3}, {5, 1}},
    };
    for (const auto& shapes : shape_sets)
      for (long n : {5L, 6L, 15L, 16L, 17L, 31L, 32L, 33L, 47L, 48L, 200L, 5000L}) {
        std::vector<std::vector<double>> single, joint;
        std::vector<SmoothingRun> runs;
        for (size_t s = 0; s < std::size(shapes); ++s) {
          std::vector<double> x(static_cast<size_t>(n));
          for (double& v : x) v = value(random);
          single.push_back(x);
          joint.push_back(x);
        }
        for (size_t i = 0; i < joint.size(); ++i) {
          runs.push_back({joint[i], shapes[i][0], shapes[i][1]});
          for (int p = 0; p < shapes[i][1]; ++p) savitzky_golay_smooth(single[i], shapes[i][0]);
        }
        const bool all_fit = n >= (shapes.size() > 3 ? 19 : 15);
        EXPECT_EQ(savitzky_golay_smooth_runs(runs, lanes), all_fit) << n;
        for (size_t i = 0; i < joint.size(); ++i) {
          for (long k = 0; k < n; ++k) {
            ASSERT_EQ(std::bit_cast<uint64_t>(joint[i][static_cast<size_t>(k)]),
                      std::bit_cast<uint64_t>(single[i][static_cast<size_t>(k)]))
                << "lanes " << lanes << " n " << n << " run " << i << " at " << k;
          }
        }
      }
  }
}

// Smoothing behind a writer: rows arrive a few at a time and each advance()
// may read only those; the result is bit for bit that of single passes. The
// rows not yet written hold NaN, so a walk that read ahead would show it.
TEST(SmoothingRuns, WalkBehindTheWriterGivesTheSameBits) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> value(-50, 50);
  const int shapes[][2] = {{15, 3}, {15, 2}, {5, 1},  {15, 2}, {15, 3}, {15, 2},
                           {15, 2}, {15, 2}, {15, 2}, {7, 2},  {5, 2}};
  for (long n : {15L, 16L, 40L, 700L, 5000L}) {
    for (long step : {1L, 37L, 512L, 4096L}) {
      std::vector<std::vector<double>> truth, single, joint;
      std::vector<SmoothingRun> runs;
      for (const auto& shape : shapes) {
        std::vector<double> x(static_cast<size_t>(n));
        for (double& v : x) v = value(random);
        truth.push_back(x);
        single.push_back(x);
        joint.push_back(std::vector<double>(x.size(), std::nan("")));
        for (int p = 0; p < shape[1]; ++p) savitzky_golay_smooth(single.back(), shape[0]);
      }
      for (size_t i = 0; i < joint.size(); ++i)
        runs.push_back({joint[i], shapes[i][0], shapes[i][1]});
      SmoothingWalk walk(runs);
      for (long rows = 0; rows < n;) {
        const long next = std::min(n, rows + step);
        for (size_t i = 0; i < joint.size(); ++i) {
          std::copy(truth[i].begin() + rows, truth[i].begin() + next, joint[i].begin() + rows);
        }
        rows = next;
        walk.advance(rows);
      }
      EXPECT_TRUE(walk.finish());
      for (size_t i = 0; i < joint.size(); ++i) {
        for (long k = 0; k < n; ++k) {
          ASSERT_EQ(std::bit_cast<uint64_t>(joint[i][static_cast<size_t>(k)]),
                    std::bit_cast<uint64_t>(single[i][static_cast<size_t>(k)]))
              << "n " << n << " step " << step << " run " << i << " at " << k;
        }
      }
    }
  }
}

}  // namespace
}  // namespace ardenvis::core
