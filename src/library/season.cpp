#include "library/season.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "library/session_summary.h"

namespace ardenvis::core {

std::optional<VenueSeason> venue_season(Catalogue& catalogue, int64_t venue_id) {
  VenueSeason season;
  if (venue_id != 0) {
    const auto venue = catalogue.venue(venue_id);
    if (!venue) return std::nullopt;
    season.venue = *venue;
  } else {
    season.venue.name = kUnassignedVenue;
  }
  SessionFilter filter;
  filter.venue_id = venue_id;
  const std::vector<CataloguedSession> rows = catalogue.list_sessions(filter);
  const auto laps = catalogue.laps_of_venue(venue_id);
  std::map<int64_t, const std::vector<LapRecord>*> laps_by_session;
  for (const auto& [session_id, records] : laps) laps_by_session[session_id] = &records;
  // The rows come in date and time order, the order the season is shown in.
  std::vector<LapTiming> all;
  std::vector<SessionSeason> sessions;
  for (const CataloguedSession& row : rows) {
    SessionSeason s;
    s.session_id = row.id;
    s.date = row.date;
    s.time = row.time;
    s.path = row.path;
    s.setup_note = row.setup_note;
    if (const auto found = laps_by_session.find(row.id); found != laps_by_session.end()) {
      const std::vector<LapTiming> own = timings_of(*found->second, row.id);
      s.lap_count = static_cast<int>(own.size());
      if (const auto best = best_lap_index(own)) s.best = own[*best];
      s.own_ideal = ideal_lap_of_best(own);
      s.consistency = consistency(own);
      all.insert(all.end(), own.begin(), own.end());
    }
    sessions.push_back(std::move(s));
  }
  season.sessions = std::move(sessions);
  if (const auto best = best_lap_index(all)) season.overall_best = all[*best];
  if (const auto ideal = ideal_lap_of_best(all)) season.ideal_laps.push_back(*ideal);
  for (const int n : logged_split_counts(all)) {
    if (!season.ideal_laps.empty() && season.ideal_laps.front().split_count == n) continue;
    if (const auto ideal = ideal_lap(all, n)) season.ideal_laps.push_back(*ideal);
  }
  return season;
}

std::vector<TrendPoint> season_trend(const VenueSeason& season) {
  std::vector<TrendPoint> points;
  for (const SessionSeason& s : season.sessions) {
    TrendPoint p;
    p.session_id = s.session_id;
    p.date = s.date;
    p.time = s.time;
    if (s.best) p.best = s.best->lap_time;
    if (s.own_ideal) p.own_ideal = s.own_ideal->time;
    if (p.best || p.own_ideal) points.push_back(std::move(p));
  }
  return points;
}

std::optional<double> date_value(const std::string& date, const std::string& time) {
  int y = 0, m = 0, d = 0, hh = 0, mm = 0;
  if (std::sscanf(date.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return std::nullopt;
  std::sscanf(time.c_str(), "%2d:%2d", &hh, &mm);
  const std::chrono::year_month_day ymd{std::chrono::year(y),
                                        std::chrono::month(static_cast<unsigned>(m)),
                                        std::chrono::day(static_cast<unsigned>(d))};
  if (!ymd.ok()) return std::nullopt;
  const auto days = std::chrono::sys_days(ymd).time_since_epoch().count();
  return static_cast<double>(days) + (hh * 60 + mm) / 1440.0;
}

}  // namespace ardenvis::core
