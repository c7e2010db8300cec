// Track map: reconstruction from GPS and from G and speed, normalisation, the
// laps that have no track, the drawing's colours and segments, the G circle
// and the G-axis corrections.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/overlay_slots.h"
#include "support/viewer_data_sets.h"
#include "viewer/g_circle.h"
#include "viewer/lap_overlay.h"
#include "viewer/lap_times.h"
#include "viewer/plot_channels.h"
#include "viewer/track_drawing.h"
#include "viewer/track_map.h"

namespace ardenvis::core {
namespace {

using testing::make_overlay_slot;
using testing::metres_per_sample;

constexpr double kPi = std::numbers::pi;

// Signed area over the squared perimeter: the same for a shape however it is
// turned or scaled, and of the opposite sign for its mirror image.
double shape_measure(const TrackCoordinates& t) {
  double area = 0;
  double perimeter = 0;
  const size_t n = t.x.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    area += t.x[i] * t.y[j] - t.x[j] * t.y[i];
    perimeter += std::hypot(t.x[j] - t.x[i], t.y[j] - t.y[i]);
  }
  return area / 2 / (perimeter * perimeter);
}

double span(const std::vector<double>& v) {
  return *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end());
}

// A slot at 10 samples/s going round at 20 m/s with constant lateral G.
void make_round_slot(DataSet& set, double g_tenths, long samples = 400) {
  make_overlay_slot(set, 10, samples, metres_per_sample(2.0),
                    {{0.1 * samples + 0.1, 0.1f * samples, 1}});
  for (long i = 1; i <= samples; ++i) set[Channel::GLat].set(i, g_tenths);
}

TEST(ViewerTrack, HeadingClosureAndShape) {
  EXPECT_EQ(heading_closure(2 * kPi, 100, TrackPlotMode::CircuitLap), 0);
  EXPECT_DOUBLE_EQ(heading_closure(kPi, 100, TrackPlotMode::CircuitLap), kPi / 100);
  EXPECT_DOUBLE_EQ(heading_closure(-kPi, 100, TrackPlotMode::CircuitLap), -kPi / 100);
  EXPECT_EQ(heading_closure(kPi, 100, TrackPlotMode::SprintHill), 0);
  // Shape 125 shrinks each heading change by 100 / 125, 75 grows it.
  EXPECT_DOUBLE_EQ(heading_change(5, 20, 0.1, 125), std::atan(0.5 / 20 * 100 / 125));
  EXPECT_DOUBLE_EQ(heading_change(-5, 20, 0.1, 75), -std::atan(0.5 / 20 * 100 / 75));
  EXPECT_EQ(heading_change(5, 0, 0.1, 100), 0);  // no distance advance, no turn
}

TEST(ViewerTrack, ACircuitLapClosesAndASprintStaysOpen) {
  ProgramState state;
  // 20 m/s, 400 samples: 800 m. g chosen so the heading sum is about 1.5 turns.
  make_round_slot(state.data_sets[0], 10 * 1.5 * 2 * kPi / 400 * 20 / 0.1 / 10);
  const LapSelection lap = select_lap(state, 0, 2);
  ASSERT_EQ(lap.sample_count, 400);
  TrackOptions options;
  const TrackCoordinates closed = processTrackData(state, lap, options);
  ASSERT_TRUE(closed.drawable());
  EXPECT_NEAR(closed.x.front(), closed.x.back(), 0.02);
  EXPECT_NEAR(closed.y.front(), closed.y.back(), 0.02);
  // Closed to one turn: a circle, as wide as it is tall.
  EXPECT_NEAR(span(closed.x), span(closed.y), 0.03);

  options.mode = TrackPlotMode::SprintHill;
  const TrackCoordinates open = processTrackData(state, lap, options);
  ASSERT_TRUE(open.drawable());
  EXPECT_GT(std::hypot(open.x.back() - open.x.front(), open.y.back() - open.y.front()), 0.3);
}

