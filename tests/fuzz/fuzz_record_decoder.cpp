// Any byte stream, any sample rate and calibration: decoding ends in one of its
// messages, never a crash, a hang or a write outside a table.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "logger/decoder.h"
#include "state/program_state.h"
#include "support/scripted_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis;
  if (size < 4) return 0;
  core::ProgramState state;
  state.identity.distance_factor = static_cast<uint16_t>(data[0] * 16);  // 0 included
  state.identity.pulses_per_rev = data[1] & 3;
  state.filter_when_loaded = (data[2] & 1) != 0;
  core::DataSet& set = state.current();
  set.info.sample_rate = data[3];
  set.raw.assign(data + 4, data + size);
  // Sometimes claim more bytes than there are.
  set.info.raw_byte_count = static_cast<uint32_t>(set.raw.size() + ((data[2] & 2) ? 100 : 0));
  testing::ScriptedHost host;
  long cancel_at = (data[2] & 4) ? static_cast<long>(data[2] >> 3) : -1;
  host.on_process_events = [&] {
    if (host.process_event_calls == cancel_at) state.log_cancel = true;
  };
  core::process_data_packets(state, host);
  // Decoding again into the same slot must work from whatever the first left.
  core::process_data_packets(state, host);
  return 0;
}
