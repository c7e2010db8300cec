#include "math/formula.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <span>

#include "common/format.h"
#include "files/physical_values.h"
#include "math/block_program.h"
#include "math/channel_identifiers.h"
#include "math/parser_setup.h"
#include "math/scalar_functions.h"
#include "math/series_functions.h"

namespace ardenvis::core {

namespace {

bool is_name_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool is_name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

size_t skip_spaces(std::string_view text, size_t i, size_t end) {
  while (i < end && is_space(text[i])) ++i;
  return i;
}

// The end of the number that starts at i (digits, a point, an exponent).
size_t number_end(std::string_view text, size_t i, size_t end) {
  while (i < end && (is_digit(text[i]) || text[i] == '.')) ++i;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < end && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < end && is_digit(text[j])) {
      while (j < end && is_digit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

size_t name_end(std::string_view text, size_t i, size_t end) {
  while (i < end && is_name_char(text[i])) ++i;
  return i;
}

// The bracket that closes the one at `open`, or npos.
size_t closing_bracket(std::string_view text, size_t open, size_t end) {
  int depth = 0;
  for (size_t i = open; i < end; ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i;
  }
  return std::string_view::npos;
}

// The first bracket in [begin, end) that is never closed, or npos.
size_t unclosed_bracket(std::string_view text, size_t begin, size_t end) {
  std::vector<size_t> open;
  for (size_t i = begin; i < end; ++i) {
    if (text[i] == '(') open.push_back(i);
    if (text[i] == ')' && !open.empty()) open.pop_back();
  }
  return open.empty() ? std::string_view::npos : open.front();
}

// The commas in [begin, end) outside any bracket.
std::vector<size_t> top_level_commas(std::string_view text, size_t begin, size_t end) {
  std::vector<size_t> commas;
  int depth = 0;
  for (size_t i = begin; i < end; ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')') --depth;
    if (text[i] == ',' && depth == 0) commas.push_back(i);
  }
  return commas;
}

// The end of the operand that starts at i: signs, then a number, a name (with
// its argument list) or a bracket, then any "^" and its own operand. npos
// when it does not read as one.
size_t operand_end(std::string_view text, size_t i, size_t end) {
  i = skip_spaces(text, i, end);
  while (i < end && (text[i] == '+' || text[i] == '-')) i = skip_spaces(text, i + 1, end);
  if (i >= end) return std::string_view::npos;
  if (text[i] == '(') {
    i = closing_bracket(text, i, end);
    if (i == std::string_view::npos) return i;
    ++i;
  } else if (is_digit(text[i]) || text[i] == '.') {
    i = number_end(text, i, end);
  } else if (is_name_start(text[i])) {
    i = name_end(text, i, end);
    const size_t bracket = skip_spaces(text, i, end);
    if (bracket < end && text[bracket] == '(') {
      i = closing_bracket(text, bracket, end);
      if (i == std::string_view::npos) return i;
      ++i;
    }
  } else {
    return std::string_view::npos;
  }
  const size_t next = skip_spaces(text, i, end);
  if (next < end && text[next] == '^') return operand_end(text, next + 1, end);
  return i;
}

}  // namespace

std::string FormulaError::message() const {
  return format("Formula %s: %s at position %d", quoted(formula).c_str(), problem.c_str(),
                position);
}

// A formula without the whole-series functions, in the parser.
struct Formula::Stage {
  mu::Parser parser;
  // The parser's variables: the channel identifiers, then the series the
  // whole-series functions gave.
  // Set sample by sample when the parser evaluates.
  mutable std::vector<double> slots;
  std::vector<StoredScale> scales;
  std::vector<int> read_slots;
  std::optional<BlockProgram> program;
  // Set when the stage is one variable alone (the argument of d(Speed)).
  std::optional<size_t> bare_slot;
};

// A whole-series function: the function of the series a stage gives, which
// later stages read as a slot of their own.
struct Formula::SeriesCall {
  SeriesFunctionKind kind;
  size_t argument_stage;
  double parameter;
};

class FormulaCompiler {
 public:
  FormulaCompiler(std::string_view text, FormulaError& error)
      : text_(text), work_(text), error_(error), formula_(new Formula) {}

  std::unique_ptr<Formula> compile() {
    error_ = {std::string(text_), 1, ""};
    size_t stage = 0;
    if (!compile_range(0, work_.size(), stage)) return nullptr;
    return std::move(formula_);
  }

