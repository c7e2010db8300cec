// The plotting pass: selections, layers, traces, offsets and scale rules.

#include <gtest/gtest.h>

#include "viewer/plot_pass.h"

namespace ardenvis::core {
namespace {

void fill_slot(DataSet& set, long n) {
  set.loaded = kDecoded;
  set.record_counts[1] = static_cast<uint32_t>(n);
  for (size_t c = 0; c < set.series.size(); ++c) {
    set.series[c].resize(n);
    for (long i = 1; i <= n; ++i) set.series[c].set(i, static_cast<double>(c * 1000 + i));
  }
}

TEST(ViewerPlot, SelectionsGoToLayersByModeAndSecondAxis) {
  ProgramState state;
  fill_slot(state.data_sets[0], 10);
  fill_slot(state.data_sets[1], 20);
  PlotSettings settings = PlotSettings::defaults();

  auto selections = choose_selections(state, settings);
  ASSERT_EQ(selections.size(), 2u);
  EXPECT_EQ(selections[0].layer, 1);
  EXPECT_EQ(selections[1].layer, 1);
  EXPECT_EQ(selections[1].last, 20);
  EXPECT_EQ(selections[1].style, 1);

  settings.data_b_on_second_axis = true;
  selections = choose_selections(state, settings);
  EXPECT_EQ(selections[1].layer, 2);

  // Overlay: both in layer 1, lap ranges, selection 1 shifted, and laps start
  // at x = 0 on time and distance only.
  settings.mode = DisplayMode::LapOverlay;
  settings.overlay[0] = {true, DataSetId::B, 5, 9, 2};
  settings.overlay[1] = {true, DataSetId::A, 3, 6, 7};  // no shift for selection 2
  build_x_axis_series(state, kXAxisTime);
  selections = choose_selections(state, settings);
  ASSERT_EQ(selections.size(), 2u);
  EXPECT_EQ(selections[0].slot, DataSetId::B);
  EXPECT_EQ(selections[0].first, 7);
  EXPECT_EQ(selections[0].last, 11);
  EXPECT_EQ(selections[0].layer, 1);
  EXPECT_EQ(selections[1].layer, 1);
  EXPECT_EQ(selections[1].first, 3);
  EXPECT_EQ(selections[0].x_offset, state.data_sets[1][Channel::PeloTime][7]);
  settings.x_axis = 2;  // RPM/100
  build_x_axis_series(state, 2);
  EXPECT_EQ(choose_selections(state, settings)[0].x_offset, 0);

  // Only loaded slots are drawn.
  state.data_sets[0].loaded = kNotLoaded;
  settings.mode = DisplayMode::AllPlotData;
  selections = choose_selections(state, settings);
  ASSERT_EQ(selections.size(), 1u);
  EXPECT_EQ(selections[0].number, 2);
}

TEST(ViewerPlot, TracesFollowDrawOrderColoursAndLineSettings) {
  ProgramState state;
  fill_slot(state.data_sets[0], 10);
  fill_slot(state.data_sets[1], 10);
  build_x_axis_series(state, kXAxisTime);
  PlotSettings settings = PlotSettings::defaults();
  settings.checked[static_cast<size_t>(plot_channel_row(Channel::Odo))] = true;
  settings.checked[static_cast<size_t>(plot_channel_row(Channel::Battery))] = true;
  settings.colour_b[1] = colour::green;
  const auto selections = choose_selections(state, settings);

  auto a = plot_engine_data(state, settings, selections[0]);
  std::vector<Channel> order;
  for (const Trace& t : a) order.push_back(t.channel);
  EXPECT_EQ(order, (std::vector<Channel>{Channel::Rpm, Channel::Speed, Channel::OilPressure,
                                         Channel::WaterTemp, Channel::Battery, Channel::Odo}));
  EXPECT_EQ(a[0].colour, colour::red);
  EXPECT_EQ(a[0].pen, PenStyle::Solid);
  EXPECT_EQ(a[0].count, 10);
  EXPECT_EQ(a[0].x[0], state.data_sets[0][Channel::PeloTime][1]);
  EXPECT_TRUE(a[0].x_sorted);
  EXPECT_EQ(a.back().y_offset, state.data_sets[0][Channel::Odo][1]);  // odometer from 0
  EXPECT_EQ(a[0].y_offset, 0);

  auto b = plot_engine_data(state, settings, selections[1]);
  EXPECT_EQ(b[1].colour, colour::green);
  EXPECT_EQ(b[1].pen, PenStyle::Dotted);

  settings.lines[1] = {LineStyle::Points, true};
  b = plot_engine_data(state, settings, selections[1]);
  EXPECT_TRUE(b[0].points);
  EXPECT_EQ(b[0].pen, PenStyle::Solid);
  settings.lines[1].visible = false;
  EXPECT_EQ(plot_engine_data(state, settings, selections[1])[0].pen, PenStyle::Invisible);

  // Nothing checked: no traces, and the x-axis selector is off.
  settings.checked = {};
  EXPECT_TRUE(plot_engine_data(state, settings, selections[0]).empty());
  EXPECT_FALSE(x_axis_selector_enabled(settings.any_channel_checked(), false));
  EXPECT_TRUE(x_axis_selector_enabled(false, true));
}

TEST(ViewerPlot, RangesOutsideTheDataAreClippedAndEmptyRangesDrawNothing) {
  ProgramState state;
  fill_slot(state.data_sets[0], 10);
  build_x_axis_series(state, kXAxisTime);
  PlotSettings settings = PlotSettings::defaults();
  PlotSelection s;
  s.first = 8;
  s.last = 40;
  EXPECT_EQ(plot_engine_data(state, settings, s)[0].count, 3);
  s.first = 6;
  s.last = 5;
  EXPECT_TRUE(plot_engine_data(state, settings, s).empty());
}

TEST(ViewerPlot, XAxisSeriesIsACopyOfTheChosenChannel) {
  ProgramState state;
  fill_slot(state.data_sets[0], 4);
  build_x_axis_series(state, 3);  // Speed
  EXPECT_EQ(state.data_sets[0][Channel::XAxis][4], state.data_sets[0][Channel::Speed][4]);
  EXPECT_TRUE(state.data_sets[1][Channel::XAxis].empty());
  EXPECT_FALSE(x_axis_is_monotonic(3));
  EXPECT_TRUE(x_axis_is_monotonic(kXAxisDistance));
}

TEST(ViewerPlot, ScaleRulesAddTwoPercentAboveTheHighs) {
  const PlotRange fitted{0, -5, 100, 50};
  const PlotRange full = full_range(fitted);
  EXPECT_DOUBLE_EQ(full.x_high, 102);
  EXPECT_DOUBLE_EQ(full.y_high, 51);
  EXPECT_DOUBLE_EQ(full.y_low, -5);
  const PlotRange auto_scaled = autoscale_range({10, 0, 20, 1}, -3, 60);
  EXPECT_DOUBLE_EQ(auto_scaled.x_low, 10);
  EXPECT_DOUBLE_EQ(auto_scaled.y_low, -3);
  EXPECT_DOUBLE_EQ(auto_scaled.y_high, 61.2);
  // A negative high still keeps the top of the trace inside; a flat trace
  // still gets a usable window.
  EXPECT_GT(autoscale_range({}, -10, -5).y_high, -5);
  const PlotRange flat = autoscale_range({}, 0, 0);
  EXPECT_GT(flat.y_high, flat.y_low);
}

}  // namespace
}  // namespace ardenvis::core
