#pragma once
// The unit's configuration as the program holds it: byte-exact images of the
// unit's EEPROM block and of the part of its FRAM the program uses, the raw
// copies the last read or file load staged, and the CAN statistics of the
// last read. Lives for the whole run; the configuration window owns it.

#include <array>
#include <cstdint>
#include <span>

namespace ardenvis::core {

inline constexpr int kEepromBytes = 160;
inline constexpr int kFramBytes = 120;
inline constexpr int kCanStatisticsBytes = 5;
inline constexpr int kConfigBufferBytes = 2 * kEepromBytes + 2 * kFramBytes + kCanStatisticsBytes;
static_assert(kConfigBufferBytes == 565);

// One buffer of 565 bytes, zero at start, in this order: EEPROM image, EEPROM
// staging copy, FRAM image, FRAM staging copy, CAN statistics (BO, BU, RE, TE, CS).
struct ConfigBuffer {
  std::array<uint8_t, kConfigBufferBytes> bytes{};

  std::span<uint8_t, kEepromBytes> eeprom() { return area<0, kEepromBytes>(); }
  std::span<uint8_t, kEepromBytes> eeprom_staging() { return area<kEepromBytes, kEepromBytes>(); }
  std::span<uint8_t, kFramBytes> fram() { return area<2 * kEepromBytes, kFramBytes>(); }
  std::span<uint8_t, kFramBytes> fram_staging() {
    return area<2 * kEepromBytes + kFramBytes, kFramBytes>();
  }
  std::span<uint8_t, kCanStatisticsBytes> can_statistics() {
    return area<2 * kEepromBytes + 2 * kFramBytes, kCanStatisticsBytes>();
  }
  std::span<const uint8_t, kEepromBytes> eeprom() const { return area<0, kEepromBytes>(); }
  std::span<const uint8_t, kEepromBytes> eeprom_staging() const {
    return area<kEepromBytes, kEepromBytes>();
  }
  std::span<const uint8_t, kFramBytes> fram() const { return area<2 * kEepromBytes, kFramBytes>(); }
  std::span<const uint8_t, kFramBytes> fram_staging() const {
    return area<2 * kEepromBytes + kFramBytes, kFramBytes>();
  }
  std::span<const uint8_t, kCanStatisticsBytes> can_statistics() const {
    return area<2 * kEepromBytes + 2 * kFramBytes, kCanStatisticsBytes>();
  }

 private:
  template <size_t Offset, size_t Count>
  std::span<uint8_t, Count> area() {
    return std::span<uint8_t, Count>(bytes.data() + Offset, Count);
  }
  template <size_t Offset, size_t Count>
  std::span<const uint8_t, Count> area() const {
    return std::span<const uint8_t, Count>(bytes.data() + Offset, Count);
  }
};

// Everything the configuration keeps beside the editor's own fields.
struct ConfigState {
  ConfigBuffer buffer;
  // The unit's software version as the last read or write found it.
  uint8_t version_major = 0;
  uint8_t version_minor = 0;
  uint16_t version_number = 0;  // major * 100 + minor
  // The unit's memory size in hundredths of a megabit: 865, 1730, 6920 or 0.
  uint16_t memory_size_code = 0;
  // Speed sensor pulses per wheel revolution (1, 2 or 4) as the list last set
  // it; 0 until a list choice or a decode sets it (then written as 1).
  uint8_t pulses_per_rev_code = 0;
  // Set only by the odometer password window; lets an upload write the odometer.
  bool odometer_overwrite = false;
  // Set to 1 by every field check that fails; cleared only before the checks
  // of an activation, upload, save, and between the two decoding passes.
  uint8_t range_error = 0;
};

}  // namespace ardenvis::core
