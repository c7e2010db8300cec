#include "library/session_library.h"

#include <filesystem>

#include "common/format.h"

namespace ardenvis::core {

namespace fs = std::filesystem;

SessionLibrary::SessionLibrary(std::string path) : path_(std::move(path)) {}
SessionLibrary::~SessionLibrary() = default;

Catalogue* SessionLibrary::catalogue() {
  if (catalogue_) return &*catalogue_;
  CatalogueError error;
  catalogue_ = Catalogue::open(path_, error);
  if (!catalogue_) {
    error_ = error;
    return nullptr;
  }
  error_.reset();
  cataloguer_ = std::make_unique<SessionCataloguer>(*catalogue_);
  return &*catalogue_;
}

bool SessionLibrary::rebuild(std::string& kept_as) {
  cataloguer_.reset();
  catalogue_.reset();
  std::error_code ec;
  kept_as = path_ + ".damaged";
  for (int n = 2; fs::exists(kept_as, ec); ++n) kept_as = format("%s.damaged-%d", path_.c_str(), n);
  fs::rename(path_, kept_as, ec);
  if (ec) {
    error_ = CatalogueError{CatalogueError::Kind::CannotOpen,
                            format("The session library \"%s\" could not be moved aside (%s).",
                                   path_.c_str(), ec.message().c_str())};
    return false;
  }
  // The journal files belong to the damaged file.
  for (const char* suffix : {"-wal", "-shm"}) {
    if (fs::exists(path_ + suffix, ec)) fs::rename(path_ + suffix, kept_as + suffix, ec);
  }
  return catalogue() != nullptr;
}

void SessionLibrary::session_file(const std::string& path, const DataSet& set,
                                  const UnitFlags& series_units, const std::string* content) {
  if (!catalogue()) {
    last_problem_ = error_ ? error_->text : std::string();
    return;
  }
  const CatalogueOutcome outcome = cataloguer_->catalogue_loaded(path, set, series_units, content);
  if (outcome.kind == CatalogueOutcomeKind::Failed) {
    last_problem_ = outcome.reason;
  } else {
    ++changes_;
  }
}

const char* library_column_title(LibraryColumn column) {
  switch (column) {
    case LibraryColumn::Date:
      return "Date";
    case LibraryColumn::Venue:
      return "Venue";
    case LibraryColumn::Driver:
      return "Driver";
    case LibraryColumn::Car:
      return "Car";
    case LibraryColumn::Laps:
      return "Laps";
    case LibraryColumn::BestLap:
      return "Best Lap";
    case LibraryColumn::IdealLap:
      return "Ideal Lap";
    case LibraryColumn::Consistency:
      return "Consistency";
    case LibraryColumn::File:
      return "File";
  }
  return "";
}

std::string seconds_text(const std::optional<double>& value) {
  return value ? format("%.2f", *value) : std::string();
}

std::string library_cell(const CataloguedSession& s, LibraryColumn column) {
  switch (column) {
    case LibraryColumn::Date:
      return s.date + " " + s.time;
    case LibraryColumn::Venue:
      return s.venue;
    case LibraryColumn::Driver:
      return s.user.driver;
    case LibraryColumn::Car:
      return s.user.car;
    case LibraryColumn::Laps:
      return format("%d", s.figures.lap_count);
    case LibraryColumn::BestLap:
      return seconds_text(s.figures.best_lap);
    case LibraryColumn::IdealLap:
      return seconds_text(s.figures.ideal_lap);
    case LibraryColumn::Consistency:
      if (!s.figures.mean || !s.figures.std_dev) return {};
      return format("%.2f \xC2\xB1 %.2f", *s.figures.mean, *s.figures.std_dev);
    case LibraryColumn::File:
      return s.missing ? s.path + " (missing)" : s.path;
  }
  return {};
}

std::vector<std::string> season_lines(const VenueSeason& season) {
  std::vector<std::string> lines;
  lines.push_back(format("%s: %zu sessions", season.venue.name.c_str(), season.sessions.size()));
  if (season.overall_best) {
    const auto& best = *season.overall_best;
    std::string when;
    for (const SessionSeason& s : season.sessions) {
      if (s.session_id == best.source) when = s.date;
    }
    lines.push_back(
        format("Best lap %.2f (lap %d, %s)", best.lap_time, best.lap_number, when.c_str()));
  }
  for (const IdealLap& ideal : season.ideal_laps) {
    std::string line = format("Ideal lap %.2f (%d splits):", ideal.time, ideal.split_count);
    for (size_t i = 0; i < ideal.segments.size(); ++i) {
      const IdealSegment& segment = ideal.segments[i];
      line += format(" S%zu %.2f [#%lld lap %d]", i + 1, segment.time,
                     static_cast<long long>(segment.source), segment.lap_number);
    }
    lines.push_back(line);
  }
  for (const SessionSeason& s : season.sessions) {
    std::string line =
        format("#%lld %s %s", static_cast<long long>(s.session_id), s.date.c_str(), s.time.c_str());
    if (s.best) line += format("  best %.2f (lap %d)", s.best->lap_time, s.best->lap_number);
    if (s.own_ideal) line += format("  ideal %.2f", s.own_ideal->time);
    if (s.consistency) {
      line += format("  %.2f \xC2\xB1 %.2f (%d laps)", s.consistency->mean, s.consistency->std_dev,
                     s.consistency->lap_count);
    }
    if (!s.setup_note.empty()) line += "  " + s.setup_note;
    lines.push_back(line);
  }
  return lines;
}

std::string rebuild_question(const CatalogueError& error) {
  return error.text + "\nRebuild the session library now? (The damaged file is kept beside it.)";
}

}  // namespace ardenvis::core
