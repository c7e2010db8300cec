// Display preference files: the 70-line layout, loading on top of the
// controls' values (old shorter files included), the unit switches a load
// makes, and the dialog outcomes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/folder_test.h"
#include "support/scripted_host.h"
#include "viewer/display_preferences.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

std::string join_crlf(const std::vector<std::string>& lines, size_t count) {
  std::string text;
  for (size_t i = 0; i < count && i < lines.size(); ++i) text += lines[i] + "\r\n";
  return text;
}

size_t row(Channel channel) { return static_cast<size_t>(plot_channel_row(channel)); }

// Preferences that differ from the start-up state on every kind of line.
DisplayPreferences changed_preferences() {
  DisplayPreferences p = DisplayPreferences::defaults();
  p.colour_a[row(Channel::Rpm)] = colour::blue;
  p.colour_b[row(Channel::Odo)] = colour::teal;
  p.shown[row(Channel::GLong)] = true;
  p.shown[row(Channel::Rpm)] = false;
  p.shown[row(Channel::Odo)] = true;
  p.line_a = 2;
  p.line_b = 0;
  p.grid_enable = 2;
  p.grid_lines = 1;
  p.units.speed_kmh = true;
  p.units.distance_feet = true;
  p.speed_calibration = true;
  p.time_slip = {colour::green, 3, true};
  p.odo_slip = {colour::navy, 2, true};
  p.filter_when_loaded = false;
  return p;
}

class PreferenceFiles : public testing::FolderTest {
 protected:
  PreferenceFiles() : FolderTest("cfg") {
    state.file(FileKind::DisplayPreferences) = {dir_.string() + "/", "default.cfg"};
    // One loaded slot whose speed and distance the unit switches convert.
    DataSet& a = state.data_set(DataSetId::A);
    a.loaded = kDecoded;
    a.record_counts[1] = 3;
    for (Channel c : {Channel::Speed, Channel::Odo, Channel::WaterTemp}) a[c].resize(3);
    a[Channel::Speed].set(2, 100);
    a[Channel::Odo].set(2, 1000);
  }
  // The text save_cfg_data writes for `p`.
  std::string saved_text(const DisplayPreferences& p) {
    ScriptedHost host;
    host.queue_save_file(path("saved.cfg"));
    host.expect(MessageKind::Information, "File Saved OK");
    EXPECT_TRUE(save_cfg_data(state, host, p));
    EXPECT_EQ(host.verify(), "");
    return read_all(dir_ / "saved.cfg");
  }
  double speed() const { return state.data_sets[0][Channel::Speed][2]; }

  ProgramState state;
};

TEST_F(PreferenceFiles, StartUpStateWritesSeventyLinesOfTheLayout) {
  const auto lines = crlf_lines(saved_text(DisplayPreferences::defaults()));
  ASSERT_EQ(lines.size(), 70u);
  // Colours of data set A as 0x00BBGGRR decimals: RPM red, Speed fuchsia, Gear
  // yellow, Brake navy, oil pressure blue, oil temperature lime, Water aqua,
  // Fuel green, Battery maroon.
  const std::vector<std::string> colours_a{"255",   "16711935", "65535", "8388608", "16711680",
                                           "65280", "16776960", "32768", "128"};
  for (size_t i = 0; i < colours_a.size(); ++i) {
    EXPECT_EQ(lines[i], colours_a[i]) << "line " << i + 1;
    EXPECT_EQ(lines[i + 9], colours_a[i]) << "line " << i + 10;
  }
  struct Expected {
    int line;
    const char* text;
  };
  for (const auto& [line, text] : std::vector<Expected>{
           {19, "1"},       {20, "1"},       {21, "0"},     {22, "0"},        {23, "1"},
           {25, "8388736"}, {27, "8388608"}, {29, "32896"}, {31, "TRUE"},     {32, "TRUE"},
           {33, "FALSE"},   {35, "TRUE"},    {37, "TRUE"},  {39, "FALSE"},    {41, "TRUE"},
           {42, "FALSE"},   {43, "TRUE"},    {45, "FALSE"}, {46, "0"},        {47, "1"},
           {48, "1"},       {49, "0"},       {50, "0"},     {53, "0"},        {54, "FALSE"},
           {55, "8421504"}, {57, "FALSE"},   {58, "1"},     {60, "TRUE"},     {63, "TRUE"},
           {64, "255"},     {65, "0"},       {66, "FALSE"}, {67, "16711935"}, {69, "FALSE"},
           {70, "TRUE"}}) {
    EXPECT_EQ(lines[static_cast<size_t>(line - 1)], text) << "line " << line;
  }
}

