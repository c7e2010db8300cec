#include "link/exchange.h"

#include <algorithm>

namespace ardenvis::core {

bool read_owed(UnitLink& link, Host& host, uint8_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const std::optional<uint8_t> byte = link.try_read(host);
    if (!byte) return false;
    out[i] = *byte;
  }
  return true;
}

std::optional<uint8_t> read_owed_byte(UnitLink& link, Host& host) { return link.try_read(host); }

bool ask_owed_byte(UnitLink& link, Host& host, std::initializer_list<uint8_t> request,
                   std::vector<uint8_t>& reply) {
  link.write(request);
  const std::optional<uint8_t> byte = read_owed_byte(link, host);
  if (byte) reply.push_back(*byte);
  return byte.has_value();
}

bool line_is_silent(UnitLink& link, Host& host) { return !link.try_read(host).has_value(); }

bool settle_line(UnitLink& link, Host& host) {
  return link.drain_until_silent(host, kExchangeDrainLimit);
}

bool repeat_read_exchange(UnitLink& link, Host& host, const std::function<bool()>& attempt) {
  for (int run = 0; run < kReadExchangeAttempts; ++run) {
    if (run > 0 && !settle_line(link, host)) return false;
    if (attempt()) return true;
  }
  return false;
}

bool read_agreeing_copies(UnitLink& link, Host& host,
                          const std::function<bool(std::vector<uint8_t>& copy)>& read_copy,
                          std::vector<uint8_t>& reply) {
  std::optional<std::vector<uint8_t>> previous;
  bool settle = false;
  for (int copies = 0; copies < kReadExchangeAttempts + 1; ++copies) {
    if (settle && !settle_line(link, host)) return false;
    std::vector<uint8_t> copy;
    settle = !read_copy(copy);
    if (settle) continue;
    // The first copy needs no silent line of its own: a byte left over from
    // it would shift the next copy.
    if (!previous) {
      previous = std::move(copy);
      continue;
    }
    const bool silent = line_is_silent(link, host);
    if (silent && copy == *previous) {
      reply = std::move(copy);
      return true;
    }
    settle = !silent;
    previous = std::move(copy);
  }
  return false;
}

ReadOutcome repeat_checked_read(UnitLink& link, Host& host, const std::function<bool()>& read) {
  ReadOutcome last = ReadOutcome::NoReply;
  const bool complete = repeat_read_exchange(link, host, [&] {
    if (!read()) {
      last = ReadOutcome::NoReply;
      return false;
    }
    last = line_is_silent(link, host) ? ReadOutcome::Ok : ReadOutcome::Garbled;
    return last == ReadOutcome::Ok;
  });
  return complete ? ReadOutcome::Ok : last;
}

ReadOutcome read_agreed(UnitLink& link, Host& host, size_t count,
                        const std::function<bool(uint8_t* out)>& read_pass,
                        const std::function<std::optional<uint8_t>(size_t index)>& read_single,
                        std::vector<uint8_t>& out) {
  std::vector<uint8_t> second(count);
  out.assign(count, 0);
  for (std::vector<uint8_t>* pass : {&out, &second}) {
    const ReadOutcome outcome =
        repeat_checked_read(link, host, [&] { return read_pass(pass->data()); });
    if (outcome != ReadOutcome::Ok) return outcome;
  }
  for (size_t i = 0; i < count; ++i) {
    if (out[i] == second[i]) continue;
    std::vector<uint8_t> seen{out[i], second[i]};
    bool agreed = false;
    ReadOutcome last = ReadOutcome::Garbled;
    bool line_quiet = true;  // the pass before ended on a silent line
    for (int run = 0; run < kReadExchangeAttempts && !agreed; ++run) {
      if (!line_quiet && !settle_line(link, host)) return ReadOutcome::Garbled;
      const std::optional<uint8_t> byte = read_single(i);
      line_quiet = byte && line_is_silent(link, host);
      if (!byte) {
        last = ReadOutcome::NoReply;
        continue;
      }
      last = ReadOutcome::Garbled;
      if (!line_quiet) continue;
      agreed = std::find(seen.begin(), seen.end(), *byte) != seen.end();
      if (agreed) out[i] = *byte;
      seen.push_back(*byte);
    }
    if (!agreed) return last;
  }
  return ReadOutcome::Ok;
}

}  // namespace ardenvis::core
