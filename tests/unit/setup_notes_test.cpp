// Setup notes: the sheet's field table, "Clear", "Save" and the setup
// template file.

#include "files/setup_notes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "support/folder_test.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

TEST(SetupSheet, EveryFieldOnceWithItsLength) {
  std::map<int, int> lengths;
  for (auto id : {SetupBlockId::FrontLeft, SetupBlockId::FrontRight, SetupBlockId::RearLeft,
                  SetupBlockId::RearRight, SetupBlockId::General}) {
    for (const SetupRow& row : setup_block(id).rows) {
      for (int k : row.texts) {
        if (k == 0) continue;
        EXPECT_TRUE(lengths.emplace(k, row.max_length).second) << "field " << k << " twice";
      }
    }
  }
  ASSERT_EQ(lengths.size(), 65u);
  EXPECT_EQ(lengths.begin()->first, 1);
  EXPECT_EQ(lengths.rbegin()->first, 65);
  // Spot checks from the sheet: temperatures 4, geometry 5, differential 6.
  EXPECT_EQ(lengths[1], 4);
  EXPECT_EQ(lengths[13], 4);
  EXPECT_EQ(lengths[46], 5);
  EXPECT_EQ(lengths[16], 5);
  EXPECT_EQ(lengths[63], 4);
  EXPECT_EQ(lengths[65], 6);
  EXPECT_STREQ(setup_block(SetupBlockId::FrontLeft).heading, "Drivers Front Left");
  EXPECT_STREQ(setup_block(SetupBlockId::FrontRight).temperature_columns, "I       M      O");
  EXPECT_STREQ(setup_block(SetupBlockId::RearLeft).temperature_columns, "O      M       I");
  EXPECT_EQ(setup_sheet_caption(DataSetId::B), "Data B Notes");
}

class SetupTemplate : public testing::FolderTest {
 protected:
  SetupTemplate() : FolderTest("psu") {
    state.file(FileKind::SetupNotes) = {dir_.string() + "/", "default.psu"};
  }
  bool load(const std::string& name) {
    host.queue_open_file(path(name));
    return load_setup_data(state, host);
  }

  ProgramState state;
  ScriptedHost host;
};

TEST_F(SetupTemplate, SavesNotesThenEightySetupLines) {
  DataSet& set = state.data_set(DataSetId::B);
  state.current_data_set = DataSetId::B;
  set.notes = {"Baseline", ""};
  set.setup_texts[0] = "85";
  set.setup_texts[79] = "hidden";
  host.expect(MessageKind::Information, "File Saved OK");
  host.queue_save_file(path("setup"));
  ASSERT_TRUE(save_setup_data(state, host));
  EXPECT_EQ(host.verify(), "");
  std::string want = "//Baseline\r\n//\r\n@@85\r\n";
  for (int k = 2; k < 80; ++k) want += "@@\r\n";
  want += "@@hidden\r\n";
  EXPECT_EQ(read("setup.psu"), want);
  EXPECT_EQ(state.file(FileKind::SetupNotes).name, "setup.psu");
  EXPECT_EQ(host.dialogs.back().title, "Save Setup Data");
}

TEST_F(SetupTemplate, LoadsWithAndWithoutNotesAndWithoutMarkers) {
  std::string with_notes = "//Wet\r\n//cold\r\n";
  std::string without_notes;
  std::string without_markers;
  for (int k = 1; k <= 80; ++k) {
    with_notes += "@@" + std::to_string(k) + "\r\n";
    without_notes += "@@t" + std::to_string(k) + "\r\n";
    without_markers += "xx" + std::to_string(k) + "\r\n";
  }
  write("notes.psu", with_notes);
  write("plain.psu", without_notes);
  write("bare.psu", without_markers);
  DataSet& set = state.current();

  ASSERT_TRUE(load("notes.psu"));
  EXPECT_EQ(set.notes, (std::vector<std::string>{"Wet", "cold"}));
  EXPECT_EQ(set.setup_texts[0], "1");
  EXPECT_EQ(set.setup_texts[79], "80");  // texts 66..80 are carried although no field shows them

  ASSERT_TRUE(load("plain.psu"));
  EXPECT_TRUE(set.notes.empty());
  EXPECT_EQ(set.setup_texts[65], "t66");

  ASSERT_TRUE(load("bare.psu"));
  EXPECT_EQ(set.setup_texts[9], "10");
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(state.file(FileKind::SetupNotes).name, "bare.psu");
  EXPECT_EQ(host.dialogs.back().title, "Load Setup Data");
}

TEST_F(SetupTemplate, ShortFileIsAFormatErrorKeepingWhatWasRead) {
  DataSet& set = state.current();
  set.setup_texts[5] = "old";
  write("short.psu", "//n\r\n@@a\r\n@@b\r\n");
  host.expect(MessageKind::Error, "File Format Error, No Data Loaded");
  EXPECT_FALSE(load("short.psu"));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(set.notes, std::vector<std::string>{"n"});
  EXPECT_EQ(set.setup_texts[1], "b");
  EXPECT_EQ(set.setup_texts[5], "old");
  EXPECT_EQ(state.file(FileKind::SetupNotes).name, "short.psu");
}

TEST_F(SetupTemplate, DialogRefusals) {
  struct Case {
    bool save;
    std::optional<std::string> typed;
    std::string message;
  } cases[] = {
      {true, std::nullopt, "Cancelled, No Data Saved"},
      {true, "x.PSU", "Invalid Filename, No Data Saved"},
      {true, "nofolder/x.psu", "File Already Open, No Data Saved"},
      {false, std::nullopt, "No Data Loaded"},
      {false, "x.txt", "Invalid Filename, No Data Loaded"},
      {false, "missing.psu", "Filename Does Not Exist, No Data Loaded"},
  };
  for (const auto& c : cases) {
    host.expect(MessageKind::Warning, c.message);
    const auto name = c.typed ? std::optional(path(*c.typed)) : std::nullopt;
    if (c.save) {
      host.queue_save_file(name);
      EXPECT_FALSE(save_setup_data(state, host));
    } else {
      host.queue_open_file(name);
      EXPECT_FALSE(load_setup_data(state, host));
    }
  }
  EXPECT_EQ(host.verify(), "");
}

TEST(SetupNotes, ClearAndSaveChanges) {
  ProgramState state;
  ScriptedHost host;
  state.data_set(DataSetId::A).notes = {"a"};
  state.data_set(DataSetId::A).setup_texts[70] = "x";
  state.data_set(DataSetId::B).notes = {"b"};
  clear_setup(state.data_set(DataSetId::A));
  EXPECT_TRUE(state.data_set(DataSetId::A).notes.empty());
  EXPECT_EQ(state.data_set(DataSetId::A).setup_texts[70], "");
  EXPECT_EQ(state.data_set(DataSetId::B).notes, std::vector<std::string>{"b"});

  state.current().download_state = 1;  // raw bytes but nothing decoded
  host.expect(MessageKind::Information, "No Valid Data Loaded to Save Setup With");
  EXPECT_FALSE(save_changes(state, host));
  EXPECT_EQ(host.verify(), "");
  EXPECT_TRUE(host.dialogs.empty());
}

}  // namespace
}  // namespace ardenvis::core
