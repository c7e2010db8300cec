// "library": the session library from the command line: scan folders into
// the catalogue, list sessions and venues, a venue's season bests, rename a
// venue. The catalogue is the one the program uses unless --library names
// another.

#include <cstdio>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "common/format.h"
#include "library/catalogue.h"
#include "library/scan.h"
#include "library/season.h"
#include "library/session_library.h"
#include "library/venues.h"

namespace ardenvis::cli {
namespace {

using core::Catalogue;

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string csv(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::optional<Catalogue> open_catalogue(Arguments& args) {
  const std::string path = args.option("--library").value_or(core::default_catalogue_path());
  core::CatalogueError error;
  auto catalogue = Catalogue::open(path, error);
  if (!catalogue) std::fprintf(stderr, "library: %s\n", error.text.c_str());
  return catalogue;
}

// The venue called `name` ("Unassigned" is venue 0), or nullopt after saying so.
std::optional<int64_t> venue_named(Catalogue& catalogue, const std::string& name) {
  if (name == core::kUnassignedVenue) return core::kUnassignedVenueId;
  if (const auto venue = catalogue.venue_by_name(name)) return venue->id;
  std::fprintf(stderr, "library: no venue named \"%s\"\n", name.c_str());
  return std::nullopt;
}

bool is_date(const std::string& text) {
  return core::date_value(text, "").has_value() && text.size() == 10;
}

int finish() { return std::fflush(stdout) == 0 ? 0 : 1; }

int scan(Arguments& args) {
  auto catalogue = open_catalogue(args);
  if (!catalogue) return 1;
  if (args.rest().empty()) {
    std::fprintf(stderr, "library scan: give one or more folders\n");
    return 2;
  }
  const core::ScanResult result = core::scan_folders(*catalogue, args.rest());
  std::printf("%s\n", core::scan_summary(result).c_str());
  for (const core::FailedFile& failed : result.failures) {
    std::printf("%s: %s\n", failed.path.c_str(), failed.reason.c_str());
  }
  const int flushed = finish();
  return result.failed > 0 ? 1 : flushed;
}

int sessions(Arguments& args) {
  auto catalogue = open_catalogue(args);
  if (!catalogue) return 1;
  core::SessionFilter filter;
  if (const auto venue = args.option("--venue")) {
    filter.venue_id = venue_named(*catalogue, *venue);
    if (!filter.venue_id) return 1;
  }
  if (const auto since = args.option("--since")) {
    if (!is_date(*since)) {
      std::fprintf(stderr, "library sessions: --since takes a date as YYYY-MM-DD\n");
      return 2;
    }
    filter.since = *since;
  }
  if (!args.rest().empty()) {
    std::fprintf(stderr, "library sessions: unexpected \"%s\"\n", args.rest()[0].c_str());
    return 2;
  }
  std::printf("id,file,date,time,venue,laps,best lap,ideal lap,mean,std dev\n");
  for (const core::CataloguedSession& s : catalogue->list_sessions(filter)) {
    std::printf("%lld,%s,%s,%s,%s,%d,%s,%s,%s,%s\n", static_cast<long long>(s.id),
                csv(s.path).c_str(), s.date.c_str(), s.time.c_str(), csv(s.venue).c_str(),
                s.figures.lap_count, core::seconds_text(s.figures.best_lap).c_str(),
                core::seconds_text(s.figures.ideal_lap).c_str(),
                core::seconds_text(s.figures.mean).c_str(),
                core::seconds_text(s.figures.std_dev).c_str());
  }
  return finish();
}

int venues(Arguments& args) {
  auto catalogue = open_catalogue(args);
  if (!catalogue) return 1;
  std::printf("id,venue,sessions,latitude,longitude,lap distance (m)\n");
  for (const core::Venue& v : catalogue->venues()) {
    std::printf("%lld,%s,%d,%s,%s,%.1f\n", static_cast<long long>(v.id), csv(v.name).c_str(),
                v.session_count, v.latitude ? core::format("%.6f", *v.latitude).c_str() : "",
                v.longitude ? core::format("%.6f", *v.longitude).c_str() : "", v.lap_distance);
  }
  return finish();
}

int bests(Arguments& args) {
  auto catalogue = open_catalogue(args);
  if (!catalogue) return 1;
  const auto name = args.option("--venue");
  if (!name) {
    std::fprintf(stderr, "library bests: give --venue NAME\n");
    return 2;
  }
  const auto venue_id = venue_named(*catalogue, *name);
  if (!venue_id) return 1;
  const auto season = core::venue_season(*catalogue, *venue_id);
  if (!season) return 1;
  std::printf("session,date,time,file,best lap,lap,setup,mean,std dev,laps\n");
  for (const core::SessionSeason& s : season->sessions) {
    std::printf("%lld,%s,%s,%s,%s,%s,%s,%s,%s,%d\n", static_cast<long long>(s.session_id),
                s.date.c_str(), s.time.c_str(), csv(s.path).c_str(),
                s.best ? core::seconds_text(s.best->lap_time).c_str() : "",
                s.best ? core::format("%d", s.best->lap_number).c_str() : "",
                csv(s.setup_note).c_str(),
                s.consistency ? core::seconds_text(s.consistency->mean).c_str() : "",
                s.consistency ? core::seconds_text(s.consistency->std_dev).c_str() : "",
                s.consistency ? s.consistency->lap_count : 0);
  }
  if (season->overall_best) {
    std::printf("overall best,%.2f,session %lld,lap %d\n", season->overall_best->lap_time,
                static_cast<long long>(season->overall_best->source),
                season->overall_best->lap_number);
  }
  for (const core::IdealLap& ideal : season->ideal_laps) {
    std::printf("ideal lap,%d splits,%.2f\n", ideal.split_count, ideal.time);
    std::printf("segment,time,session,lap\n");
    for (size_t i = 0; i < ideal.segments.size(); ++i) {
      const core::IdealSegment& segment = ideal.segments[i];
      std::printf("%zu,%.2f,%lld,%d\n", i + 1, segment.time, static_cast<long long>(segment.source),
                  segment.lap_number);
    }
  }
  return finish();
}

int rename_venue(Arguments& args) {
  auto catalogue = open_catalogue(args);
  if (!catalogue) return 1;
  if (args.rest().size() != 2) {
    std::fprintf(stderr, "library rename-venue: give OLD and NEW\n");
    return 2;
  }
  const auto venue = catalogue->venue_by_name(args.rest()[0]);
  if (!venue) {
    std::fprintf(stderr, "library: no venue named \"%s\"\n", args.rest()[0].c_str());
    return 1;
  }
  if (!catalogue->rename_venue(venue->id, args.rest()[1])) {
    std::fprintf(stderr, "library rename-venue: %s\n", catalogue->last_error().c_str());
    return 1;
  }
  return 0;
}

int library(Arguments& args) {
  if (args.rest().empty()) {
    std::fprintf(stderr, "library: give scan, sessions, venues, bests or rename-venue\n");
    return 2;
  }
  const std::string what = args.rest()[0];
  std::vector<std::string> rest(args.rest().begin() + 1, args.rest().end());
  Arguments sub(std::move(rest));
  if (what == "scan") return scan(sub);
  if (what == "sessions") return sessions(sub);
  if (what == "venues") return venues(sub);
  if (what == "bests") return bests(sub);
  if (what == "rename-venue") return rename_venue(sub);
  std::fprintf(stderr, "library: unknown \"%s\"\n", what.c_str());
  return 2;
}

ARDENVIS_CLI_COMMAND(
    "library",
    "library scan DIR... | sessions [--venue NAME] [--since YYYY-MM-DD] | venues | bests --venue "
    "NAME | rename-venue OLD NEW   [--library DB]   the session library",
    library);

}  // namespace
}  // namespace ardenvis::cli