 private:
  bool fail(size_t position, std::string problem) {
    error_.position = static_cast<int>(std::min(position, text_.size())) + 1;
    error_.problem = std::move(problem);
    return false;
  }

  // Compiles text [begin, end) as one stage, after turning each whole-series
  // function call in it into a name of the same length (so positions in the
  // stage's text are positions in the formula).
  bool compile_range(size_t begin, size_t end, size_t& stage) {
    if (skip_spaces(work_, begin, end) == end) {
      return fail(begin, begin == 0 ? "the formula is empty" : "an argument is empty");
    }
    for (size_t i = begin; i < end;) {
      const char c = work_[i];
      if (is_digit(c) || c == '.') {
        i = number_end(work_, i, end);
        if (i < end && is_name_char(work_[i])) i = name_end(work_, i, end);
      } else if (is_name_start(c)) {
        const size_t name_stop = name_end(work_, i, end);
        const std::string name = work_.substr(i, name_stop - i);
        if (name[0] == '_') return fail(i, "unknown channel " + quoted(name));
        if (const SeriesFunctionName* f = find_series_function(name)) {
          if (!series_call(*f, i, name_stop, end)) return false;
          i = call_end_;
        } else {
          i = name_stop;
        }
      } else if (c == '=') {
        const bool paired =
            (i > begin && std::string_view("<>!=").find(work_[i - 1]) != std::string_view::npos) ||
            (i + 1 < end && work_[i + 1] == '=');
        if (!paired) return fail(i, "unexpected \"=\"");
        ++i;
      } else {
        ++i;
      }
    }
    return add_stage(begin, end, stage);
  }

  // The call of `f` whose name spans [name_begin, name_stop): its argument
  // becomes a stage, the call a series, and the call's text a name for it.
  bool series_call(const SeriesFunctionName& f, size_t name_begin, size_t name_stop, size_t end) {
    const std::string name(f.name);
    const size_t open = skip_spaces(work_, name_stop, end);
    if (open >= end || work_[open] != '(') {
      return fail(name_begin, quoted(name) + " is a function: write " + name + "(...)");
    }
    const size_t close = closing_bracket(work_, open, end);
    if (close == std::string::npos) return fail(open, "missing \")\"");
    std::vector<size_t> bounds = {open};
    for (size_t comma : top_level_commas(work_, open + 1, close)) bounds.push_back(comma);
    bounds.push_back(close);
    const size_t count = skip_spaces(work_, open + 1, close) == close ? 0 : bounds.size() - 1;
    if (count != static_cast<size_t>(f.arguments)) {
      return fail(name_begin, quoted(name) + " takes " + std::to_string(f.arguments) +
                                  (f.arguments == 1 ? " argument" : " arguments"));
    }
    size_t argument_stage = 0;
    if (!compile_range(bounds[0] + 1, bounds[1], argument_stage)) return false;
    double parameter = 0;
    if (f.arguments == 2 && !constant_parameter(f, bounds[1] + 1, bounds[2], parameter)) {
      return false;
    }
    const size_t series = formula_->calls_.size();
    std::string placeholder = "_" + std::to_string(series);
    const size_t length = close + 1 - name_begin;
    if (placeholder.size() > length) return fail(name_begin, "too many functions in one formula");
    // Padded to the call's length: the parser reads it as one name.
    placeholder.resize(length, '_');
    formula_->calls_.push_back({f.kind, argument_stage, parameter});
    placeholders_.push_back(placeholder);
    work_.replace(name_begin, length, placeholder);
    call_end_ = close + 1;
    return true;
  }

  // A parser that knows every channel identifier and the series so far (by
  // the names their calls became).
  void define_variables(Formula::Stage& stage) {
    const auto identifiers = channel_identifiers();
    stage.slots.assign(identifiers.size() + placeholders_.size(), 0.0);
    stage.scales.assign(stage.slots.size(), StoredScale::AsHeld);
    for (size_t i = 0; i < identifiers.size(); ++i) {
      stage.parser.DefineVar(std::string(identifiers[i].name), &stage.slots[i]);
      stage.scales[i] = stored_scale(identifiers[i].channel);
    }
    for (size_t s = 0; s < placeholders_.size(); ++s) {
      stage.parser.DefineVar(placeholders_[s], &stage.slots[identifiers.size() + s]);
    }
  }

