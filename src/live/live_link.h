#pragma once
// Where the live windows' link to the unit stands, and what their three link
// lamps ("COM Port OK", "PL2 Connected", "No Valid Data") show of it. A value
// on a live window is the unit's only while frames come in: in any other
// state the windows show no value at all ("NA", gauges at rest), so an old
// frame never passes for a live one.

namespace ardenvis::core {

enum class LiveLinkState {
  NotPolling,  // the window has just opened, or "Disconnect" stopped the poll
  NoPort,      // no port is open: nothing is sent
  NoReply,     // the unit did not answer the poll with a frame
  Receiving,   // the last poll brought a frame
};

// The state one poll leaves.
LiveLinkState poll_state(bool port_open, bool frame_received);

struct LinkLamps {
  bool com_port_ok = false;
  bool pl2_connected = false;
  bool no_valid_data = false;
};
LinkLamps link_lamps(LiveLinkState state, bool port_open);

// Whether the values of the last frame may stay on show.
inline bool values_are_live(LiveLinkState state) { return state == LiveLinkState::Receiving; }

}  // namespace ardenvis::core
