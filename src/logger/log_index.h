#pragma once
// The unit's log memory and its index of logged sessions: reading it, building
// the session table, the "Download Data Menu" screen (eight rows a page and the
// memory figures), paging, clearing the memory, and the lite logger's one
// recording.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace ardenvis::core {

struct ProgramState;
class Host;

inline constexpr int kLogIndexBytes = 241;
inline constexpr int kSessionSlots = 16;
inline constexpr int kRowsPerPage = 8;
// The lite logger's recording starts here; the bytes before hold its settings.
inline constexpr int kLiteFirstLogAddress = 1024;

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

// Result codes of getLogIndex.
enum IndexResult : int {
  kIndexOk = 0,
  kIndexNoPort = 1,
  kIndexStatusRefused = 7,
  kIndexSecondStatus = 8,
  kIndexVersionRefused = 9,
  kIndexMemoryType = 10,
  kIndexUnknownType = 20,
};

namespace message {
inline constexpr const char* memory_type_failed = "Failed to Read Memory Type on Logger Unit";
inline constexpr const char* unknown_type = "Unknown Pelorant Type";
inline constexpr const char* no_more_sessions = "No More Sessions to View";
inline constexpr const char* no_more_lite_sessions = "No more log sessions to see...";
inline constexpr const char* clear_question = "Clear the Pelorant Logger Memory";
inline constexpr const char* memory_not_cleared = "Memory Not Cleared";
inline constexpr const char* clear_failed = "Problem Clearing Log Index, Please Try Again";
inline constexpr const char* memory_cleared = "Pelorant Memory Cleared";
inline constexpr const char* no_data_loaded = "No Pelorant Data Loaded";
inline constexpr const char* no_data_recorded = "No Data Recorded";
inline constexpr const char* index_unreadable = "Log Index not Readable, No Sessions Shown";
}  // namespace message

// "Download Menu": re-opens the port, reads the index from page 1. True when
// the "Download Data Menu" should open (index read and a known logger type).
bool view_session_data(ProgramState& state, Host& host);

// Handshake, memory type, status flags and the index (flash) or the lite
// logger's pointer and channel; builds the table and the screen.
int getLogIndex(ProgramState& state, Host& host);

// Session table from the raw index (unit type and firmware of the last
// handshake decide how durations are found).
void processLogPointers(ProgramState& state, Host& host);
// The current page and the memory figures into index.screen.
void refreshDataScreen(LogIndex& index);
// Rows 1..8 with their session numbers and "NA" everywhere else.
void clearDataScreen(LogIndex& index);

// "Next Logs" and "Prev Logs" (both read the index again first).
void gotoNextLogPage(ProgramState& state, Host& host);
void gotoPrevLogPage(ProgramState& state, Host& host);

// "Clear": asks, clears the unit's log memory, reads the index again.
void clearLogPointers(ProgramState& state, Host& host);

// "View Data": true when the viewer should open.
bool viewData(ProgramState& state, Host& host);

}  // namespace ardenvis::core