TEST(ViewerTrack, NormalisationScalesTheLongerSideToOne) {
  // Taller than wide: y spans 0..1, x less.
  std::vector<double> x{5, 6, 7};
  std::vector<double> y{10, 14, 12};
  ASSERT_TRUE(normalise_track(x, y));
  EXPECT_EQ(x, (std::vector<double>{0, 0.25, 0.5}));
  EXPECT_EQ(y, (std::vector<double>{0, 1, 0.5}));
  std::vector<double> px{1, 1};
  std::vector<double> py{2, 2};
  EXPECT_FALSE(normalise_track(px, py));
  EXPECT_EQ(px, (std::vector<double>{1, 1}));
}

TEST(ViewerTrack, LapsWithoutATrackDrawNothingAndSayWhy) {
  ProgramState state;
  DataSet& a = state.data_sets[0];
  make_overlay_slot(a, 10, 100, metres_per_sample(0),
                    {{5.0, 0.0f, 1}, {5.1, 0.1f, 2}, {9.0, 3.0f, 3}});
  const struct {
    int lap;
    TrackSource source;
    const char* problem;
  } cases[] = {
      {0, TrackSource::GData, track_problem::no_samples},    // logged as 0.00 s
      {1, TrackSource::GData, track_problem::no_extent},     // one sample
      {2, TrackSource::GData, track_problem::no_extent},     // standing still
      {2, TrackSource::GpsData, track_problem::no_gps_fix},  // no GPS on this log
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lap);
    TrackOptions options;
    options.source = c.source;
    const TrackCoordinates t = processTrackData(state, select_lap(state, c.lap, 2), options);
    EXPECT_FALSE(t.drawable());
    EXPECT_TRUE(t.x.empty());
    EXPECT_EQ(t.problem, c.problem);
  }
}

TEST(ViewerTrack, GpsSamplesBeforeTheFirstFixTakeTheFirstFixedPosition) {
  ProgramState state;
  DataSet& a = state.data_sets[0];
  make_overlay_slot(a, 10, 20, metres_per_sample(1), {{2.1, 2.0f, 1}});
  // Samples 1..4 before the fix; then a path going north-east.
  for (long i = 5; i <= 20; ++i) {
    a[Channel::GpsLatitude].set(i, 52.0 + 0.0001 * static_cast<double>(i));
    a[Channel::GpsLongitude].set(i, -1.0 + 0.0001 * static_cast<double>(i));
  }
  const TrackCoordinates raw = gps_track(a, 1, 20);
  ASSERT_EQ(raw.size(), 20);
  EXPECT_EQ(raw.y[0], a[Channel::GpsLatitude][5]);
  EXPECT_DOUBLE_EQ(raw.x[0], raw.x[4]);
  TrackOptions options;
  options.source = TrackSource::GpsData;
  const TrackCoordinates t = processTrackData(state, select_lap(state, 0, 2), options);
  ASSERT_TRUE(t.drawable());
  // Longitude is narrowed by cos(latitude): the track is taller than wide.
  EXPECT_DOUBLE_EQ(span(t.y), 1);
  EXPECT_NEAR(span(t.x), std::cos(52.002 * kPi / 180), 1e-6);
}

TEST(ViewerTrack, ALapFromTheLogsFirstSampleStartsStanding) {
  ProgramState state;
  DataSet& a = state.data_sets[0];
  // The odometer reads 5000 m at the first sample, then 2 m a sample.
  make_overlay_slot(a, 10, 50, [](long i) { return 5000 + 2.0 * static_cast<double>(i - 1); },
                    {{5.0, 5.0f, 1}});
  LapSelection lap = select_lap(state, 0, 2);
  ASSERT_EQ(lap.start, 0);  // the lap reaches back before the log
  TrackOptions options;
  options.mode = TrackPlotMode::SprintHill;
  options.rotate = 0;
  const TrackCoordinates t = g_track(a, 1, 50, lap.dt, false, options);
  // No leg of 5000 m: each step is 20 x the 2 m, straight north.
  EXPECT_EQ(t.y[0], 0);
  EXPECT_NEAR(t.y[1], 20, 1e-6);
  EXPECT_NEAR(t.y[49], 20 * 49, 1e-4);
}

