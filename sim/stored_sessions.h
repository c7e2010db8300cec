#pragma once
// Fills the simulated unit's log memory with synthesised sessions: the flash
// loggers' sessions, oldest first, each logged on a different hour, and the
// lite logger's single-channel recording taken from a synthesised session.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/log_memory.h"
#include "sim/session_synth.h"

namespace ardenvis::sim {

struct SessionSetup {
  int sessions = 3;         // flash sessions to store (more than 16 wrap the slots)
  int laps = 3;             // laps of each session
  size_t newest_bytes = 0;  // above 0: the newest session is cut to this size
  uint8_t sample_rate = 10;
};

// Stores the sessions; returns what was synthesised, oldest first.
std::vector<SynthesisedSession> store_synthesised_sessions(LogMemory& memory,
                                                           const SessionSetup& setup);

// The bytes a lite logger records of a session on `channel` (0 oil pressure,
// 1 engine speed, 2 road speed, 3 lap distance: one byte a sample on channel 0,
// two on the others), at most max_bytes.
std::vector<uint8_t> lite_recording(const SynthesisedSession& session, int channel,
                                    size_t max_bytes);

}  // namespace ardenvis::sim
