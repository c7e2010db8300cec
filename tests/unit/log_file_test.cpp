// The log data file: its lines as written, the dialog pattern, the header
// checks and a lossless save / load / save cycle. The small files below are
// written by hand from the file layout, so the loader is never checked only
// against our own writer.

#include "files/log_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/hex_pairs.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/folder_test.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

std::string processed(size_t n) { return "Processed " + std::to_string(n) + " bytes of Data"; }

// A sample record line with 11 data bytes, distance form, lap distance `odo`.
std::string sample_line(int odo = 0) {
  char text[64];
  std::snprintf(text, sizeof text, "59 00 00 C0 00 00 00 00 00 20 %.2X %.2X", odo >> 8, odo & 0xFF);
  return text;
}

// A log data file: notes, 80 setup texts, the header lines, then data lines.
struct PlrText {
  std::vector<std::string> notes = {" Filename: hand.plr"};
  std::string unit_type = "1";
  std::string version = "04 16";
  std::string words[3] = {"4660", "1000", "1"};
  std::string flags = "10";
  std::string identity[3] = {"1", "2", "7"};
  std::string rate = "A";
  std::vector<std::string> data = std::vector<std::string>(10, sample_line());

  std::string text() const {
    std::string out;
    for (const auto& n : notes) out += "//" + n + "\r\n";
    for (int k = 1; k <= 80; ++k) out += "@@" + std::to_string(k) + "\r\n";
    for (const auto& h : {unit_type, version, words[0], words[1], words[2], flags, identity[0],
                          identity[1], identity[2], rate}) {
      out += h + "\r\n";
    }
    for (const auto& d : data) out += d + "\r\n";
    return out;
  }
};

class LogFile : public testing::FolderTest {
 protected:
  LogFile() : FolderTest("plr") {
    state.file(FileKind::LogData) = {dir_.string() + "/", "default.plr"};
  }
  // Loads `name` into slot `slot`.
  bool load(const std::string& name, DataSetId slot = DataSetId::A) {
    state.current_data_set = slot;
    host.queue_open_file(path(name));
    return load_log_data(state, host);
  }
  bool save(const std::string& name, DataSetId slot = DataSetId::A) {
    state.current_data_set = slot;
    host.queue_save_file(path(name));
    return save_log_data(state, host);
  }
  // Loads a hand-written file whose ten sample records decode to 60 bytes.
  bool load_text(const PlrText& plr, DataSetId slot = DataSetId::A) {
    write("hand.plr", plr.text());
    host.expect(processed(60));
    return load("hand.plr", slot);
  }

  ProgramState state;
  ScriptedHost host;
};

TEST(HexPairs, ReadsPairsAndConsumesSeparators) {
  struct Case {
    std::string text;
    std::vector<int> values;  // read until the text is used up
  } cases[] = {
      {"0A FF 1b", {0x0A, 0xFF, 0x1B}},
      {"A", {10}},  // shorter than three characters: read whole
      {"14", {0x14}},
      {"G1 1G", {0x01, 0x10}},  // other characters count as 0 in their place
      {"7", {7}},
  };
  for (const auto& c : cases) {
    std::string_view text = c.text;
    std::vector<int> got;
    while (!text.empty()) got.push_back(read_hex_pair(text));
    EXPECT_EQ(got, c.values) << c.text;
  }
  std::string_view empty;
  EXPECT_EQ(read_hex_pair(empty), 0);
  std::string out;
  append_hex_pair(out, 0x0A);
  append_hex_pair(out, 0xFF);
  EXPECT_EQ(out, "0AFF");
}

