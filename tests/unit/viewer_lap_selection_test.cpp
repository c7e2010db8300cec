// The lap selectors' records: which lap a list position names, its sample
// range with the single-precision sample interval, and the copies it keeps.

#include <gtest/gtest.h>

#include "viewer/lap_selection.h"

namespace ardenvis::core {
namespace {

// A slot of `samples` samples whose Odo grows 2 m per sample, with the given
// laps (end time, lap time, lap number).
struct LapRow {
  double end_time;
  float lap_time;
  uint8_t lap_number;
};
void make_slot(DataSet& set, uint8_t rate, long samples, const std::vector<LapRow>& laps) {
  set.loaded = kDecoded;
  set.info.sample_rate = rate;
  set.record_counts[1] = static_cast<uint32_t>(samples);
  set.record_counts[3] = static_cast<uint32_t>(laps.size());
  set[Channel::Odo].resize(samples);
  for (long i = 1; i <= samples; ++i) set[Channel::Odo].set(i, 2.0 * static_cast<double>(i));
  set.laps.assign(laps.size(), LapEntry{});
  set.lap_list.assign(laps.size(), 0);
  for (size_t i = 0; i < laps.size(); ++i) {
    LapEntry& e = set.laps[i];
    e.end_time = laps[i].end_time;
    e.lap_time = laps[i].lap_time;
    e.lap_number = laps[i].lap_number;
    e.session = static_cast<uint8_t>(3 + i);
    for (int k = 0; k < kMaxSplits; ++k) {
      e.distance_split_times[static_cast<size_t>(k)] = static_cast<float>(10 + k);
      e.distance_split_indexes[static_cast<size_t>(k)] = 100 + k;
    }
    for (int k = 0; k < kMaxSegments; ++k) {
      e.distance_segment_times[static_cast<size_t>(k)] = static_cast<float>(k) + 0.5f;
    }
  }
}

TEST(ViewerLapSelection, ListPositionsNameLapsOfAThenB) {
  ProgramState state;
  make_slot(state.data_sets[0], 10, 100, {{5, 5, 1}, {9, 4, 2}});
  make_slot(state.data_sets[1], 20, 100, {{3, 3, 7}});
  const struct {
    int position;
    bool found;
    DataSetId slot;
    int lap;
  } cases[] = {{0, true, DataSetId::A, 0},
               {1, true, DataSetId::A, 1},
               {2, true, DataSetId::B, 0},
               {3, false, DataSetId::A, 0},
               {-1, false, DataSetId::A, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    const auto ref = lap_at_list_position(state, c.position);
    ASSERT_EQ(ref.has_value(), c.found);
    if (!c.found) continue;
    EXPECT_EQ(ref->slot, c.slot);
    EXPECT_EQ(ref->lap_index, c.lap);
  }
  // A slot without data lists no laps, whatever its lap table says.
  state.data_sets[0].loaded = kNotLoaded;
  const auto ref = lap_at_list_position(state, 0);
  ASSERT_TRUE(ref.has_value());
  EXPECT_EQ(ref->slot, DataSetId::B);
}

// The range is computed with dt held in single precision: 0.1f is slightly
// more than 0.1, which moves a start that lies on a half sample.
TEST(ViewerLapSelection, RangeUsesTheSinglePrecisionSampleInterval) {
  const struct {
    uint8_t rate;
    double end_time;
    float lap_time;
    int32_t start;
    int32_t end;
  } cases[] = {
      // (1300 - 65.45f) / 0.1f = 12345.4998 (with a double 0.1 it is 12345.50003).
      {10, 1300.0, 65.45f, 12345, 12999},
      // (100 - 12.35f) / 0.05f = 1752.99997; (100 - 0.05f) / 0.05f = 1998.99997.
      {20, 100.0, 12.35f, 1753, 1999},
      // A lap time longer than the time logged starts at 0.
      {10, 2.0, 5.0f, 0, 19},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.end_time);
    ProgramState state;
    make_slot(state.data_sets[0], c.rate, 20000, {{c.end_time, c.lap_time, 4}});
    const LapSelection s = select_lap(state, 0, 2);
    ASSERT_TRUE(s.has_lap);
    EXPECT_EQ(s.start, c.start);
    EXPECT_EQ(s.end, c.end);
    EXPECT_EQ(s.sample_count, c.end - c.start + 1);
    EXPECT_EQ(s.dt, static_cast<double>(c.rate == 20 ? 0.05f : 0.1f));
    EXPECT_DOUBLE_EQ(s.lap_distance, 2.0 * (c.end - c.start));  // 2 m per sample
  }
}

TEST(ViewerLapSelection, RecordCopiesTheLapAndItsFirstSplits) {
  ProgramState state;
  make_slot(state.data_sets[0], 10, 500, {{10, 10, 1}});
  make_slot(state.data_sets[1], 20, 500, {{12, 6.5f, 9}});
  const LapSelection s = select_lap(state, 1, 3);
  ASSERT_TRUE(s.has_lap);
  EXPECT_EQ(s.slot, DataSetId::B);
  EXPECT_EQ(s.data_set_letter, "B");
  EXPECT_EQ(s.lap_number, 9);
  EXPECT_EQ(s.session, 3);
  EXPECT_DOUBLE_EQ(s.lap_time, 6.5);
  EXPECT_EQ(s.split_count, 3);
  EXPECT_EQ(s.beacon_shift, 0);
  EXPECT_EQ(s.start, 110);  // 5.5 s / 0.05 s
  EXPECT_EQ(s.end, 239);
  // The first M split times and indexes and M + 1 segment times; no more.
  for (size_t k = 0; k < 33; ++k) {
    SCOPED_TRACE(k);
    if (k < 32) {
      EXPECT_EQ(s.distance_split_times[k], k < 3 ? 10.0 + static_cast<double>(k) : 0.0);
    }
    EXPECT_EQ(s.distance_split_indexes[k], k < 3 ? 100 + static_cast<int32_t>(k) : 0);
    EXPECT_EQ(s.distance_segment_times[k], k < 4 ? static_cast<double>(k) + 0.5 : 0.0);
  }
  // The copies stay as they were when the lap was chosen.
  state.data_sets[1].laps[0].distance_split_times[0] = 99;
  EXPECT_EQ(s.distance_split_times[0], 10.0);

  // The split count is kept within 2..32.
  EXPECT_EQ(select_lap(state, 0, 0).split_count, 2);
  EXPECT_EQ(select_lap(state, 0, 40).split_count, 32);
}

TEST(ViewerLapSelection, NoLapAndCorruptEntriesGiveSafeRecords) {
  ProgramState state;
  make_slot(state.data_sets[0], 10, 50, {{1.0e12, 1.0f, 1}, {1.0, 0.0f, 2}});
  EXPECT_FALSE(select_lap(state, 2, 2).has_lap);
  EXPECT_FALSE(select_lap(state, -1, 2).has_lap);

  // An end time far beyond the log keeps the range one past the last sample.
  const LapSelection far = select_lap(state, 0, 2);
  EXPECT_EQ(far.start, 51);
  EXPECT_EQ(far.end, 51);
  EXPECT_EQ(far.sample_count, 1);
  // A lap logged as 0.00 s: its end lies one sample before its start.
  const LapSelection empty = select_lap(state, 1, 2);
  EXPECT_EQ(empty.start, 10);
  EXPECT_EQ(empty.end, 9);
  EXPECT_EQ(empty.sample_count, 0);

  // The beacon shift moves the compared range.
  LapSelection shifted = select_lap(state, 1, 2);
  shifted.beacon_shift = 4;
  EXPECT_EQ(shifted.first(), 14);
  EXPECT_EQ(shifted.last(), 13);
}

}  // namespace
}  // namespace ardenvis::core
