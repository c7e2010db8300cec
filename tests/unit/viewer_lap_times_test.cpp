// Lap tables: distance splits and segments, ticks, sorting, the summary line.

#include <gtest/gtest.h>

#include <cmath>

#include "support/scripted_host.h"
#include "viewer/lap_times.h"
#include "viewer/viewer_units.h"

namespace ardenvis::core {
namespace {

using testing::ScriptedHost;

struct HandMadeLap {
  double time;      // s; the lap covers time / 0.1 samples
  double distance;  // m driven at an even pace
  uint8_t lap_number;
};

// A 10 samples/s slot driven lap after lap at an even pace within each lap.
void make_slot(DataSet& set, const std::vector<HandMadeLap>& laps) {
  long n = 0;
  for (const HandMadeLap& lap : laps) n += std::lround(lap.time / 0.1);
  set.loaded = kDecoded;
  set.info.sample_rate = 10;
  set.record_counts[1] = static_cast<uint32_t>(n);
  set.record_counts[3] = static_cast<uint32_t>(laps.size());
  for (Series& s : set.series) s.resize(n);
  set.laps.assign(laps.size(), LapEntry{});
  set.lap_list.assign(laps.size(), 0);
  long k = 0;
  double odo = 0;
  for (size_t i = 0; i < laps.size(); ++i) {
    const long samples = std::lround(laps[i].time / 0.1);
    for (long s = 1; s <= samples; ++s) {
      ++k;
      odo += laps[i].distance / static_cast<double>(samples);
      set[Channel::PeloTime].set(k, 0.1 * static_cast<double>(k));
      set[Channel::Odo].set(k, odo);
    }
    LapEntry& e = set.laps[i];
    e.end_time = 0.1 * static_cast<double>(k);
    e.lap_time = static_cast<float>(laps[i].time);
    e.lap_distance = static_cast<float>(laps[i].distance);
    e.lap_number = laps[i].lap_number;
    e.session = 1;
  }
}

struct LapFixture {
  ProgramState state;
  ScriptedHost host;
  LapTimes tables;
  LapTimeOptions options;
  DataSet& a() { return state.data_sets[0]; }
  LapTimesPanel& panel() { return tables.panel(DataSetId::A); }
  void build(LapBuildSender sender = LapBuildSender::Other) {
    panel().build(state, host, options, sender);
  }
};

TEST(ViewerLapTimes, SplitsAndSegmentsCutEveryLapAtEqualFractionsOfTheReference) {
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}, {55, 6010, 3}});
  f.a().file_name = "track.plr";
  f.build();
  EXPECT_EQ(f.host.verify(), "");
  EXPECT_EQ(f.panel().caption(), "Data A Lap Times: track.plr");
  EXPECT_EQ(f.a().info.reference_lap_distance, 6000);  // mean 6003.3 to the nearest 50 m
  ASSERT_EQ(f.panel().row_count(), 4);

  // Lap 1 at 100 m/s: the splits fall at 20 and 40 s, segments 20 s each.
  const LapEntry& first = f.a().laps[0];
  EXPECT_NEAR(first.distance_split_times[0], 20, 1e-4);
  EXPECT_NEAR(first.distance_split_times[1], 40, 1e-4);
  EXPECT_EQ(first.distance_split_indexes[0], 200);
  EXPECT_NEAR(first.distance_segment_times[2], 20, 1e-4);
  // Lap 2 at 120 m/s: 2000 m take 16.67 s (scaled from the sample past it).
  EXPECT_NEAR(f.a().laps[1].distance_split_times[0], 50.0 / 3, 1e-3);

  // Rows and summary text.
  EXPECT_EQ(f.panel().cell(f.state, 2, 2), "1");
  EXPECT_EQ(f.panel().cell(f.state, 2, 3), "2");
  EXPECT_EQ(f.panel().cell(f.state, 2, 4), "50.00");
  EXPECT_EQ(f.panel().cell(f.state, 2, 5), "6000.0");
  EXPECT_EQ(f.panel().cell(f.state, 2, 6), "270.00");  // 432 km/h shown in mph
  EXPECT_EQ(f.panel().cell(f.state, 1, 7), "20.00");
  EXPECT_EQ(f.panel().cell(f.state, 4, 2), "End");
  EXPECT_FALSE(f.panel().ticked(f.state, 4));
  const LapSummary& s = f.panel().summary();
  EXPECT_EQ(s.session, "1");
  EXPECT_EQ(s.lap, "2");
  EXPECT_EQ(s.time, "50.00");
  EXPECT_EQ(s.average_speed, "270.00");
  EXPECT_EQ(s.speed_unit, "MPH");
  EXPECT_EQ(s.average_distance, "6003.3");
  EXPECT_EQ(s.distance_unit, "(m)");
  EXPECT_EQ(f.a().best_lap, 1);
  // Best segments: each from lap 2 (16.67 s), so the theory is its lap time.
  EXPECT_EQ(s.theory, "50.00");
}

