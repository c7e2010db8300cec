#include "sim/stored_sessions.h"

#include "logger/decoder.h"

namespace ardenvis::sim {

std::vector<SynthesisedSession> store_synthesised_sessions(LogMemory& memory,
                                                           const SessionSetup& setup) {
  std::vector<SynthesisedSession> made;
  for (int i = 0; i < setup.sessions; ++i) {
    SessionOptions options;
    options.sample_rate = setup.sample_rate;
    options.laps = setup.laps + i % 3;
    options.seed = static_cast<uint32_t>(i + 1);
    if (i == setup.sessions - 1) options.size_target = setup.newest_bytes;
    SynthesisedSession session = synthesise_session(options);
    StoredSession stored;
    stored.bytes = session.bytes;
    stored.sample_rate = session.sample_rate;
    stored.hour = static_cast<uint8_t>(9 + i % 10);
    stored.minute = static_cast<uint8_t>((i * 17) % 60);
    stored.day = static_cast<uint8_t>(12 + i / 10);
    stored.month = 5;
    stored.recorded_duration_s =
        static_cast<uint16_t>(session.samples / (session.sample_rate ? session.sample_rate : 10));
    memory.store_session(stored);
    made.push_back(std::move(session));
  }
  return made;
}

std::vector<uint8_t> lite_recording(const SynthesisedSession& session, int channel,
                                    size_t max_bytes) {
  std::vector<uint8_t> bytes;
  const std::vector<uint8_t>& stream = session.bytes;
  size_t at = 0;
  while (at + 2 <= stream.size() && bytes.size() + 2 <= max_bytes) {
    const core::RecordHeader h = core::read_record_header(&stream[at]);
    if (at + static_cast<size_t>(h.length) > stream.size()) break;
    if (h.record_id == 1 && h.data_count >= 11) {
      auto p = [&](int k) { return stream[at + 1 + static_cast<size_t>(h.extended + k - 1)]; };
      switch (channel) {
        case 0:
          bytes.push_back(p(7));
          break;
        case 1:
          bytes.insert(bytes.end(), {static_cast<uint8_t>(p(5) & 0x7F), p(6)});
          break;
        case 2:
          bytes.insert(bytes.end(), {static_cast<uint8_t>(p(3) & 0x3F), p(4)});
          break;
        default:
          bytes.insert(bytes.end(), {p(10), p(11)});
          break;
      }
    }
    if (h.record_id == 0) break;
    at += static_cast<size_t>(h.length);
  }
  return bytes;
}

}  // namespace ardenvis::sim
