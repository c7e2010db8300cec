#pragma once
// A slot holding a synthesised session's raw bytes as a download leaves them,
// not yet decoded, from a unit whose log data files the program accepts.

#include <cstdint>

#include "sim/session_synth.h"
#include "state/data_set.h"

namespace ardenvis::testing {

inline void put_downloaded(core::DataSet& set, const sim::SynthesisedSession& session) {
  set.raw = session.bytes;
  set.held_byte_count = static_cast<uint32_t>(set.raw.size());
  set.info.raw_byte_count = set.held_byte_count;
  set.info.sample_rate = session.sample_rate;
  set.info.firmware_major = 4;
  set.info.firmware_minor = 22;
  set.download_state = 1;
}

}  // namespace ardenvis::testing
