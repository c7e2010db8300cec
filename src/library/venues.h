#pragma once
// Which venue a session belongs to. A session with GPS joins the venue whose
// start/finish line lies within 250 m of its own, or starts a new venue named
// from its date until the user renames it. A session without GPS stays
// unassigned; when its lap distance matches exactly one venue's within 2 %,
// that venue is offered, never forced.

#include <cstdint>
#include <optional>
#include <vector>

#include "library/catalogue.h"

namespace ardenvis::core {

inline constexpr double kSameVenueMetres = 250.0;
inline constexpr double kLapDistanceTolerance = 0.02;

struct VenueChoice {
  int64_t venue_id = 0;  // 0: unassigned, or a venue still to be made (new_venue)
  int64_t suggested_venue_id = 0;
  std::optional<Venue> new_venue;  // to be added when no venue matched
};

// The rule alone, over the venues there are.
VenueChoice choose_venue(const SessionFacts& facts, const std::vector<Venue>& venues);

// Applies the rule to a session about to be added (adding a new venue when
// one is needed) and sets its venue and suggestion. False on a catalogue
// failure.
bool assign_venue(Catalogue& catalogue, SessionRecord& record);

// "Unassigned" venue id for the command line and the window's list.
inline constexpr int64_t kUnassignedVenueId = 0;

}  // namespace ardenvis::core
