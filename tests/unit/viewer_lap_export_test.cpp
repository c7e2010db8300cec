// Lap export in the MoTeC CSV layout: header, rows, units, the selection
// checks and a synthesised lap read back column by column.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/format.h"
#include "support/folder_test.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/lap_export.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos;
       start = end + separator.size()) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// Five samples at 20 samples/s, values chosen so every column's rule shows.
void make_small_slot(DataSet& set) {
  set.loaded = kDecoded;
  set.download_state = 1;
  set.info.sample_rate = 20;
  set.record_counts[1] = 5;
  set.record_counts[3] = 1;
  for (Series& s : set.series) s.resize(5);
  const double time[] = {10.00, 10.05, 10.10, 10.15, 10.20};
  const double odo[] = {1000, 1002, 1004, 1007, 1010};
  const double rpm[] = {65, 66, 67, 68.5, 70};
  const double g_lat[] = {4.5, 0, -2, 10, -10};
  const double g_long[] = {-3, 0, 1.2, 2, 0};
  const double speed[] = {100, 0, 50, 62.5, 10};
  const double gear[] = {30, 30, 40, 40, 50};
  for (long i = 1; i <= 5; ++i) {
    const size_t k = static_cast<size_t>(i - 1);
    set[Channel::PeloTime].set(i, time[k]);
    set[Channel::Odo].set(i, odo[k]);
    set[Channel::Rpm].set(i, rpm[k]);
    set[Channel::GLat].set(i, g_lat[k]);
    set[Channel::GLong].set(i, g_long[k]);
    set[Channel::Speed].set(i, speed[k]);
    set[Channel::Gear].set(i, gear[k]);
  }
  set.laps.assign(1, LapEntry{});
}

class LapExport : public testing::FolderTest {
 protected:
  LapExport() : FolderTest("motec") {
    state.file(FileKind::LapExport) = {dir_.string() + "/", "default.lab"};
  }
  // Exports `lap` to `name` and returns the file's lines (CR LF split).
  std::vector<std::string> export_lines(const ExportLap& lap, const std::string& name) {
    ScriptedHost host;
    host.queue_save_file(path(name));
    host.expect(MessageKind::Information, "File Saved OK");
    EXPECT_TRUE(save_lap_data(state, host, lap));
    EXPECT_EQ(host.verify(), "");
    auto lines = split(read(name), "\r\n");
    EXPECT_EQ(lines.back(), "");  // the last line ends in CR LF too
    lines.pop_back();
    return lines;
  }

  ProgramState state;
};

TEST_F(LapExport, HeaderAndRowsOfTheLayout) {
  make_small_slot(state.data_set(DataSetId::A));
  const ExportLap lap{DataSetId::A, 2, 5, 3, 7, 62.346};
  ScriptedHost host;
  host.queue_save_file(path("lap"));
  host.expect(MessageKind::Information, "File Saved OK");
  ASSERT_TRUE(save_lap_data(state, host, lap));
  EXPECT_EQ(host.verify(), "");
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].title, "Save Lap Data .csv Data");
  EXPECT_EQ(host.dialogs[0].default_name, "Session_3_Lap_7.csv");
  EXPECT_EQ(host.dialogs[0].folder, dir_.string() + "/");
  EXPECT_EQ(state.file(FileKind::LapExport).name, "lap.csv");

  // Speed in MPH without calibration: x 1.6 x 0.97. G Lat inverted, RPM x 100,
  // Gear / 10, distance in km from the lap's first sample.
  EXPECT_EQ(read("lap.csv"),
            "Format, MoTeC CSV File\r\n"
            "\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
            "Sample Rate,20\r\n"
            "Lap Time,62.35\r\n"
            "Reference,Session_3_Lap_7\r\n"
            "\r\n"
            ",,RPM,G Lat,G Long,CorrSpd,Gear\r\n"
            "Time,Distance,Engine RPM,G Force - Lateral,G Force - Longitudinal,Corrected "
            "Speed,Gear\r\n"
            "sec,km,rpm,G,G,km/h,\r\n"
            "\r\n\r\n"
            "0.00,0.000,6600,0.00,0.00,0.0,3\r\n"
            "0.05,0.002,6700,0.20,0.12,77.6,4\r\n"
            "0.10,0.005,6850,-1.00,0.20,97.0,4\r\n"
            "0.15,0.008,7000,1.00,0.00,15.5,5\r\n");
}

