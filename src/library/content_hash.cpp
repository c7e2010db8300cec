#include "library/content_hash.h"

#include <cstring>

namespace ardenvis::core {

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;

inline uint64_t rotate(uint64_t v, int bits) { return (v << bits) | (v >> (64 - bits)); }

inline uint64_t mix(uint64_t lane, uint64_t word) {
  lane += word * kPrime2;
  return rotate(lane, 31) * kPrime1;
}

inline uint64_t word_at(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

}  // namespace

uint64_t content_hash(std::string_view bytes) {
  const char* p = bytes.data();
  const size_t n = bytes.size();
  uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    for (int l = 0; l < 4; ++l) lanes[l] = mix(lanes[l], word_at(p + i + 8 * l));
  }
  uint64_t h = rotate(lanes[0], 1) + rotate(lanes[1], 7) + rotate(lanes[2], 12) +
               rotate(lanes[3], 18) + static_cast<uint64_t>(n);
  for (; i + 8 <= n; i += 8) h = rotate(h ^ mix(0, word_at(p + i)), 27) * kPrime1 + kPrime2;
  for (; i < n; ++i) h = rotate(h ^ (static_cast<uint8_t>(p[i]) * kPrime1), 11) * kPrime2;
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  return h;
}

}  // namespace ardenvis::core
