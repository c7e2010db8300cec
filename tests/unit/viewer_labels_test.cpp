// Plot labels: placing up to 20, clearing, and the label file with "?" for
// line feeds.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/format.h"
#include "support/folder_test.h"
#include "support/scripted_host.h"
#include "viewer/plot_labels.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

class LabelFiles : public testing::FolderTest {
 protected:
  LabelFiles() : FolderTest("lab") {
    state.file(FileKind::ChannelLabels) = {dir_.string() + "/", "default.lab"};
  }
  bool load(const std::string& name, const std::string& message,
            MessageKind kind = MessageKind::Information) {
    ScriptedHost host;
    host.queue_open_file(path(name));
    host.expect(kind, message);
    const bool loaded = labels.load(state, host);
    EXPECT_EQ(host.verify(), "");
    return loaded;
  }

  ProgramState state;
  PlotLabels labels{state.label_counter};
  ScriptedHost host;
};

TEST_F(LabelFiles, TwoLineReadoutSavedWithQuestionMarkAndRestored) {
  ASSERT_TRUE(labels.place(host, LabelMode::SetLabel, 12.5, -3.254, "RPM 65\nSpeed 100", ""));
  ASSERT_TRUE(labels.place(host, LabelMode::SetText, 0, 7, "ignored", "Put Text Here"));
  EXPECT_EQ(state.label_counter, 3);

  host.queue_save_file(path("laps"));
  host.expect(MessageKind::Information, "File Saved OK");
  EXPECT_TRUE(labels.save(state, host));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(read("laps.lab"),
            "2\r\n12.50\r\n-3.25\r\nRPM 65?Speed 100\r\n0.00\r\n7.00\r\nPut Text Here\r\n");
  EXPECT_EQ(state.file(FileKind::ChannelLabels).name, "laps.lab");

  labels.clear_all();
  EXPECT_EQ(labels.label(1), PlotLabel{});
  ASSERT_TRUE(load("laps.lab", "Label File Loaded"));
  EXPECT_EQ(labels.label(1).caption, "RPM 65\nSpeed 100");
  EXPECT_DOUBLE_EQ(labels.label(1).x, 12.5);
  EXPECT_DOUBLE_EQ(labels.label(1).y, -3.25);
  EXPECT_EQ(labels.label(2).caption, "Put Text Here");
  EXPECT_EQ(state.label_counter, 3);
}

TEST_F(LabelFiles, ClearLastDownToOneLeavesNothingToSave) {
  labels.place(host, LabelMode::SetLabel, 1, 1, "a", "");
  labels.place(host, LabelMode::SetLabel, 2, 2, "b", "");
  labels.clear_last();
  EXPECT_EQ(labels.label(2), PlotLabel{});
  EXPECT_EQ(labels.label(1).caption, "a");
  labels.clear_last();
  labels.clear_last();  // at 1 already: stays 1, label 1 cleared again
  EXPECT_EQ(state.label_counter, 1);
  EXPECT_EQ(labels.label(1), PlotLabel{});

  host.expect(MessageKind::Warning, "No Labels to Save");
  EXPECT_FALSE(labels.save(state, host));
  EXPECT_EQ(host.verify(), "");
  EXPECT_TRUE(host.dialogs.empty());
}

TEST_F(LabelFiles, TwentyFirstLabelIsRefusedAndOtherModesPlaceNothing) {
  EXPECT_FALSE(labels.place(host, LabelMode::Off, 1, 1, "x", "y"));
  EXPECT_FALSE(labels.place(host, LabelMode::View, 1, 1, "x", "y"));
  EXPECT_EQ(state.label_counter, 1);
  for (int i = 1; i <= 20; ++i) {
    ASSERT_TRUE(labels.place(host, LabelMode::SetText, i, i, "", format("text %d", i)));
  }
  EXPECT_EQ(state.label_counter, 21);
  host.expect(MessageKind::Warning, "Maximum of 20 labels and text boxes!");
  EXPECT_FALSE(labels.place(host, LabelMode::SetLabel, 99, 99, "21st", ""));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(state.label_counter, 21);
  EXPECT_EQ(labels.label(20).caption, "text 20");

  labels.clear_all();
  EXPECT_EQ(state.label_counter, 1);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(labels.label(i), PlotLabel{});
  EXPECT_DOUBLE_EQ(labels.label(1).x, 100000000);
}

