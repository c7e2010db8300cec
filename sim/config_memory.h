#pragma once
// The unit's configuration memories as the program reaches them: the EEPROM
// ("r" read, "w" write), bank 0 of the byte-wise memory, the FRAM ("g" read,
// "s" write), the memory size query of newer firmware ("a") and the CAN
// module query ("m"). What is written is kept, so a read after a write gives
// it back. Faults: a non-zero acknowledgement at a chosen address, a unit
// that falls silent after a number of configuration replies, and replies
// corrupted on their way at chosen addresses.

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "sim/simulated_unit.h"

namespace ardenvis::sim {

// A module on the unit's CAN bus, as the "m" query reports it.
struct CanModule {
  int slot;  // 0..15
  uint8_t type;
  uint8_t version_major;
  uint8_t version_minor;
  uint16_t count;  // 0: present but not listed by the program
};

struct ConfigMemoryOptions {
  int fail_eeprom_write_at = -1;  // EEPROM address whose write is acknowledged non-zero
  int fail_fram_write_at = -1;    // FRAM address likewise
  long silent_after = -1;         // configuration replies before the unit falls silent
  // Address -> what its next reads bring instead of the byte, one entry per
  // read (a flipped bit: {byte ^ 0x08}; a noise byte in front: {0x55, byte};
  // a lost reply: {}). Later reads bring the byte again.
  std::map<int, std::vector<std::vector<uint8_t>>> eeprom_reply_faults;
  std::map<int, std::vector<std::vector<uint8_t>>> fram_reply_faults;  // bank 0, "g"
  std::vector<CanModule> modules{{0, 0x80, 4, 22, 310}, {2, 0x84, 1, 5, 57}, {5, 0x86, 2, 1, 0}};
  std::array<uint8_t, 5> can_statistics{0, 1, 2, 0, 7};  // FRAM 35..39: BO, BU, RE, TE, CS
};

class ConfigMemory {
 public:
  // Installs "r", "w", "g" (bank 0; other banks and the lite logger's pointer
  // stay with the log memory), "s", "a" and "m" in the unit. The EEPROM is the
  // log memory's configuration bytes, so the log exchanges read the same.
  ConfigMemory(SimulatedUnit& unit, std::array<uint8_t, 256>& eeprom);

  ConfigMemoryOptions& options() { return options_; }
  std::array<uint8_t, 256>& eeprom() { return eeprom_; }
  std::array<uint8_t, 256>& fram() { return fram_; }
  // Writes acknowledged, by command.
  int eeprom_writes() const { return eeprom_writes_; }
  int fram_writes() const { return fram_writes_; }
  // Addresses written, in order, for each memory.
  const std::vector<int>& eeprom_written() const { return eeprom_written_; }
  const std::vector<int>& fram_written() const { return fram_written_; }

 private:
  void install();
  void reply(uint8_t byte);
  // The reply to a read of `address`, or the fault due in its place.
  void reply_read(std::map<int, std::vector<std::vector<uint8_t>>>& faults, int address,
                  uint8_t byte);

  SimulatedUnit& unit_;
  std::array<uint8_t, 256>& eeprom_;
  std::array<uint8_t, 256> fram_{};
  ConfigMemoryOptions options_;
  long replies_ = 0;
  int eeprom_writes_ = 0;
  int fram_writes_ = 0;
  std::vector<int> eeprom_written_;
  std::vector<int> fram_written_;
};

}  // namespace ardenvis::sim
