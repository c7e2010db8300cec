#pragma once
// The unit's log memory as the program sees it through the protocol: the
// flash loggers' paged memory holding up to 16 sessions with their 241-byte
// index, the lite logger's byte memory with its end pointer, rate and channel,
// and the block reads of both ("o", "f", "u", "c" and "j") with their XOR
// checks. Faults are switchable: bad check bytes on chosen blocks, a pause
// part way through a chosen block, and a unit that falls silent part way
// through a block read.

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "sim/simulated_unit.h"

namespace ardenvis::sim {

// One logged session as the unit stores it.
struct StoredSession {
  std::vector<uint8_t> bytes;  // the record stream
  uint8_t sample_rate = 10;    // 10 or 20
  uint8_t hour = 14;
  uint8_t minute = 5;
  uint8_t day = 12;
  uint8_t month = 5;
  uint16_t recorded_duration_s = 0;
};

// A pause inside a block reply: after this many of its bytes (254: before its
// check byte) the unit falls silent for ms milliseconds, then goes on.
struct BlockPause {
  int after_bytes = 0;
  int ms = 0;
};

struct LogMemoryOptions {
  uint8_t flash_memory_code = 15;  // 9, 11 or 15 (anything else: not fitted)
  uint8_t lite_memory_code = 32;   // 8 or 32
  uint8_t logger_status = 0;       // reply to "l"; bit 0 = lite memory full
  uint8_t erase_reply = 0;         // reply to "z"; 0 = done
  // Block number (0 = the first after "o", or the first of the lite recording)
  // -> how many times it is sent with a wrong check byte (kAlways: every time).
  std::map<int, int> bad_blocks;
  // Block number (counted as for bad_blocks) -> a pause the first time it is
  // sent; its resends go through without one.
  std::map<int, BlockPause> pause_blocks;
  // Data bytes a block read sends before the unit falls silent (-1 = never);
  // a block whose data all went out still gets its check byte. Counted from
  // "o", or from the lite recording's first block.
  long stall_after = -1;
};
inline constexpr int kAlways = -1;

class LogMemory {
 public:
  // Installs the log memory's commands in the unit: "h", "l", "g", "r", "z",
  // "o", "f", "u" (as a resend inside a block read), "c" and "j".
  explicit LogMemory(SimulatedUnit& unit);

  LogMemoryOptions& options() { return options_; }

  // Flash loggers.
  long page_size() const;
  long page_count() const;
  long capacity() const { return page_size() * page_count(); }
  // Stores a session after the newest one, in the next of the 16 slots (the
  // 17th session takes slot 0 again). A session that does not fit is cut at
  // the memory's end and sets the memory-full bit. False when the memory is full.
  bool store_session(const StoredSession& session);
  // Empties the memory and its index ("z").
  void erase();
  // The raw index the unit serves (tests may write odd values into it).
  std::array<uint8_t, 241>& index() { return index_; }
  std::vector<uint8_t>& flash() { return flash_; }
  // Writes one 15-byte index record.
  void set_index_record(int slot, long start_address, long end_address, const StoredSession& s);

  // Lite logger: the recorded bytes (one a sample on channel 0, two on the
  // others), stored from the first log address; the pointer follows them.
  void set_lite_recording(const std::vector<uint8_t>& bytes, uint8_t rate, uint8_t channel);
  void set_lite_pointer(int pointer) { lite_pointer_ = pointer; }
  int lite_pointer() const { return lite_pointer_; }

  // Configuration bytes "r" answers (14: pulses per revolution, 17: the lite
  // logger's channel).
  std::array<uint8_t, 256>& config() { return config_; }

  int blocks_sent() const { return blocks_sent_; }
  int resends() const { return resends_; }
  int pauses_made() const { return static_cast<int>(paused_blocks_.size()); }

 private:
  void install();
  bool is_lite() const { return unit_.options().unit_type == 2; }
  // Sends the 254 bytes at address (0xFF past the stored data) and their check.
  void send_block(const std::vector<uint8_t>& memory, long address, int block_number);
  // False when the unit has stalled and the byte is not sent.
  bool send_byte(uint8_t byte);

  SimulatedUnit& unit_;
  LogMemoryOptions options_;
  std::array<uint8_t, 241> index_{};
  std::vector<uint8_t> flash_;  // grows with the stored sessions
  long next_address_ = 0;
  int sessions_stored_ = 0;
  std::vector<uint8_t> lite_;
  int lite_pointer_ = 1024;
  uint8_t lite_rate_ = 10;
  std::array<uint8_t, 256> config_{};

  bool in_block_read_ = false;
  long block_address_ = 0;  // start of the block last sent
  int block_number_ = 0;
  long sent_in_read_ = 0;         // data bytes since the block read began
  std::map<int, int> bad_sends_;  // per block: bad sends made so far
  std::set<int> paused_blocks_;   // blocks whose pause has been made
  int blocks_sent_ = 0;
  int resends_ = 0;
};

}  // namespace ardenvis::sim
