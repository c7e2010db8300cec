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

std::optional<uint8_t> SimulatedPort::try_read_byte() {
  constexpr int kReadTimeout_ms = 50;
  ++reads_;
  if (!exchanges_.empty()) ++exchanges_.back().reads_after;
  const int pause = is_open_ && unit_.has_output() ? unit_.pause_due() : 0;
  if (pause > 0 && pause < kReadTimeout_ms) {
    // The pause ends within the read's time-out: the byte comes, late.
    unit_.pause_elapsed(pause);
    if (on_silence) on_silence(pause);
  }
  if (!is_open_ || !unit_.has_output() || unit_.pause_due() > 0) {
    ++silent_reads_;
    unit_.pause_elapsed(kReadTimeout_ms);
    if (on_silence) on_silence(kReadTimeout_ms);
    return std::nullopt;
  }
  return unit_.take_output();
}

void SimulatedPort::write_byte(uint8_t byte) {
  exchanges_.push_back({byte, 0});
  if (is_open_) unit_.receive(byte);
}

}  // namespace ardenvis::sim