  bool add_stage(size_t begin, size_t end, size_t& index) {
    auto stage = std::make_unique<Formula::Stage>();
    set_up_parser(stage->parser);
    const std::string text = work_.substr(begin, end - begin);
    define_variables(*stage);
    const auto identifiers = channel_identifiers();
    try {
      stage->parser.SetExpr(text);
      int results = 0;
      stage->parser.Eval(results);
      if (results != 1) {
        const auto commas = top_level_commas(text, 0, text.size());
        return fail(begin + (commas.empty() ? 0 : commas.front()), "unexpected \",\"");
      }
    } catch (const mu::Parser::exception_type& e) {
      return parser_error(e, text, begin);
    }
    if (!check_divisors(text, begin)) return false;
    for (const auto& [name, pointer] : stage->parser.GetUsedVar()) {
      const int slot = static_cast<int>(pointer - stage->slots.data());
      stage->read_slots.push_back(slot);
      if (static_cast<size_t>(slot) < identifiers.size()) {
        const Channel channel = identifiers[static_cast<size_t>(slot)].channel;
        auto& channels = formula_->channels_;
        if (std::find(channels.begin(), channels.end(), channel) == channels.end()) {
          channels.push_back(channel);
        }
      }
    }
    const auto& used = stage->parser.GetUsedVar();
    if (used.size() == 1 && trimmed(text) == used.begin()->first) {
      stage->bare_slot = static_cast<size_t>(stage->read_slots.front());
    }
    stage->program = BlockProgram::translate(stage->parser, stage->slots, stage->scales);
    formula_->stages_.push_back(std::move(stage));
    index = formula_->stages_.size() - 1;
    return true;
  }

  // A divisor that is a constant 0 is a mistake in the formula, not a gap
  // in the data.
  bool check_divisors(const std::string& text, size_t begin) {
    mu::Parser constant_parser;
    set_up_parser(constant_parser);
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '/') continue;
      const size_t stop = operand_end(text, i + 1, text.size());
      if (stop == std::string::npos) continue;
      try {
        constant_parser.SetExpr(text.substr(i + 1, stop - i - 1));
        if (constant_parser.Eval() == 0) return fail(begin + i, "division by zero");
      } catch (const mu::Parser::exception_type&) {
        // Not a constant (it names a channel): the data decides.
      }
    }
    return true;
  }

  bool constant_parameter(const SeriesFunctionName& f, size_t begin, size_t end, double& value) {
    const std::string what =
        "the " + std::string(f.parameter) + " of " + std::string(f.name) + "()";
    begin = skip_spaces(work_, begin, end);
    const std::string text = work_.substr(begin, end - begin);
    if (text.empty()) return fail(begin, "an argument is empty");
    mu::Parser parser;
    set_up_parser(parser);
    try {
      parser.SetExpr(text);
      int results = 0;
      const double* values = parser.Eval(results);
      if (results != 1) return fail(begin, "unexpected \",\"");
      value = values[0];
    } catch (const mu::Parser::exception_type& e) {
      const std::string token = e.GetToken();
      const bool names_data =
          find_channel_identifier(token) != nullptr || find_series_function(token) != nullptr;
      if (e.GetCode() == mu::ecUNASSIGNABLE_TOKEN && names_data) {
        return fail(begin + static_cast<size_t>(std::max(e.GetPos(), 0)),
                    what + " must be a constant");
      }
      return parser_error(e, text, begin);
    }
    const bool whole = std::isfinite(value) && value == std::nearbyint(value);
    switch (f.kind) {
      case SeriesFunctionKind::Smooth:
        if (!whole || value < 1 || value > 1e6 || std::fmod(value, 2) == 0) {
          return fail(begin, what + " must be an odd whole number of samples from 1 to 999999");
        }
        return true;
      case SeriesFunctionKind::Shift:
        if (!whole || std::fabs(value) > 1e9) return fail(begin, what + " must be a whole number");
        return true;
      default:
        if (!std::isfinite(value)) return fail(begin, what + " must be a finite number");
        return true;
    }
  }

