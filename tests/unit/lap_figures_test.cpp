#include "viewer/lap_figures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ardenvis::core {
namespace {

LapTiming lap(int64_t source, int session, int number, double time, std::vector<double> segments) {
  return {source, session, number, time, std::move(segments)};
}

// Session 1 of file 1: an out lap, a lap the unit logged with no time (its
// segments would otherwise win every sector), and three flying laps with
// two logged splits.
std::vector<LapTiming> one_session() {
  return {lap(1, 1, 1, 95.0, {30.0, 35.0, 30.0}), lap(1, 1, 2, 81.0, {26.0, 28.0, 27.0}),
          lap(1, 1, 3, 0.0, {10.0, 10.0, 10.0}), lap(1, 1, 4, 80.0, {27.0, 26.5, 26.5}),
          lap(1, 1, 5, 84.0, {25.5, 29.0, 29.5})};
}

TEST(LapFigures, OneSessionBestIdealAndConsistencyByHand) {
  const std::vector<LapTiming> laps = one_session();
  ASSERT_EQ(best_lap_index(laps), 3u);

  const std::optional<IdealLap> ideal = ideal_lap_of_best(laps);
  ASSERT_TRUE(ideal);
  EXPECT_EQ(ideal->split_count, 2);
  EXPECT_DOUBLE_EQ(ideal->time, 25.5 + 26.5 + 26.5);
  ASSERT_EQ(ideal->segments.size(), 3u);
  const int expected_laps[] = {5, 4, 4};
  for (size_t s = 0; s < 3; ++s) {
    EXPECT_EQ(ideal->segments[s].lap_number, expected_laps[s]) << "segment " << s;
    EXPECT_EQ(ideal->segments[s].source, 1);
    EXPECT_EQ(ideal->segments[s].session, 1);
  }

  // 95.0 lies beyond 107 % of 80.0 (85.6); the zero lap counts nowhere.
  const std::optional<Consistency> c = consistency(laps);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->lap_count, 3);
  EXPECT_NEAR(c->mean, 245.0 / 3, 1e-12);
  EXPECT_NEAR(c->std_dev, std::sqrt(26.0 / 3 / 2), 1e-12);
}

TEST(LapFigures, SeasonWithTwoSplitCountsAndABestLapWithoutSplits) {
  std::vector<LapTiming> laps = one_session();
  laps.push_back(lap(2, 3, 1, 82.0, {20.0, 20.0, 20.0, 22.0}));
  laps.push_back(lap(2, 3, 2, 79.5, {}));
  // Split records spoilt in the log give a segment time of 0 or less: such
  // a lap still counts for bests, never for an ideal lap.
  laps.push_back(lap(2, 3, 3, 83.0, {1.0, -2.0, 84.0}));

  EXPECT_EQ(best_lap_index(laps), 6u);
  EXPECT_EQ(logged_split_counts(laps), (std::vector<int>{2, 3}));
  EXPECT_FALSE(ideal_lap_of_best(laps));
  const std::optional<IdealLap> three = ideal_lap(laps, 3);
  ASSERT_TRUE(three);
  EXPECT_DOUBLE_EQ(three->time, 82.0);
  EXPECT_EQ(three->segments[3].source, 2);
  EXPECT_EQ(three->segments[3].session, 3);
  EXPECT_DOUBLE_EQ(ideal_lap(laps, 2)->time, 78.5);
  EXPECT_FALSE(ideal_lap(laps, 4));
  EXPECT_FALSE(ideal_lap(laps, 0));

  const std::optional<Consistency> c = consistency(laps);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->lap_count, 6);  // 81, 80, 84, 82, 79.5, 83 within 85.065
  EXPECT_NEAR(c->mean, (81 + 80 + 84 + 82 + 79.5 + 83) / 6.0, 1e-12);
}

TEST(LapFigures, NoTimedLapGivesNoFigures) {
  const std::vector<LapTiming> laps = {lap(1, 1, 1, 0.0, {40.0, 40.0})};
  EXPECT_FALSE(best_lap_index(laps));
  EXPECT_FALSE(consistency(laps));
  EXPECT_TRUE(logged_split_counts(laps).empty());
  EXPECT_FALSE(consistency({}));
}

TEST(LapFigures, LapTimingsReadTheLogsLapTableAndItsSessions) {
  DataSet set;
  set.laps.resize(4);
  set.record_counts[3] = 3;  // the fourth entry is not a valid lap
  set.laps[0].session = 1;
  set.laps[0].lap_number = 1;
  set.laps[0].lap_time = 61.5f;
  set.laps[0].split_count = 1;
  set.laps[0].segment_times[0] = 30.25f;
  set.laps[0].segment_times[1] = 31.25f;
  set.laps[1].session = 1;
  set.laps[1].lap_number = 2;
  set.laps[1].lap_time = -1.0f;
  set.laps[2].session = 2;
  set.laps[2].lap_number = 1;
  set.laps[2].lap_time = 60.0f;

  const std::vector<LapTiming> all = lap_timings(set, 7);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].source, 7);
  EXPECT_EQ(all[0].segment_times, (std::vector<double>{30.25, 31.25}));
  EXPECT_EQ(all[1].lap_time, 0.0);
  EXPECT_TRUE(all[2].segment_times.empty());
  const std::vector<LapTiming> second = lap_timings(set, 7, 2);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].session, 2);
}

}  // namespace
}  // namespace ardenvis::core
