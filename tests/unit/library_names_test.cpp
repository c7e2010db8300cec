// What the catalogue reads from a log data file's name, notes and header, and
// the venue rule.

#include <gtest/gtest.h>

#include "library/catalogue.h"
#include "library/session_summary.h"
#include "library/venues.h"

namespace ardenvis::core {
namespace {

TEST(LibraryNames, DateAndTimeComeFromTheAutomaticNameOnly) {
  struct Case {
    const char* name;
    const char* date;
    const char* time;
    int session;
  };
  const Case named[] = {{"26y12d05m_14h05m_LogID_3.plr", "2026-05-12", "14:05", 3},
                        {"/logs/x/25y01d11m_09h59m_LogID_12.plr", "2025-11-01", "09:59", 12}};
  for (const Case& c : named) {
    const auto got = date_time_from_name(c.name);
    ASSERT_TRUE(got) << c.name;
    EXPECT_EQ(got->date, c.date);
    EXPECT_EQ(got->time, c.time);
    EXPECT_EQ(got->session_number, c.session);
  }
  for (const char* other :
       {"session.plr", "26y00d00m_00h00m_LogID_1.plr", "26y12d13m_14h05m_LogID_3.plr",
        "26y12d05m_24h05m_LogID_3.plr", "26y12d05m_14h05m_LogID_.plr", "26y12d05m_14h05m"}) {
    EXPECT_FALSE(date_time_from_name(other)) << other;
  }
}

TEST(LibraryNames, SetupNoteSkipsTheFileNameLines) {
  EXPECT_EQ(
      setup_note_first_line({" Filename: a.plr", " Filename: b.plr", "", "  Wet, 12 C ", "second"}),
      "Wet, 12 C");
  EXPECT_EQ(setup_note_first_line({" Filename: a.plr"}), "");
}

TEST(LibraryNames, UnitsComeFromTheHeaderFlags) {
  const std::string head =
      "// Filename: a.plr\r\n//note\r\n@@\r\n@@x\r\n1\r\n04 16\r\n0\r\n1000\r\n0\r\n";
  EXPECT_EQ(log_file_units(head + "14\r\n0\r\n"), "km/h,psi,C");
  EXPECT_EQ(log_file_units(head + "13\r\n0\r\n"), "mph,bar,F");
  EXPECT_EQ(log_file_units(head + "zz\r\n"), "");
  EXPECT_EQ(log_file_units("// only\r\n"), "");
}

TEST(LibraryVenues, LapDistanceSuggestsOnlyAnUnambiguousVenue) {
  const std::vector<Venue> venues = {{1, "Long", 52.0, -1.0, 3000, 0},
                                     {2, "Short", 52.1, -1.0, 1600, 0},
                                     {3, "Shorter", 52.2, -1.0, 1560, 0}};
  struct Case {
    double lap_distance;
    int64_t suggested;
  };
  // 1600 and 1560 are 2.5 % apart: 1585 lies within 2 % of both.
  const Case cases[] = {{3050, 1}, {2939, 0}, {3061, 0}, {1585, 0}, {1630, 2}, {1530, 3}, {0, 0}};
  for (const Case& c : cases) {
    SessionFacts facts;
    facts.lap_distance = c.lap_distance;
    const VenueChoice choice = choose_venue(facts, venues);
    EXPECT_EQ(choice.venue_id, 0) << c.lap_distance;
    EXPECT_EQ(choice.suggested_venue_id, c.suggested) << c.lap_distance;
  }
}

TEST(LibraryVenues, StartFinishWithin250MetresJoinsTheVenue) {
  const std::vector<Venue> venues = {{1, "Kirkby", 52.0, -1.0, 1600, 0}};
  SessionFacts facts;
  facts.date = "2026-06-01";
  facts.start_longitude = -1.0;
  facts.start_latitude = 52.0 + 240.0 / 111195.0;  // 240 m north
  EXPECT_EQ(choose_venue(facts, venues).venue_id, 1);
  facts.start_latitude = 52.0 + 260.0 / 111195.0;
  const VenueChoice fresh = choose_venue(facts, venues);
  EXPECT_EQ(fresh.venue_id, 0);
  ASSERT_TRUE(fresh.new_venue);
  EXPECT_EQ(fresh.new_venue->name, "2026-06-01");
}

}  // namespace
}  // namespace ardenvis::core
