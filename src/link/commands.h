#pragma once
// Command bytes of the unit's serial protocol.

#include <cstdint>

namespace ardenvis::core::command {

inline constexpr uint8_t wake = 'q';               // sent twice to open every handshake
inline constexpr uint8_t status = 'p';             // 1 byte status reply
inline constexpr uint8_t version = 'x';            // major, minor, 4 more bytes
inline constexpr uint8_t identity = 'i';           // 16 bytes (the index read takes 20)
inline constexpr uint8_t memory_type = 'h';        // 1 byte memory code
inline constexpr uint8_t flash_memory_type = 'a';  // 2 bytes, firmware 423 and above
inline constexpr uint8_t logger_status = 'l';      // 1 byte of flags
inline constexpr uint8_t read_memory = 'g';        // bank, address -> 1 byte
inline constexpr uint8_t read_config = 'r';        // address -> 1 byte
inline constexpr uint8_t write_config = 'w';       // address, value -> 1 byte result
inline constexpr uint8_t write_memory = 's';       // 0, address, value -> 1 byte result
inline constexpr uint8_t can_module = 'm';         // 128 + n -> type byte, 4 or 2 more
inline constexpr uint8_t erase = 'z';              // 1 byte, 0 = done
inline constexpr uint8_t block_start = 'o';        // page lo/hi, offset lo/hi -> 1 byte
inline constexpr uint8_t next_block = 'f';         // 254 -> 254 data + XOR
inline constexpr uint8_t resend_block = 'u';       // inside a block read: same block again
inline constexpr uint8_t live_poll = 'u';          // outside a transfer: "V" + live frame
inline constexpr uint8_t end_block_read = 'c';     // 1 byte
inline constexpr uint8_t lite_block_read = 'j';    // addr lo/hi, 254 -> 254 data + XOR
inline constexpr uint8_t write_block = 't';        // 254, 254 data, XOR -> 1 byte

inline constexpr uint8_t block_length = 254;
// What a unit that paused inside a block can still owe is the rest of that
// block; a line that keeps talking for four blocks' worth is not settling.
inline constexpr long block_drain_limit = 4 * (block_length + 1);
inline constexpr uint8_t status_ready = 85;  // "U"
inline constexpr uint8_t live_reply = 86;    // "V"

}  // namespace ardenvis::core::command
