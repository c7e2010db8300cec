// Lap overlay: odo and time slips across sample rates, shorter laps, the same
// lap twice, the beacon shift, and what lapPlotUpdate asks of the window.

#include <gtest/gtest.h>

#include <cmath>

#include "support/overlay_slots.h"
#include "support/scripted_host.h"
#include "viewer/lap_overlay.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {
namespace {

using testing::make_overlay_slot;
using testing::metres_per_sample;
using testing::ScriptedHost;

// Slot A at 10 samples/s, 1 m a sample: lap 1 is samples 50..99 (5 s), lap 2
// samples 100..129 (3 s). Slot B at 20 samples/s with `b_step` m a sample:
// its lap is samples 100..199 (5 s).
struct OverlayFixture {
  ProgramState state;
  ScriptedHost host;
  LapOverlay overlay;
  explicit OverlayFixture(double b_step = 0.5) {
    make_overlay_slot(state.data_sets[0], 10, 400, metres_per_sample(1.0),
                      {{10.0, 5.0f, 1}, {13.0, 3.0f, 2}});
    make_overlay_slot(state.data_sets[1], 20, 400, metres_per_sample(b_step), {{10.0, 5.0f, 7}});
  }
  LapSelection lap(int position) const { return select_lap(state, position, 2); }
};

TEST(ViewerOverlay, OdoSlipStepsTheFasterRateLapTwoSamplesPerSample) {
  // Lap 1 at 10/s, lap 2 at 20/s covering 0.6 m per sample: lap 2 is stepped
  // two samples per lap 1 sample and gains 0.2 m every 0.1 s.
  OverlayFixture f(0.6);
  const LapSelection lap1 = f.lap(0);
  const LapSelection lap2 = f.lap(2);
  ASSERT_EQ(lap1.sample_count, 50);
  ASSERT_EQ(lap2.start, 100);
  Series slip;
  compute_odo_slip(f.state, lap1, lap2, slip);
  ASSERT_EQ(slip.size(), 50);
  for (long j = 1; j <= 50; ++j) {
    SCOPED_TRACE(j);
    EXPECT_NEAR(slip[j], 0.2 * static_cast<double>(j - 1), 1e-9);
  }
}

TEST(ViewerOverlay, OdoSlipStepsTheSlowerRateLapOnEveryOtherSample) {
  // Lap 1 at 20/s (0.5 m a sample, starting on an even sample), lap 2 at
  // 10/s (1 m a sample): lap 2 moves on only after odd lap 1 samples.
  OverlayFixture f;
  const LapSelection lap1 = f.lap(2);
  const LapSelection lap2 = f.lap(0);
  Series slip;
  compute_odo_slip(f.state, lap1, lap2, slip);
  ASSERT_EQ(slip.size(), 100);
  const double expected[] = {0, -0.5, 0, -0.5, 0, -0.5};
  for (long j = 1; j <= 6; ++j) EXPECT_DOUBLE_EQ(slip[j], expected[j - 1]) << j;
  EXPECT_DOUBLE_EQ(slip[100], -0.5);  // lap 2 reaches its last sample exactly
}

TEST(ViewerOverlay, OdoSlipIsZeroAfterAShorterLapTwoEnds) {
  OverlayFixture f;
  const LapSelection lap1 = f.lap(0);  // 50 samples
  const LapSelection lap2 = f.lap(1);  // 30 samples
  ASSERT_EQ(lap2.sample_count, 30);
  Series slip;
  compute_odo_slip(f.state, lap1, lap2, slip);
  for (long j = 1; j <= 30; ++j) EXPECT_DOUBLE_EQ(slip[j], 0) << j;  // same pace
  for (long j = 31; j <= 50; ++j) EXPECT_DOUBLE_EQ(slip[j], 0) << j;
  // Lap 2 at twice the pace: gains until its end, then 0.
  make_overlay_slot(f.state.data_sets[0], 10, 400,
                    [](long i) { return i <= 100 ? double(i) : 100 + 2.0 * double(i - 100); },
                    {{10.0, 5.0f, 1}, {13.0, 3.0f, 2}});
  compute_odo_slip(f.state, f.lap(0), f.lap(1), slip);
  EXPECT_DOUBLE_EQ(slip[30], 29);
  EXPECT_DOUBLE_EQ(slip[31], 0);
}

TEST(ViewerOverlay, TimeSlipIsTheTimeLapTwoLosesAtEqualDistance) {
  // Lap 2 from B at 10/s covering 0.5 m a sample: half lap 1's pace, so at
  // distance D it has lost D / 10 s.
  OverlayFixture f(0.5);
  f.state.data_sets[1].info.sample_rate = 10;
  make_overlay_slot(f.state.data_sets[1], 10, 400, metres_per_sample(0.5), {{30.0, 20.0f, 7}});
  const LapSelection lap1 = f.lap(0);
  const LapSelection lap2 = f.lap(2);
  ASSERT_DOUBLE_EQ(lap1.lap_distance, 49);
  Series slip;
  compute_time_slip(f.state, lap1, lap2, slip);
  ASSERT_EQ(slip.size(), 50);
  const double step = 49.0 / 50;
  for (long l = 1; l <= 50; ++l) {
    SCOPED_TRACE(l);
    EXPECT_NEAR(slip[l], step * static_cast<double>(l - 1) * 0.1, 1e-6);
  }
}

TEST(ViewerOverlay, TheSameLapTwiceGivesZeroSlipsAndTheSelectorSwitchesTheTrackMapLap) {
  OverlayFixture f;
  const LapPlotOutcome outcome = f.overlay.lapPlotUpdate(f.state, f.host, {0, 0}, 2, kXAxisTime, 2);
  EXPECT_EQ(f.host.verify(), "");
  EXPECT_TRUE(outcome.slips_computed);
  EXPECT_TRUE(outcome.any_lap);
  EXPECT_EQ(outcome.track_map_lap_choice, 2);
  EXPECT_TRUE(outcome.slip_boxes.odo);
  EXPECT_FALSE(outcome.slip_boxes.time);
  ASSERT_EQ(f.overlay.odo_slip().size(), 50);
  for (long j = 1; j <= 50; ++j) {
    EXPECT_DOUBLE_EQ(f.overlay.odo_slip()[j], 0) << j;
    EXPECT_DOUBLE_EQ(f.overlay.time_slip()[j], 0) << j;
  }
  EXPECT_EQ(f.overlay.lapPlotUpdate(f.state, f.host, {0, 1}, 2, kXAxisTime, 1).track_map_lap_choice,
            1);
  EXPECT_EQ(f.overlay.lapPlotUpdate(f.state, f.host, {0, 1}, 2, kXAxisTime, 0).track_map_lap_choice,
            0);
}

TEST(ViewerOverlay, SlipBoxesFollowTheXAxisAndNeedBothLaps) {
  OverlayFixture f;
  const struct {
    std::array<int, 2> positions;
    int x_axis;
    bool odo;
    bool time;
  } cases[] = {
      {{0, 1}, kXAxisTime, true, false},
      {{0, 1}, kXAxisDistance, false, true},
      {{0, 1}, 3, true, true},
      {{0, -1}, 3, false, false},
      {{-1, 1}, kXAxisTime, false, false},
  };
  for (const auto& c : cases) {
    const auto outcome = f.overlay.lapPlotUpdate(f.state, f.host, c.positions, 2, c.x_axis, 0);
    EXPECT_EQ(outcome.slip_boxes.odo, c.odo);
    EXPECT_EQ(outcome.slip_boxes.time, c.time);
    EXPECT_EQ(outcome.slips_computed, c.positions[0] >= 0 && c.positions[1] >= 0);
  }
  f.overlay.lapPlotUpdate(f.state, f.host, {-1, -1}, 2, kXAxisTime, 0);
  EXPECT_FALSE(f.overlay.any_lap());
}

TEST(ViewerOverlay, AShortLapCannotBeSmoothedAndTheOverlayGoesOn) {
  OverlayFixture f;
  // A lap of 5 samples (0.5 s).
  make_overlay_slot(f.state.data_sets[0], 10, 400, metres_per_sample(1.0),
                    {{10.0, 0.5f, 1}, {13.0, 3.0f, 2}});
  f.host.expect(MessageKind::Warning, "Lap Slip Smoothing Failed...");
  const auto outcome = f.overlay.lapPlotUpdate(f.state, f.host, {0, 1}, 2, kXAxisTime, 1);
  EXPECT_EQ(f.host.verify(), "");
  EXPECT_TRUE(outcome.slips_computed);
  EXPECT_EQ(f.overlay.odo_slip().size(), 5);

  // A lap logged as 0.00 s has no samples to compare: the warning, no crash.
  make_overlay_slot(f.state.data_sets[0], 10, 400, metres_per_sample(1.0),
                    {{10.0, 0.0f, 1}, {13.0, 3.0f, 2}});
  f.host.expect(MessageKind::Warning, "Lap Slip Smoothing Failed...");
  f.overlay.lapPlotUpdate(f.state, f.host, {0, 1}, 2, kXAxisTime, 1);
  EXPECT_EQ(f.host.verify(), "");
}

TEST(ViewerOverlay, BeaconShiftCountsSamplesAtTheFirstSecondsPace) {
  OverlayFixture f;
  const LapSelection lap1 = f.lap(0);
  const struct {
    double metres;
    int32_t shift;
  } cases[] = {{0, 0}, {10, 10}, {10.5, 10}, {-3, -3}};
  for (const auto& c : cases) {
    EXPECT_EQ(beacon_shift_samples(f.state, lap1, c.metres), c.shift) << c.metres;
  }
  // 20 samples a second at 0.5 m: one second is 20 samples.
  EXPECT_EQ(beacon_shift_samples(f.state, f.lap(2), 10), 20);

  // A standing start covers nothing in the first second: the lap's average
  // distance per sample stands in; a lap that covers nothing gives 0.
  make_overlay_slot(f.state.data_sets[0], 10, 400,
                    [](long i) { return i < 70 ? 0.0 : 2.0 * static_cast<double>(i - 70); },
                    {{10.0, 5.0f, 1}});
  const LapSelection standing = f.lap(0);
  ASSERT_DOUBLE_EQ(standing.lap_distance, 58);
  EXPECT_EQ(beacon_shift_samples(f.state, standing, 12), 10);  // 1.16 m a sample
  make_overlay_slot(f.state.data_sets[0], 10, 400, metres_per_sample(0), {{10.0, 5.0f, 1}});
  EXPECT_EQ(beacon_shift_samples(f.state, f.lap(0), 10), 0);
}

TEST(ViewerOverlay, BeaconShiftMovesLapOneAndSurvivesReselection) {
  OverlayFixture f;
  f.overlay.lapPlotUpdate(f.state, f.host, {0, 1}, 2, kXAxisTime, 1);
  f.overlay.shiftbeacon(f.state, 5);
  EXPECT_EQ(f.overlay.selection(1).beacon_shift, 5);
  EXPECT_EQ(f.overlay.selection(1).first(), 55);
  f.overlay.lapPlotUpdate(f.state, f.host, {0, 1}, 2, kXAxisTime, 0);
  EXPECT_EQ(f.overlay.selection(1).beacon_shift, 5);
  EXPECT_EQ(f.overlay.selection(2).beacon_shift, 0);
  // Lap 1 shifted against itself unshifted: at an even pace each is measured
  // from its own start, so neither gains.
  f.overlay.lapPlotUpdate(f.state, f.host, {0, 0}, 2, kXAxisTime, 0);
  EXPECT_NEAR(f.overlay.odo_slip()[20], 0, 1e-9);
}

TEST(ViewerOverlay, SlipTracesStartAtZeroWithSelectionOneOnly) {
  OverlayFixture f(0.6);
  f.overlay.lapPlotUpdate(f.state, f.host, {0, 2}, 2, kXAxisTime, 0);
  PlotSettings settings = PlotSettings::defaults();
  settings.mode = DisplayMode::LapOverlay;
  settings.overlay[0] = {true, DataSetId::A, 50, 99, 0};
  const auto selections = choose_selections(f.state, settings);
  ASSERT_FALSE(selections.empty());
  SlipSettings slips;
  slips.odo = {true, true, colour::fuchsia, 1};  // x10
  slips.time = {true, false, colour::red, 0};    // disabled: not drawn
  const auto traces = slip_traces(f.state, settings, selections[0], slips, f.overlay.odo_slip(),
                                  f.overlay.time_slip());
  ASSERT_EQ(traces.size(), 1u);
  const SlipTrace& t = traces[0];
  ASSERT_EQ(t.x.size(), 51u);
  EXPECT_EQ(t.x[0], 0);
  EXPECT_EQ(t.y[0], 0);
  EXPECT_NEAR(t.x[1], 0, 1e-9);  // the lap starts at x = 0
  EXPECT_NEAR(t.x[50], 4.9, 1e-9);
  EXPECT_EQ(t.y[1], 0);
  EXPECT_NEAR(t.y[20], 10 * (f.overlay.odo_slip()[20] - f.overlay.odo_slip()[1]), 1e-9);
  EXPECT_EQ(t.colour, colour::fuchsia);
  settings.mode = DisplayMode::AllPlotData;
  EXPECT_TRUE(slip_traces(f.state, settings, selections[0], slips, f.overlay.odo_slip(),
                          f.overlay.time_slip())
                  .empty());
}

TEST(ViewerOverlay, LapInfoCaptionsNameTheChosenLaps) {
  OverlayFixture f;
  const LapInfoCaptions one = lap_info_captions(f.lap(2), 1);
  EXPECT_EQ(one.line_group, "Sel 1 = Log:1 Lap:7 Data:B");
  EXPECT_EQ(one.column_heading, "Selection 1");
  EXPECT_EQ(one.statistics_label, "Selection 1");
  EXPECT_EQ(one.g_circle_key, "Log:1 Lap:7 Data:B");
  const LapInfoCaptions none = lap_info_captions(LapSelection{}, 2);
  EXPECT_EQ(none.line_group, "No Lap Selected");
  EXPECT_EQ(none.column_heading, "No Lap");
  EXPECT_EQ(none.g_circle_key, "No Lap");
  EXPECT_TRUE(any_slot_has_laps(f.state));
  EXPECT_FALSE(any_slot_has_laps(ProgramState{}));
}

}  // namespace
}  // namespace ardenvis::core
