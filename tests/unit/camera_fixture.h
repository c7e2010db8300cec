#pragma once
// Camera database texts for the loader and transfer tests, written the way the
// database files are laid out: comment lines, 36 header lines of one hex pair,
// record lines of four pairs, decimal trailer lines.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "config/camera_database.h"

namespace ardenvis::testing {

struct RecordingMemo : core::InformationMemo {
  void clear() override { lines.clear(); }
  void add(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// A database of `records` record bytes (values 1, 2, 3, ...), header length 36,
// format version 1050, list version 2500, 3 cameras. The last record line
// holds what is left (1..4 pairs) unless last_line_full asks for four.
struct CamFile {
  std::vector<uint8_t> header;
  std::vector<uint8_t> records;
  bool last_line_full = false;
  std::vector<std::string> trailer;  // empty: "0" and the right checksum

  explicit CamFile(int record_bytes) : header(36, 0) {
    header[0] = 36;
    set16(1, 1050);
    set16(3, 2500);
    set16(5, 3);
    set32(7, static_cast<uint32_t>(36 + record_bytes));
    for (int i = 0; i < record_bytes; ++i) records.push_back(static_cast<uint8_t>(i * 7 + 1));
    fix_header_checksum();
  }
  void set16(int at, uint16_t v) {
    header[at] = static_cast<uint8_t>(v & 0xFF);
    header[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  void set32(int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  void fix_header_checksum() {
    uint8_t c = 0xFF;
    for (int i = 0; i < 35; ++i) c ^= header[i];
    header[35] = c;
  }
  uint8_t data_checksum() const {
    uint8_t c = 0xFF;
    for (uint8_t b : records) c ^= b;
    return c;
  }
  std::vector<uint8_t> image() const {
    std::vector<uint8_t> all = header;
    all.insert(all.end(), records.begin(), records.end());
    return all;
  }
  std::string text() const {
    std::string out = "// Camera database\r\n// made for the tests\r\n";
    char pair[8];
    for (uint8_t b : header) {
      std::snprintf(pair, sizeof pair, "%.2X\r\n", b);
      out += pair;
    }
    for (size_t i = 0; i < records.size(); i += 4) {
      const size_t n = last_line_full ? 4 : std::min<size_t>(4, records.size() - i);
      for (size_t k = 0; k < n; ++k) {
        const uint8_t b = i + k < records.size() ? records[i + k] : 0;
        std::snprintf(pair, sizeof pair, k == 0 ? "%.2X" : " %.2X", b);
        out += pair;
      }
      out += "\r\n";
    }
    if (trailer.empty()) {
      out += "0\r\n" + std::to_string(data_checksum()) + "\r\n";
    } else {
      for (const auto& line : trailer) out += line + "\r\n";
    }
    return out;
  }
};

}  // namespace ardenvis::testing
