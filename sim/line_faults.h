#pragma once
// Random, seeded faults on the unit's output, the way a bad cable or adapter
// spoils replies: a byte lost, a noise byte added, a bit flipped, a pause in
// the middle of a reply, a reply that comes late, and the unit falling silent
// for the rest of a reply (so the program's read time-out fires).
//
// Faults are planned per transfer (one operation: a download, a configuration
// read, ...): the number of faults is drawn with the expected count `rate`,
// and each strikes the byte of the transfer's output at a position drawn
// evenly over the transfer's expected length. The same seed gives the same
// faults for the same traffic.
//
// The protocol cannot see every fault pattern, and a fault it cannot see is
// no test of the program. These are never produced:
//  - two changes to one reply (two flips of one bit position cancel in a
//    block's XOR; a drop followed by a noise byte equal to the lost one, or a
//    flip pair, may restore or rotate the reply): at most one byte of a reply
//    is changed, lost or added;
//  - a noise byte equal to the reply's last byte: in a block it is read as
//    data and the last data byte as the check, which then passes the XOR;
//  - the same change to the same byte of the reply to the same request twice
//    in one transfer: replies without a check are trusted when two copies
//    agree;
//  - a changed or added byte in a live-data frame, or a lost "V" or length
//    byte: the frame carries no check at all (a lost data byte still shows as
//    a frame cut short).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace ardenvis::sim {

enum class LineFault { Drop, Noise, Flip, Pause, LateReply, Silence };
inline constexpr int kLineFaultKinds = 6;
const char* line_fault_name(LineFault kind);

struct LineFaultOptions {
  uint64_t seed = 1;
  // Expected faults per transfer. Up to 3, a transfer gets 0-3 faults (each
  // of three possible faults strikes with rate / 3); above, the count is
  // Poisson-distributed.
  double rate = 1.5;
};

// What a reply is, for the faults it may suffer.
enum class ReplyCheck {
  Checked,    // a block's XOR check, or read twice and compared, or a known value
  Unchecked,  // nothing in the protocol tells a changed byte (live frames)
};

class LineFaultInjector {
 public:
  explicit LineFaultInjector(LineFaultOptions options);

  // A new transfer begins whose output is expected to be about
  // expected_bytes long (without it: as long as the last transfer was).
  void start_transfer(std::optional<size_t> expected_bytes = std::nullopt);

  // A change the injector makes to one reply.
  struct Strike {
    LineFault kind;
    size_t at;          // byte of the reply (Noise: comes before it)
    uint8_t value = 0;  // Flip: the bit mask; Noise: the byte added
    int ms = 0;         // Pause and LateReply: the silence
  };
  // The faults that strike this reply (of the request that asked for it), in
  // order of their byte. The reply is counted into the transfer.
  std::vector<Strike> strike(const std::vector<uint8_t>& request, const std::vector<uint8_t>& reply,
                             ReplyCheck check);

  int fired(LineFault kind) const { return fired_[static_cast<int>(kind)]; }
  int fired_total() const;
  int transfers() const { return transfers_; }
  // The output of the current transfer so far, in bytes.
  size_t transfer_bytes() const { return transfer_bytes_; }
  // "drop 3, noise 1, flip 2, pause 0, late reply 1, silence 0 in 12 transfers"
  std::string summary() const;

 private:
  uint64_t next();
  uint64_t below(uint64_t n) { return n == 0 ? 0 : next() % n; }
  int draw_fault_count();

  LineFaultOptions options_;
  uint64_t state_;
  struct Planned {
    size_t position;  // byte of the transfer's output
    LineFault kind;
  };
  std::vector<Planned> planned_;  // sorted by position
  size_t transfer_bytes_ = 0;     // output of the transfer so far
  size_t last_transfer_bytes_ = 0;
  int transfers_ = 0;
  int fired_[kLineFaultKinds] = {};
  // (request, byte, kind, value) of every change made in this transfer; the
  // request's bytes held as a string (g++ 12 -O3 warns falsely about
  // comparing byte vectors in a set).
  std::set<std::tuple<std::string, size_t, int, uint8_t>> changes_;
};

}  // namespace ardenvis::sim
