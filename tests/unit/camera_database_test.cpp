// Loading ".cam" camera database files.

#include "config/camera_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/scripted_host.h"
#include "unit/camera_fixture.h"

namespace ardenvis::testing {
namespace {

using core::CameraLoadOutcome;

struct Loader {
  ScriptedHost host;
  RecordingMemo memo;
  core::TCameraFlashData camera;
  bool cancel = false;

  core::CameraLoadResult load(const std::string& text) {
    return core::load_camera_database(camera, text, "cams.cam", host, memo, cancel);
  }
};

// A small database written out by hand: 36 header bytes, 12 record bytes.
// Header checksum 0xFF ^ 24 1A 04 C4 09 03 30 = 0x3B; data checksum
// 0xFF ^ (1 ^ 2 ^ ... ^ 12) = 0xF3 = 243.
constexpr const char* kHandWritten =
    "// Pocket GPS fixed cameras\r\n"
    "24\r\n1A\r\n04\r\nC4\r\n09\r\n03\r\n00\r\n30\r\n00\r\n00\r\n00\r\n"
    "00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n"
    "00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n00\r\n3B\r\n"
    "01 02 03 04\r\n05 06 07 08\r\n09 0A 0B 0C\r\n"
    "12\r\n243\r\n";

TEST(CameraDatabaseLoad, HandWrittenFileLoadsWithItsHeaderFields) {
  Loader t;
  t.host.expect(core::MessageKind::Information, "Data Loaded OK");
  const auto result = t.load(kHandWritten);
  EXPECT_EQ(t.host.verify(), "");
  ASSERT_EQ(result.outcome, CameraLoadOutcome::Loaded);
  EXPECT_FALSE(result.header_checksum_bad);
  ASSERT_EQ(t.camera.data.size(), 48u);
  EXPECT_EQ(t.camera.data[0], 0x24);
  EXPECT_EQ(t.camera.data[35], 0x3B);
  EXPECT_EQ(t.camera.data[36], 0x01);
  EXPECT_EQ(t.camera.data[47], 0x0C);
  EXPECT_EQ(t.camera.data_checksum, 243);
  EXPECT_EQ(t.camera.loaded, 1);
  const auto display = core::camera_display(t.camera);
  EXPECT_EQ(display.file, "cams.cam");
  EXPECT_EQ(display.camera_locations, "3");
  EXPECT_EQ(display.source_version, "2.500");
  EXPECT_EQ(display.format_version, "1.050");
  EXPECT_EQ(t.memo.lines,
            (std::vector<std::string>{"Loading 48 bytes of data...", "Data Loaded OK..."}));
  EXPECT_EQ(t.host.progress.stages.front(), "Loading");
  EXPECT_FALSE(t.host.progress.visible);
}

// Record lengths around the four-per-line layout. Record lines hold four bytes
// each, so a length that is not a multiple of four cannot be held: a short last
// line (which once loaded) or a full one that runs past the image is a format
// problem on that line, and nothing is kept.
TEST(CameraDatabaseLoad, EveryRecordByteIsReadAndNoLineRunsPastTheImage) {
  struct Case {
    int record_bytes;
    bool last_line_full;
    bool loads;
  };
  for (const Case c : {Case{12, false, true}, Case{16, false, true}, Case{13, false, false},
                       Case{14, false, false}, Case{15, false, false}, Case{14, true, false},
                       Case{15, true, false}, Case{13, true, false}}) {
    SCOPED_TRACE(::testing::Message() << c.record_bytes << (c.last_line_full ? " full" : ""));
    Loader t;
    CamFile file(c.record_bytes);
    file.last_line_full = c.last_line_full;
    const long lines_to_last_record = 2 + 36 + (c.record_bytes + 3) / 4;
    if (c.loads) {
      t.host.expect("Data Loaded OK");
    } else {
      t.host.expect(core::MessageKind::Error,
                    core::camera_format_problem_text(lines_to_last_record + 1));
    }
    const auto result = t.load(file.text());
    EXPECT_EQ(t.host.verify(), "");
    if (c.loads) {
      EXPECT_EQ(t.camera.data, file.image());
    } else {
      EXPECT_EQ(result.outcome, CameraLoadOutcome::FormatProblem);
      EXPECT_TRUE(t.camera.data.empty());
      EXPECT_EQ(t.camera.total_length, 0u);
    }
  }
}

TEST(CameraDatabaseLoad, WrongHeaderChecksumIsReportedButTheLoadGoesOn) {
  Loader t;
  CamFile file(8);
  file.header[35] ^= 0x01;
  t.host.expect(core::MessageKind::Information, "CheckSum Bad");
  t.host.expect(core::MessageKind::Information, "Data Loaded OK");
  const auto result = t.load(file.text());
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_TRUE(result.header_checksum_bad);
  EXPECT_EQ(result.outcome, CameraLoadOutcome::Loaded);
}

TEST(CameraDatabaseLoad, DataChecksumMismatchesLeaveNothingLoaded) {
  for (const std::vector<std::string>& trailer :
       std::vector<std::vector<std::string>>{{"256"}, {"0", "1000"}, {"7"}}) {
    Loader t;
    CamFile file(8);
    file.trailer = trailer;
    t.host.expect(core::MessageKind::Error, "File Format Error, No Data Loaded");
    const auto result = t.load(file.text());
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(result.outcome, CameraLoadOutcome::ChecksumError);
    EXPECT_TRUE(t.camera.data.empty());
    EXPECT_EQ(t.camera.loaded, 0);
    EXPECT_EQ(core::camera_display(t.camera).file, "None");
  }
}

TEST(CameraDatabaseLoad, FormatVersionOutsideTheRangeIsRefused) {
  for (int version : {999, 1000, 1100, 1101}) {
    SCOPED_TRACE(version);
    Loader t;
    CamFile file(4);
    file.set16(1, static_cast<uint16_t>(version));
    file.fix_header_checksum();
    const bool accepted = version >= 1000 && version <= 1100;
    t.host.expect(accepted ? "Data Loaded OK"
                           : "File not Compatible with Ardenvis Version, No Data Loaded");
    const auto result = t.load(file.text());
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(result.outcome,
              accepted ? CameraLoadOutcome::Loaded : CameraLoadOutcome::NotCompatible);
    if (!accepted) {
      EXPECT_EQ(t.camera.total_length, 0u);
      EXPECT_EQ(core::camera_display(t.camera).format_version, "-.---");
    }
  }
}

// Each broken file stops with the line counter: lines read (two comment lines
// come first) plus one for the first header line.
TEST(CameraDatabaseLoad, FormatProblemsNameTheLine) {
  struct Case {
    const char* what;
    std::function<std::string(CamFile&)> make;
    long line;
  };
  auto replace_line = [](std::string text, int line_index, const std::string& with) {
    size_t at = 0;
    for (int i = 0; i < line_index; ++i) at = text.find("\r\n", at) + 2;
    const size_t end = text.find("\r\n", at);
    return text.replace(at, end - at, with);
  };
  const std::vector<Case> cases = {
      {"bad hex in the header", [&](CamFile& f) { return replace_line(f.text(), 6, "G1"); }, 8},
      {"header length below 36",
       [](CamFile& f) {
         f.header[0] = 35;
         f.fix_header_checksum();
         return f.text();
       },
       39},
      {"file ends in the header",
       [](CamFile& f) {
         const std::string t = f.text();
         return t.substr(0, t.find("\r\n", t.find("// made")) + 2 + 10 * 4);
       },
       13},
      {"total length of 4 GiB",
       [](CamFile& f) {
         f.set32(7, 0xFFFFFFFFu);
         f.fix_header_checksum();
         return f.text();
       },
       39},
      {"total length below the header",
       [](CamFile& f) {
         f.set32(7, 20);
         f.fix_header_checksum();
         return f.text();
       },
       39},
      {"record line with a bad pair",
       [&](CamFile& f) { return replace_line(f.text(), 39, "01 0x 03 04"); }, 41},
      {"short record line before the last",
       [&](CamFile& f) { return replace_line(f.text(), 38, "01 02"); }, 40},
      {"trailer that is no number",
       [&](CamFile& f) { return replace_line(f.text(), 40, "twelve"); }, 42},
      {"trailer above 65535", [&](CamFile& f) { return replace_line(f.text(), 40, "65536"); }, 42},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Loader t;
    CamFile file(8);
    t.host.expect(core::MessageKind::Error, core::camera_format_problem_text(c.line));
    const auto result = t.load(c.make(file));
    EXPECT_EQ(t.host.verify(), "");
    EXPECT_EQ(result.outcome, CameraLoadOutcome::FormatProblem);
    EXPECT_EQ(t.camera.loaded, 0);
    EXPECT_TRUE(t.camera.data.empty());
    EXPECT_FALSE(t.host.progress.visible);
  }
}

// A file cut short cannot hold the length its header gives: found before the
// records are read.
TEST(CameraDatabaseLoad, FileCutShortIsAFormatProblem) {
  Loader t;
  CamFile file(40);
  std::string text = file.text();
  size_t end = 0;
  for (int line = 0; line < 2 + 36 + 1; ++line) end = text.find("\r\n", end) + 2;
  text.resize(end);  // one record line only
  t.host.expect(core::MessageKind::Error, core::camera_format_problem_text(39));
  EXPECT_EQ(t.load(text).outcome, CameraLoadOutcome::FormatProblem);
  EXPECT_EQ(t.host.verify(), "");
}

TEST(CameraDatabaseLoad, CancelDuringTheLoadLeavesNothing) {
  Loader t;
  CamFile file(4000);
  int events = 0;
  t.host.on_process_events = [&] {
    if (++events == 50) t.cancel = true;
  };
  t.host.expect(core::MessageKind::Error, "No Data Loaded");
  EXPECT_EQ(t.load(file.text()).outcome, CameraLoadOutcome::Cancelled);
  EXPECT_EQ(t.host.verify(), "");
  EXPECT_TRUE(t.camera.data.empty());
}

TEST(CameraDatabaseLoad, FileDialogRulesAndARealFile) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "ardenvis_cam_dialog_test";
  fs::create_directories(folder);
  const fs::path path = folder / "uk.cam";
  {
    std::ofstream out(path, std::ios::binary);
    out << CamFile(16).text();
  }
  core::ProgramState state;
  ScriptedHost host;
  RecordingMemo memo;
  host.queue_open_file(std::nullopt);
  host.queue_open_file((folder / "uk.CAM").string());
  host.queue_open_file((folder / "missing.cam").string());
  host.queue_open_file((folder / "uk").string());  // ".cam" appended
  host.expect("No Data Loaded");
  host.expect("Invalid Filename, No Data Loaded");
  host.expect("Filename Does Not Exist, No Data Loaded");
  host.expect("Data Loaded OK");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(core::LoadDataFromFile(state, host, memo).outcome, CameraLoadOutcome::NotChosen);
  }
  EXPECT_EQ(core::LoadDataFromFile(state, host, memo).outcome, CameraLoadOutcome::Loaded);
  EXPECT_EQ(host.verify(), "");
  ASSERT_FALSE(host.dialogs.empty());
  EXPECT_EQ(host.dialogs[0].title, "Load Camera Database");
  EXPECT_EQ(host.dialogs[0].default_name, "default");
  EXPECT_EQ(state.camera.file_name, "uk.cam");
  EXPECT_EQ(state.camera.data.size(), 52u);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace ardenvis::testing