TEST(ViewerLapTimes, SplitCountDecidesTheTimeColumns) {
  struct Case {
    int m;
    LapTimeColumns columns;
    int last_header;  // column of the last named time header
    const char* last_text;
  };
  const Case cases[] = {
      {2, LapTimeColumns::Split, 8, "Split 2"},
      {2, LapTimeColumns::Segment, 9, "Seg 3"},
      {32, LapTimeColumns::Split, 38, "Split 32"},
      {32, LapTimeColumns::Segment, 39, "Seg 33"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last_text);
    LapFixture f;
    make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}});
    f.options.split_count = c.m;
    f.options.columns = c.columns;
    f.build();
    EXPECT_EQ(f.panel().header(f.state, c.last_header), c.last_text);
    EXPECT_NE(f.panel().cell(f.state, 1, c.last_header), "");
    if (c.last_header < kLapGridColumns) {
      EXPECT_EQ(f.panel().header(f.state, c.last_header + 1), "");
      EXPECT_EQ(f.panel().cell(f.state, 1, c.last_header + 1), "");
    }
    // Segments always add up to the lap time.
    double sum = 0;
    for (int k = 0; k <= c.m; ++k)
      sum += f.a().laps[0].distance_segment_times[static_cast<size_t>(k)];
    EXPECT_NEAR(sum, 60, 1e-3);
    EXPECT_NEAR(f.a().laps[0].distance_split_times[static_cast<size_t>(c.m - 1)],
                60.0 * c.m / (c.m + 1), 0.01);
  }
}

TEST(ViewerLapTimes, UntickingEveryLapClearsTheSummaryAndKeepsTheSplits) {
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}});
  f.build();
  const auto splits = f.a().laps[0].distance_split_times;
  const double reference = f.a().info.reference_lap_distance;
  EXPECT_TRUE(f.panel().tick_changed(f.state, f.options, 1, false));
  EXPECT_EQ(f.panel().cell(f.state, 1, 7), "");  // an unticked lap shows no times
  EXPECT_EQ(f.panel().summary().lap, "2");
  EXPECT_TRUE(f.panel().tick_changed(f.state, f.options, 2, false));
  const LapSummary& s = f.panel().summary();
  EXPECT_EQ(s.session + s.lap + s.time + s.average_speed + s.theory + s.average_distance, "");
  EXPECT_EQ(s.speed_unit, "MPH");
  EXPECT_EQ(f.a().laps[0].distance_split_times, splits);
  EXPECT_EQ(f.a().info.reference_lap_distance, reference);
  // The "End" row refuses a tick.
  EXPECT_FALSE(f.panel().tick_changed(f.state, f.options, 3, true));
  EXPECT_FALSE(f.panel().ticked(f.state, 3));
  // A rebuild by the grid keeps the ticks; any other sender ticks every lap.
  f.build(LapBuildSender::Grid);
  EXPECT_FALSE(f.panel().ticked(f.state, 1));
  f.build();
  EXPECT_TRUE(f.panel().ticked(f.state, 1));
}

TEST(ViewerLapTimes, AllButtonTogglesIsSharedByBothPanels) {
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}});
  make_slot(f.state.data_sets[1], {{61, 6000, 1}});
  f.tables.process_laps(f.state, f.host, f.options, LapBuildSender::Other);
  f.tables.all_pressed(f.state, f.host, DataSetId::A, f.options);
  EXPECT_FALSE(f.panel().ticked(f.state, 1));
  EXPECT_FALSE(f.panel().ticked(f.state, 2));
  f.tables.all_pressed(f.state, f.host, DataSetId::B, f.options);  // the other panel ticks
  EXPECT_TRUE(f.tables.panel(DataSetId::B).ticked(f.state, 1));
  EXPECT_FALSE(f.panel().ticked(f.state, 1));
}

