// The season figures of a venue over hand-made sessions with known laps.

#include <gtest/gtest.h>

#include <cmath>

#include "library/catalogue.h"
#include "library/season.h"
#include "library/session_summary.h"
#include "support/folder_test.h"

namespace ardenvis::core {
namespace {

LapRecord lap(int number, double time, std::vector<double> segments = {}) {
  LapRecord l;
  l.log_session = 1;
  l.lap_number = number;
  l.lap_time = time;
  l.segment_times = std::move(segments);
  double at = 0;
  for (size_t i = 0; i + 1 < l.segment_times.size(); ++i)
    l.split_times.push_back(at += l.segment_times[i]);
  return l;
}

SessionRecord session_at(const std::string& path, const std::string& date, int64_t venue,
                         std::vector<LapRecord> laps, const std::string& note = "") {
  SessionRecord r;
  r.file = {path, 100, 1, std::hash<std::string>{}(path)};
  r.facts.date = date;
  r.facts.time = "10:00";
  r.facts.setup_note = note;
  r.venue_id = venue;
  r.laps = std::move(laps);
  r.figures = figures_of(timings_of(r.laps, 0));
  return r;
}

class SeasonFigures : public testing::FolderTest {
 protected:
  SeasonFigures() : FolderTest("library-figures") {
    CatalogueError error;
    auto opened = Catalogue::open(path("library.sqlite"), error);
    EXPECT_TRUE(opened) << error.text;
    catalogue.emplace(std::move(*opened));
  }
  std::optional<Catalogue> catalogue;
};

// Spring: an out lap, a zero lap (no time logged), three laps with three
// splits, a lap spoilt by a spin (beyond 107 %) and an in lap.
// Autumn: two laps with two splits (the layout changed) and a lap without
// splits that is the venue's fastest.
TEST_F(SeasonFigures, BestIdealLapAndConsistencyFollowTheLapRules) {
  const int64_t venue = *catalogue->add_venue({0, "Kirkby", 52.0, -1.0, 1600, 0});
  const int64_t spring = *catalogue->put_session(session_at(
      "/s/spring.plr", "2026-04-12", venue,
      {lap(1, 75.00, {20, 25, 15, 15}), lap(2, 0, {1, 1, 1, 1}), lap(3, 61.00, {16, 20, 12, 13}),
       lap(4, 60.50, {16.2, 19.8, 11.9, 12.6}), lap(5, 62.00, {15.8, 20.5, 12.4, 13.3}),
       lap(6, 70.00, {16, 30, 12, 12}), lap(7, 80.00, {20, 30, 15, 15})},
      "Soft springs"));
  const int64_t autumn = *catalogue->put_session(
      session_at("/s/autumn.plr", "2026-10-03", venue,
                 {lap(1, 60.40, {30, 18, 12.4}), lap(2, 60.90, {29.5, 19, 12.4}), lap(3, 60.10)},
                 "Hard springs"));

  const auto season = venue_season(*catalogue, venue);
  ASSERT_TRUE(season);
  ASSERT_EQ(season->sessions.size(), 2u);
  const SessionSeason& s = season->sessions[0];
  EXPECT_EQ(s.session_id, spring);
  EXPECT_EQ(s.setup_note, "Soft springs");
  ASSERT_TRUE(s.best);
  EXPECT_EQ(s.best->lap_number, 4);
  EXPECT_DOUBLE_EQ(s.best->lap_time, 60.50);
  // Own ideal: best of each segment among the timed laps with three splits
  // (the zero lap's segments take no part): 15.8 + 19.8 + 11.9 + 12 = 59.5.
  ASSERT_TRUE(s.own_ideal);
  EXPECT_NEAR(s.own_ideal->time, 59.5, 1e-9);
  EXPECT_EQ(s.own_ideal->segments[0].lap_number, 5);
  EXPECT_EQ(s.own_ideal->segments[1].lap_number, 4);
  EXPECT_EQ(s.own_ideal->segments[2].lap_number, 4);
  EXPECT_EQ(s.own_ideal->segments[3].lap_number, 6);
  // Consistency: 61.00, 60.50, 62.00 lie within 107 % of 60.50 (64.735); the
  // out lap, the spin, the in lap and the zero lap do not.
  ASSERT_TRUE(s.consistency);
  EXPECT_EQ(s.consistency->lap_count, 3);
  EXPECT_NEAR(s.consistency->mean, 61.1666666667, 1e-9);
  EXPECT_NEAR(s.consistency->std_dev,
              std::sqrt((0.1666666667 * 0.1666666667 + 0.6666666667 * 0.6666666667 +
                         0.8333333333 * 0.8333333333) /
                        2),
              1e-9);

  const SessionSeason& a = season->sessions[1];
  EXPECT_EQ(a.session_id, autumn);
  EXPECT_DOUBLE_EQ(a.best->lap_time, 60.10);
  EXPECT_FALSE(a.own_ideal);  // its best lap logged no splits

  ASSERT_TRUE(season->overall_best);
  EXPECT_EQ(season->overall_best->source, autumn);
  EXPECT_EQ(season->overall_best->lap_number, 3);
  // The best lap has no splits: no ideal lap for its count, but both layouts
  // are listed, with each segment's session and lap.
  ASSERT_EQ(season->ideal_laps.size(), 2u);
  const IdealLap& two = season->ideal_laps[0];
  EXPECT_EQ(two.split_count, 2);
  EXPECT_NEAR(two.time, 29.5 + 18 + 12.4, 1e-9);
  EXPECT_EQ(two.segments[0].source, autumn);
  EXPECT_EQ(two.segments[0].lap_number, 2);
  EXPECT_EQ(two.segments[2].lap_number, 1);  // the first of equal times
  EXPECT_EQ(season->ideal_laps[1].split_count, 3);
  EXPECT_NEAR(season->ideal_laps[1].time, 59.5, 1e-9);

  const auto trend = season_trend(*season);
  ASSERT_EQ(trend.size(), 2u);
  EXPECT_DOUBLE_EQ(*trend[0].best, 60.50);
  EXPECT_NEAR(*trend[0].own_ideal, 59.5, 1e-9);
  EXPECT_FALSE(trend[1].own_ideal);
  EXPECT_LT(*date_value(trend[0].date, trend[0].time), *date_value(trend[1].date, trend[1].time));
}

TEST_F(SeasonFigures, VenueIdealLapFollowsTheSplitCountOfTheBestLap) {
  const int64_t venue = *catalogue->add_venue({0, "Kirkby", 52.0, -1.0, 1600, 0});
  const int64_t one = *catalogue->put_session(session_at(
      "/s/1.plr", "2026-05-01", venue, {lap(1, 60.0, {20, 20, 20}), lap(2, 61.0, {19, 21, 21})}));
  const int64_t two = *catalogue->put_session(session_at(
      "/s/2.plr", "2026-05-02", venue, {lap(1, 59.0, {19.5, 19.5, 20}), lap(2, 58.0, {10, 48})}));
  const auto season = venue_season(*catalogue, venue);
  ASSERT_TRUE(season);
  EXPECT_EQ(season->overall_best->source, two);
  ASSERT_EQ(season->ideal_laps.size(), 2u);
  EXPECT_EQ(season->ideal_laps[0].split_count, 1);  // the best lap's count comes first
  EXPECT_NEAR(season->ideal_laps[0].time, 58.0, 1e-9);
  const IdealLap& three = season->ideal_laps[1];
  EXPECT_NEAR(three.time, 19 + 19.5 + 20, 1e-9);
  EXPECT_EQ(three.segments[0].source, one);
  EXPECT_EQ(three.segments[0].lap_number, 2);
  EXPECT_EQ(three.segments[1].source, two);
  EXPECT_EQ(three.segments[2].source, one);  // 20 in both: the first wins
}

}  // namespace
}  // namespace ardenvis::core