TEST_F(LapExport, CorrectedSpeedAndDistanceFollowTheUnitsInForce) {
  make_small_slot(state.data_set(DataSetId::A));
  struct SpeedCase {
    bool kmh, calibration;
    double factor;
  };
  for (const SpeedCase& c : std::vector<SpeedCase>{
           {false, false, 1.6 * 0.97}, {true, false, 0.97}, {false, true, 1.6}, {true, true, 1}}) {
    UnitFlags flags;
    flags.speed_kmh = c.kmh;
    const auto fields =
        split(motec_row(state.data_set(DataSetId::A), 1, 1, flags, c.calibration), ",");
    ASSERT_EQ(fields.size(), 7u);
    EXPECT_EQ(fields[5], format("%.1f", 100 * c.factor))
        << "kmh " << c.kmh << " calibration " << c.calibration;
  }
  // Feet: the Odo series holds feet, the column is still kilometres.
  UnitFlags feet;
  feet.distance_feet = true;
  DataSet& set = state.data_set(DataSetId::A);
  set[Channel::Odo].set(5, 1000 + 3281);  // 3281 ft = 1.000 km on from sample 1
  EXPECT_EQ(split(motec_row(set, 1, 5, feet, false), ",")[1], "1.000");
  EXPECT_EQ(split(motec_row(set, 1, 5, UnitFlags{}, false), ",")[1], "3.281");
}

TEST_F(LapExport, GLatThatPrintsAsZeroPrintsWithoutASign) {
  // The column is the stored value inverted and divided by 10: small positive
  // values (smoothing leaves many) come out between -0.005 and 0.
  DataSet& set = state.data_set(DataSetId::A);
  make_small_slot(set);
  struct Case {
    double g_lat;
    const char* printed;
  };
  for (const Case& c : std::vector<Case>{{0, "0.00"},
                                         {-0.0, "0.00"},
                                         {0.04, "0.00"},
                                         {0.0001, "0.00"},
                                         {-0.04, "0.00"},
                                         {0.06, "-0.01"},
                                         {-0.06, "0.01"}}) {
    set[Channel::GLat].set(2, c.g_lat);
    EXPECT_EQ(split(motec_row(set, 1, 2, UnitFlags{}, false), ",")[3], c.printed)
        << "stored G Lat " << c.g_lat;
  }
}

