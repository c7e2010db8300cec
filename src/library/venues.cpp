#include "library/venues.h"

#include <cmath>

#include "common/format.h"
#include "library/session_summary.h"

namespace ardenvis::core {

VenueChoice choose_venue(const SessionFacts& facts, const std::vector<Venue>& venues) {
  VenueChoice choice;
  if (facts.start_latitude && facts.start_longitude) {
    double nearest = kSameVenueMetres;
    for (const Venue& v : venues) {
      if (!v.latitude || !v.longitude) continue;
      const double d = distance_between(*facts.start_latitude, *facts.start_longitude, *v.latitude,
                                        *v.longitude);
      if (d <= nearest) {
        nearest = d;
        choice.venue_id = v.id;
      }
    }
    if (choice.venue_id == 0) {
      Venue fresh;
      fresh.name = facts.date;
      fresh.latitude = facts.start_latitude;
      fresh.longitude = facts.start_longitude;
      fresh.lap_distance = facts.lap_distance;
      choice.new_venue = fresh;
    }
    return choice;
  }
  if (facts.lap_distance <= 0) return choice;
  int matches = 0;
  for (const Venue& v : venues) {
    if (v.lap_distance <= 0) continue;
    if (std::abs(facts.lap_distance - v.lap_distance) <= kLapDistanceTolerance * v.lap_distance) {
      ++matches;
      choice.suggested_venue_id = v.id;
    }
  }
  if (matches != 1) choice.suggested_venue_id = 0;
  return choice;
}

bool assign_venue(Catalogue& catalogue, SessionRecord& record) {
  const std::vector<Venue> venues = catalogue.venues();
  VenueChoice choice = choose_venue(record.facts, venues);
  if (choice.new_venue) {
    // Named from the date; a second new venue on the same day gets a number.
    Venue& fresh = *choice.new_venue;
    const std::string base = fresh.name.empty() ? std::string("Venue") : fresh.name;
    fresh.name = base;
    for (int n = 2; catalogue.venue_by_name(fresh.name); ++n) {
      fresh.name = format("%s (%d)", base.c_str(), n);
    }
    const auto id = catalogue.add_venue(fresh);
    if (!id) return false;
    choice.venue_id = *id;
  }
  record.venue_id = choice.venue_id;
  record.suggested_venue_id = choice.suggested_venue_id;
  return true;
}

}  // namespace ardenvis::core