TEST_F(PreferenceFiles, EveryValueComesBack) {
  const DisplayPreferences p = changed_preferences();
  const PreferenceRead read = read_preferences(saved_text(p), DisplayPreferences::defaults());
  EXPECT_TRUE(read.complete());
  EXPECT_EQ(read.values, p);
}

TEST_F(PreferenceFiles, FileCutAfterLine45KeepsUnitsGridAndLines) {
  const auto lines = crlf_lines(saved_text(changed_preferences()));
  write("old.cfg", join_crlf(lines, 45));
  ScriptedHost host;
  host.queue_open_file(path("old.cfg"));
  host.expect(MessageKind::Information, "Display Preferences Loaded");
  host.expect(MessageKind::Warning, "Old Preference File Format, Please Re-Save to Update");
  DisplayPreferences controls = DisplayPreferences::defaults();
  EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::LoadButton),
            PreferenceLoad::OldFormat);
  EXPECT_EQ(host.verify(), "");

  const DisplayPreferences start = DisplayPreferences::defaults();
  // Colours and channel boxes (lines 1-45) loaded...
  EXPECT_EQ(controls.colour_a[row(Channel::Rpm)], colour::blue);
  EXPECT_TRUE(controls.shown[row(Channel::GLong)]);
  EXPECT_FALSE(controls.shown[row(Channel::Rpm)]);
  // ...the rest kept: line styles, grid, units, calibration, odometer, slips, filter.
  EXPECT_EQ(controls.line_a, start.line_a);
  EXPECT_EQ(controls.grid_enable, start.grid_enable);
  EXPECT_EQ(controls.units.speed_kmh, false);
  EXPECT_EQ(controls.colour_b[row(Channel::Odo)], start.colour_b[row(Channel::Odo)]);
  EXPECT_EQ(controls.shown[row(Channel::Odo)], false);
  EXPECT_EQ(controls.time_slip, start.time_slip);
  EXPECT_TRUE(controls.filter_when_loaded);
  EXPECT_FALSE(state.unit_flags.speed_kmh);
  EXPECT_DOUBLE_EQ(speed(), 100);
}

TEST_F(PreferenceFiles, LoadedUnitsConvertTheDataLikeTheUsersOwnSwitch) {
  write("units.cfg", saved_text(changed_preferences()));
  ScriptedHost host;
  host.queue_open_file(path("units"));  // no extension: ".cfg" is added
  host.expect(MessageKind::Information, "Display Preferences Loaded");
  DisplayPreferences controls = DisplayPreferences::defaults();
  EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::LoadButton),
            PreferenceLoad::Loaded);
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(controls, changed_preferences());
  EXPECT_TRUE(state.unit_flags.speed_kmh);
  EXPECT_TRUE(state.unit_flags.distance_feet);
  EXPECT_TRUE(state.speed_calibration);
  EXPECT_FALSE(state.filter_when_loaded);
  EXPECT_DOUBLE_EQ(speed(), 100 * 1.6 * 0.97);
  EXPECT_DOUBLE_EQ(state.data_sets[0][Channel::Odo][2], 3281);

  // Loading the same file again: every unit already agrees, nothing converts.
  host.queue_open_file(path("units.cfg"));
  host.expect("Display Preferences Loaded");
  load_cfg_data(state, host, controls, PreferenceSource::LoadButton);
  EXPECT_DOUBLE_EQ(speed(), 100 * 1.6 * 0.97);
  // Loading did not move the remembered location.
  EXPECT_EQ(state.file(FileKind::DisplayPreferences).name, "saved.cfg");
}

TEST_F(PreferenceFiles, ReadingStopsAtTheFirstLineThatIsNoNumber) {
  auto lines = crlf_lines(saved_text(changed_preferences()));
  struct Case {
    int line;
    const char* text;
    int applied;
  };
  for (const Case& c :
       std::vector<Case>{{3, "yellow", 2},     // a colour that is no number
                         {46, "", 45},         // an empty choice line
                         {20, "x", 70},        // constant lines are skipped, whatever they hold
                         {31, "yes", 70},      // a boolean line: anything but TRUE is unchecked
                         {41, "garbage", 70},  // constant TRUE lines are skipped
                         {46, "7", 70},  // a choice outside its list keeps the control's value
                         {1, "-16777201", 70},   // another program's system colour keeps the colour
                         {2, " 65280 ", 70}}) {  // blanks around a number are fine
    auto edited = lines;
    edited[static_cast<size_t>(c.line - 1)] = c.text;
    const PreferenceRead read =
        read_preferences(join_crlf(edited, 70), DisplayPreferences::defaults());
    EXPECT_EQ(read.lines_applied, c.applied) << "line " << c.line << " = \"" << c.text << "\"";
  }
  auto edited = lines;
  edited[30] = "yes";
  edited[45] = "7";
  edited[0] = "-16777201";
  const DisplayPreferences values =
      read_preferences(join_crlf(edited, 70), DisplayPreferences::defaults()).values;
  EXPECT_FALSE(values.shown[row(Channel::Rpm)]);
  EXPECT_EQ(values.line_a, 0);
  EXPECT_EQ(values.colour_a[row(Channel::Rpm)], colour::red);
  // LF-only line ends read the same.
  std::string lf;
  for (const auto& line : lines) lf += line + "\n";
  EXPECT_TRUE(read_preferences(lf, DisplayPreferences::defaults()).complete());
}

