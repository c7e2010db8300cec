#include "sim/simulated_port.h"

namespace ardenvis::sim {

bool SimulatedPort::open(const core::LineSettings& settings) {
  last_settings_ = settings;
  if (!available_ports.contains(settings.port)) return false;
  is_open_ = true;
  ++opens_;
  unit_.discard_output();
  return true;
}

uint8_t SimulatedPort::read_byte() {
  ++reads_;
  if (!exchanges_.empty()) ++exchanges_.back().reads_after;
  if (!is_open_ || !unit_.has_output()) {
    ++silent_reads_;
    if (on_silence) on_silence(50);
    return 0;
  }
  return unit_.take_output();
}

void SimulatedPort::write_byte(uint8_t byte) {
  exchanges_.push_back({byte, 0});
  if (is_open_) unit_.receive(byte);
}

}  // namespace ardenvis::sim
