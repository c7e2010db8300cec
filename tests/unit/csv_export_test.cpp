// The spreadsheet export: every section as written, the lap index rounding,
// the CAN load summary and the dialog pattern. The data sets are filled by
// hand, so the expected lines come from the layout, not from a decode.

#include "files/csv_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "support/folder_test.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedHost;

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Index of the first line equal to `line`, or -1.
long find_line(const std::vector<std::string>& lines, const std::string& line) {
  auto it = std::find(lines.begin(), lines.end(), line);
  return it == lines.end() ? -1 : it - lines.begin();
}

void size_series(DataSet& set, long n) {
  for (Series& s : set.series) s.resize(n);
  set.record_counts[1] = static_cast<uint32_t>(n);
}

class CsvExport : public testing::FolderTest {
 protected:
  CsvExport() : FolderTest("csv") {
    state.file(FileKind::SpreadsheetExport) = {dir_.string() + "/", "default.csv"};
    state.current().download_state = 1;
  }
  // Exports the current data set and returns the file's lines.
  std::vector<std::string> exported(bool calibration_removed = false) {
    host.expect(file_message::preference_question, Answer::No);
    host.expect(MessageKind::Information, "File Saved OK");
    host.queue_save_file(path("out.csv"));
    state.speed_calibration = calibration_removed;
    EXPECT_TRUE(save_csv_data(state, host, {}));
    EXPECT_EQ(host.verify(), "");
    return split_lines(read("out.csv"));
  }

  ProgramState state;
  ScriptedHost host;
};

TEST_F(CsvExport, SampleLinesScaleTheStoredValues) {
  DataSet& set = state.current();
  size_series(set, 2);
  set.notes = {" Filename: s.plr", "Dry"};
  const std::pair<Channel, double> values[] = {
      {Channel::PeloTime, 0.1},  {Channel::Rpm, 65},        {Channel::Speed, 88.26},
      {Channel::Gear, 30},       {Channel::Brake, 100},     {Channel::OilPressure, 54.4},
      {Channel::OilTemp, 101.4}, {Channel::WaterTemp, 87},  {Channel::Battery, 13.8},
      {Channel::Fuel, 45},       {Channel::AuxPressure, 2}, {Channel::GLat, -4.5},
      {Channel::GLong, 3.25},    {Channel::Odo, 1234.4},    {Channel::LapOdo, 234.6},
      {Channel::Lap, 2},         {Channel::Session, 1},     {Channel::LapTime, 61.23},
      {Channel::Split, 30.5},    {Channel::CanLoad, 5},
  };
  for (const auto& [channel, value] : values) set[channel].set(1, value);
  set[Channel::CanLoad].set(2, 17);

  const auto lines = exported();
  const std::vector<std::string> head = {
      "// Pelorant2 Data File:",
      "",
      "// Information from SETUP notes:",
      "// Filename: s.plr",
      "//Dry",
      "",
      "",
      ",MAX,MIN,MEAN,VAR",
      "CAN Load:, 17, 5,11.00,1.00",
      "",
      "",
      "Pelorant2 Data:",
      "Note: Orvik Speed +3% over reading IN DATA",
      "",
      "",
      "PeloTime (s),Index,RPM,Speed (MPH),Gear (Calc),Brake (%),Oil Pressure (psi),Oil Temp "
      "(degC),Water Temp (degC),Battery (VDC),Fuel (%),Aux Pressure (psi),G Lat (g),G Long "
      "(g),Odo (m),Lap Odo (m),Lap,Session,Lap Time (s),Split (s),CAN Load",
      "0.10,1,6500,88.3,3,100,54.4,101,87,13.8,45,2.0,-0.45,0.33,1234,235,2,1,61.23,30.50,    5",
      "0.00,2,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,0,0,0.00,0.00,   17",
  };
  EXPECT_EQ(lines, head);
}

