// Cursor readout, markers and their dots, statistics, zoom and function keys.

#include <gtest/gtest.h>

#include <cmath>

#include "support/overlay_slots.h"
#include "viewer/cursor_markers.h"
#include "viewer/plot_channels.h"
#include "viewer/plot_statistics.h"
#include "viewer/zoom_keys.h"

namespace ardenvis::core {
namespace {

using testing::make_overlay_slot;
using testing::metres_per_sample;

struct CursorFixture {
  ProgramState state;
  CursorFixture() {
    make_overlay_slot(state.data_sets[0], 10, 200, metres_per_sample(2.0), {{10.0, 5.0f, 3}});
    DataSet& a = state.data_sets[0];
    for (long i = 1; i <= 200; ++i) {
      a[Channel::Session].set(i, 2);
      a[Channel::Lap].set(i, i <= 100 ? 3 : 4);
      a[Channel::LapTime].set(i, 51.25);
      a[Channel::Rpm].set(i, static_cast<double>(i % 70));  // hundreds of rpm
      a[Channel::Gear].set(i, i <= 100 ? 30 : 40);
    }
    a.laps[0].session = 2;
  }
};

TEST(ViewerCursor, ReadoutLinesFollowTheModeAndTheXAxis) {
  CursorFixture f;
  const std::array<LapSelection, 2> none{};
  // "All Plot Data" on time: the slot's session, lap and lap time under x.
  EXPECT_EQ(cursor_readout(f.state, DisplayMode::AllPlotData, kXAxisTime, none, 12.0, 45.678),
            "Axis: 45.68 at 12.00\nDataA: Log:2 Lap:4 Time: 51.25 ");
  // Any other axis: one line, no trailing space.
  EXPECT_EQ(cursor_readout(f.state, DisplayMode::AllPlotData, kXAxisDistance, none, 1, 2),
            "Axis: 2.00 at 1.00");
  // "Lap Overlay": one line per chosen lap.
  const std::array<LapSelection, 2> both{select_lap(f.state, 0, 2), select_lap(f.state, 0, 2)};
  EXPECT_EQ(cursor_readout(f.state, DisplayMode::LapOverlay, kXAxisTime, both, 0.5, -1),
            "Axis: -1.00 at 0.50\nSel 1 = Log:  2 Lap:  3 Data:A Time: 5.00\n"
            "Sel 2 = Log:  2 Lap:  3 Data:A Time: 5.00 ");
  // Far outside the data the series read 0.
  EXPECT_EQ(cursor_readout(f.state, DisplayMode::AllPlotData, kXAxisTime, none, 1e9, 0),
            "Axis: 0.00 at 1000000000.00\nDataA: Log:0 Lap:0 Time: 0.00 ");
  EXPECT_EQ(cursor_value_text(-0.125), "-0.12");
}

TEST(ViewerMarkers, AMarkerOutsideTheWindowSnapsToXLow) {
  const struct {
    double x;
    bool moved;
    double x_after;
    double y_after;
  } cases[] = {{-5, true, 10, 0}, {25, false, 25, 7}, {10, false, 10, 7}, {101, true, 10, 0}};
  for (const auto& c : cases) {
    MarkerPosition m{c.x, 7};
    EXPECT_EQ(snap_marker(m, 10, 100), c.moved) << c.x;
    EXPECT_EQ(m.x, c.x_after);
    EXPECT_EQ(m.y, c.y_after);
  }
  const auto fields = marker_fields({1.5, 40}, {3.25, 12.5});
  EXPECT_EQ(fields,
            (std::array<std::string, 6>{"40.00", "12.50", "27.50", "-1.75", "1.50", "3.25"}));
}

TEST(ViewerMarkers, DotOffsetsOnTimeAndDistance) {
  CursorFixture f;
  const LapSelection lap = select_lap(f.state, 0, 2);  // samples 50..99, 2 m each
  ASSERT_DOUBLE_EQ(lap.lap_distance, 98);
  auto offset = [&](int axis, double x, DotRule rule) {
    return marker_dot_offset(f.state, lap, DisplayMode::LapOverlay, axis, x, rule);
  };
  EXPECT_EQ(offset(kXAxisTime, 1.2, DotRule::Markers), 12);
  EXPECT_EQ(offset(kXAxisTime, -3, DotRule::Markers), 1);
  EXPECT_EQ(offset(kXAxisTime, 100, DotRule::Markers), 50);     // kept on the lap
  EXPECT_EQ(offset(kXAxisDistance, 49, DotRule::Markers), 25);  // floor(49 / 98 x 50)
  EXPECT_EQ(offset(kXAxisDistance, 49, DotRule::Blobs), 25);    // first sample 49 m in: 50 m
  EXPECT_EQ(offset(kXAxisDistance, 500, DotRule::Blobs), 49);   // stops at the lap end
  EXPECT_FALSE(offset(3, 10, DotRule::Markers).has_value());
  EXPECT_FALSE(
      marker_dot_offset(f.state, lap, DisplayMode::AllPlotData, kXAxisTime, 1, DotRule::Markers));
  EXPECT_FALSE(marker_dot_offset(f.state, LapSelection{}, DisplayMode::LapOverlay, kXAxisTime, 1,
                                 DotRule::Markers));
}

TEST(ViewerStatistics, RangesScalingAndTheTimeAxisOnly) {
  CursorFixture f;
  const DataSet& a = f.state.data_sets[0];
  EXPECT_TRUE(statistics_enabled(kXAxisTime));
  EXPECT_FALSE(statistics_enabled(kXAxisDistance));

  const LapSelection none{};
  // "In Window" wider than the data uses the whole slot.
  SampleRange r =
      statistics_range(a, DisplayMode::AllPlotData, StatisticsOn::InWindow, none, -1000, 1000);
  EXPECT_EQ(r.first, 1);
  EXPECT_EQ(r.last, 200);
  // A window given backwards is put in order.
  r = statistics_range(a, DisplayMode::AllPlotData, StatisticsOn::InWindow, none, 8, 2);
  EXPECT_EQ(r.first, 20);
  EXPECT_EQ(r.last, 80);
  // "Lap Overlay": the lap, or the window counted from the lap start.
  const LapSelection lap = select_lap(f.state, 0, 2);
  r = statistics_range(a, DisplayMode::LapOverlay, StatisticsOn::AllData, lap, 0, 0);
  EXPECT_EQ(r.first, 50);
  EXPECT_EQ(r.last, 99);
  r = statistics_range(a, DisplayMode::LapOverlay, StatisticsOn::InWindow, lap, 1, 2);
  EXPECT_EQ(r.first, 60);
  EXPECT_EQ(r.last, 70);

  const SampleRange all{1, 200};
  const struct {
    int channel;
    StatisticKind kind;
    std::string text;
  } cases[] = {
      {0, StatisticKind::Max, "6900.00"},  // RPM x 100
      {0, StatisticKind::Min, "0.00"},
      {2, StatisticKind::Avg, "3.50"},  // Gear / 10
      {9, StatisticKind::Max, "51.25"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(statistic_text(statistic(a, all, {c.channel, c.kind, StatisticsOn::AllData})), c.text)
        << c.channel;
  }
  EXPECT_EQ(statistic_text(statistic(DataSet{}, all, {})), "");
}

TEST(ViewerZoom, OutThenInReturnsWithinSinglePrecision) {
  const PlotRange start{12.3456789, -40.5, 987.654321, 1234.5};
  const PlotRange out = zoom_out(start);
  EXPECT_NEAR(out.x_high - out.x_low, 1.4 * (start.x_high - start.x_low), 1e-3);
  const PlotRange back = zoom_in(out);
  for (auto [a, b] : {std::pair{back.x_low, start.x_low},
                      {back.x_high, start.x_high},
                      {back.y_low, start.y_low},
                      {back.y_high, start.y_high}}) {
    EXPECT_NEAR(a, b, std::fabs(b) * 2e-7 + 1e-4);
  }
  EXPECT_FALSE(zoom_layer_two(ZoomChart::TrackMap, false, true));
  EXPECT_TRUE(zoom_layer_two(ZoomChart::TrackMap, true, true));
  EXPECT_TRUE(zoom_layer_two(ZoomChart::Plot, false, true));
  EXPECT_FALSE(zoom_layer_two(ZoomChart::Plot, true, false));
}

TEST(ViewerZoom, TrackFullViewIsSquareWithAMargin) {
  const TrackFullView view = track_full_view({0, 0, 1, 0.5});
  EXPECT_DOUBLE_EQ(view.range.x_low, -0.02);
  EXPECT_DOUBLE_EQ(view.range.x_high, 1.02);
  EXPECT_DOUBLE_EQ(view.range.y_low, 0.25 - 0.5 - 0.02);
  EXPECT_DOUBLE_EQ(view.range.y_high, 0.25 + 0.5 + 0.02);
  EXPECT_DOUBLE_EQ(view.grid_spacing, 0.05);
  const TrackFullView point = track_full_view({3, 3, 3, 3});
  EXPECT_GT(point.range.x_high, point.range.x_low);
}

TEST(ViewerFunctionKeys, KeysActOnlyWhenReadyAndOnPagesWithAChart) {
  FunctionKeys keys;
  // F2 on "Lap Times" does nothing, and nothing acts until a key is released.
  EXPECT_EQ(keys.key_down(2, ViewPage::LapTimes), KeyAction::None);
  EXPECT_EQ(keys.key_down(4, ViewPage::PlotData), KeyAction::None);
  EXPECT_EQ(keys.key_down(1, ViewPage::PlotData), KeyAction::None);
  keys.key_up();
  // F1 leaves the flag set.
  EXPECT_EQ(keys.key_down(1, ViewPage::LapTimes), KeyAction::ShowGuide);
  EXPECT_EQ(keys.key_down(5, ViewPage::TrackMap), KeyAction::ZoomIn);
  keys.key_up();
  const struct {
    int key;
    ViewPage page;
    KeyAction action;
  } cases[] = {
      {2, ViewPage::PlotData, KeyAction::ZoomBoxHeld},
      {3, ViewPage::GCircle, KeyAction::PanHeld},
      {4, ViewPage::PlotData, KeyAction::ZoomOut},
      {6, ViewPage::DataANotes, KeyAction::MarkersOn},
      {7, ViewPage::LapTimes, KeyAction::MarkersOff},
      {9, ViewPage::TrackMap, KeyAction::Full},
      {9, ViewPage::DataBNotes, KeyAction::None},
      {8, ViewPage::PlotData, KeyAction::None},
      {0, ViewPage::PlotData, KeyAction::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(keys.key_down(c.key, c.page), c.action) << c.key;
    EXPECT_FALSE(keys.ready());
    keys.key_up();
  }
  EXPECT_EQ(std::string(kFunctionKeyGuide).substr(0, 23), "Function Key Guide:\r\rF1");
}

TEST(ViewerZoom, ZoomAndPanTables) {
  const auto plot = plot_zoom_pan_choices();
  ASSERT_EQ(plot.size(), 9u);
  EXPECT_STREQ(plot[6].item, "Pan Axis 2 Horiz Only");
  EXPECT_FALSE(plot[6].layer1);
  EXPECT_TRUE(plot[6].layer2);
  EXPECT_EQ(plot[6].mode, MouseMode::PanHorizontal);
  EXPECT_EQ(plot[0].mode, MouseMode::CrossHairDrag);
  EXPECT_EQ(track_zoom_choices()[0].mode, MouseMode::None);
  EXPECT_STREQ(g_circle_zoom_choices()[2].item, "Pan XY");
}

}  // namespace
}  // namespace ardenvis::core