TEST_F(LogFile, WritesHeaderNotesSetupAndEveryWholeRecordOfTheHeldBytes) {
  DataSet& set = state.current();
  set.download_state = 1;
  set.notes = {"Dry track", ""};
  set.setup_texts[0] = "82";
  set.setup_texts[79] = "last";
  set.info.firmware_major = 4;
  set.info.firmware_minor = 0x16;
  set.info.sample_rate = 20;
  set.unit = UnitIdentity{5, 4660, 1234, 77, {0xAB, 0x0C, 3, 2, 1}, 2};
  // A slow-channel record, an extended CAN record, and a sample record cut off
  // by the end of the data. Decoding would have trimmed the count further.
  set.raw = {0x22, 1, 2, 3, 4, 0xA1, 0x23, 9, 8, 7, 6, 0x59, 0, 0};
  set.held_byte_count = 14;
  set.info.raw_byte_count = 5;
  state.unit_flags.speed_kmh = true;
  state.unit_flags.temperature_degf = true;
  state.unit_flags.distance_feet = true;  // not stored

  host.expect(MessageKind::Information, "File Saved OK");
  ASSERT_TRUE(save("out"));
  EXPECT_EQ(host.verify(), "");

  std::string want = "// Filename: out.plr\r\n//Dry track\r\n//\r\n@@82\r\n";
  for (int k = 2; k < 80; ++k) want += "@@\r\n";
  want += "@@last\r\n5\r\n04 16\r\n4660\r\n1234\r\n77\r\n25\r\nAB\r\nC\r\n5\r\n14\r\n";
  want += "22 01 02 03 04\r\nA1 23 09 08 07 06\r\n";
  EXPECT_EQ(read("out.plr"), want);
  EXPECT_EQ(state.file(FileKind::LogData).name, "out.plr");
  EXPECT_EQ(set.file_name, "out.plr");
  EXPECT_EQ(state.link.unit.version_minor, 0x16);
}

