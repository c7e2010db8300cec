#pragma once
// The simulated unit's answer to the live-data poll: "V", L and the frame of a
// car running on a circuit. Engine speed, road speed and gear follow a lap's
// speed profile; temperatures warm up, pressures follow engine speed, fuel
// runs down; the GPS fix comes and goes; which displays and modules are
// connected depends on the unit's model. Faults: another L, an L that says
// other than follows, a unit that falls silent, a frame cut short.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ardenvis::sim {

// What is fitted to the unit, and so which frame it sends.
enum class LiveModel {
  Dash,     // a dashboard alone: the 22 display bytes
  Logger,   // a logger with GPS, one sensor module and a gear module: 61 bytes
  OnBoard,  // every display and module, and four on-board channels: 66 bytes
};

struct LiveOptions {
  LiveModel model = LiveModel::OnBoard;
  int length = -1;            // L sent (the model's own length when -1); bytes past 66 are 0
  int announced_length = -1;  // an L byte that says this while `length` bytes follow (-1: true)
  int silent_after = -1;      // polls answered before the unit falls silent (-1 never)
  int truncate_after = -1;    // bytes sent after "V" (L included) before the rest is lost
  uint8_t display_units = 0;  // bits 2, 3, 4 of the unit flags: KMH, Bar, degF
};

class LiveFrames {
 public:
  LiveFrames();

  LiveOptions& options() { return options_; }
  // Seconds since the car started; the wall clock unless a test sets its own.
  void set_clock(std::function<double()> clock) { clock_ = std::move(clock); }

  // The bytes answering one poll: "V" then the frame, or less for a fault.
  std::vector<uint8_t> reply();
  // The frame (L first) of the car at time t seconds.
  std::vector<uint8_t> frame_at(double t) const;
  int polls() const { return polls_; }

 private:
  LiveOptions options_;
  std::function<double()> clock_;
  int polls_ = 0;
};

const char* live_model_name(LiveModel model);
// pelorant-sim's live-data options; true when argv[i] was one of them (i then
// points at its last argument). `error` is set on a bad value.
bool take_live_option(int argc, char** argv, int& i, LiveOptions& options, bool& error);
extern const char* const kLiveOptionsUsage;

}  // namespace ardenvis::sim
