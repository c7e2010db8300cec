// The math channel library file (bad lines reported, the others loaded), its
// round trip, its place, and channels that cannot be computed for a data set.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <optional>

#include "math/channel_editing.h"
#include "math/channel_library.h"
#include "math/math_channels.h"
#include "support/folder_test.h"

namespace ardenvis::core {
namespace {

TEST(MathLibrary, BadLinesAreReportedAndTheOthersLoad) {
  const std::string text =
      "\xEF\xBB\xBF# my channels\r\n"
      "Combined G [g] = hypot(G_Lat, G_Long)   # both axes\r\n"
      "\r\n"
      "Speed only\r\n"
      "Slip [% = Speed / 2\r\n"
      "[km] = Odo / 1000\n"
      "Brake time = lap_integral(Brake / 100)\n"
      "Combined G = 1\n"
      "a,b = 1\n"
      "Empty =   \n"
      "Unit after [s] x = 1\n"
      "  Wheel \"rate\" = 1\n"
      "Ratio [rpm/mph] = RPM / max(Speed, 1)";
  const ChannelLibrary library = parse_channel_library(text);
  EXPECT_EQ(library.channels, (std::vector<MathChannelDefinition>{
                                  {"Combined G", "g", "hypot(G_Lat, G_Long)", 2},
                                  {"Brake time", "", "lap_integral(Brake / 100)", 7},
                                  {"Ratio", "rpm/mph", "RPM / max(Speed, 1)", 13},
                              }));
  EXPECT_EQ(library.problems, (std::vector<std::string>{
                                  "Line 4: no \"=\" between the name and the formula",
                                  "Line 5: missing \"]\" after the unit",
                                  "Line 6: the channel has no name",
                                  "Line 8: \"Combined G\" is defined on line 2 already",
                                  "Line 9: the name may not hold \",\"",
                                  "Line 10: the channel has no formula",
                                  "Line 11: text after the unit's \"]\"",
                                  "Line 12: the name may not hold \"\"\"",
                              }));
}

TEST(MathLibrary, TextReadsBackAsWritten) {
  const std::vector<MathChannelDefinition> channels = {
      {"Combined G", "g", "hypot(G_Lat, G_Long)", 2},
      {"Gear ratio", "", "RPM / max(Speed, 1)", 3},
  };
  const std::string text = channel_library_text(channels);
  EXPECT_EQ(text,
            "# Ardenvis math channels: one channel a line, \"Name [unit] = formula\".\r\n"
            "Combined G [g] = hypot(G_Lat, G_Long)\r\n"
            "Gear ratio = RPM / max(Speed, 1)\r\n");
  const ChannelLibrary back = parse_channel_library(text);
  EXPECT_EQ(back.channels, channels);
  EXPECT_TRUE(back.problems.empty());
}

class MathLibraryFile : public testing::FolderTest {
 protected:
  MathLibraryFile() : FolderTest("math-library") {}
};

TEST_F(MathLibraryFile, SavesIntoItsFolderAndLoads) {
  const std::string file = path("config/ardenvis/math_channels.txt");
  const auto missing = load_channel_library(file);
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->channels.empty());

  const std::vector<MathChannelDefinition> channels = {{"Double", "MPH", "Speed * 2", 2}};
  ASSERT_TRUE(save_channel_library(file, channels));
  const auto loaded = load_channel_library(file);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->channels, channels);