  // The parser's complaint about `text` (which starts at `begin` in the
  // formula) in our words.
  bool parser_error(const mu::Parser::exception_type& e, const std::string& text, size_t begin) {
    std::string token = e.GetToken();
    while (!token.empty() && is_space(token.back())) token.pop_back();
    const size_t pos =
        static_cast<size_t>(std::clamp(e.GetPos(), 0, static_cast<int>(text.size())));
    // The name a complaint about a function's arguments is about.
    auto name_before = [&](size_t at) {
      const size_t found = text.rfind(token, at);
      return found == std::string::npos ? at : found;
    };
    switch (e.GetCode()) {
      case mu::ecUNASSIGNABLE_TOKEN: {
        if (token.empty() || !is_name_start(token[0])) {
          return fail(begin + pos, "unexpected " + quoted(token.substr(0, 1)));
        }
        const size_t after = skip_spaces(text, pos + token.size(), text.size());
        if (after < text.size() && text[after] == '(') {
          return fail(begin + pos, "unknown function " + quoted(token));
        }
        std::string problem = "unknown channel " + quoted(token);
        if (const ChannelIdentifier* meant = find_channel_identifier_ignoring_case(token)) {
          problem += " (did you mean " + quoted(meant->name) + "?)";
        }
        return fail(begin + pos, problem);
      }
      case mu::ecUNEXPECTED_EOF:
        return fail(begin + text.size(), "the formula ends too early");
      case mu::ecMISSING_PARENS: {
        const size_t open = unclosed_bracket(text, 0, text.size());
        return fail(begin + (open == std::string::npos ? text.size() : open), "missing \")\"");
      }
      case mu::ecTOO_MANY_PARAMS:
        return fail(begin + name_before(pos), "too many arguments for " + quoted(token));
      case mu::ecTOO_FEW_PARAMS:
        return fail(begin + name_before(pos), "too few arguments for " + quoted(token));
      case mu::ecMISSING_ELSE_CLAUSE: {
        const size_t question = text.rfind('?');
        return fail(begin + (question == std::string::npos ? text.size() : question),
                    "\"?\" without its \":\"");
      }
      case mu::ecMISPLACED_COLON: {
        const size_t colon = text.rfind(':', pos);
        return fail(begin + (colon == std::string::npos ? pos : colon), "\":\" without its \"?\"");
      }
      case mu::ecUNEXPECTED_OPERATOR:
      case mu::ecUNEXPECTED_ARG_SEP:
      case mu::ecUNEXPECTED_ARG:
      case mu::ecUNEXPECTED_VAL:
      case mu::ecUNEXPECTED_VAR:
      case mu::ecUNEXPECTED_PARENS:
      case mu::ecUNEXPECTED_STR:
      case mu::ecUNEXPECTED_FUN:
      case mu::ecUNEXPECTED_CONDITIONAL:
      case mu::ecSTR_RESULT:
      case mu::ecUNTERMINATED_STRING:
      case mu::ecVAL_EXPECTED:
        if (token.empty()) return fail(begin + pos, "unexpected end");
        return fail(begin + pos, "unexpected " + quoted(token));
      case mu::ecIDENTIFIER_TOO_LONG:
        return fail(begin + pos, "a name is too long");
      case mu::ecEXPRESSION_TOO_LONG:
        return fail(begin, "the formula is too long");
      default:
        return fail(begin + pos, "the formula cannot be read");
    }
  }

  std::string_view text_;
  std::string work_;
  FormulaError& error_;
  std::unique_ptr<Formula> formula_;
  std::vector<std::string> placeholders_;  // the name each series call became
  size_t call_end_ = 0;
};

Formula::Formula() = default;
Formula::~Formula() = default;

std::unique_ptr<Formula> Formula::compile(std::string_view text, FormulaError& error) {
  return FormulaCompiler(text, error).compile();
}

std::vector<double> Formula::evaluate(const DataSet& set) const {
  std::vector<double> values(set.sample_count());
  run(set, false, values);
  return values;
}
void Formula::evaluate(const DataSet& set, std::span<double> out) const { run(set, false, out); }
bool Formula::runs_in_blocks() const {
  return std::all_of(stages_.begin(), stages_.end(),
                     [](const auto& stage) { return stage->program.has_value(); });
}
std::vector<double> Formula::evaluate_per_sample(const DataSet& set) const {
  std::vector<double> values(set.sample_count());
  run(set, true, values);
  return values;
}

