#pragma once
// Internal to the smoothing: the walks that take several series at once in
// vector lanes (x86-64 with AVX; 512-bit chains where the processor has them).

#include <memory>
#include <span>

#include "common/smoothing_chains.h"

#if defined(__GNUC__) && defined(__x86_64__)
#define ARDENVIS_SMOOTHING_LANES 1
#endif

namespace ardenvis::core::smoothing {

#if defined(ARDENVIS_SMOOTHING_LANES)
// A walk of the lanes that can stop and go on: advance() smooths whatever
// reads only rows that are final (the decoder calls it while it is still
// writing later rows, so the rows are smoothed while they are in the cache),
// finish() does the rest once every row is.
class LaneWalkBase {
 public:
  virtual ~LaneWalkBase() = default;
  // Rows [0, final_rows) of every series are written for good.
  virtual void advance(long final_rows) = 0;
  virtual void finish() = 0;
};

// Whether this processor has the vectors the lanes need.
bool lanes_available();

// A walk of `runs` (distinct series of one window and one length, the most
// passes first) in lanes, with `companions` (window-5 runs of that length)
// walking in the same loop.
std::unique_ptr<LaneWalkBase> make_lane_walk(std::span<RunState* const> runs, long h,
                                             std::span<RunState* const> companions);
#endif

}  // namespace ardenvis::core::smoothing