TEST_F(LapExport, NoValidLapIsReportedAndNothingWritten) {
  make_small_slot(state.data_set(DataSetId::A));
  struct Case {
    const char* what;
    std::optional<ExportLap> lap;
    std::function<void(DataSet&)> spoil;
  };
  for (const Case& c :
       std::vector<Case>{{"no lap in the selection", std::nullopt, [](DataSet&) {}},
                         {"slot B empty", ExportLap{DataSetId::B, 1, 5, 1, 1, 1}, [](DataSet&) {}},
                         {"no download state", ExportLap{DataSetId::A, 1, 5, 1, 1, 1},
                          [](DataSet& a) { a.download_state = 0; }},
                         {"no laps", ExportLap{DataSetId::A, 1, 5, 1, 1, 1},
                          [](DataSet& a) { a.record_counts[3] = 0; }}}) {
    make_small_slot(state.data_set(DataSetId::A));
    c.spoil(state.data_set(DataSetId::A));
    ScriptedHost host;
    host.expect(MessageKind::Information, "No Valid Lap Data Selected");
    EXPECT_FALSE(save_lap_data(state, host, c.lap)) << c.what;
    EXPECT_EQ(host.verify(), "") << c.what;
    EXPECT_TRUE(host.dialogs.empty()) << c.what;
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(LapExport, FileDialogOutcomes) {
  make_small_slot(state.data_set(DataSetId::A));
  const ExportLap lap{DataSetId::A, 1, 5, 1, 2, 10};
  std::ofstream(dir_ / "old.csv") << "old";
  struct Case {
    std::optional<std::string> name;
    std::vector<std::pair<const char*, Answer>> messages;
  };
  for (const Case& c : std::vector<Case>{
           {std::nullopt, {{"Cancelled, No Data Saved", Answer::Ok}}},
           {path("lap.txt"), {{"Invalid Filename, No Data Saved", Answer::Ok}}},
           {path("old.csv"),
            {{"File Exists, Overwrite File ?", Answer::No}, {"No Data Saved", Answer::Ok}}},
           {path("none/lap.csv"), {{"File Already Open, No Data Saved", Answer::Ok}}}}) {
    ScriptedHost host;
    host.queue_save_file(c.name);
    for (const auto& [text, answer] : c.messages) host.expect(text, answer);
    EXPECT_FALSE(save_lap_data(state, host, lap));
    EXPECT_EQ(host.verify(), "");
  }
  EXPECT_EQ(read("old.csv"), "old");
  EXPECT_EQ(state.file(FileKind::LapExport).name, "default.lab");
}

TEST_F(LapExport, SynthesisedLapOfDataSetBReadsBackColumnByColumn) {
  ASSERT_TRUE(testing::decode_into(state, DataSetId::A, testing::viewer_session(10, 11, 3), "a"));
  ASSERT_TRUE(testing::decode_into(state, DataSetId::B, testing::viewer_session(20, 12, 3), "b"));
  const DataSet& b = state.data_set(DataSetId::B);
  ASSERT_GE(b.lap_count(), 2u);
  // "Selection 2:" on B's second lap, its beacon shift moved: the export
  // takes the lap as logged.
  LapSelection selection =
      select_lap(state, static_cast<int>(state.data_set(DataSetId::A).lap_count()) + 1, 2);
  ASSERT_TRUE(selection.has_lap);
  ASSERT_EQ(selection.slot, DataSetId::B);
  selection.beacon_shift = 40;
  const ExportLap lap = *export_lap(selection);
  EXPECT_EQ(lap.start, selection.start);
  ASSERT_GT(lap.end, lap.start + 100);

  const auto lines = export_lines(lap, "b.csv");
  ASSERT_EQ(lines.size(), 17u + static_cast<size_t>(lap.end - lap.start + 1));
  EXPECT_EQ(lines[8], "Sample Rate,20");  // B's rate, not A's 10
  EXPECT_EQ(lines[10], format("Reference,Session_%d_Lap_%d", lap.session, lap.lap_number));

  double previous_distance = 0;
  long signed_zeros = 0;  // G Lat fields printed "-0.00"
  for (long i = lap.start; i <= lap.end; ++i) {
    const auto fields = split(lines[static_cast<size_t>(17 + i - lap.start)], ",");
    ASSERT_EQ(fields.size(), 7u) << "sample " << i;
    std::vector<double> v;
    for (const auto& f : fields) v.push_back(std::stod(f));
    EXPECT_NEAR(v[0], b[Channel::PeloTime][i] - b[Channel::PeloTime][lap.start], 0.0051);
    EXPECT_NEAR(v[1], (b[Channel::Odo][i] - b[Channel::Odo][lap.start]) / 1000, 0.00051);
    EXPECT_GE(v[1], previous_distance);
    previous_distance = v[1];
    EXPECT_NEAR(v[2], b[Channel::Rpm][i] * 100, 0.51);
    EXPECT_NEAR(v[3], -b[Channel::GLat][i] / 10, 0.0051);
    if (fields[3] == "-0.00") ++signed_zeros;
    EXPECT_NEAR(v[4], b[Channel::GLong][i] / 10, 0.0051);
    EXPECT_NEAR(v[5], b[Channel::Speed][i] * 1.6 * 0.97, 0.051);
    EXPECT_NEAR(v[6], b[Channel::Gear][i] / 10, 0.51);
  }
  EXPECT_EQ(signed_zeros, 0);
  // Time steps by B's 0.05 s; the lap covers its lap time and distance.
  EXPECT_EQ(split(lines[18], ",")[0], "0.05");
  const auto last = split(lines.back(), ",");
  EXPECT_NEAR(std::stod(last[0]), lap.lap_time, 0.11);
  EXPECT_NEAR(std::stod(last[1]), b.laps[1].lap_distance / 1000, 0.05);
}

}  // namespace
}  // namespace ardenvis::core