TEST_F(LabelFiles, FileWithMoreThanTwentyLabelsFillsTheTable) {
  std::string text = "25\r\n";
  for (int i = 1; i <= 25; ++i) text += format("%d.00\r\n%d.50\r\nlabel %d\r\n", i, i, i);
  write("many.lab", text);
  ASSERT_TRUE(load("many.lab", "Label File Loaded"));
  EXPECT_EQ(state.label_counter, 21);
  EXPECT_EQ(labels.label(20).caption, "label 20");
  EXPECT_DOUBLE_EQ(labels.label(20).y, 20.5);
  ScriptedHost full;
  full.expect("Maximum of 20 labels and text boxes!");
  EXPECT_FALSE(labels.place(full, LabelMode::SetText, 0, 0, "", "more"));

  // Fewer triples than the count: the count decides, the rest stay clear; an
  // earlier file's labels do not linger.
  write("short.lab", "3\r\n1.00\r\n2.00\r\nonly\r\n\r\n");
  ASSERT_TRUE(load("short.lab", "Label File Loaded"));
  EXPECT_EQ(state.label_counter, 4);
  EXPECT_EQ(labels.label(1).caption, "only");
  EXPECT_EQ(labels.label(2), PlotLabel{});
  EXPECT_EQ(labels.label(20), PlotLabel{});
}

TEST_F(LabelFiles, DamagedFilesChangeNothing) {
  labels.place(host, LabelMode::SetText, 5, 5, "", "kept");
  for (const char* text : {"", "two\r\n", "-1\r\n", "1\r\nx\r\n2\r\ncap\r\n", "1\r\n1.00\r\n",
                           "2\r\n1\r\n1\r\na\r\n\r\n2\r\n2\r\nb\r\n", "1\r\nnan\r\n1\r\na\r\n"}) {
    write("bad.lab", text);
    EXPECT_FALSE(load("bad.lab", "Problem Loading Label File", MessageKind::Error)) << text;
    EXPECT_EQ(labels.label(1).caption, "kept");
    EXPECT_EQ(state.label_counter, 2);
  }
}

TEST_F(LabelFiles, DialogOutcomesNameTheLabels) {
  labels.place(host, LabelMode::SetText, 5, 5, "", "one");
  write("exists.lab", "old");
  fs::create_directory(dir_ / "folder.lab");
  struct Case {
    std::optional<std::string> name;
    const char* message;
  };
  for (const Case& c :
       std::vector<Case>{{std::nullopt, "Labels Not Loaded"},
                         {path("x.txt"), "Invalid Filename, Labels Not Loaded"},
                         {path("absent.lab"), "Filename Does Not Exist, Labels Not Loaded"},
                         {path("folder.lab"), "Problem Opening File, Label Not Loaded"}}) {
    ScriptedHost h;
    h.queue_open_file(c.name);
    h.expect(MessageKind::Warning, c.message);
    EXPECT_FALSE(labels.load(state, h));
    EXPECT_EQ(h.verify(), "");
    EXPECT_EQ(h.dialogs.at(0).title, "Load Label Data");
  }
  for (const Case& c :
       std::vector<Case>{{std::nullopt, "Cancelled, Labels Not Saved"},
                         {path("x.txt"), "Invalid Filename, Labels Not Saved"},
                         {path("no-folder/x.lab"), "File Already Open, Labels Not Saved"}}) {
    ScriptedHost h;
    h.queue_save_file(c.name);
    h.expect(MessageKind::Warning, c.message);
    EXPECT_FALSE(labels.save(state, h));
    EXPECT_EQ(h.verify(), "");
    EXPECT_EQ(h.dialogs.at(0).title, "Save Label Data");
  }
  ScriptedHost h;
  h.queue_save_file(path("exists.lab"));
  h.expect(MessageKind::Confirmation, "File Exists, Overwrite File ?", Answer::No);
  h.expect(MessageKind::Warning, "Labels Not Saved");
  EXPECT_FALSE(labels.save(state, h));
  EXPECT_EQ(h.verify(), "");
  EXPECT_EQ(read("exists.lab"), "old");
}

}  // namespace
}  // namespace ardenvis::core
