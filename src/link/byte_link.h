#pragma once
// The byte pipe to the unit. A read that sees nothing for about 50 ms returns 0:
// the protocol never tells a received zero from silence.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ardenvis::core {

class ByteLink {
 public:
  virtual ~ByteLink() = default;
  // One byte, or nothing when the line stayed silent for the read time-out.
  virtual std::optional<uint8_t> try_read_byte() = 0;
  virtual void write_byte(uint8_t byte) = 0;
  // A request of several bytes goes out as one write, so the unit gets it
  // in one piece and can answer at once.
  virtual void write_bytes(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) write_byte(bytes[i]);
  }

  // The protocol's own view of a read: silence reads as 0.
  uint8_t read_byte() { return try_read_byte().value_or(0); }
};

// Line settings of one open: the unit always gets 115200 8N1, no XON/XOFF,
// DTR off, 50 ms read time-out.
struct LineSettings {
  int port = 1;
  int baud = 115200;
  bool parity = false;
  int data_bits = 8;
  int stop_bits = 1;
  bool xon_xoff = false;
  bool dtr = false;
  int read_timeout_ms = 50;
};

// "COM1: baud=115200 parity=N data=8 stop=1 xon=off TO=ON"; no port prefix for
// port numbers outside 1..9.
std::string line_settings_text(const LineSettings& settings);

// A serial device that can be opened by COM number: the real port, or the
// simulated unit in tests.
class SerialDevice : public ByteLink {
 public:
  // True when the device exists and accepted the line settings.
  virtual bool open(const LineSettings& settings) = 0;
  virtual void close() = 0;
};

}  // namespace ardenvis::core