TEST(ViewerTrack, TheSynthesisedCircuitLooksTheSameFromGpsAndFromG) {
  ProgramState state;
  ASSERT_TRUE(testing::decode_into(state, DataSetId::A, testing::viewer_session(10, 3, 3), "a"));
  ASSERT_GE(usable_lap_count(state.data_sets[0]), 2);
  const LapSelection lap = select_lap(state, 1, 2);
  TrackOptions gps;
  gps.source = TrackSource::GpsData;
  const TrackCoordinates from_gps = processTrackData(state, lap, gps);
  const TrackCoordinates from_g = processTrackData(state, lap, TrackOptions{});
  ASSERT_TRUE(from_gps.drawable());
  ASSERT_TRUE(from_g.drawable());
  const double gps_shape = shape_measure(from_gps);
  const double g_shape = shape_measure(from_g);
  // The same way round (not mirrored), and about the same shape.
  EXPECT_GT(gps_shape * g_shape, 0);
  EXPECT_NEAR(g_shape / gps_shape, 1, 0.1);
}

TEST(ViewerTrackDrawing, GColoursAndBrakingInBlue) {
  EXPECT_EQ(g_colour(5, 10, -4), 0x00BF00u);   // floor(0.75 x 255) green
  EXPECT_EQ(g_colour(-4, 10, -4), 0x0000FFu);  // full red
  EXPECT_EQ(g_colour(0, 10, 0), 0x00007Fu);    // a lowest G of 0: half red, no failure
  ProgramState state;
  DataSet& a = state.data_sets[0];
  make_round_slot(a, 3, 40);
  a[Channel::Brake].set(20, 50);
  const LapSelection lap = select_lap(state, 0, 2);
  const std::array<LapSelection, 2> both{lap, LapSelection{}};
  const TrackCoordinates t = processTrackData(state, lap, TrackOptions{});
  ASSERT_TRUE(t.drawable());
  TrackDrawOptions options;
  const TrackDrawing d = plotTrackData(state, both, 1, t, options);
  bool blue = false;
  for (const TrackStroke& s : d.map) blue = blue || s.colour == colour::blue;
  EXPECT_TRUE(blue);
  EXPECT_FALSE(d.legend_visible);
  EXPECT_TRUE(d.view_braking_enabled);
  ASSERT_EQ(d.map_dots.size(), 2u);
  EXPECT_EQ(d.map_dots[1].colour, colour::yellow);
  EXPECT_EQ(d.map.front().width, 4);
  // Selection 2 draws dotted on the map while "Selection 2 " is ticked.
  const std::array<LapSelection, 2> second{LapSelection{}, lap};
  EXPECT_TRUE(plotTrackData(state, second, 2, t, options).map.front().dotted);
}