// Math channels follow the standard columns: 10 significant digits, an empty
// field for a gap or for a sample the column has no value for.
TEST_F(CsvExport, ExtraColumnsFollowTheStandardOnes) {
  DataSet& set = state.current();
  size_series(set, 2);
  const std::vector<CsvExtraColumn> columns = {
      {"Third (g)", {1.0 / 3, std::numeric_limits<double>::quiet_NaN()}},
      {"Big", {-12345678901.5}},
  };
  AtomicTextWriter out;
  ASSERT_TRUE(out.open(path("math.csv")));
  write_csv(out, set, state.unit_flags, false, host, columns);
  ASSERT_TRUE(out.commit());
  const auto lines = split_lines(read("math.csv"));
  const std::vector<std::string> tail(lines.end() - 3, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "PeloTime (s),Index,RPM,Speed (MPH),Gear (Calc),Brake (%),Oil Pressure "
                      "(psi),Oil Temp (degC),Water Temp (degC),Battery (VDC),Fuel (%),Aux "
                      "Pressure (psi),G Lat (g),G Long (g),Odo (m),Lap Odo (m),Lap,Session,Lap "
                      "Time (s),Split (s),CAN Load,Third (g),Big",
                      "0.00,1,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,0,0,0.00,0.00,    "
                      "0,0.3333333333,-1.23456789e+10",
                      "0.00,2,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,0,0,0.00,0.00,    0,,",
                  }));
}

// Held channels repeat their value over many lines; each line still shows its
// own value, -0 apart from 0 (printf writes "-0").
TEST_F(CsvExport, HeldValuesChangingFromLineToLine) {
  DataSet& set = state.current();
  size_series(set, 5);
  const double fuel[] = {0.0, -0.0, 45, 45, 0.0};
  const double lap[] = {1, 1, 2, 2, 2};
  const double can_load[] = {0, 5, 5, 17, 0};
  const double split[] = {0, 12.345, 12.345, 0, 99.5};
  for (long k = 1; k <= 5; ++k) {
    set[Channel::Fuel].set(k, fuel[k - 1]);
    set[Channel::Lap].set(k, lap[k - 1]);
    set[Channel::CanLoad].set(k, can_load[k - 1]);
    set[Channel::Split].set(k, split[k - 1]);
  }

  const auto lines = exported();
  const std::vector<std::string> samples(lines.end() - 5, lines.end());
  EXPECT_EQ(samples, (std::vector<std::string>{
                         "0.00,1,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,1,0,0.00,0.00,    0",
                         "0.00,2,0,0.0,0,0,0.0,0,0,0.0,-0,0.0,0.00,0.00,0,0,1,0,0.00,12.35,    5",
                         "0.00,3,0,0.0,0,0,0.0,0,0,0.0,45,0.0,0.00,0.00,0,0,2,0,0.00,12.35,    5",
                         "0.00,4,0,0.0,0,0,0.0,0,0,0.0,45,0.0,0.00,0.00,0,0,2,0,0.00,0.00,   17",
                         "0.00,5,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,2,0,0.00,99.50,    0"}));
}

// A damaged slot may count more samples than some series hold: those read 0
// past their end, and a series never sized reads 0 throughout.
TEST_F(CsvExport, SeriesShorterThanTheSampleCountReadZero) {
  DataSet& set = state.current();
  size_series(set, 3);
  set[Channel::Speed].clear();
  set[Channel::Speed].resize(1);
  set[Channel::Speed].set(1, 12.34);
  set[Channel::CanLoad].clear();
  set[Channel::Lap].resize(2);
  set[Channel::Lap].set(2, 7);
  set[Channel::Odo].set(3, 9);

  const auto lines = exported();
  const std::vector<std::string> samples(lines.end() - 3, lines.end());
  EXPECT_EQ(samples, (std::vector<std::string>{
                         "0.00,1,0,12.3,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,0,0,0.00,0.00,    0",
                         "0.00,2,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,0,0,7,0,0.00,0.00,    0",
                         "0.00,3,0,0.0,0,0,0.0,0,0,0.0,0,0.0,0.00,0.00,9,0,0,0,0.00,0.00,    0"}));
}