TEST(ViewerLapTimes, SortingIsStableAndTheBestLapStartsFromTheLastTickedRow) {
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}, {50, 6000, 3}, {40, 6000, 4}, {50, 6000, 5}});
  f.options.sort = true;
  f.build();
  EXPECT_EQ(f.a().lap_list, (std::vector<uint16_t>{3, 1, 2, 4, 0}));
  EXPECT_EQ(f.panel().cell(f.state, 1, 3), "4");
  // Sort the list as it stands by segment 1: laps 4 and 2 tie and keep their
  // present order.
  const float segment_1[] = {5, 3, 4, 3, 1};
  for (size_t i = 0; i < 5; ++i) f.a().laps[i].distance_segment_times[0] = segment_1[i];
  f.options.sort_key = LapSortKey::Segment;
  order_lap_list(f.a(), f.options);
  EXPECT_EQ(f.a().lap_list, (std::vector<uint16_t>{4, 3, 1, 2, 0}));
  // Without "Sort " the list returns to record order.
  f.options.sort = false;
  f.build(LapBuildSender::SortBox);
  EXPECT_EQ(f.a().lap_list, (std::vector<uint16_t>{0, 1, 2, 3, 4}));

  // Only the 50 s laps ticked: the last ticked row (lap 5) holds unless a lap
  // is strictly shorter, so it wins the tie.
  f.panel().tick_changed(f.state, f.options, 1, false);
  f.panel().tick_changed(f.state, f.options, 4, false);
  EXPECT_EQ(f.panel().summary().lap, "5");
  EXPECT_EQ(f.a().best_lap, 4);
}

TEST(ViewerLapTimes, ReferenceDistanceRoundsToFiftyMetresOr164Feet) {
  EXPECT_EQ(reference_lap_distance(24.9, false), 0);
  EXPECT_EQ(reference_lap_distance(75, false), 100);  // ties to even
  EXPECT_EQ(reference_lap_distance(125, false), 100);
  EXPECT_EQ(reference_lap_distance(6003.3, false), 6000);

  // Feet: the distance column and the reference are in feet, a multiple of 164.
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}});
  ASSERT_TRUE(change_metre_feet(f.state, true));
  f.build();
  EXPECT_EQ(f.panel().header(f.state, 5), "Distance (ft)");
  EXPECT_EQ(f.panel().cell(f.state, 1, 5), "19686.0");
  EXPECT_EQ(f.panel().summary().average_distance, "19686.0");
  EXPECT_EQ(f.panel().summary().distance_unit, "(ft)");
  EXPECT_EQ(f.a().info.reference_lap_distance, 120 * 164);
  EXPECT_NEAR(f.a().laps[0].distance_split_times[0], 20 * 19680 / 19686.0, 0.01);
}

TEST(ViewerLapTimes, ZeroReferenceDistanceTimesNoSplit) {
  LapFixture f;
  make_slot(f.a(), {{60, 10, 1}, {50, 12, 2}});
  f.a().laps[0].distance_split_times[0] = 7;  // left over from an earlier reference
  f.build();
  EXPECT_EQ(f.a().info.reference_lap_distance, 0);
  EXPECT_EQ(f.a().laps[0].distance_split_times[0], 0);
  EXPECT_EQ(f.a().laps[0].distance_segment_times[2], 60);
}

TEST(ViewerLapTimes, ZeroLapTimeIsReportedPerLapAndTakesNoPartInTheSummary) {
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}, {55, 5000, 3}});
  f.a().laps[1].lap_time = 0;
  f.a().laps[2].lap_time = 0;
  f.a().laps[1].average_speed = 123.0;
  // One box per such lap and build.
  f.host.expect(MessageKind::Warning, "Bad Lap Time Data, Skipped Lap");
  f.host.expect(MessageKind::Warning, "Bad Lap Time Data, Skipped Lap");
  f.build();
  EXPECT_EQ(f.host.verify(), "");
  EXPECT_EQ(f.a().laps[1].average_speed, 123.0);
  EXPECT_EQ(f.panel().cell(f.state, 2, 6), "76.88");  // the row stays, speed as it was, mph
  EXPECT_EQ(f.panel().cell(f.state, 3, 4), "0.00");
  // Only lap 1 has a time: it is the best lap, the whole average distance
  // and the theoretical best.
  const LapSummary& s = f.panel().summary();
  EXPECT_EQ(s.lap, "1");
  EXPECT_EQ(s.time, "60.00");
  EXPECT_EQ(s.average_distance, "6000.0");
  EXPECT_EQ(s.theory, "60.00");
  EXPECT_EQ(f.a().best_lap, 0);
}

