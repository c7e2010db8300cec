#pragma once
// The simulated unit behind the SerialDevice interface, in-process: no sleeps,
// silence reads as 0 at once (optionally advancing a fake clock by the 50 ms a
// real time-out would take). Records the traffic for tests.

#include <functional>
#include <set>
#include <vector>

#include "link/byte_link.h"
#include "sim/simulated_unit.h"

namespace ardenvis::sim {

class SimulatedPort : public core::SerialDevice {
 public:
  explicit SimulatedPort(SimulatedUnit& unit) : unit_(unit) {}

  // COM numbers that exist; every other number fails to open.
  std::set<int> available_ports{1};
  // Called with the milliseconds a read waited (50 on every silent read), so a
  // fake clock can move on.
  std::function<void(int ms)> on_silence;

  bool open(const core::LineSettings& settings) override;
  void close() override { is_open_ = false; }
  // Silence (no output, or a pause of the unit's) ends the read at once, as if
  // its 50 ms time-out had passed; a pause takes as many silent reads as it
  // has whole time-outs, and the read in which it ends gets the byte.
  std::optional<uint8_t> try_read_byte() override;
  void write_byte(uint8_t byte) override;

  bool is_open() const { return is_open_; }
  int opens() const { return opens_; }
  const core::LineSettings& last_settings() const { return last_settings_; }
  long reads() const { return reads_; }
  long silent_reads() const { return silent_reads_; }

  // For each byte written: the byte and how many reads followed it before the
  // next write. Tests use it to count drains.
  struct Exchange {
    uint8_t written;
    int reads_after;
  };
  const std::vector<Exchange>& exchanges() const { return exchanges_; }
  void clear_log() { exchanges_.clear(); }

 private:
  SimulatedUnit& unit_;
  bool is_open_ = false;
  int opens_ = 0;
  core::LineSettings last_settings_;
  long reads_ = 0;
  long silent_reads_ = 0;
  std::vector<Exchange> exchanges_;
};

}  // namespace ardenvis::sim