TEST_F(CsvExport, UnitHeadersAndCalibrationNote) {
  size_series(state.current(), 1);
  state.unit_flags = {true, true, true, true};
  const auto lines = exported(true);
  EXPECT_NE(find_line(lines, "Note: Orvik Speed +3% over reading REMOVED FROM DATA"), -1);
  EXPECT_NE(find_line(lines,
                      "PeloTime (s),Index,RPM,Speed (KMH),Gear (Calc),Brake (%),Oil Pressure "
                      "(Bar),Oil Temp (degF),Water Temp (degF),Battery (VDC),Fuel (%),Aux "
                      "Pressure (Bar),G Lat (g),G Long (g),Odo (ft),Lap Odo (ft),Lap,Session,Lap "
                      "Time (s),Split (s),CAN Load"),
            -1);
}

TEST_F(CsvExport, LapTablesAndCanFrames) {
  DataSet& set = state.current();
  set.info.sample_rate = 10;
  set.record_counts[3] = 1;
  set.laps.resize(1);
  LapEntry& lap = set.laps[0];
  lap.end_time = 60.0;
  lap.lap_time = 59.90f;
  lap.lap_number = 4;
  lap.lap_distance = 1609.5f;
  lap.session = 2;
  lap.split_count = 3;
  lap.split_times = {20.25f, 40.5f, 50.0f};
  lap.split_sample_indexes = {203, 405, 500};
  lap.segment_times = {20.25f, 20.25f, 9.5f, 9.9f};
  set.info.can_frame_count = 1;
  set.can_frames = {CanFrame{128, 3, {7, 8, 9}, 12.3, 250}};

  const auto lines = exported();
  std::string splits_header =
      "PeloTime(s),Start Index,Stop Index,Lap,Lap Distance(m),Lap Time(s),Session,N Splits,";
  std::string indexes_header = ",,,Lap,Lap Distance(m),Lap Time(s),Session,N Splits,";
  std::string segments_header =
      "PeloTime(s),Start Index,Stop Index,Lap,Lap Distance(m),Lap Time(s),Session,N Segments,";
  std::string splits = "60.0,1,599,4,1609.5,59.90,2,3,20.25,40.50,50.00,";
  std::string indexes = ",,,4,1609.5,59.90,2,3,203,405,500,";
  std::string segments = "60.0,1,599,4,1609.5,59.90,2,4,20.25,20.25,9.50,9.90,";
  for (int i = 1; i <= 32; ++i) {
    splits_header += "Split " + std::to_string(i) + ",";
    indexes_header += "Index " + std::to_string(i) + ",";
    if (i > 3) splits += "0.00,";
    if (i > 3) indexes += "0,";
  }
  for (int i = 1; i <= 33; ++i) segments_header += "Segment " + std::to_string(i) + ",";
  for (int i = 5; i <= 33; ++i) segments += "0.00,";

  const std::vector<std::string> want = {
      "// Pelorant2 Data File:",
      "",
      "// Information from SETUP notes:",
      "",
      "",
      "",
      "Lap Times with Split and Segment Times (Logged in Memory and used for Split Display "
      "Update):",
      "Max Splits per Lap=,32",
      splits_header,
      splits,
      "",
      "Split Time Indexes: (Stored in Pelorant for Split Lap Updates)",
      "",
      "Data index for each split in Lap:",
      "Max Splits per Lap=,32",
      indexes_header,
      indexes,
      "",
      "",
      "Segment Times:",
      segments_header,
      segments,
      "",
      "",
      "CAN Bus Activity (Other than logged items):",
      "",
      "e.g. Display Button Press = CAN ID: 128",
      "",
      "PeloTime(s),CAN_id,CAN_len,CAN_data[0],CAN_data[1],CAN_data[2],CAN_data[3],CAN_data[4],"
      "CAN_data[5],CAN_data[6],CAN_data[7],Time Stamp(ms)",
      "12.30,128,3,7,8,9,0,0,0,0,0,250",
      "",
      ",MAX,MIN,MEAN,VAR",
      "CAN Load:,  0, 0,0.00,1.00",
  };
  EXPECT_EQ(lines, want);
}