TEST(ViewerLapTimes, AverageSpeedIsWorkedInDoublePrecision) {
  LapFixture f;
  make_slot(f.a(), {{60, 6000, 1}});
  f.a().laps[0].lap_time = 61.37f;
  f.a().laps[0].lap_distance = 3011.9f;
  f.build();
  EXPECT_EQ(f.a().laps[0].average_speed,
            static_cast<double>(3011.9f) / static_cast<double>(61.37f) * 3600 / 1000);
}

TEST(ViewerLapTimes, OnlyTheListedSendersKeepTheTicks) {
  const struct {
    LapBuildSender sender;
    bool keeps;
    bool overlay;
  } kCases[] = {
      {LapBuildSender::Other, false, true},
      {LapBuildSender::AllButton, true, true},
      {LapBuildSender::TrackMapLap, true, true},
      {LapBuildSender::SortBox, true, false},
      {LapBuildSender::SortParameter, false, false},
      {LapBuildSender::SortSegment, false, false},
      {LapBuildSender::SplitCount, true, false},
      {LapBuildSender::SplitSegment, true, false},
      {LapBuildSender::Grid, true, true},
  };
  for (const auto& c : kCases) {
    LapFixture f;
    make_slot(f.a(), {{60, 6000, 1}, {50, 6000, 2}});
    f.build();
    f.panel().tick_changed(f.state, f.options, 1, false);
    f.build(c.sender);
    EXPECT_EQ(f.panel().ticked(f.state, 1), !c.keeps) << static_cast<int>(c.sender);
    EXPECT_EQ(reruns_overlay(c.sender), c.overlay) << static_cast<int>(c.sender);
  }
}

TEST(ViewerLapTimes, TheoreticalBestLeavesOutSegmentsWithoutATime) {
  DataSet set;
  make_slot(set, {{60, 6000, 1}, {50, 6000, 2}});
  set.laps[0].selected = set.laps[1].selected = 1;
  set.laps[0].distance_segment_times = {};
  set.laps[1].distance_segment_times = {};
  set.laps[0].distance_segment_times[0] = 10;
  set.laps[1].distance_segment_times[0] = 12;
  set.laps[0].distance_segment_times[1] = 1000000;
  set.laps[1].distance_segment_times[1] = 2000000;
  set.laps[0].distance_segment_times[2] = 30;
  set.laps[1].distance_segment_times[2] = 20;
  EXPECT_DOUBLE_EQ(theoretical_best(set, 2), 30);
  set.laps[1].selected = 0;
  EXPECT_DOUBLE_EQ(theoretical_best(set, 2), 40);
}

TEST(ViewerLapTimes, LapSelectorListsEveryLapOfAThenB) {
  ProgramState state;
  make_slot(state.data_sets[0], {{60, 6000, 1}, {50, 6000, 12}});
  make_slot(state.data_sets[1], {{61, 6000, 3}});
  state.data_sets[1].laps[0].session = 2;
  EXPECT_EQ(lap_combo_items(state),
            (std::vector<std::string>{"Session Log:   1  Lap:   1  Data A",
                                      "Session Log:   1  Lap:  12  Data A",
                                      "Session Log:   2  Lap:   3  Data B"}));
}

TEST(ViewerLapTimes, FixedCellsKeepEightSignificantDigits) {
  EXPECT_EQ(fixed_text(61.234, 2), "61.23");
  EXPECT_EQ(fixed_text(1234567.891, 2), "1234567.90");
  EXPECT_EQ(fixed_text(-0.5, 1), "-0.5");
}

}  // namespace
}  // namespace ardenvis::core
