#include "link/exchange.h"

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

}  // namespace ardenvis::core