TEST(LapSampleRange, RoundsToNearestWithTiesToEven) {
  struct Case {
    double end_time;
    float lap_time;
    uint8_t rate;
    int start, stop;
  } cases[] = {
      {60.0, 59.90f, 10, 1, 599},
      {0.625, 0, 4, 2, 2},    // 2.5 -> 2, 1.5 -> 2
      {0.875, 0, 4, 4, 2},    // 3.5 -> 4, 2.5 -> 2
      {0.1, 5.0f, 10, 0, 0},  // a negative start is written as 0
      {30.0, 10.0f, 20, 400, 599},
      {60.0, 59.90f, 0, 1, 599},  // no rate: the decoding's 0.1 s period
  };
  for (const auto& c : cases) {
    LapEntry lap;
    lap.end_time = c.end_time;
    lap.lap_time = c.lap_time;
    const LapSampleRange range = lap_sample_range(lap, c.rate);
    EXPECT_EQ(range.start, c.start) << c.end_time << " " << int(c.rate);
    EXPECT_EQ(range.stop, c.stop) << c.end_time << " " << int(c.rate);
  }
}

TEST(CanLoadSummary, SampleVarianceAndShortSeries) {
  DataSet set;
  size_series(set, 3);
  for (long k = 1; k <= 3; ++k) set[Channel::CanLoad].set(k, 10.0 * k);
  CanLoadSummary s = can_load_summary(set);
  EXPECT_EQ(s.maximum, 30);
  EXPECT_EQ(s.minimum, 10);
  EXPECT_EQ(s.mean, 20);
  EXPECT_EQ(s.variance, 100);
  size_series(set, 2);
  set.record_counts[1] = 2;
  EXPECT_EQ(can_load_summary(set).variance, 1);  // fewer than 3 values
  DataSet empty;
  s = can_load_summary(empty);
  EXPECT_EQ(s.maximum, 0);
  EXPECT_EQ(s.mean, 0);
}

TEST_F(CsvExport, DialogAndQuestion) {
  state.current().download_state = 0;
  host.expect(MessageKind::Information, "No Valid Data to Save");
  EXPECT_FALSE(save_csv_data(state, host, {}));

  state.current().download_state = 1;
  int preference_loads = 0;
  CsvExportOptions options;
  options.load_display_preferences = [&](ProgramState&, Host&) { ++preference_loads; };
  host.expect(file_message::preference_question, Answer::Yes);
  host.expect(MessageKind::Warning, "Cancelled, No Data Saved");
  EXPECT_FALSE(save_csv_data(state, host, options));
  EXPECT_EQ(preference_loads, 1);
  EXPECT_EQ(host.dialogs.back().title, "Save Excel .csv Data");
  EXPECT_EQ(host.dialogs.back().default_name, "default.csv");

  host.expect(file_message::preference_question, Answer::No);
  host.expect(MessageKind::Warning, "Invalid Filename, No Data Saved");
  host.queue_save_file(path("x.CSV"));
  EXPECT_FALSE(save_csv_data(state, host, options));
  EXPECT_EQ(preference_loads, 1);

  host.expect(file_message::preference_question, Answer::No);
  host.expect(MessageKind::Information, "File Saved OK");
  host.queue_save_file(path("named"));
  EXPECT_TRUE(save_csv_data(state, host, options));
  EXPECT_EQ(host.verify(), "");
  EXPECT_TRUE(fs::exists(path("named.csv")));
  EXPECT_EQ(state.file(FileKind::SpreadsheetExport).name, "named.csv");
}

}  // namespace
}  // namespace ardenvis::core
