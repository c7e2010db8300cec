// Math channels in the viewer: traces drawn after the logged channels, the
// x-axis copy, statistics that leave gaps out, and the cursor readout lines.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "viewer/math_readout.h"
#include "viewer/plot_pass.h"
#include "viewer/plot_statistics.h"

namespace ardenvis::core {
namespace {

const double kGap = std::numeric_limits<double>::quiet_NaN();

// Samples at 10 per second; one math channel: 1, 2, gap, 4, ...
void fill_slot(DataSet& set, long n, double math_scale) {
  set.loaded = kDecoded;
  set.info.sample_rate = 10;
  set.record_counts[1] = static_cast<uint32_t>(n);
  for (Series& s : set.series) s.resize(n);
  set.math.resize(1);
  set.math[0].values.resize(n);
  for (long k = 1; k <= n; ++k) {
    set[Channel::PeloTime].set(k, 0.1 * static_cast<double>(k));
    set.math[0].values.set(k, k == 3 ? kGap : math_scale * static_cast<double>(k));
  }
}

TEST(ViewerMath, TracesFollowTheLoggedChannels) {
  ProgramState state;
  fill_slot(state.data_sets[0], 10, 1);
  build_x_axis_series(state, kXAxisTime);
  PlotSettings settings = PlotSettings::defaults();
  settings.checked.fill(false);
  settings.checked[0] = true;  // RPM/100
  settings.math = {{true, colour::teal, colour::olive}, {true, colour::red, colour::red}};
  ASSERT_TRUE(settings.any_channel_checked());

  const auto selections = choose_selections(state, settings);
  ASSERT_EQ(selections.size(), 1u);
  const auto traces = plot_engine_data(state, settings, selections[0]);
  // The second math row has no values in this slot: nothing is drawn for it.
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0].math, -1);
  EXPECT_EQ(traces[1].math, 0);
  EXPECT_EQ(traces[1].colour, colour::teal);
  EXPECT_EQ(traces[1].y, state.data_sets[0].math[0].values.data());
  EXPECT_EQ(traces[1].count, 10);

  settings.checked[0] = false;
  settings.math[0].checked = settings.math[1].checked = false;
  EXPECT_FALSE(settings.any_channel_checked());
  // A math channel shorter than the samples (worked out before a reload) is
  // not drawn past its end.
  settings.math[0].checked = true;
  state.data_sets[0].math[0].values.resize(5);
  EXPECT_TRUE(plot_engine_data(state, settings, selections[0]).empty());
}

TEST(ViewerMath, MathChannelAsXAxis) {
  ProgramState state;
  fill_slot(state.data_sets[0], 4, 2);
  state.data_sets[1].loaded = kDecoded;  // holds no math channel
  state.data_sets[1][Channel::XAxis].resize(3);
  const int choice = kXAxisChoiceCount;
  EXPECT_EQ(x_axis_math_channel(choice), 0);
  EXPECT_EQ(x_axis_math_channel(kXAxisChoiceCount - 1), -1);
  EXPECT_FALSE(x_axis_is_monotonic(choice));
  build_x_axis_series(state, choice);
  const Series& x = state.data_sets[0][Channel::XAxis];
  ASSERT_EQ(x.size(), 4);
  EXPECT_EQ(x[2], 4);
  EXPECT_TRUE(std::isnan(x[3]));
  EXPECT_TRUE(state.data_sets[1][Channel::XAxis].empty());
}

TEST(ViewerMath, StatisticsLeaveGapsOut) {
  DataSet set;
  fill_slot(set, 5, 1);  // 1, 2, gap, 4, 5
  const int math = static_cast<int>(statistics_channels().size());
  const struct {
    StatisticKind kind;
    double expected;
  } cases[] = {{StatisticKind::Max, 5}, {StatisticKind::Min, 1}, {StatisticKind::Avg, 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(statistic(set, {1, 5}, {math, c.kind, StatisticsOn::AllData}), c.expected);
  }
  EXPECT_EQ(statistic(set, {3, 3}, {math, StatisticKind::Max, StatisticsOn::AllData}),
            std::nullopt);
  EXPECT_EQ(statistic(set, {1, 5}, {math + 1, StatisticKind::Max, StatisticsOn::AllData}),
            std::nullopt);
}

TEST(ViewerMath, CursorReadoutLines) {
  ProgramState state;
  fill_slot(state.data_sets[0], 10, 1);
  fill_slot(state.data_sets[1], 10, 10);
  const std::vector<std::pair<int, std::string>> shown = {{0, "Twice"}, {1, "None"}};
  std::array<LapSelection, 2> laps{};
  EXPECT_EQ(math_readout(state, DisplayMode::AllPlotData, kXAxisTime, laps, shown, 0.4),
            "\nTwice: A 4.00  B 40.00\nNone: A -  B -");
  EXPECT_EQ(math_readout(state, DisplayMode::AllPlotData, kXAxisTime, laps, {{0, "Twice"}}, 0.3),
            "\nTwice: A -  B -");
  EXPECT_EQ(math_readout(state, DisplayMode::AllPlotData, kXAxisDistance, laps, shown, 0.4), "");
  laps[1].has_lap = true;
  laps[1].slot = DataSetId::B;
  laps[1].start = 5;
  EXPECT_EQ(math_readout(state, DisplayMode::LapOverlay, kXAxisTime, laps, {{0, "Twice"}}, 0.2),
            "\nTwice: Sel 2 70.00");
}

}  // namespace
}  // namespace ardenvis::core
