#include "sim/line_faults.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ardenvis::sim {

namespace {

// The length assumed for a transfer before any has been seen.
constexpr size_t kFirstTransferBytes = 4096;
constexpr int kMostFaultsPerTransfer = 3;
constexpr int kPauseMin_ms = 20;
constexpr int kPauseMax_ms = 3000;
constexpr int kLateMin_ms = 60;
constexpr int kLateMax_ms = 1500;
// A live frame's "V" and length byte: losing one of them shifts the frame.
constexpr size_t kLiveFrameHead = 2;

bool changes_content(LineFault kind) {
  return kind == LineFault::Drop || kind == LineFault::Noise || kind == LineFault::Flip;
}

}  // namespace

const char* line_fault_name(LineFault kind) {
  switch (kind) {
    case LineFault::Drop:
      return "drop";
    case LineFault::Noise:
      return "noise";
    case LineFault::Flip:
      return "flip";
    case LineFault::Pause:
      return "pause";
    case LineFault::LateReply:
      return "late reply";
    case LineFault::Silence:
      return "silence";
  }
  return "?";
}

LineFaultInjector::LineFaultInjector(LineFaultOptions options)
    : options_(options), state_(options.seed) {}

// splitmix64: the same sequence on every platform and library.
uint64_t LineFaultInjector::next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

int LineFaultInjector::draw_fault_count() {
  const double unit = static_cast<double>(next() >> 11) * 0x1.0p-53;
  if (options_.rate <= kMostFaultsPerTransfer) {
    // Three chances, each striking with rate / 3.
    const double p = std::max(options_.rate, 0.0) / kMostFaultsPerTransfer;
    int count = 0;
    double u = unit;
    for (int i = 0; i < kMostFaultsPerTransfer; ++i) {
      if (u < p) ++count;
      u = static_cast<double>(next() >> 11) * 0x1.0p-53;
    }
    return count;
  }
  // Poisson by inversion.
  double term = std::exp(-options_.rate);
  double cumulative = term;
  int count = 0;
  while (unit > cumulative && count < 1000) {
    ++count;
    term *= options_.rate / count;
    cumulative += term;
  }
  return count;
}

void LineFaultInjector::start_transfer(std::optional<size_t> expected_bytes) {
  if (transfers_ > 0 && transfer_bytes_ > 0) last_transfer_bytes_ = transfer_bytes_;
  ++transfers_;
  transfer_bytes_ = 0;
  changes_.clear();
  planned_.clear();
  const size_t span = std::max<size_t>(
      1,
      expected_bytes.value_or(last_transfer_bytes_ ? last_transfer_bytes_ : kFirstTransferBytes));
  const int count = draw_fault_count();
  for (int i = 0; i < count; ++i) {
    const size_t position = below(span);
    planned_.push_back({position, static_cast<LineFault>(below(kLineFaultKinds))});
  }
  std::sort(planned_.begin(), planned_.end(),
            [](const Planned& a, const Planned& b) { return a.position < b.position; });
}

std::vector<LineFaultInjector::Strike> LineFaultInjector::strike(
    const std::vector<uint8_t>& request, const std::vector<uint8_t>& reply, ReplyCheck check) {
  if (transfers_ == 0) start_transfer();
  std::vector<Strike> strikes;
  const size_t begin = transfer_bytes_;
  const size_t end = begin + reply.size();
  transfer_bytes_ = end;
  bool changed = false;
  bool silenced = false;
  while (!planned_.empty() && planned_.front().position < end) {
    const Planned fault = planned_.front();
    planned_.erase(planned_.begin());
    if (silenced) continue;  // nothing of the reply is left to strike
    Strike s{fault.kind, fault.position - begin};
    if (changes_content(fault.kind)) {
      if (changed) continue;
      if (check == ReplyCheck::Unchecked &&
          (fault.kind != LineFault::Drop || s.at < kLiveFrameHead)) {
        continue;
      }
      if (fault.kind == LineFault::Flip) s.value = static_cast<uint8_t>(1u << below(8));
      if (fault.kind == LineFault::Noise) {
        do {
          s.value = static_cast<uint8_t>(below(256));
        } while (s.value == reply[s.at] || s.value == reply.back());
      }
      const auto change = std::make_tuple(std::string(request.begin(), request.end()), s.at,
                                          static_cast<int>(s.kind), s.value);
      if (!changes_.insert(change).second) continue;
      changed = true;
    } else if (fault.kind == LineFault::Pause) {
      s.ms = kPauseMin_ms + static_cast<int>(below(kPauseMax_ms - kPauseMin_ms + 1));
    } else if (fault.kind == LineFault::LateReply) {
      s.at = 0;
      s.ms = kLateMin_ms + static_cast<int>(below(kLateMax_ms - kLateMin_ms + 1));
    } else {
      silenced = true;
    }
    ++fired_[static_cast<int>(s.kind)];
    strikes.push_back(s);
  }
  std::stable_sort(strikes.begin(), strikes.end(),
                   [](const Strike& a, const Strike& b) { return a.at < b.at; });
  return strikes;
}

int LineFaultInjector::fired_total() const {
  int total = 0;
  for (int n : fired_) total += n;
  return total;
}

std::string LineFaultInjector::summary() const {
  std::string text;
  for (int k = 0; k < kLineFaultKinds; ++k) {
    char part[64];
    std::snprintf(part, sizeof part, "%s%s %d", k ? ", " : "",
                  line_fault_name(static_cast<LineFault>(k)), fired_[k]);
    text += part;
  }
  return text + " in " + std::to_string(transfers_) + " transfers";
}

}  // namespace ardenvis::sim