namespace {

// A series' n values, read through a copy padded with zeros when the series
// is shorter (a damaged slot reads 0 beyond its end, as everywhere).
class SeriesValues {
 public:
  SeriesValues(const Series& series, long n) {
    if (series.size() >= n) {
      data_ = series.data();
    } else {
      padded_.assign(static_cast<size_t>(n), 0.0);
      std::copy_n(series.data(), std::max<long>(series.size(), 0), padded_.begin());
      data_ = padded_.data();
    }
  }
  const double* data() const { return data_; }

 private:
  const double* data_ = nullptr;
  std::vector<double> padded_;
};

}  // namespace

void Formula::run(const DataSet& set, bool per_sample, std::span<double> out) const {
  const long n = static_cast<long>(std::min<size_t>(set.sample_count(), out.size()));
  if (n <= 0) return;
  const auto identifiers = channel_identifiers();
  const size_t un = static_cast<size_t>(n);

  // The stored values of every channel read, by identifier slot.
  std::vector<std::unique_ptr<SeriesValues>> channel_values(identifiers.size());
  auto stored = [&](size_t slot) -> const double* {
    auto& values = channel_values[slot];
    if (!values) values = std::make_unique<SeriesValues>(set[identifiers[slot].channel], n);
    return values->data();
  };
  const double* const time = [&] {
    for (size_t i = 0; i < identifiers.size(); ++i) {
      if (identifiers[i].channel == Channel::PeloTime) return stored(i);
    }
    return static_cast<const double*>(nullptr);
  }();
  std::optional<SeriesValues> lap;

  // Each stage's values (those of the argument of a whole-series function are
  // read by it), and each whole-series function, which gives its values block
  // by block to the stage that uses it (or all at once to the parser).
  std::vector<std::unique_ptr<double[]>> stage_values(stages_.size());
  std::vector<const double*> stage_results(stages_.size(), nullptr);
  std::vector<std::unique_ptr<SeriesFunction>> functions(calls_.size());
  std::vector<std::unique_ptr<double[]>> function_values(calls_.size());
  for (size_t s = 0; s < stages_.size(); ++s) {
    const Stage& stage = *stages_[s];
    const bool last = s + 1 == stages_.size();
    const bool blocks = stage.program && !per_sample;
    std::vector<BlockInput> inputs(stage.slots.size());
    for (int slot : stage.read_slots) {
      const size_t i = static_cast<size_t>(slot);
      if (i < identifiers.size()) {
        inputs[i].values = stored(i);
        continue;
      }
      const size_t c = i - identifiers.size();
      if (blocks) {
        inputs[i].function = functions[c].get();
      } else {
        function_values[c].reset(new double[un]);
        functions[c]->fill_all({function_values[c].get(), un});
        inputs[i].values = function_values[c].get();
      }
    }
    if (!last && stage.bare_slot && stage.scales[*stage.bare_slot] == StoredScale::AsHeld &&
        inputs[*stage.bare_slot].values != nullptr) {
      stage_results[s] = inputs[*stage.bare_slot].values;  // a series as held: no copy
    } else {
      double* to = nullptr;
      if (last) {
        to = out.data();
      } else {
        stage_values[s].reset(new double[un]);
        to = stage_values[s].get();
      }
      if (blocks) {
        stage.program->run(inputs, n, to);
      } else {
        // The parser's own way: its variables set to each sample's values.
        std::vector<double>& slots = stage.slots;
        for (size_t k = 0; k < un; ++k) {
          for (int slot : stage.read_slots) {
            const size_t i = static_cast<size_t>(slot);
            slots[i] = physical_value(stage.scales[i], inputs[i].values[k]);
          }
          to[k] = scalar::finite_or_gap(stage.parser.Eval());
        }
      }
      stage_results[s] = to;
    }
    if (last) break;
    for (size_t c = 0; c < calls_.size(); ++c) {
      const SeriesCall& call = calls_[c];
      if (call.argument_stage != s) continue;
      std::span<const double> laps;
      if (call.kind == SeriesFunctionKind::LapIntegral) {
        if (!lap) lap.emplace(set[Channel::Lap], n);
        laps = {lap->data(), un};
      }
      functions[c] = std::make_unique<SeriesFunction>(call.kind, call.parameter,
                                                      std::span<const double>(stage_results[s], un),
                                                      std::span<const double>(time, un), laps);
    }
  }
}

}  // namespace ardenvis::core
