// The simulated unit's live-data answers: a car that runs, the frame each
// model sends, and the faults a test can switch on.

#include <gtest/gtest.h>

#include <set>

#include "link/commands.h"
#include "link/unit_session.h"
#include "live/live_frame.h"
#include "live/system_check.h"
#include "live/virtual_display.h"
#include "sim/live_frames.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"

namespace ardenvis::sim {
namespace {

using core::FrameReader;

struct SimBench {
  SimulatedUnit unit;
  SimulatedPort port{unit};
  testing::ScriptedHost host;
  core::UnitLink link;
  double t = 0;
  SimBench() {
    link.port = &port;
    core::open_serial_port(link, 1);
    unit.live_frames().set_clock([this] { return t; });
  }
  LiveOptions& options() { return unit.live_frames().options(); }
};

TEST(LiveFramesSim, EachModelSendsItsLength) {
  const std::pair<LiveModel, int> cases[] = {
      {LiveModel::Dash, 22}, {LiveModel::Logger, 61}, {LiveModel::OnBoard, 66}};
  for (auto [model, length] : cases) {
    SimBench bench;
    bench.options().model = model;
    auto frame = core::poll_live_frame(bench.link, bench.host, FrameReader::SystemCheck);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->length(), length);
    EXPECT_FALSE(bench.unit.has_output());
    const core::SystemCheckView v = core::system_check_view(*frame);
    EXPECT_EQ(v.lamp(core::CheckLamp::GpsModule), model != LiveModel::Dash);
    EXPECT_EQ(v.on_board[0] != "NA", model == LiveModel::OnBoard);
  }
}

TEST(LiveFramesSim, TheCarRuns) {
  SimBench bench;
  std::set<std::string> gears;
  int lowest = 99999, highest = 0, fixes = 0, no_fixes = 0, shift_top = 0;
  for (int i = 0; i < 600; ++i) {  // two minutes at five frames a second
    bench.t = i * 0.2;
    auto frame = core::poll_live_frame(bench.link, bench.host, FrameReader::SystemCheck);
    ASSERT_TRUE(frame);
    const auto dash = core::build_dashboard(core::dashboard_inputs(*frame));
    const int rpm = frame->word(core::frame_byte::rpm);
    lowest = std::min(lowest, rpm);
    highest = std::max(highest, rpm);
    gears.insert(dash.gear_text);
    shift_top += dash.shift_top;
    const auto check = core::system_check_view(*frame);
    (check.lamp(core::CheckLamp::GpsDataValid) ? fixes : no_fixes)++;
    EXPECT_GT((*frame)[core::frame_byte::road_speed], 20);
    EXPECT_GT((*frame)[core::frame_byte::battery], 120);
  }
  EXPECT_LT(lowest, 5500);
  EXPECT_GT(highest, 6900);
  EXPECT_GE(gears.size(), 4u);
  EXPECT_GT(shift_top, 0);
  EXPECT_GT(fixes, 400);
  EXPECT_GT(no_fixes, 10);
}

TEST(LiveFramesSim, LengthUnitsSilenceAndTruncation) {
  SimBench bench;
  bench.options().model = LiveModel::Dash;
  bench.options().length = 25;
  bench.options().display_units = 1 << 3;
  auto frame = core::poll_live_frame(bench.link, bench.host, FrameReader::VirtualDisplay);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->length(), 25);
  EXPECT_FALSE(bench.unit.has_output());
  EXPECT_EQ(
      core::build_dashboard(core::dashboard_inputs(*frame)).gauge(core::Gauge::OilPressure).unit,
      "Bar");

  bench.options().length = -1;
  bench.options().truncate_after = 5;
  const long silent_before = bench.port.silent_reads();
  // A frame cut short is no data, and costs one time-out, not one per byte.
  EXPECT_FALSE(core::poll_live_frame(bench.link, bench.host, FrameReader::VirtualDisplay));
  EXPECT_EQ(bench.port.silent_reads() - silent_before, 1 + 1);  // the silent line before "u"

  bench.options().truncate_after = -1;
  bench.options().silent_after = bench.unit.live_frames().polls() + 1;
  EXPECT_TRUE(core::poll_live_frame(bench.link, bench.host, FrameReader::VirtualDisplay));
  EXPECT_FALSE(core::poll_live_frame(bench.link, bench.host, FrameReader::VirtualDisplay));
}

TEST(LiveFramesSim, Options) {
  const char* args[] = {"sim",      "--live-model",    "logger", "--live-units",
                        "kmh,degf", "--live-truncate", "7",      "--live-length",
                        "300",      "--port"};
  char* argv[std::size(args)];
  for (size_t i = 0; i < std::size(args); ++i) argv[i] = const_cast<char*>(args[i]);
  const int argc = static_cast<int>(std::size(args));
  LiveOptions options;
  bool error = false;
  int i = 1;
  EXPECT_TRUE(take_live_option(argc, argv, i, options, error));
  EXPECT_EQ(options.model, LiveModel::Logger);
  i = 3;
  EXPECT_TRUE(take_live_option(argc, argv, i, options, error));
  EXPECT_EQ(options.display_units, (1 << 2) | (1 << 4));
  i = 5;
  EXPECT_TRUE(take_live_option(argc, argv, i, options, error));
  EXPECT_EQ(options.truncate_after, 7);
  EXPECT_EQ(i, 6);
  EXPECT_FALSE(error);
  i = 7;
  EXPECT_TRUE(take_live_option(argc, argv, i, options, error));
  EXPECT_TRUE(error);  // L is one byte
  i = 9;
  error = false;
  EXPECT_FALSE(take_live_option(argc, argv, i, options, error));
  EXPECT_FALSE(error);
}

}  // namespace
}  // namespace ardenvis::sim

namespace ardenvis::sim {
namespace {

// A reply that comes late and is cut short runs into the replies of the polls
// after it: the frame then read holds bytes of two frames, and only the bytes
// still on the line after it tell. Every frame shown is the unit's own.
TEST(LiveFramesSim, ALateReplyCutShortNeverShowsAsAFrame) {
  for (FrameReader reader : {FrameReader::VirtualDisplay, FrameReader::SystemCheck}) {
    SimBench bench;
    bench.t = 3.0;
    const auto clean = core::poll_live_frame(bench.link, bench.host, reader);
    ASSERT_TRUE(clean);
    // Each poll reads the line twice (silent before "u", then "V"); the reply
    // ends its pause inside the eighth read, a "V" read.
    bench.unit.pause_output(375);
    bench.options().truncate_after = 15;
    EXPECT_FALSE(core::poll_live_frame(bench.link, bench.host, reader));
    bench.options().truncate_after = -1;
    int frames = 0;
    for (int poll = 0; poll < 20; ++poll) {
      const auto frame = core::poll_live_frame(bench.link, bench.host, reader);
      if (!frame) continue;
      ++frames;
      EXPECT_EQ(frame->bytes, clean->bytes) << "poll " << poll;
    }
    EXPECT_GT(frames, 10);
  }
}

}  // namespace
}  // namespace ardenvis::sim
