#pragma once
// A library's channels compiled once and evaluated over any data set. A
// channel whose formula does not compile, or that reads a channel the data
// set's log does not carry, is a gap over the whole data set, with a note that
// says why.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "math/channel_library.h"
#include "math/formula.h"
#include "state/data_set.h"

namespace ardenvis::core {

struct MathSeries {
  std::vector<double> values;  // sample k at k - 1; NaN where there is no value
  std::string note;            // empty when the channel was computed
};

class MathChannels {
 public:
  MathChannels() = default;
  explicit MathChannels(std::vector<MathChannelDefinition> definitions);

  size_t size() const { return channels_.size(); }
  std::vector<MathChannelDefinition> definitions() const;
  const MathChannelDefinition& definition(size_t i) const { return channels_[i].definition; }
  // The compile error of channel i, if any.
  const std::optional<FormulaError>& error(size_t i) const { return channels_[i].error; }
  // The compile errors as messages: "Line 4 (Slip): Formula \"...\": ...".
  std::vector<std::string> problems() const;

  MathSeries evaluate(size_t i, const DataSet& set) const;
  // Works out every channel over `set` again into set.math (one entry per
  // channel, in order).
  void update(DataSet& set) const;

  // "Name (unit)", or the name alone: the export's column header.
  static std::string header(const MathChannelDefinition& definition);

 private:
  struct Compiled {
    MathChannelDefinition definition;
    std::unique_ptr<Formula> formula;
    std::optional<FormulaError> error;
  };
  // The note when channel i cannot be worked out over `set`, else empty.
  std::string gap_note(size_t i, const DataSet& set) const;

  std::vector<Compiled> channels_;
};

}  // namespace ardenvis::core
