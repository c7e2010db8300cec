#pragma once
// A stretch of bad cable between the program and the simulated unit: it spoils
// chosen replies, each once, the way line faults do (a bit flipped, a noise
// byte added, a byte lost, a byte replaced). A reply is named by the request
// it answers (the bytes written since the last read, matched on their first
// bytes) and by which time that request is answered.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/byte_link.h"

namespace ardenvis::testing {

class ReplyFaultLine : public core::SerialDevice {
 public:
  enum class Kind { Flip, Noise, Drop, Replace };
  struct Fault {
    std::vector<uint8_t> request;  // the first bytes of the request
    int occurrence = 1;            // 1: the first time that request is answered
    int at = 0;                    // the unit's reply byte it strikes (Noise: comes before)
    Kind kind = Kind::Flip;
    uint8_t value = 0;  // Flip: the bits flipped; Noise: the byte added; Replace: the byte
    int seen = 0;       // requests matched so far
    bool fired = false;
  };

  // One fault of a table of test cases, with a line saying what it is.
  struct NamedFault {
    const char* what;
    std::vector<uint8_t> request;
    int occurrence;
    int at;
    Kind kind;
    uint8_t value;
  };

  explicit ReplyFaultLine(core::SerialDevice& line) : line_(line) {}

  std::vector<Fault> faults;
  void add(std::vector<uint8_t> request, int occurrence, int at, Kind kind, uint8_t value = 0) {
    faults.push_back({std::move(request), occurrence, at, kind, value});
  }
  void add(const NamedFault& f) { add(f.request, f.occurrence, f.at, f.kind, f.value); }
  int fired() const {
    return static_cast<int>(
        std::count_if(faults.begin(), faults.end(), [](const Fault& f) { return f.fired; }));
  }

  bool open(const core::LineSettings& settings) override { return line_.open(settings); }
  void close() override { line_.close(); }
  void write_byte(uint8_t byte) override { write_bytes(&byte, 1); }
  void write_bytes(const uint8_t* bytes, size_t count) override {
    if (replying_) {
      request_.clear();
      replying_ = false;
    }
    request_.insert(request_.end(), bytes, bytes + count);
    line_.write_bytes(bytes, count);
  }

  std::optional<uint8_t> try_read_byte() override {
    if (!replying_) start_reply();
    Fault* fault = due();
    if (fault && fault->kind == Kind::Noise) {
      fault->fired = true;
      return fault->value;
    }
    std::optional<uint8_t> byte = line_.try_read_byte();
    if (!byte || !fault) {
      if (byte) ++taken_;
      return byte;
    }
    fault->fired = true;
    ++taken_;
    switch (fault->kind) {
      case Kind::Flip:
        return static_cast<uint8_t>(*byte ^ fault->value);
      case Kind::Replace:
        return fault->value;
      case Kind::Drop:
        byte = line_.try_read_byte();
        if (byte) ++taken_;
        return byte;
      case Kind::Noise:
        break;
    }
    return byte;
  }

 private:
  void start_reply() {
    replying_ = true;
    taken_ = 0;
    active_.clear();
    for (Fault& f : faults) {
      const bool matches = request_.size() >= f.request.size() &&
                           std::equal(f.request.begin(), f.request.end(), request_.begin());
      if (matches && ++f.seen == f.occurrence)
        active_.push_back(static_cast<size_t>(&f - faults.data()));
    }
  }
  // The fault that strikes the next byte of the unit's reply, if any.
  Fault* due() {
    for (size_t i : active_) {
      Fault& f = faults[i];
      if (!f.fired && f.at == taken_) return &f;
    }
    return nullptr;
  }

  core::SerialDevice& line_;
  std::vector<uint8_t> request_;
  bool replying_ = false;
  int taken_ = 0;               // bytes of the unit's reply taken from the line
  std::vector<size_t> active_;  // faults due in this reply
};

}  // namespace ardenvis::testing
