// ardenvis-cli track: the normalised track of a lap of a saved session.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>

#include "e2e/run_command.h"
#include "files/log_file.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis {
namespace {

namespace fs = std::filesystem;

using testing::run_command;

struct Point {
  double x;
  double y;
};
std::vector<Point> points_of(const std::string& output) {
  std::vector<Point> points;
  std::stringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    Point p{};
    if (std::sscanf(line.c_str(), "%lf,%lf", &p.x, &p.y) == 2) points.push_back(p);
  }
  return points;
}

// Signed area over squared perimeter: independent of turn and scale, and of
// opposite sign for a mirror image.
double shape_measure(const std::vector<Point>& p) {
  double area = 0;
  double perimeter = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Point& a = p[i];
    const Point& b = p[(i + 1) % p.size()];
    area += a.x * b.y - b.x * a.y;
    perimeter += std::hypot(b.x - a.x, b.y - a.y);
  }
  return area / 2 / (perimeter * perimeter);
}

class TrackCli : public ::testing::Test {
 protected:
  TrackCli() {
    dir_ = fs::temp_directory_path() / ("ardenvis-e2e-track-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    sim::SessionOptions options;
    options.laps = 3;
    const auto session = sim::synthesise_session(options);
    core::ProgramState state;
    core::DataSet& set = state.current();
    testing::put_downloaded(set, session);
    state.identity.distance_factor = 1000;
    testing::ScriptedHost host;
    core::process_data_packets(state, host);
    lap_ = set.laps.at(1);
    host.queue_save_file(plr());
    core::save_log_data(state, host);
  }
  ~TrackCli() override { fs::remove_all(dir_); }

  std::string plr() const { return (dir_ / "session.plr").string(); }
  std::string track(const std::string& options, int& status) {
    return run_command(std::string(ARDENVIS_CLI_PATH) + " track " + plr() + options, status);
  }

  fs::path dir_;
  core::LapEntry lap_;
};

TEST_F(TrackCli, PrintsTheNormalisedTrackFromGAndFromGps) {
  const std::string which =
      " --session " + std::to_string(lap_.session) + " --lap " + std::to_string(lap_.lap_number);
  int status = -1;
  const std::string from_g = track(which, status);
  ASSERT_EQ(status, 0) << from_g;
  const std::string from_gps = track(which + " --gps", status);
  ASSERT_EQ(status, 0) << from_gps;
  const auto g = points_of(from_g);
  const auto gps = points_of(from_gps);
  // One point per sample of the lap (10 samples a second).
  EXPECT_NEAR(static_cast<double>(g.size()), lap_.lap_time * 10, 2);
  ASSERT_EQ(g.size(), gps.size());
  double largest = 0;
  for (const Point& p : g) {
    ASSERT_GE(p.x, 0);
    ASSERT_GE(p.y, 0);
    largest = std::max({largest, p.x, p.y});
  }
  EXPECT_EQ(largest, 1);
  // "%.6f,%.6f" lines (the load's own message comes first, on stderr).
  EXPECT_TRUE(std::regex_search(from_g, std::regex("\n[01]\\.[0-9]{6},[01]\\.[0-9]{6}\n")))
      << from_g.substr(0, 200);
  // Both draw the circuit the same way round and the same shape.
  EXPECT_NEAR(shape_measure(g) / shape_measure(gps), 1, 0.1);

  // Rotate and shape change the G track, not the GPS one.
  EXPECT_NE(track(which + " --rotate 40 --shape 80", status), from_g);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(track(which + " --gps --rotate 40", status), from_gps);
}

TEST_F(TrackCli, AMissingLapOrBadOptionExitsNonZero) {
  int status = -1;
  std::string out = track(" --session 9 --lap 1", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("No Valid Lap Data Selected"), std::string::npos) << out;
  out = track(" --session 1 --lap 1 --shape 130", status);
  EXPECT_NE(status, 0);
  out = track(" --session 1", status);
  EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace ardenvis