TEST(ViewerTrackDrawing, DeltaSegmentsColourAndWidth) {
  std::array<LapSelection, 2> laps;
  for (LapSelection& l : laps) {
    l.has_lap = true;
    l.split_count = 2;
  }
  laps[0].distance_segment_times = {{20, 30, 40}};
  laps[1].distance_segment_times = {{19, 30, 42}};
  TrackDrawOptions options;
  options.analysis = TrackAnalysis::DeltaSegments;
  DeltaSegments s = delta_segments(laps, options);
  EXPECT_EQ(s.delta, (std::vector<double>{1, 0, -2}));
  EXPECT_EQ(s.width, (std::vector<int>{12, 0, 25}));  // round(|d| / 2 x 25)
  options.delta_width = false;
  EXPECT_EQ(delta_segments(laps, options).width, (std::vector<int>{4, 4, 4}));
  // D = 0: zero-width segments with "Delta Seg Width".
  options.delta_width = true;
  laps[1].distance_segment_times = laps[0].distance_segment_times;
  s = delta_segments(laps, options);
  EXPECT_EQ(s.width, (std::vector<int>{0, 0, 0}));

  // Drawn: green where selection 2 was faster, black where equal, red slower.
  ProgramState state;
  make_round_slot(state.data_sets[0], 3, 60);
  LapSelection lap = select_lap(state, 0, 2);
  lap.distance_split_indexes[0] = 20;
  lap.distance_split_indexes[1] = 40;
  std::array<LapSelection, 2> pair{lap, lap};
  pair[0].distance_segment_times = {{20, 30, 40}};
  pair[1].distance_segment_times = {{19, 30, 42}};
  const TrackCoordinates t = processTrackData(state, lap, TrackOptions{});
  const TrackDrawing d = plotTrackData(state, pair, 1, t, options);
  ASSERT_EQ(d.map.size(), 3u);
  EXPECT_EQ(d.map[0].colour, colour::green);
  EXPECT_EQ(d.map[1].colour, colour::black);
  EXPECT_EQ(d.map[2].colour, colour::red);
  EXPECT_TRUE(d.legend_visible);
  EXPECT_FALSE(d.view_braking_enabled);
  EXPECT_EQ(d.map_dots.size(), 4u);  // two split points, the end and the start
}

TEST(ViewerGCircle, PointsRingsLabelsAndCorrections) {
  ProgramState state;
  DataSet& a = state.data_sets[0];
  make_overlay_slot(a, 10, 6, metres_per_sample(1), {});
  const double lat[] = {3, 3, 3, -5, 3, 0};
  const double brake[] = {0, 0, 1, 0, 0, 0};
  for (long i = 1; i <= 6; ++i) {
    a[Channel::GLat].set(i, lat[i - 1]);
    a[Channel::GLong].set(i, 1);
    a[Channel::Brake].set(i, brake[i - 1]);
  }
  const GCirclePoints p = g_circle_points(a, 1, 6);
  ASSERT_EQ(p.normal.size(), 3u);  // (0.3, 0.1) once, (-0.5, 0.1), (0, 0.1)
  ASSERT_EQ(p.braking.size(), 1u);
  EXPECT_DOUBLE_EQ(p.normal[0].x, 0.3);
  EXPECT_DOUBLE_EQ(p.normal[0].y, 0.1);
  EXPECT_EQ(g_point_colour(0, true), colour::lime);
  EXPECT_EQ(g_point_colour(1, false), colour::purple);
  EXPECT_EQ(g_point_shape(1, true), 10);

  const GPolyline ring = g_circle_ring(2);
  ASSERT_EQ(ring.points.size(), 64u);
  EXPECT_DOUBLE_EQ(ring.points[0].x, 1);
  EXPECT_DOUBLE_EQ(ring.points[63].x, std::cos(6.2));
  const auto labels = g_circle_labels(false);
  ASSERT_EQ(labels.size(), 40u);
  EXPECT_EQ(labels[0].text, "0.5g");
  EXPECT_DOUBLE_EQ(labels[2].x, -0.5 * 0.7071);
  EXPECT_EQ(g_circle_labels(true).back().text, "5.0g");

  // "Change Lat Sign" ticked then unticked restores the data.
  const double before = a[Channel::GLat][4];
  EXPECT_TRUE(toggle_g_axis(a, GAxisToggle::ChangeLatSign));
  EXPECT_EQ(a[Channel::GLat][4], -before);
  EXPECT_TRUE(toggle_g_axis(a, GAxisToggle::ChangeLatSign));
  EXPECT_EQ(a[Channel::GLat][4], before);
  EXPECT_TRUE(toggle_g_axis(a, GAxisToggle::SwapLatLong));
  EXPECT_EQ(a[Channel::GLong][4], before);
  EXPECT_FALSE(toggle_g_axis(state.data_sets[1], GAxisToggle::SwapLatLong));
  EXPECT_FALSE(dash_config_note_visible({}));
  EXPECT_TRUE(dash_config_note_visible({false, false, true}));
}

}  // namespace
}  // namespace ardenvis::core
