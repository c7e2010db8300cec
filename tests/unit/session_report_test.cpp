// The session report's contents on a hand-made session whose laps are known:
// an out lap, a lap the unit logged without a time, an in lap, splits for the
// ideal lap, and how rows, notes and the sheet fill one or two pages.

#include "viewer/session_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "logger/download.h"

namespace ardenvis::core {
namespace {

struct HandMadeLap {
  int lap_number;
  float logged_time;            // what the unit logged; 0: no time
  double driven_time;           // how long the lap really took
  std::vector<float> segments;  // logged segment times, empty without splits
  int session = 1;
};

constexpr double kDt = 0.1;
constexpr double kMetresPerSample = 4.0;  // 40 m/s

// A data set of the laps in order at 10 samples/s and a steady 40 m/s;
// every lap is 4 km.
void make_session(ProgramState& state, const std::vector<HandMadeLap>& laps) {
  DataSet& set = state.data_sets[0];
  double driven = 0;
  for (const HandMadeLap& lap : laps) driven += lap.driven_time;
  const long samples = std::lround(driven / kDt) + 1;
  for (Channel c : {Channel::PeloTime, Channel::Odo, Channel::Session, Channel::Rpm, Channel::Speed,
                    Channel::Gear, Channel::GLat}) {
    set[c].assign_zeros(samples);
  }
  double end = 0;
  long sample = 1;
  for (const HandMadeLap& made : laps) {
    end += made.driven_time;
    for (; sample <= std::lround(end / kDt) + 1 && sample <= samples; ++sample) {
      set[Channel::PeloTime].set(sample, (sample - 1) * kDt);
      set[Channel::Odo].set(sample, (sample - 1) * kMetresPerSample);
      set[Channel::Session].set(sample, made.session);
      set[Channel::Rpm].set(sample, 50 + sample % 20);  // hundreds of rpm
      set[Channel::Speed].set(sample, 89.5);
      set[Channel::Gear].set(sample, 30);
      set[Channel::GLat].set(sample, sample % 50 < 10 ? 8 : 0);
    }
    LapEntry entry;
    entry.lap_number = static_cast<uint8_t>(made.lap_number);
    entry.session = static_cast<uint8_t>(made.session);
    entry.end_time = end;
    entry.lap_time = made.logged_time;
    entry.lap_distance = 4000;
    if (!made.segments.empty()) {
      entry.split_count = static_cast<uint8_t>(made.segments.size() - 1);
      for (size_t k = 0; k < made.segments.size(); ++k) entry.segment_times[k] = made.segments[k];
    }
    set.laps.push_back(entry);
  }
  set.loaded = kDecoded;
  set.info.sample_rate = 10;
  set.info.firmware_major = 4;
  set.info.firmware_minor = 24;
  set.record_counts[1] = static_cast<uint32_t>(samples);
  set.record_counts[3] = static_cast<uint32_t>(set.laps.size());
  set.file_name = "26y12d05m_14h05m_LogID_3.plr";
}

// Out lap, a lap without a time, the best, an in lap; segments make an
// ideal lap of 29.50 + 33.50 + 34.00.
const std::vector<HandMadeLap> kSession = {
    {1, 130.0f, 130.0, {40, 45, 45}},  // out lap
    {2, 100.0f, 100.0, {30, 35, 35}},  //
    {3, 0.0f, 102.0, {}},              // the unit logged no time
    {4, 98.5f, 98.5, {31, 33.5, 34}},  // best
    {5, 104.0f, 104.0, {29.5, 36, 38.5}},
    {6, 120.0f, 120.0, {35, 40, 45}},  // in lap, over 107 % of the best
};

SessionReport report_of(const ProgramState& state, const ReportOptions& options = {}) {
  std::string problem;
  auto report = build_session_report(state, DataSetId::A, options, &problem);
  EXPECT_TRUE(report.has_value()) << problem;
  return report.value_or(SessionReport{});
}

std::string field(const SessionReport& report, const std::string& label) {
  for (const ReportField& f : report.particulars) {
    if (f.label == label) return f.value;
  }
  return "(none)";
}

TEST(SessionReport, FiguresLeaveOutLapsWithoutTimeAndBeyond107Percent) {
  ProgramState state;
  make_session(state, kSession);
  const SessionReport report = report_of(state);
  ASSERT_EQ(report.figures.size(), 3u);
  EXPECT_EQ(report.figures[0], "Best lap: 98.50 s (lap 4, session 1)");
  EXPECT_EQ(report.figures[1], "Ideal lap: 97.00 s (best segments of the laps with 2 splits)");
  // 100, 98.5 and 104 are within 105.395 s; 130, 120 and the untimed lap are not.
  EXPECT_EQ(report.figures[2],
            "Consistency: mean 100.83 s, standard deviation 2.84 s (3 laps within 107 % of the "
            "best)");
  ASSERT_EQ(report.ideal_segments.size(), 3u);
  EXPECT_EQ(report.ideal_segments[0], "Segment 1: 29.50 s (lap 5, session 1)");
  EXPECT_EQ(report.ideal_segments[2], "Segment 3: 34.00 s (lap 4, session 1)");

  ASSERT_EQ(report.first_page_laps.size(), 6u);
  struct Row {
    size_t index;
    const char* time;
    const char* gap;
    const char* note;
    bool best;
  };
  const Row rows[] = {{0, "130.00", "+31.50", "Over 107 %", false},
                      {1, "100.00", "+1.50", "", false},
                      {2, "-", "", "No time", false},
                      {3, "98.50", "", "Best", true},
                      {5, "120.00", "+21.50", "Over 107 %", false}};
  for (const Row& row : rows) {
    const ReportLapRow& got = report.first_page_laps[row.index];
    EXPECT_EQ(got.time, row.time) << row.index;
    EXPECT_EQ(got.gap, row.gap) << row.index;
    EXPECT_EQ(got.note, row.note) << row.index;
    EXPECT_EQ(got.best, row.best) << row.index;
  }
  // 4000 m in 98.5 s: 146.19 km/h, shown in mph.
  EXPECT_EQ(report.first_page_laps[3].average, "91.4");
  EXPECT_EQ(report.first_page_laps[3].distance, "4000.0");
  EXPECT_EQ(report.lap_columns[5], "Avg MPH");
}

TEST(SessionReport, ManySegmentsAreListedShort) {
  ProgramState state;
  const std::vector<float> ten_splits(11, 9.0f);
  make_session(state, {{1, 99.0f, 99.0, ten_splits}, {2, 99.5f, 99.5, ten_splits}});
  const SessionReport report = report_of(state);
  ASSERT_EQ(report.ideal_segments.size(), 11u);
  EXPECT_EQ(report.ideal_segments[0], "S1 9.00");
  EXPECT_EQ(report.ideal_segments[10], "S11 9.00");
}

TEST(SessionReport, ParticularsFromTheNameTheUnitAndTheSamples) {
  ProgramState state;
  make_session(state, kSession);
  ReportOptions options;
  options.venue = [](const DataSet&, int) { return std::optional<std::string>("Brands Hatch"); };
  const SessionReport report = report_of(state, options);
  EXPECT_EQ(field(report, "File"), "26y12d05m_14h05m_LogID_3.plr");
  EXPECT_EQ(field(report, "Date"), "12/05/2026 14:05");
  EXPECT_EQ(field(report, "Venue"), "Brands Hatch");
  EXPECT_EQ(field(report, "Session"), "1");
  EXPECT_EQ(field(report, "Unit"), "firmware 4.24, 10 samples/s");
  EXPECT_EQ(field(report, "Duration"), "0:10:55");  // 654.5 s
  EXPECT_EQ(field(report, "Distance"), "26.18 km");
  EXPECT_EQ(field(report, "Laps"), "6 (5 with a time)");
  // Without a library hook, no venue line.
  EXPECT_EQ(field(report_of(state), "Venue"), "(none)");
}

TEST(SessionReport, BestLapPlotAndTrackCoverTheBestLapOnly) {
  ProgramState state;
  make_session(state, kSession);
  const SessionReport report = report_of(state);
  ASSERT_TRUE(report.plot.has_value());
  const ReportPlot& plot = *report.plot;
  EXPECT_EQ(plot.title, "Best lap: lap 4, session 1");
  // 98.5 s at 10 samples/s from the lap's first sample to its last.
  EXPECT_EQ(plot.distance.size(), 985u);
  EXPECT_EQ(plot.distance.front(), 0);
  EXPECT_NEAR(plot.distance.back(), 984 * kMetresPerSample, 1e-9);
  EXPECT_GE(plot.rpm.front(), 5000);  // rpm, not hundreds
  EXPECT_EQ(plot.gear.front(), 3);
  EXPECT_EQ(plot.speed_label, "Speed (MPH)");
  // No GPS in this log: the map is reconstructed from speed and G.
  EXPECT_EQ(report.track.caption, "Track map (from speed and G)");
  EXPECT_EQ(report.track.x.size(), plot.distance.size());
}

TEST(SessionReport, RowsNotesAndSheetDecideThePages) {
  struct Case {
    int laps;
    std::vector<std::string> notes;
    size_t first;
    size_t second;
    const char* left_out;
    int pages;
  };
  const Case cases[] = {
      {6, {}, 6, 0, "", 1},  // everything on one page
      // A loaded log's own first line is not a note.
      {6, {" Filename: brands.plr"}, 6, 0, "", 1},
      {6, {" Filename: brands.plr", "Dry, 18 C"}, 6, 0, "", 2},  // notes go on page 2
      {20, {}, 16, 4, "", 2},                                    // the table runs on
      {50, {}, 16, 30, "4 further laps not listed", 2},
  };
  for (const Case& c : cases) {
    ProgramState state;
    std::vector<HandMadeLap> laps;
    for (int i = 1; i <= c.laps; ++i) laps.push_back({i, 100.0f + i * 0.01f, 100.0, {}});
    make_session(state, laps);
    state.data_sets[0].notes = c.notes;
    const SessionReport report = report_of(state);
    EXPECT_EQ(report.first_page_laps.size(), c.first) << c.laps;
    EXPECT_EQ(report.second_page_laps.size(), c.second) << c.laps;
    EXPECT_EQ(report.laps_left_out, c.left_out) << c.laps;
    EXPECT_EQ(report.page_count, c.pages) << c.laps;
    EXPECT_EQ(report.notes.size(), c.notes.empty() ? 0 : c.notes.size() - 1) << c.laps;
    EXPECT_EQ(report.figures[1], "Ideal lap: the best lap logged no splits");
  }
}

TEST(SessionReport, SetupSheetFollowsTheSheetLayout) {
  ProgramState state;
  make_session(state, kSession);
  DataSet& set = state.data_sets[0];
  const SessionReport bare = report_of(state);
  EXPECT_TRUE(bare.setup.empty());
  set.setup_texts[3] = "28";  // front left tyre pressure, cold
  set.setup_texts[4] = "31";  // hot
  set.setup_texts[64] = "Locked";
  const SessionReport report = report_of(state);
  ASSERT_EQ(report.setup.size(), 5u);
  EXPECT_EQ(report.page_count, 2);
  EXPECT_EQ(report.setup[0].heading, "Front Left");
  bool pressure = false;
  for (const ReportSetupRow& row : report.setup[0].rows) {
    if (row.label == "Tyre Press (C/H)") pressure = row.value == "28 / 31";
  }
  EXPECT_TRUE(pressure);
  EXPECT_EQ(report.setup[0].rows.front().label, "Tyre Temp (O M I)");
  EXPECT_EQ(report.setup[0].rows.front().value, "- / - / -");
  EXPECT_EQ(report.setup[4].rows.back().label, "Differential");
  EXPECT_EQ(report.setup[4].rows.back().value, "Locked");
}

TEST(SessionReport, SessionChoiceAndRefusals) {
  ProgramState state;
  std::vector<HandMadeLap> laps = kSession;
  laps.push_back({1, 97.0f, 97.0, {}, 2});
  laps.push_back({2, 99.0f, 99.0, {}, 2});
  make_session(state, laps);
  ReportOptions options;
  options.session = 2;
  const SessionReport second = report_of(state, options);
  EXPECT_EQ(second.first_page_laps.size(), 2u);
  EXPECT_EQ(second.figures[0], "Best lap: 97.00 s (lap 1, session 2)");
  EXPECT_EQ(field(second, "Duration"), "0:03:16");  // 97 + 99 s
  EXPECT_EQ(field(report_of(state), "Session"), "1, 2");

  std::string problem;
  options.session = 3;
  EXPECT_FALSE(build_session_report(state, DataSetId::A, options, &problem));
  EXPECT_EQ(problem, report_message::no_such_session);
  EXPECT_FALSE(build_session_report(state, DataSetId::B, {}, &problem));
  EXPECT_EQ(problem, report_message::no_data);
}

TEST(SessionReport, LogDateFromTheNameElseTheFileTime) {
  EXPECT_EQ(log_date_text("/logs/26y12d05m_14h05m_LogID_3.plr", std::nullopt), "12/05/2026 14:05");
  // Not the download's name (or an impossible date in it): the file's time.
  std::tm noon{};
  noon.tm_year = 2025 - 1900;
  noon.tm_mon = 6;
  noon.tm_mday = 4;
  noon.tm_hour = 12;
  noon.tm_isdst = -1;
  const std::time_t file_time = std::mktime(&noon);
  EXPECT_EQ(log_date_text("brands.plr", file_time), "04/07/2025 12:00");
  EXPECT_EQ(log_date_text("26y00d00m_00h00m_LogID_1.plr", file_time), "04/07/2025 12:00");
  EXPECT_EQ(log_date_text("brands.plr", std::nullopt), "Unknown");
  // The name is read back exactly as the download makes it.
  const std::string made = automatic_file_name(7, "    03/11", " 09h:41m", 2026, true);
  const auto read = automatic_name_date(made + ".plr");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->day, 3);
  EXPECT_EQ(read->month, 11);
  EXPECT_EQ(read->year, 2026);
  EXPECT_EQ(read->hour, 9);
  EXPECT_EQ(read->minute, 41);
  EXPECT_EQ(read->session, 7);
  EXPECT_FALSE(automatic_name_date("LogSession_3.plr"));
  EXPECT_FALSE(automatic_name_date("26y12d05m_14h05m_LogID_.plr"));
  EXPECT_FALSE(automatic_name_date("26y12d05m_14h05m_LogID_3x.plr"));
}

}  // namespace
}  // namespace ardenvis::core