TEST_F(LogFile, SaveDialogRulesAndRefusals) {
  state.current().download_state = 0;
  host.expect(MessageKind::Information, "No Valid Data to Save");
  EXPECT_FALSE(save_log_data(state, host));
  EXPECT_TRUE(host.dialogs.empty());

  DataSet& set = state.current();
  set.download_state = 1;
  set.raw = {0x22, 1, 2, 3, 4};
  set.held_byte_count = 5;
  write("old.plr", "old");
  struct Case {
    std::optional<std::string> typed;
    Answer overwrite;  // answer to the overwrite question, when it comes
    std::vector<std::string> messages;
  } cases[] = {
      {std::nullopt, Answer::No, {"Cancelled, No Data Saved"}},
      {"bad.PLR", Answer::No, {"Invalid Filename, No Data Saved"}},
      {"bad.txt", Answer::No, {"Invalid Filename, No Data Saved"}},
      {"", Answer::No, {"Invalid Filename, No Data Saved"}},
      {"old.plr", Answer::No, {"File Exists, Overwrite File ?", "No Data Saved"}},
      {"nofolder/x.plr", Answer::No, {"File Already Open, No Data Saved"}},
  };
  for (const auto& c : cases) {
    for (size_t i = 0; i < c.messages.size(); ++i) {
      host.expect(c.messages[i], i + 1 < c.messages.size() ? c.overwrite : Answer::Ok);
    }
    host.queue_save_file(c.typed ? std::optional(c.typed->empty() ? "" : path(*c.typed))
                                 : std::nullopt);
    EXPECT_FALSE(save_log_data(state, host)) << c.typed.value_or("(cancelled)");
  }
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(read("old.plr"), "old");
  EXPECT_EQ(host.dialogs.back().title, "Save Pelorant Data");
  EXPECT_EQ(host.dialogs.back().folder, dir_.string() + "/");
  EXPECT_EQ(host.dialogs.back().default_name, "default.plr");

  // A name without extension gets ".plr"; an accepted overwrite replaces.
  host.expect("File Saved OK");
  host.expect("File Exists, Overwrite File ?", Answer::Yes);
  host.expect("File Saved OK");
  EXPECT_TRUE(save("plain"));
  EXPECT_TRUE(save("old.plr"));
  EXPECT_EQ(host.verify(), "");
  EXPECT_TRUE(fs::exists(path("plain.plr")));
  EXPECT_EQ(read("old.plr"), read("plain.plr").replace(13, 5, "old"));
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(LogFile, TooManyNotesLinesFailWithoutTouchingTheOldFile) {
  DataSet& set = state.current();
  set.download_state = 1;
  set.notes.assign(257, "note");
  write("kept.plr", "kept");
  host.expect("File Exists, Overwrite File ?", Answer::Yes);
  host.expect(MessageKind::Warning, "Problem Saving, File has been Closed");
  EXPECT_FALSE(save("kept.plr"));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(read("kept.plr"), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(LogFile, LoadDialogRefusals) {
  write("exists.txt", "");
  struct Case {
    std::optional<std::string> typed;
    std::string message;
  } cases[] = {
      {std::nullopt, "No Data Loaded"},
      {"x.PLR", "Invalid Filename, No Data Loaded"},
      {"exists.txt", "Invalid Filename, No Data Loaded"},
      {"missing", "Filename Does Not Exist, No Data Loaded"},  // looked for as missing.plr
      {"", "Invalid Filename, No Data Loaded"},
  };
  for (const auto& c : cases) {
    host.expect(MessageKind::Warning, c.message);
    host.queue_open_file(c.typed ? std::optional(c.typed->empty() ? "" : path(*c.typed))
                                 : std::nullopt);
    EXPECT_FALSE(load_log_data(state, host));
  }
  fs::create_directories(path("folder.plr"));
  host.expect(MessageKind::Warning, "Problem Opening File, No Data Loaded");
  EXPECT_FALSE(load("folder.plr"));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(host.dialogs.back().title, "Load Pelorant Data");
}

TEST_F(LogFile, LoadsAHandWrittenFile) {
  PlrText plr;
  plr.notes = {" Filename: hand.plr", "Wet"};
  plr.flags = "24";  // pulses-per-revolution code 2
  plr.identity[2] = "5";
  ASSERT_TRUE(load_text(plr, DataSetId::B));
  EXPECT_EQ(host.verify(), "");
  const DataSet& set = state.data_set(DataSetId::B);
  EXPECT_EQ(set.notes, (std::vector<std::string>{" Filename: hand.plr", "Wet"}));
  EXPECT_EQ(set.setup_texts[0], "1");
  EXPECT_EQ(set.setup_texts[79], "80");
  EXPECT_EQ(set.download_state, 1);
  EXPECT_EQ(set.loaded, kDecoded);
  EXPECT_EQ(set.sample_count(), 5u);
  EXPECT_EQ(set.held_byte_count, 120u);
  EXPECT_EQ(set.info.raw_byte_count, 120u);
  EXPECT_EQ(set.info.label, "hand.plr");
  EXPECT_EQ(set.info.sample_rate, 10);
  EXPECT_EQ(set.info.firmware_major, 4);
  EXPECT_EQ(set.info.firmware_minor, 0x16);
  EXPECT_EQ(set.info.unit_identity_word, 4660);
  const UnitIdentity want{1, 4660, 1000, 1, {1, 2, 1, 0, 1}, 2};
  for (const UnitIdentity& got : {state.identity, *set.unit}) {
    EXPECT_EQ(got.unit_type, want.unit_type);
    EXPECT_EQ(got.identity_word, want.identity_word);
    EXPECT_EQ(got.distance_factor, want.distance_factor);
    EXPECT_EQ(got.third_word, want.third_word);
    EXPECT_EQ(got.identity_bytes, want.identity_bytes);
    EXPECT_EQ(got.pulses_per_rev, want.pulses_per_rev);
  }
  EXPECT_EQ(state.link.unit.version_number, 422);
  EXPECT_EQ(state.file(FileKind::LogData).name, "hand.plr");
  EXPECT_EQ(state.file(FileKind::SpreadsheetExport).name, "hand.csv");
  EXPECT_EQ(state.file(FileKind::SpreadsheetExport).folder, dir_.string() + "/");
  EXPECT_EQ(host.progress.stages.front(), "Loading");
  EXPECT_FALSE(host.progress.visible);
}

TEST_F(LogFile, VersionGate) {
  struct Case {
    std::string version;
    bool accepted;
  } cases[] = {{"03 1E", false}, {"04 1F", false}, {"04 00", true}, {"04 1E", true}};
  for (const auto& c : cases) {
    PlrText plr;
    plr.version = c.version;
    write("v.plr", plr.text());
    if (c.accepted) {
      host.expect(processed(60));
    } else {
      host.expect(MessageKind::Error, "File not Compatible with Ardenvis Version, No Data Loaded");
    }
    EXPECT_EQ(load("v.plr"), c.accepted) << c.version;
    EXPECT_EQ(state.current().download_state, c.accepted ? 1 : 0) << c.version;
  }
  EXPECT_EQ(host.verify(), "");
}

TEST_F(LogFile, FlagsAndRateLines) {
  struct Case {
    std::string flags, rate;
    uint8_t code, samples_per_second;
  } cases[] = {{"0", "14", 1, 20}, {"24", "A", 2, 10}, {"14", "A", 1, 10}};
  for (const auto& c : cases) {
    PlrText plr;
    plr.flags = c.flags;
    plr.rate = c.rate;
    ASSERT_TRUE(load_text(plr)) << c.flags;
    EXPECT_EQ(state.identity.pulses_per_rev, c.code) << c.flags;
    EXPECT_EQ(state.current().info.sample_rate, c.samples_per_second) << c.rate;
  }
  EXPECT_EQ(host.verify(), "");
  // The display unit bits are not read back.
  EXPECT_FALSE(state.unit_flags.speed_kmh);
}

TEST_F(LogFile, HeaderThatIsNotANumber) {
  struct Case {
    int line;  // header line 0..2 = unit type, identity word, distance factor
    std::string text;
  } cases[] = {{0, "x"}, {1, "70000"}, {2, "-1"}, {0, ""}};
  for (const auto& c : cases) {
    PlrText plr;
    plr.notes = {" a", " b"};
    (c.line == 0 ? plr.unit_type : plr.words[c.line - 1]) = c.text;
    write("bad.plr", plr.text());
    // 2 notes and 80 setup lines before the unit type; the version line between.
    const int lines_read = 83 + (c.line == 0 ? 0 : c.line + 1);
    host.expect(MessageKind::Error,
                "File Format Problem, No Data Loaded: " + std::to_string(lines_read));
    EXPECT_FALSE(load("bad.plr"));
    EXPECT_EQ(state.current().download_state, 0);
  }
  EXPECT_EQ(host.verify(), "");
}

TEST_F(LogFile, BlankDataLineStopsWithItsLineNumberAndShortLinesArePadded) {
  PlrText plr;
  plr.notes = {" n"};
  // Two records, a record whose line lacks its last four pairs, then a blank
  // line: the data before it is kept.
  plr.data = {"22 01 02 03 04", "A1 23 09 08 07 06", "59 00 00 C0 00 00 00 00 20", ""};
  for (int i = 0; i < 6; ++i) plr.data.push_back(sample_line());
  write("blank.plr", plr.text());
  // 1 note, 80 setup lines, 10 header lines and 3 data lines come before the blank one.
  host.expect(MessageKind::Warning, "Data Loaded OK - but - unexpected symbol at Line: 94");
  host.expect(MessageKind::Information, "Not Enough Data to Process...");
  EXPECT_FALSE(load("blank.plr"));
  EXPECT_EQ(host.verify(), "");
  const DataSet& set = state.current();
  EXPECT_EQ(set.raw, (std::vector<uint8_t>{0x22, 1, 2,    3, 4, 0xA1, 0x23, 9,    8, 7, 6, 0x59,
                                           0,    0, 0xC0, 0, 0, 0,    0,    0x20, 0, 0, 0}));
  // The bytes stay held (a save keeps them) although too few to decode.
  EXPECT_EQ(set.download_state, 1);
  EXPECT_EQ(set.held_byte_count, 23u);
  EXPECT_EQ(set.info.label, "No Data");
}

TEST_F(LogFile, CancelWhileLoading) {
  write("c.plr", PlrText{}.text());
  host.on_process_events = [this] { state.log_cancel = true; };
  host.expect(MessageKind::Information, "No Data Loaded");
  EXPECT_FALSE(load("c.plr"));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(state.current().download_state, 0);
  EXPECT_FALSE(host.progress.visible);
}

TEST_F(LogFile, NotesCarryTheFileNameLinesAndSetupTextsBeyondTheFileKeepTheirValues) {
  PlrText plr;
  plr.notes = {" Filename: first.plr"};
  std::string text = plr.text();
  // Only 70 setup lines: texts 71..80 keep what the slot held.
  for (int k = 71; k <= 80; ++k) {
    const std::string line = "@@" + std::to_string(k) + "\r\n";
    text.erase(text.find(line), line.size());
  }
  write("hand.plr", text);
  state.current().setup_texts[75] = "kept";
  host.expect(processed(60));
  ASSERT_TRUE(load("hand.plr"));
  EXPECT_EQ(state.current().setup_texts[69], "70");
  EXPECT_EQ(state.current().setup_texts[75], "kept");

  host.expect("File Saved OK");
  ASSERT_TRUE(save("second.plr"));
  EXPECT_EQ(host.verify(), "");
  EXPECT_TRUE(read("second.plr")
                  .starts_with("// Filename: second.plr\r\n// Filename: first.plr\r\n@@1\r\n"));
}

// A slot filled the way a download fills it, from a synthesised session.
// Returns the decoding's message.
std::string fill_as_downloaded(ProgramState& state, const sim::SynthesisedSession& session,
                               const UnitIdentity& unit) {
  DataSet& set = state.current();
  testing::put_downloaded(set, session);
  set.unit = unit;
  state.identity = unit;
  ScriptedHost host;
  process_data_packets(state, host);
  return host.messages.empty() ? std::string() : host.messages.back().text;
}

TEST_F(LogFile, SaveLoadSaveLosesNothing) {
  sim::SessionOptions options;
  options.laps = 3;
  options.distance_form = sim::DistanceForm::Pulses;
  options.distance_factor = 1200;
  const auto session = sim::synthesise_session(options);
  const UnitIdentity unit{1, 0x1234, 1200, 1, {1, 2, 1, 0, 1}, 1};
  const std::string decoded_message = fill_as_downloaded(state, session, unit);
  const DataSet& a = state.data_set(DataSetId::A);
  ASSERT_EQ(a.loaded, kDecoded);

  host.expect("File Saved OK");
  host.expect(decoded_message);
  host.expect("File Saved OK");
  ASSERT_TRUE(save("a.plr"));
  ASSERT_TRUE(load("a.plr", DataSetId::B));
  ASSERT_TRUE(save("b.plr", DataSetId::B));
  EXPECT_EQ(host.verify(), "");

  // Below its own file name line, the second file is the first, byte for byte.
  EXPECT_EQ(read("b.plr"), "// Filename: b.plr\r\n" + read("a.plr"));
  const DataSet& b = state.data_set(DataSetId::B);
  EXPECT_EQ(b.raw, session.bytes);
  ASSERT_EQ(b.sample_count(), a.sample_count());
  for (int c = 0; c < kChannelCount; ++c) {
    const Series& sa = a.series[static_cast<size_t>(c)];
    const Series& sb = b.series[static_cast<size_t>(c)];
    ASSERT_EQ(sa.size(), sb.size()) << channel_name(static_cast<Channel>(c));
    EXPECT_TRUE(std::equal(sa.data(), sa.data() + sa.size(), sb.data()))
        << channel_name(static_cast<Channel>(c));
  }
  EXPECT_EQ(b.lap_count(), a.lap_count());
  EXPECT_EQ(b.info.can_frame_count, a.info.can_frame_count);
}

TEST_F(LogFile, EachSlotSavesItsOwnUnitValues) {
  PlrText first;
  first.words[1] = "1000";
  first.flags = "10";
  ASSERT_TRUE(load_text(first, DataSetId::A));
  PlrText second;
  second.version = "04 1E";
  second.words[1] = "2000";
  second.flags = "20";
  second.identity[0] = "9";
  ASSERT_TRUE(load_text(second, DataSetId::B));
  // The program-wide values are B's, as the last load left them.
  EXPECT_EQ(state.identity.distance_factor, 2000);

  host.expect("File Saved OK");
  ASSERT_TRUE(save("a_again.plr", DataSetId::A));
  EXPECT_EQ(host.verify(), "");
  const std::string text = read("a_again.plr");
  const size_t header = text.find("@@80\r\n") + 6;
  EXPECT_EQ(text.substr(header, 38), "1\r\n04 16\r\n4660\r\n1000\r\n1\r\n10\r\n1\r\n2\r\n7\r\n");
}

// The file's own name line is told apart from the user's notes the same way
// wherever notes are shown (report, library).
TEST(LogFileNotes, TheFileNameLineIsNotAUserNote) {
  const std::pair<const char*, bool> cases[] = {
      {" Filename: brands.plr", true},  {"Filename: x.plr", true}, {"\t Filename:", true},
      {" Tyres: Filename: new", false}, {" filename: x", false},   {"", false},
  };
  for (const auto& [note, names_the_file] : cases) {
    EXPECT_EQ(is_file_name_note(note), names_the_file) << note;
  }
}

}  // namespace
}  // namespace ardenvis::core
