#pragma once
// A math channel's formula: compiled once, then evaluated over the whole of
// any data set. Values are 64-bit reals throughout (a channel that holds
// whole numbers still divides as reals); a result that is not finite is a gap
// in the channel (not a number), never a fault.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "state/data_set.h"

namespace ardenvis::core {

struct FormulaError {
  std::string formula;
  int position = 1;     // 1-based character; the formula's length + 1 is its end
  std::string problem;  // "division by zero", "unknown channel \"Sped\"" ...

  // Formula "Speed / 0": division by zero at position 7
  std::string message() const;
};

class Formula {
 public:
  // Compiles `text`; nullptr, with `error` filled, when it cannot be used.
  static std::unique_ptr<Formula> compile(std::string_view text, FormulaError& error);
  ~Formula();
  Formula(const Formula&) = delete;
  Formula& operator=(const Formula&) = delete;

  // The logged channels the formula reads, each once.
  const std::vector<Channel>& channels() const { return channels_; }

  // The formula at every sample of `set` (sample k at index k - 1), the
  // channels read as physical values in the units the series hold. Gaps are
  // quiet NaNs.
  std::vector<double> evaluate(const DataSet& set) const;
  // The same into `out`, which holds one value per sample of `set`.
  void evaluate(const DataSet& set, std::span<double> out) const;

  // The same through the parser's own evaluation, one sample at a time: the
  // reference the block evaluation is checked against.
  std::vector<double> evaluate_per_sample(const DataSet& set) const;
  // True when evaluate() runs every part of the formula over blocks (the
  // parser's compiled form held nothing the block evaluation lacks).
  bool runs_in_blocks() const;

  struct Stage;
  struct SeriesCall;

 private:
  Formula();
  void run(const DataSet& set, bool per_sample, std::span<double> out) const;

  // Sub-formulas in evaluation order; the last one is the formula itself.
  std::vector<std::unique_ptr<Stage>> stages_;
  std::vector<SeriesCall> calls_;
  std::vector<Channel> channels_;

  friend class FormulaCompiler;
};

}  // namespace ardenvis::core
