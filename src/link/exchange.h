#pragma once
// The one rule every request/reply exchange with the unit follows: the bytes
// the unit owes are read with the time-out-aware read (silence is never a
// byte), a complete exchange leaves a silent line (a leftover byte means the
// reply was corrupted on the way), and a read whose reply failed a check is
// asked again, after the line has gone quiet, a bounded number of times.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "common/host.h"
#include "state/unit_link.h"

namespace ardenvis::core {

// How many times a read exchange is run before its operation fails. Reads
// only: asking again changes nothing in the unit.
inline constexpr int kReadExchangeAttempts = 3;

// The most a corrupted reply can still have on its way; a line that talks
// longer than this after an exchange is not settling.
inline constexpr long kExchangeDrainLimit = 4 * 255;

// Reads count owed bytes into out. False as soon as one read times out (the
// bytes read so far are in out, the rest untouched).
bool read_owed(UnitLink& link, Host& host, uint8_t* out, size_t count);

// One owed byte, or nothing on a time-out.
std::optional<uint8_t> read_owed_byte(UnitLink& link, Host& host);

// Sends one request whose reply is one byte and appends that byte to reply.
// False on a time-out (nothing appended).
bool ask_owed_byte(UnitLink& link, Host& host, std::initializer_list<uint8_t> request,
                   std::vector<uint8_t>& reply);

// True when nothing arrives for one read time-out: the exchange just read was
// complete. A byte that does arrive is dropped (false): the caller's reply
// was out of step.
bool line_is_silent(UnitLink& link, Host& host);

// Drops what arrives until the line has been silent for one read time-out.
// False when it keeps talking past kExchangeDrainLimit bytes.
bool settle_line(UnitLink& link, Host& host);

// Runs a read exchange until one attempt's reply passes every check (attempt
// returns true), at most kReadExchangeAttempts times; the line is settled
// before each repeat. True when an attempt passed.
bool repeat_read_exchange(UnitLink& link, Host& host, const std::function<bool()>& attempt);

// Reads a reply the protocol gives no check for (the log index, the identity,
// configuration values) until two copies in a row agree and the line is
// silent after the second: a corrupted copy does not agree with a clean one,
// and a byte too many shifts every byte after it and leaves one on the line.
// The first run reads two copies, each repeat one more, compared with the
// copy before it: at most kReadExchangeAttempts runs. read_copy asks for one
// copy and reads it into its (empty) argument, false on a time-out where a
// byte was owed; the line is settled after such a copy and after a copy the
// line was not silent after. True with the agreed copy in reply.
bool read_agreeing_copies(UnitLink& link, Host& host,
                          const std::function<bool(std::vector<uint8_t>& copy)>& read_copy,
                          std::vector<uint8_t>& reply);

// How a checked read ended: every byte in and the line silent after it, the
// unit silent where it owed a byte, or replies that never came in step.
enum class ReadOutcome { Ok, NoReply, Garbled };

// Runs read (false on a time-out where a byte was owed), then requires a
// silent line; repeated as repeat_read_exchange does. The outcome names why
// the last attempt failed.
ReadOutcome repeat_checked_read(UnitLink& link, Host& host, const std::function<bool()>& read);

// Reads `count` bytes for which the protocol gives no check by reading them
// twice. read_pass reads all of them once into its argument, read_single one
// of them (both: nothing or false on a time-out); each pass and each single
// read must end on a silent line, and is run again when it does not (as
// repeat_checked_read). Where the two passes disagree, that byte alone is read
// again until one of its values has come twice, at most kReadExchangeAttempts
// more reads. `out` holds the agreed bytes when the outcome is Ok.
ReadOutcome read_agreed(UnitLink& link, Host& host, size_t count,
                        const std::function<bool(uint8_t* out)>& read_pass,
                        const std::function<std::optional<uint8_t>(size_t index)>& read_single,
                        std::vector<uint8_t>& out);

}  // namespace ardenvis::core