TEST_F(PreferenceFiles, WindowShownLoadsDefaultCfgQuietly) {
  DisplayPreferences controls = DisplayPreferences::defaults();
  {
    ScriptedHost host;
    host.expect(MessageKind::Information, "Using Standard Display Preferences");
    EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::WindowShown),
              PreferenceLoad::NotLoaded);
    EXPECT_EQ(host.verify(), "");
    EXPECT_TRUE(host.dialogs.empty());
  }
  // Whatever name the user last saved under, the window loads "default.cfg".
  state.file(FileKind::DisplayPreferences).name = "mine.cfg";
  write("default.cfg", saved_text(changed_preferences()));
  {
    ScriptedHost host;  // no message at all
    EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::WindowShown),
              PreferenceLoad::Loaded);
    EXPECT_EQ(host.verify(), "");
    EXPECT_EQ(controls, changed_preferences());
  }
  write("default.cfg", join_crlf(crlf_lines(read_all(dir_ / "default.cfg")), 30));
  {
    ScriptedHost host;
    host.expect("Display Preferences Loaded");
    host.expect(MessageKind::Warning, "Old Preference File Format, Please Re-Save to Update");
    EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::WindowShown),
              PreferenceLoad::OldFormat);
    EXPECT_EQ(host.verify(), "");
  }
  // A default.cfg that cannot be read is passed over in silence.
  fs::remove(dir_ / "default.cfg");
  fs::create_directory(dir_ / "default.cfg");
  {
    ScriptedHost host;
    EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::WindowShown),
              PreferenceLoad::NotLoaded);
    EXPECT_EQ(host.verify(), "");
  }
}

TEST_F(PreferenceFiles, DialogOutcomesNameThePreferences) {
  write("exists.cfg", "1\r\n");
  fs::create_directory(dir_ / "folder.cfg");
  struct Case {
    std::optional<std::string> name;
    const char* message;
  };
  for (const Case& c : std::vector<Case>{
           {std::nullopt, "Display Preferences Not Loaded"},
           {path("prefs.txt"), "Invalid Filename, Display Preferences Not Loaded"},
           {path("prefs.CFG"), "Invalid Filename, Display Preferences Not Loaded"},
           {path("absent.cfg"), "Filename Does Not Exist, Display Preferences Not Loaded"},
           {path("folder.cfg"), "File Problem! Display Preferences Not Loaded"}}) {
    ScriptedHost host;
    host.queue_open_file(c.name);
    host.expect(MessageKind::Warning, c.message);
    DisplayPreferences controls = DisplayPreferences::defaults();
    EXPECT_EQ(load_cfg_data(state, host, controls, PreferenceSource::LoadButton),
              PreferenceLoad::NotLoaded);
    EXPECT_EQ(host.verify(), "") << c.message;
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].title, "Load Display Preferences");
  }
  for (const Case& c :
       std::vector<Case>{{std::nullopt, "Cancelled, Display Preferences Not Saved"},
                         {path("prefs.txt"), "Invalid Filename, Display Preferences Not Saved"},
                         {path("missing-folder/prefs.cfg"),
                          "File Already Open, Display Preferences Not Saved"}}) {
    ScriptedHost host;
    host.queue_save_file(c.name);
    host.expect(MessageKind::Warning, c.message);
    EXPECT_FALSE(save_cfg_data(state, host, DisplayPreferences::defaults()));
    EXPECT_EQ(host.verify(), "") << c.message;
    EXPECT_EQ(host.dialogs.at(0).title, "Save Display Preferences");
  }
  // Overwrite refused: nothing written.
  ScriptedHost host;
  host.queue_save_file(path("exists.cfg"));
  host.expect(MessageKind::Confirmation, "File Exists, Overwrite File ?", Answer::No);
  host.expect(MessageKind::Warning, "Display Preferences Not Saved");
  EXPECT_FALSE(save_cfg_data(state, host, DisplayPreferences::defaults()));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(read_all(dir_ / "exists.cfg"), "1\r\n");
  EXPECT_EQ(state.file(FileKind::DisplayPreferences).name, "default.cfg");
}

}  // namespace
}  // namespace ardenvis::core
