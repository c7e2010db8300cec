// Math channel formulas: values worked out by hand on a five-sample series,
// the whole-series functions at and past the ends, real division of whole
// numbers, gaps instead of faults, every error message, and the block
// evaluation against the parser's own sample-by-sample evaluation.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/block_program.h"
#include "math/formula.h"
#include "math/formula_functions.h"
#include "math/parser_setup.h"

namespace ardenvis::core {
namespace {

const double kGap = std::numeric_limits<double>::quiet_NaN();

// Five samples at 10 per second; Lap changes at the third.
DataSet five_samples() {
  DataSet set;
  for (Series& s : set.series) s.resize(5);
  set.record_counts[1] = 5;
  set.record_counts[2] = 5;  // slow-channel records
  const double speed[] = {10, 12, 16, 22, 30};
  const double lap[] = {1, 1, 2, 2, 2};
  double t = 0;
  for (long k = 1; k <= 5; ++k) {
    t += 0.1;
    set[Channel::PeloTime].set(k, t);
    set[Channel::Speed].set(k, speed[k - 1]);
    set[Channel::Lap].set(k, lap[k - 1]);
    set[Channel::Rpm].set(k, 65);     // hundreds of rpm
    set[Channel::Gear].set(k, 30);    // 10 x gear
    set[Channel::GLat].set(k, -4.5);  // 10 x g
    set[Channel::Fuel].set(k, 2);     // a whole number
    set[Channel::Brake].set(k, k == 3 ? 100 : 0);
  }
  return set;
}

std::vector<double> evaluated(std::string_view text, const DataSet& set) {
  FormulaError error;
  auto formula = Formula::compile(text, error);
  EXPECT_TRUE(formula) << error.message();
  if (!formula) return {};
  return formula->evaluate(set);
}

void expect_values(std::string_view text, const DataSet& set, std::vector<double> expected) {
  const std::vector<double> got = evaluated(text, set);
  ASSERT_EQ(got.size(), expected.size()) << text;
  for (size_t i = 0; i < got.size(); ++i) {
    if (std::isnan(expected[i])) {
      EXPECT_TRUE(std::isnan(got[i])) << text << " sample " << i + 1 << " = " << got[i];
    } else {
      EXPECT_NEAR(got[i], expected[i], 1e-9) << text << " sample " << i + 1;
    }
  }
}

TEST(MathFormula, HandWorkedValues) {
  const DataSet set = five_samples();
  const struct {
    const char* formula;
    std::vector<double> expected;
  } cases[] = {
      // Physical values: RPM x 100, Gear and G Lat / 10.
      {"RPM", {6500, 6500, 6500, 6500, 6500}},
      {"Gear", {3, 3, 3, 3, 3}},
      {"G_Lat * g",
       {-0.45 * 9.80665, -0.45 * 9.80665, -0.45 * 9.80665, -0.45 * 9.80665, -0.45 * 9.80665}},
      // Whole numbers divide as reals.
      {"Fuel / 3", {2.0 / 3, 2.0 / 3, 2.0 / 3, 2.0 / 3, 2.0 / 3}},
      {"2 / 3 + Gear / 2",
       {2.0 / 3 + 1.5, 2.0 / 3 + 1.5, 2.0 / 3 + 1.5, 2.0 / 3 + 1.5, 2.0 / 3 + 1.5}},
      // One-sided differences at the ends, central ones inside.
      {"d(Speed)", {20, 30, 50, 70, 80}},
      {"d(d(Speed))", {100, 150, 200, 150, 100}},
      {"integral(Speed)", {0, 1.1, 2.5, 4.4, 7.0}},
      // From 0 again on the first sample of lap 2.
      {"lap_integral(Speed)", {0, 1.1, 0, 1.9, 4.5}},
      {"lap_integral(Brake / 100)", {0, 0, 0, 0.05, 0.05}},
      {"shift(Speed, 2)", {kGap, kGap, 10, 12, 16}},
      {"shift(Speed, -1)", {12, 16, 22, 30, kGap}},
      {"shift(Speed, 7)", {kGap, kGap, kGap, kGap, kGap}},
      {"shift(Speed, 0)", {10, 12, 16, 22, 30}},
      {"delay(Speed, 0.1)", {kGap, 10, 12, 16, 22}},
      {"delay(Speed, 0.05)", {kGap, 11, 14, 19, 26}},
      {"delay(Speed, -0.1)", {12, 16, 22, 30, kGap}},
      {"smooth(Speed, 3)", {11, 38.0 / 3, 50.0 / 3, 68.0 / 3, 26}},
      {"smooth(Speed, 1)", {10, 12, 16, 22, 30}},
      {"Speed - shift(Speed, 1)", {kGap, 2, 4, 6, 8}},
      {"2 * d(Speed) + abs(G_Lat)", {40.45, 60.45, 100.45, 140.45, 160.45}},
      {"Speed > 15 ? Speed : -1", {-1, -1, 16, 22, 30}},
      {"clamp(Speed, 11, 20)", {11, 12, 16, 20, 20}},
      {"hypot(3, 4) + atan2(0, 1) + min(Speed, 12, 11) - max(1, 2)", {13, 14, 14, 14, 14}},
      // Not finite: a gap, never a fault.
      {"Speed / (Speed - 12)", {-5, kGap, 4, 2.2, 1.666666666666667}},
      {"sqrt(Speed - 13)", {kGap, kGap, std::sqrt(3.0), 3, std::sqrt(17.0)}},
      {"ln(Speed - Speed)", {kGap, kGap, kGap, kGap, kGap}},
  };
  for (const auto& c : cases) expect_values(c.formula, set, c.expected);
}

TEST(MathFormula, WholeSeriesFunctionsOnOneSample) {
  DataSet set;
  for (Series& s : set.series) s.resize(1);
  set.record_counts[1] = 1;
  set[Channel::PeloTime].set(1, 0.1);
  set[Channel::Speed].set(1, 50);
  expect_values("d(Speed)", set, {kGap});
  expect_values("integral(Speed)", set, {0});
  expect_values("smooth(Speed, 5)", set, {50});
  expect_values("shift(Speed, 1)", set, {kGap});
  expect_values("delay(Speed, 0)", set, {50});
}

TEST(MathFormula, ReadsTheChannelsItNames) {
  FormulaError error;
  auto formula = Formula::compile("d(Speed) + RPM / Speed + lap_integral(G_Long)", error);
  ASSERT_TRUE(formula) << error.message();
  EXPECT_EQ(formula->channels(),
            (std::vector<Channel>{Channel::Speed, Channel::GLong, Channel::Rpm}));
}

TEST(MathFormula, ErrorsNameTheFormulaAndThePosition) {
  const struct {
    const char* formula;
    const char* problem;
    int position;
  } cases[] = {
      {"", "the formula is empty", 1},
      {"   ", "the formula is empty", 1},
      {"Sped / 2", "unknown channel \"Sped\"", 1},
      {"2 * rpm", "unknown channel \"rpm\" (did you mean \"RPM\"?)", 5},
      {"_0 + 1", "unknown channel \"_0\"", 1},
      {"foo(Speed)", "unknown function \"foo\"", 1},
      {"Speed +", "the formula ends too early", 8},
      {"(Speed", "missing \")\"", 1},
      {"Speed)", "unexpected \")\"", 6},
      {"Speed 2", "unexpected \"2\"", 7},
      {"Speed $ 2", "unexpected \"$\"", 7},
      {"Speed / 0", "division by zero", 7},
      {"Speed / (2 - 2)", "division by zero", 7},
      {"Speed / -0.0 ^ 2", "division by zero", 7},
      {"2 * d(Speed / 0)", "division by zero", 13},
      {"abs(d(Sped))", "unknown channel \"Sped\"", 7},
      {"min()", "too few arguments for \"min\"", 1},
      {"1 + sin(1, 2)", "too many arguments for \"sin\"", 5},
      {"Speed > 1 ? 2", "\"?\" without its \":\"", 11},
      {"Speed : 2", "\":\" without its \"?\"", 7},
      {"Speed = 2", "unexpected \"=\"", 7},
      {"Speed, RPM", "unexpected \",\"", 6},
      {"d(Speed, 2)", "\"d\" takes 1 argument", 1},
      {"d()", "\"d\" takes 1 argument", 1},
      {"smooth(Speed)", "\"smooth\" takes 2 arguments", 1},
      {"1 + d * 2", "\"d\" is a function: write d(...)", 5},
      {"d(Speed", "missing \")\"", 2},
      {"smooth(Speed, 4)",
       "the window of smooth() must be an odd whole number of samples from 1 to 999999", 15},
      {"smooth(Speed, RPM)", "the window of smooth() must be a constant", 15},
      {"shift(Speed, 1.5)", "the sample count of shift() must be a whole number", 14},
      {"delay(Speed, 1/0)", "the seconds of delay() must be a finite number", 14},
      {"smooth(Speed, )", "an argument is empty", 15},
  };
  for (const auto& c : cases) {
    FormulaError error;
    EXPECT_FALSE(Formula::compile(c.formula, error)) << c.formula;
    EXPECT_EQ(error.problem, c.problem) << c.formula;
    EXPECT_EQ(error.position, c.position) << c.formula;
    EXPECT_EQ(error.message(), "Formula \"" + std::string(c.formula) + "\": " + c.problem +
                                   " at position " + std::to_string(c.position));
  }
}

TEST(MathFormula, EveryListedExampleCompiles) {
  for (const auto& list : {formula_functions(), formula_operators()}) {
    for (const FormulaHelp& help : list) {
      FormulaError error;
      EXPECT_TRUE(Formula::compile(help.example, error)) << error.message();
    }
  }
}

// The block evaluation must give the parser's own values, bit for bit, for
// every operator and function, over a series whose length is no whole number
// of blocks.
TEST(MathFormula, BlocksGiveWhatTheParserGives) {
  DataSet set;
  const long n = 1000;
  for (Series& s : set.series) s.resize(n);
  set.record_counts[1] = n;
  for (long k = 1; k <= n; ++k) {
    set[Channel::PeloTime].set(k, 0.05 * static_cast<double>(k));
    set[Channel::Speed].set(k, std::fmod(static_cast<double>(k) * 7.3, 120) - 3);
    set[Channel::Rpm].set(k, std::fmod(static_cast<double>(k) * 1.7, 90));
    set[Channel::GLat].set(k, std::sin(static_cast<double>(k) / 30) * 12);
    set[Channel::GLong].set(k, k % 17 == 0 ? 0 : std::cos(static_cast<double>(k) / 11) * 9);
    set[Channel::Gear].set(k, static_cast<double>(k % 7) * 10);
    set[Channel::Lap].set(k, static_cast<double>(k / 300));
  }
  const char* formulas[] = {
      "Speed",
      "3",
      "Speed * 2 + 1",
      "-Speed + +RPM",
      "Speed^2 + RPM^3 - G_Lat^4 + Speed^0.5",
      "Speed / G_Long",
      "1 / Speed - RPM / 7",
      "Speed <= 20 + (Speed >= 30) * 2 + (Speed != 40) * 3 + (Gear == 3) + (RPM < 9) - (G_Lat > 0)",
      "Speed > 50 && RPM > 4000 || Gear == 2",
      "Speed > 50 ? (RPM > 3000 ? 1 : Gear) : G_Lat < 0 ? -1 : 0",
      "hypot(G_Lat, G_Long) + atan2(G_Lat, G_Long) + clamp(Speed, 0, 100)",
      "min(Speed, RPM / 100, G_Lat) + max(Gear, 2) + min(Speed, 3)",
      "abs(G_Lat) + sign(G_Long) + sqrt(Speed) + exp(G_Lat / 10) + ln(Speed) + log10(RPM) + "
      "log2(Speed)",
      "sin(Speed) + cos(RPM) + tan(G_Lat) + asin(G_Long / 10) + acos(G_Lat / 20) + atan(Speed)",
      "sinh(G_Lat / 5) + cosh(G_Long / 5) + tanh(Speed) + floor(G_Lat) + ceil(G_Long) + "
      "round(Speed / 7)",
      "d(Speed) * G_Long - integral(G_Lat) / max(lap_integral(RPM), 1)",
      "smooth(Speed, 5) + shift(G_Lat, 3) + delay(RPM, 0.12) + pi * g",
      "Speed * 1000 / max(RPM, 1) + d(Speed) / g - G_Long",
  };
  for (const char* text : formulas) {
    FormulaError error;
    auto formula = Formula::compile(text, error);
    ASSERT_TRUE(formula) << error.message();
    EXPECT_TRUE(formula->runs_in_blocks()) << text;
    const auto blocks = formula->evaluate(set);
    const auto samples = formula->evaluate_per_sample(set);
    ASSERT_EQ(blocks.size(), static_cast<size_t>(n));
    ASSERT_EQ(samples.size(), static_cast<size_t>(n));
    int differences = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
      const bool same = std::isnan(blocks[i]) ? std::isnan(samples[i]) : blocks[i] == samples[i];
      if (!same && differences++ < 3) {
        ADD_FAILURE() << text << " sample " << i + 1 << ": " << blocks[i] << " vs " << samples[i];
      }
    }
    EXPECT_EQ(differences, 0) << text;
  }
}

// The kernels built for any processor and those built for AVX2 give the same
// bits (only one of them runs on a given machine, so both are run here).
TEST(MathBlocks, PortableAndWideKernelsAgree) {
  mu::Parser parser;
  set_up_parser(parser);
  std::vector<double> slots(3);
  const std::vector<StoredScale> scales = {StoredScale::AsHeld, StoredScale::Hundredths,
                                           StoredScale::Tenfold};
  parser.DefineVar("a", &slots[0]);
  parser.DefineVar("b", &slots[1]);
  parser.DefineVar("c", &slots[2]);
  const long n = 700;
  std::vector<std::vector<double>> values(3, std::vector<double>(n));
  for (long k = 0; k < n; ++k) {
    values[0][static_cast<size_t>(k)] = std::sin(static_cast<double>(k)) * 50;
    values[1][static_cast<size_t>(k)] = static_cast<double>(k % 13) - 4;
    values[2][static_cast<size_t>(k)] = std::cos(static_cast<double>(k) / 7) * 3;
  }
  const std::vector<BlockInput> inputs = {
      {values[0].data()}, {values[1].data()}, {values[2].data()}};
  for (const char* text : {"a / b + c * 3 - b^2", "a > 0 ? sqrt(a) : hypot(b, c)",
                           "min(a, b, c) + max(a, 1) + clamp(a, b, c) + abs(c) / c",
                           "(a <= b) + (a && c) + (b || 0) - -a + atan2(a, c) + b^3 + c^4"}) {
    parser.SetExpr(text);
    parser.Eval();
    const auto portable = BlockProgram::translate(parser, slots, scales, false);
    const auto wide = BlockProgram::translate(parser, slots, scales, true);
    ASSERT_TRUE(portable && wide) << text;
    std::vector<double> a(n), b(n);
    portable->run(inputs, n, a.data());
    wide->run(inputs, n, b.data());
    for (size_t i = 0; i < a.size(); ++i) {
      ASSERT_TRUE(std::isnan(a[i]) ? std::isnan(b[i]) : a[i] == b[i]) << text << " at " << i;
    }
  }
}

}  // namespace
}  // namespace ardenvis::core
