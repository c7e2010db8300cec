#include "live/live_link.h"

namespace ardenvis::core {

LiveLinkState poll_state(bool port_open, bool frame_received) {
  if (!port_open) return LiveLinkState::NoPort;
  return frame_received ? LiveLinkState::Receiving : LiveLinkState::NoReply;
}

LinkLamps link_lamps(LiveLinkState state, bool port_open) {
  LinkLamps lamps;
  lamps.com_port_ok = port_open && state != LiveLinkState::NoPort;
  lamps.pl2_connected = lamps.com_port_ok && state == LiveLinkState::Receiving;
  lamps.no_valid_data = lamps.com_port_ok && state == LiveLinkState::NoReply;
  return lamps;
}

}  // namespace ardenvis::core
