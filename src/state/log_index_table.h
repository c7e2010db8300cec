#pragma once
// The unit's log memory and its index of logged sessions as the last index read
// left them: the memory description, the session table and the rows of the
// "Download Data Menu" screen.

#include <array>
#include <cstdint>
#include <string>

namespace ardenvis::core {

inline constexpr int kLogIndexBytes = 241;
inline constexpr int kSessionSlots = 16;
inline constexpr int kRowsPerPage = 8;
// The lite logger's recording starts here; the bytes before hold its settings.
inline constexpr int kLiteFirstLogAddress = 1024;
// Where the lite logger keeps its log pointer (low, high byte) and its sample
// rate in memory bank 0, and its recorded channel among the configuration bytes.
inline constexpr uint8_t kLitePointerLowAddress = 66;
inline constexpr uint8_t kLitePointerHighAddress = 67;
inline constexpr uint8_t kLiteRateAddress = 68;
inline constexpr uint8_t kLiteChannelConfigAddress = 17;

// What the memory code of "h" says about the log memory. Flash loggers have
// pages; the lite logger a byte-addressed memory.
struct MemoryDescription {
  uint16_t page_count = 0;
  uint16_t page_size = 0;
  uint32_t memory_bits = 0;   // lite
  uint16_t last_address = 0;  // lite
};
std::optional<MemoryDescription> flash_memory_description(uint8_t code);
std::optional<MemoryDescription> lite_memory_description(uint8_t code);

// One entry of the session table; entry 1 is the newest session.
struct SessionEntry {
  uint16_t end_page = 0;
  uint16_t end_offset = 0;
  uint16_t start_page = 0;
  uint16_t start_offset = 0;
  int32_t length = 0;  // bytes
  double duration_s = 0;
  uint8_t rate = 10;  // samples per second, 10 or 20
  bool valid = false;
  uint16_t recorded_duration = 0;  // seconds, as the unit recorded it
  std::string date_text;           // "    dd/mm"
  std::string time_text;           // " hhh:mmm" as " %.2dh:%.2dm"
};

// What the "Download Data Menu" shows: eight rows and the memory figures.
struct SessionRow {
  std::string number;
  std::string duration;  // minutes, or "NA"
  std::string size;      // kBytes, or "NA"
  std::string date;
  std::string time;
};
struct IndexScreen {
  std::array<SessionRow, kRowsPerPage> rows;
  std::string total;  // Mbit
  std::string used;   // Mbit
  std::string free;   // per cent
  bool memory_full = false;
};

// Everything the last index read left; overwritten by the next read.
struct LogIndex {
  uint16_t unit_type = 0;  // of the last index read: 1 and 5 flash, 2 lite
  MemoryDescription memory;
  uint8_t status_flags = 0;  // reply to "l"; bit 0 is "memory full" on the lite logger
  std::array<uint8_t, kLogIndexBytes> raw{};
  std::array<SessionEntry, kSessionSlots> sessions;
  double total_mbit = 0;
  double used_mbit = 0;
  double free_percent = 0;
  bool memory_full = false;
  int page = 1;              // session number of the first row: 1 or 9
  uint8_t lite_channel = 0;  // the lite logger's recorded channel
  // Set when byte 0 names a slot that does not exist: no session is offered.
  bool unreadable = false;
  IndexScreen screen;

  bool is_flash() const { return unit_type == 1 || unit_type == 5; }
  bool is_lite() const { return unit_type == 2; }
  // Session number n = 1..16; nullptr outside.
  const SessionEntry* session(int number) const;
};

}  // namespace ardenvis::core
