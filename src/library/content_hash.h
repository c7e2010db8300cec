#pragma once
// A content hash that finds a moved session file again. It only has to tell
// files apart, not resist an attacker, and it runs over every file a scan
// reads, so it goes eight bytes at a time in four independent lanes: far
// cheaper than the load and decode the file gets anyway.

#include <cstdint>
#include <string_view>

namespace ardenvis::core {

uint64_t content_hash(std::string_view bytes);

}  // namespace ardenvis::core
