#pragma once
// The viewer's "Data Smoothing" of a chosen channel in both data sets. The
// unit switches themselves are data set rules (logger/data_set_units.h).

#include <span>

#include "logger/data_set_units.h"
#include "state/program_state.h"

namespace ardenvis::core {

// "Data Smoothing": the channels the user may smooth, in list order.
struct SmoothingChoice {
  const char* item;
  Channel channel;
};
std::span<const SmoothingChoice> smoothing_choices();

inline constexpr int kViewerSmoothingWindow = 19;
// Smooths `channel` of slot A then slot B with the 19-point window; slots
// without data or with fewer than 20 samples are skipped. Returns the number
// of slots smoothed.
int smoothData(ProgramState& state, Channel channel);

}  // namespace ardenvis::core
