#pragma once
// A venue's season: the best lap of each session with the first line of its
// set-up notes, the overall best, the venue's ideal lap across sessions (for
// the split count of the venue's best lap, and the other split counts where
// the layout changed), each session's own ideal lap and consistency, and the
// trend of best and own ideal lap against date. All figures come from the
// one implementation of the lap figures, over the catalogued laps.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/catalogue.h"
#include "viewer/lap_figures.h"

namespace ardenvis::core {

struct SessionSeason {
  int64_t session_id = 0;
  std::string date;
  std::string time;
  std::string path;
  std::string setup_note;
  int lap_count = 0;
  std::optional<LapTiming> best;  // the session's best lap
  std::optional<IdealLap> own_ideal;
  std::optional<Consistency> consistency;
};

struct VenueSeason {
  Venue venue;
  std::vector<SessionSeason> sessions;    // by date and time
  std::optional<LapTiming> overall_best;  // source: the session id
  // The ideal lap for the split count of the overall best lap first, then
  // those of the other split counts logged here, ascending.
  std::vector<IdealLap> ideal_laps;
};

std::optional<VenueSeason> venue_season(Catalogue& catalogue, int64_t venue_id);

struct TrendPoint {
  int64_t session_id = 0;
  std::string date;  // YYYY-MM-DD
  std::string time;  // HH:MM
  std::optional<double> best;
  std::optional<double> own_ideal;
};
std::vector<TrendPoint> season_trend(const VenueSeason& season);

// Days since 1970-01-01 of "YYYY-MM-DD" plus the fraction of "HH:MM" (for
// plotting against date); nullopt when the text is not a date.
std::optional<double> date_value(const std::string& date, const std::string& time);

}  // namespace ardenvis::core
