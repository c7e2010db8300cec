#pragma once
// The unit's live-data frame: the reply to the poll "u" outside a block read
// is "V" (86), then L (the number of bytes that follow), then the data bytes.
// The virtual display uses the first 22 of them; the system check reads 61,
// or 66 when the unit has on-board channels.

#include <array>
#include <cstdint>
#include <optional>

#include "common/host.h"
#include "state/unit_link.h"

namespace ardenvis::core {

inline constexpr int kDisplayFrameLength = 22;  // the dashboard's values
inline constexpr int kSystemFrameLength = 61;   // + inputs, modules, GPS, sensors
inline constexpr int kOnBoardFrameLength = 66;  // + four on-board channels and their marker

// Byte numbers of the frame (0 is L).
namespace frame_byte {
inline constexpr int road_speed = 1;
inline constexpr int rpm = 2;  // 2 bytes, low first
inline constexpr int gear = 4;
inline constexpr int oil_pressure = 5;
inline constexpr int aux_pressure = 6;
inline constexpr int oil_temperature = 7;
inline constexpr int water_temperature = 8;
inline constexpr int fuel = 9;
inline constexpr int g_first = 10;
inline constexpr int g_second = 11;
inline constexpr int battery = 12;  // volts x 10
inline constexpr int unit_flags = 13;
inline constexpr int alarm_flags = 14;
inline constexpr int indicator_flags = 15;  // also the dash light inputs
inline constexpr int shift_point = 16;      // RPM / 100
inline constexpr int shift_step = 17;       // RPM / 100 per lamp pair
inline constexpr int oil_pressure_alarm = 18;
inline constexpr int aux_pressure_alarm = 19;
inline constexpr int oil_temperature_alarm = 20;
inline constexpr int water_temperature_alarm = 21;
inline constexpr int fuel_alarm = 22;
inline constexpr int external_inputs = 23;
inline constexpr int equipment = 24;
inline constexpr int latitude = 25;   // 4 bytes, low first
inline constexpr int longitude = 29;  // 4 bytes, low first
inline constexpr int gps_speed = 33;
inline constexpr int gps_status = 34;
inline constexpr int time_of_day = 35;  // hours, minutes, seconds
inline constexpr int date = 38;         // three numbers
inline constexpr int satellites = 41;
inline constexpr int altitude = 42;       // 2 bytes, low first; bit 15 set = positive
inline constexpr int first_sensors = 44;  // channels 1..8
inline constexpr int gear_module = 52;
inline constexpr int speed_channels = 53;
inline constexpr int second_sensors = 54;  // channels 9..16
inline constexpr int on_board = 62;        // channels 1..4
inline constexpr int on_board_marker = 66;
}  // namespace frame_byte

// Unit flag bits (byte 13).
namespace unit_flag {
inline constexpr int g_first_positive = 0;
inline constexpr int g_second_positive = 1;
inline constexpr int kmh = 2;
inline constexpr int bar = 3;
inline constexpr int degf = 4;
inline constexpr int logger_running = 5;
inline constexpr int brake = 6;
}  // namespace unit_flag

inline bool bit_set(uint8_t byte, int bit) { return (byte >> bit) & 1; }

// The bytes of one frame as read: index 0 is L, 1..66 the data. Bytes the
// frame did not carry read 0.
struct LiveFrame {
  std::array<uint8_t, kOnBoardFrameLength + 1> bytes{};

  int length() const { return bytes[0]; }
  uint8_t operator[](int i) const {
    return i >= 0 && i < static_cast<int>(bytes.size()) ? bytes[static_cast<size_t>(i)] : 0;
  }
  uint16_t word(int i) const { return static_cast<uint16_t>((*this)[i] | ((*this)[i + 1] << 8)); }
  uint32_t dword(int i) const {
    return static_cast<uint32_t>(word(i)) | (static_cast<uint32_t>(word(i + 2)) << 16);
  }
};

// What a poll reads of the frame: the display its 22 bytes, the system check
// 61 and, when L says so, the 5 bytes of the on-board channels. Whatever L
// announces beyond that is read and dropped, so the next poll starts in step.
enum class FrameReader { VirtualDisplay, SystemCheck };

// How many data bytes the reader keeps of a frame announcing `length`, and how
// many it then reads and drops. A frame shorter than the reader's layout is
// read to its announced length only: waiting for bytes the unit said it would
// not send would only stall the window, and the fields it lacks read 0.
struct FrameExtent {
  int kept = 0;
  int dropped = 0;
};
FrameExtent frame_extent(FrameReader reader, int length);

// One live-data poll: once the line is silent, write "u" and read one byte;
// anything but "V" (or silence) gives no frame. Then reads the frame as the
// reader does; a time-out inside it gives no frame, and the poll ends there.
// The line must be silent after the frame, or it was not one frame: no frame.
// No handshake comes before it.
std::optional<LiveFrame> poll_live_frame(UnitLink& link, Host& host, FrameReader reader);

}  // namespace ardenvis::core