  const char* old = getenv("XDG_CONFIG_HOME");
  const std::string kept = old ? old : "";
  setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
  EXPECT_EQ(default_channel_library_path(), file);
  if (old) {
    setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

DataSet three_samples() {
  DataSet set;
  for (Series& s : set.series) s.resize(3);
  set.record_counts[1] = 3;
  for (long k = 1; k <= 3; ++k) {
    set[Channel::PeloTime].set(k, 0.1 * static_cast<double>(k));
    set[Channel::Speed].set(k, 10 * static_cast<double>(k));
  }
  return set;
}

TEST(MathChannels, ChannelsThatCannotBeComputedAreGapsWithANote) {
  const MathChannels channels({
      {"Double", "MPH", "Speed * 2", 1},
      {"Typo", "", "Sped * 2", 2},
      {"GPS check", "", "Speed - GPS_Speed + Water", 3},
      {"Pressure", "", "Oil_Press + 1", 4},
  });
  EXPECT_EQ(channels.problems(),
            (std::vector<std::string>{
                "Line 2 (Typo): Formula \"Sped * 2\": unknown channel \"Sped\" at position 1"}));
  DataSet set = three_samples();

  const MathSeries doubled = channels.evaluate(0, set);
  EXPECT_EQ(doubled.values, (std::vector<double>{20, 40, 60}));
  EXPECT_EQ(doubled.note, "");

  const MathSeries typo = channels.evaluate(1, set);
  EXPECT_EQ(typo.values.size(), 3u);
  EXPECT_TRUE(std::isnan(typo.values[0]) && std::isnan(typo.values[2]));
  EXPECT_EQ(typo.note, "Formula \"Sped * 2\": unknown channel \"Sped\" at position 1");

  // No GPS speed frame and no slow-channel record in this log.
  const MathSeries gps = channels.evaluate(2, set);
  EXPECT_TRUE(std::isnan(gps.values[1]));
  EXPECT_EQ(gps.note, "the log does not carry GPS_Speed, Water");
  set.record_counts[2] = 1;
  set.record_counts[8 + 141] = 1;
  EXPECT_EQ(channels.evaluate(2, set).values, (std::vector<double>{10, 20, 30}));

  // Every sample record carries oil pressure, 0 or not.
  EXPECT_EQ(channels.evaluate(3, set).values, (std::vector<double>{1, 1, 1}));

  // The viewer keeps them with the slot.
  channels.update(set);
  ASSERT_EQ(set.math.size(), 4u);
  EXPECT_EQ(set.math[0].values.size(), 3);
  EXPECT_EQ(set.math[0].values[3], 60);
  EXPECT_EQ(set.math[0].note, "");
  EXPECT_TRUE(std::isnan(set.math[1].values[2]));
  EXPECT_EQ(set.math[1].note, typo.note);
  EXPECT_EQ(set.math[2].values[1], 10);

  EXPECT_EQ(MathChannels::header(channels.definition(0)), "Double (MPH)");
  EXPECT_EQ(MathChannels::header(channels.definition(1)), "Typo");
}

TEST(MathChannelEditing, WhatMayJoinTheLibrary) {
  const std::vector<MathChannelDefinition> channels = {{"Double", "MPH", "Speed * 2", 1},
                                                       {"Half", "", "Speed / 2", 2}};
  const struct {
    MathChannelDefinition candidate;
    std::optional<size_t> replacing;
    std::optional<std::string> problem;
  } cases[] = {
      {{"Triple", "", "Speed * 3"}, std::nullopt, std::nullopt},
      {{"Half", "", "Speed / 2"}, std::nullopt, "a channel named \"Half\" is in the list already"},
      {{"Half", "MPH", "Speed / 2"}, 1, std::nullopt},  // changing it in place
      {{"Half", "", "Speed / 2"}, 0, "a channel named \"Half\" is in the list already"},
      {{" ", "", "1"}, std::nullopt, "the channel has no name"},
      {{"a=b", "", "1"}, std::nullopt, "the name may not hold \"=\""},
      {{"A", "m]", "1"}, std::nullopt, "the unit may not hold \"]\""},
      {{"A", "", "1 # 2"}, std::nullopt, "the formula may not hold \"#\" or a line break"},
      {{"A", "", "Speed / 0"},
       std::nullopt,
       "Formula \"Speed / 0\": division by zero at position 7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(channel_problem(channels, c.candidate, c.replacing), c.problem)
        << c.candidate.name << " = " << c.candidate.formula;
  }
}

TEST(MathChannelEditing, CheckReportsEachLoadedDataSet) {
  ProgramState state;
  state.data_sets[0] = three_samples();
  state.data_sets[0].loaded = kDecoded;
  state.data_sets[1] = three_samples();
  state.data_sets[1].loaded = kDecoded;
  state.data_sets[1].record_counts[2] = 1;
  EXPECT_TRUE(channel_check_report({"X", "", "Water + 1"}, state).formula_ok);
  EXPECT_FALSE(channel_check_report({"X", "", "Water +"}, state).formula_ok);
  EXPECT_EQ(channel_check_report({"X", "", "Speed / (Speed - 20)"}, state).report,
            "The formula is OK.\nData A: a value at 2 of 3 samples\nData B: a value at 2 of 3 "
            "samples");
  EXPECT_EQ(channel_check_report({"X", "", "Water + 1"}, state).report,
            "The formula is OK.\nData A: no values: the log does not carry Water\nData B: a "
            "value at 3 of 3 samples");
  EXPECT_EQ(channel_check_report({"X", "", "Water +"}, state).report,
            "Formula \"Water +\": the formula ends too early at position 8");
  state.data_sets[0].loaded = state.data_sets[1].loaded = kNotLoaded;
  EXPECT_EQ(channel_check_report({"X", "", "Water + 1"}, state).report, "The formula is OK.");
}

}  // namespace
}  // namespace ardenvis::core
