#pragma once
// Inside the formula code only: a formula the parser has compiled, run over
// whole series a block of samples at a time. The parser's own evaluation
// walks its compiled form once per sample; this walks it once per block of
// 256 samples, so the cost of deciding what to do is shared by the block and
// the loops themselves are plain arithmetic over arrays.
//
// Both branches of an if-then-else are computed for the whole block and the
// condition picks per sample; formulas have no side effects, so that gives
// what the parser gives.

#include <muParser.h>

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "files/physical_values.h"
#include "math/block_kernels.h"

namespace ardenvis::core {

class SeriesFunction;

// What a formula variable reads: a whole series, or a whole-series function
// that gives its values block by block.
struct BlockInput {
  const double* values = nullptr;
  SeriesFunction* function = nullptr;
};

class BlockProgram {
 public:
  // Translates `parser`'s compiled formula, whose variables are the `slots`
  // (slot s read as physical values from series stored with scales[s]).
  // nullopt when the formula holds an operation this cannot run; the caller
  // then evaluates sample by sample.
  // `wide`: with the kernels built for AVX2 (only where the processor has it).
  static std::optional<BlockProgram> translate(const mu::Parser& parser,
                                               std::span<const double> slots,
                                               std::span<const StoredScale> scales,
                                               bool wide = blocks::wide_kernels());

  // The formula over n samples into out[0..n): inputs[s] gives slot s's
  // stored values (n of them; only the slots the formula reads are looked
  // at). Values that are not finite become quiet NaNs.
  void run(std::span<const BlockInput> inputs, long n, double* out) const;

 private:
  struct Step {
    blocks::Kernel kernel;
    int out;                       // register
    std::array<int, 3> arguments;  // register or input index (see run), -1: a constant
    std::array<double, 3> constants;
  };
  std::vector<Step> steps_;
  blocks::Kernel finish_ = nullptr;  // makes what is not finite a gap
  int registers_ = 0;
  std::vector<int> read_slots_;  // input index registers_ + i is slot read_slots_[i]
  int result_ = 0;               // register

  friend class BlockTranslator;
};

}  // namespace ardenvis::core
