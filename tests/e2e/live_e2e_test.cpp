// ardenvis-cli live against pelorant-sim on a pseudo-terminal, paced at
// 115200 baud: frames of a running car, the system check's view, a longer L,
// a unit that falls silent.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "e2e/sim_process.h"

namespace ardenvis {
namespace {

using testing::SimProcess;

std::string run_live(const std::string& arguments, int& status) {
  std::string output;
  FILE* pipe =
      popen((std::string(ARDENVIS_CLI_PATH) + " live " + arguments + " 2>&1").c_str(), "r");
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int raw = pipe ? pclose(pipe) : -1;
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

size_t count_of(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class LiveE2e : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::use_private_port_directory(); }
};

TEST_F(LiveE2e, DisplayFramesOfARunningCar) {
  SimProcess sim(4, {"--live-length", "25"});
  int status = -1;
  const std::string out = run_live("--port COM4 --count 3", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(count_of(out, "(L = 25)"), 3u) << out;  // the extra bytes kept every frame in step
  EXPECT_EQ(count_of(out, "Engine RPM: "), 3u) << out;
  EXPECT_NE(out.find("Speed (MPH): "), std::string::npos) << out;
  EXPECT_NE(out.find("\"Logger On\""), std::string::npos) << out;
  EXPECT_NE(out.find("shift lights: pairs 5:"), std::string::npos) << out;
}

TEST_F(LiveE2e, SystemCheckOfALoggerWithoutOnBoardChannels) {
  SimProcess sim(4, {"--live-model", "logger", "--live-units", "kmh,bar"});
  int status = -1;
  const std::string out = run_live("--port COM4 --system", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("(L = 61)"), std::string::npos) << out;
  EXPECT_NE(out.find("On-Board Ch1: NA"), std::string::npos) << out;
  EXPECT_NE(out.find("Sensor Ch9: NA"), std::string::npos) << out;
  EXPECT_NE(out.find("Speed (KMH): "), std::string::npos) << out;
  EXPECT_NE(out.find("Oil Pressure (Bar): "), std::string::npos) << out;
  EXPECT_NE(out.find("\"GPS Module Connected\""), std::string::npos) << out;
}

TEST_F(LiveE2e, AUnitThatFallsSilent) {
  SimProcess sim(4, {"--live-silent-after", "1"});
  int status = -1;
  const std::string out = run_live("--port COM4 --count 3 --system", status);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("frame 1 (L = 66)"), std::string::npos) << out;
  EXPECT_NE(out.find("frame 3: No Valid Data"), std::string::npos) << out;
  EXPECT_NE(out.find("RPM: NA"), std::string::npos) << out;
}

TEST_F(LiveE2e, NoSuchPort) {
  int status = -1;
  const std::string out = run_live("--port COM8", status);
  EXPECT_NE(status, 0) << out;
}

}  // namespace
}  // namespace ardenvis
