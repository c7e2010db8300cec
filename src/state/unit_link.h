#pragma once
// The one serial port the program shares, the user's choice of it and what the
// last handshake learned about the unit.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

#include "common/host.h"

namespace ardenvis::core {

// The serial device the link drives (link/byte_link.h); the state only holds it.
class SerialDevice;

// Values learned by the last handshake; overwritten by each one.
struct UnitValues {
  uint8_t version_major = 0;
  uint8_t version_minor = 0;
  uint16_t version_number = 0;  // major * 100 + minor
  uint16_t unit_type = 0;       // 1 and 5 flash loggers, 2 lite logger
};

// Identity reply as read by a handshake that asks "i" before the version.
struct IdentityReply {
  uint16_t unit_type = 0;
  uint16_t identity_word = 0;
  uint16_t distance_factor = 0;
  uint16_t third_word = 0;
  uint8_t identity_bytes[5] = {};
};

// The shared port and the user's choice of it.
struct UnitLink {
  SerialDevice* port = nullptr;    // created once at start-up, never replaced
  uint8_t serial_port_number = 1;  // 0 = none, 1..9 = COM1..COM9
  bool serial_port_open = false;
  UnitValues unit;
  IdentityReply last_identity;  // the identity reply a handshake read before "x"

  // Every read first lets the user interface process its events, so windows
  // repaint and cancel buttons and timers act in the middle of an exchange.
  uint8_t read(Host& host);
  // The same read, telling a time-out apart from a received byte.
  std::optional<uint8_t> try_read(Host& host);
  void write(uint8_t byte);
  void write(std::initializer_list<uint8_t> bytes);  // one request, one write
  void drain(Host& host, int count);
  // Reads and drops until the line has been silent for one read time-out, so
  // that whatever a paused unit still had to send is gone before the next
  // request. Gives up after max_bytes or as soon as give_up() says so (a
  // cancel or a watchdog). True when the line went silent.
  bool drain_until_silent(Host& host, long max_bytes, const std::function<bool()>& give_up = {});
};

}  // namespace ardenvis::core
