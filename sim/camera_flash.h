#pragma once
// The unit's side of the camera database upload: "a" (the flash's memory
// code) and "t" (one 254-byte block with its XOR check, or 0 to end). Uploaded
// blocks are written into the log memory's flash from its start, where the
// block reads ("o", "f", "u", "c") serve them back for the check; the erase
// that opens every upload clears the logged sessions, as on the unit.
// Faults by option: blocks rejected, acceptances corrupted on their way, late
// block replies, a slow erase.

#include <cstdint>
#include <map>
#include <vector>

#include "sim/simulated_unit.h"

namespace ardenvis::sim {

class LogMemory;

struct CameraFlashOptions {
  // Upload block number (0 = the first after the erase) -> how many times it
  // is answered 2 (rejected) before it is taken (kAlways: never taken).
  std::map<int, int> rejected_blocks;
  uint8_t accept_reply = 1;  // the reply that takes a block
  // Block number -> the bytes that reach the program in place of its
  // acceptance, once (the block is taken all the same): {0} or {2} reads as a
  // rejection, {0x00, accept} is a noise byte in front.
  std::map<int, std::vector<uint8_t>> garbled_accepts;
  int reply_delay_ms = 0;  // silence before every block reply
  int erase_delay_ms = 0;  // silence before the erase's reply
};

class CameraFlash {
 public:
  CameraFlash(SimulatedUnit& unit, LogMemory& memory);

  CameraFlashOptions& options() { return options_; }
  // The bytes taken so far by the current or last upload (padding included).
  const std::vector<uint8_t>& uploaded() const { return uploaded_; }
  int blocks_taken() const { return blocks_taken_; }
  int blocks_rejected() const { return blocks_rejected_; }
  int uploads_ended() const { return uploads_ended_; }
  // A block arrived while no block was announced, or bytes came in a block
  // that a "t" did not announce: the program lost step with the unit.
  int out_of_step() const { return out_of_step_; }

 private:
  void take_block(const std::vector<uint8_t>& block);

  SimulatedUnit& unit_;
  LogMemory& memory_;
  CameraFlashOptions options_;
  std::vector<uint8_t> uploaded_;
  int block_number_ = 0;
  std::map<int, int> rejections_;  // per block: rejections made so far
  int blocks_taken_ = 0;
  int blocks_rejected_ = 0;
  int uploads_ended_ = 0;
  int out_of_step_ = 0;
};

}  // namespace ardenvis::sim
