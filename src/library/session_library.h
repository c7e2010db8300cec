#pragma once
// The program's session library: its one catalogue (opened on first use),
// the cataloguing of every log data file the program saves or loads, and the
// texts the "Session Library" window shows. Used from the user-interface
// thread only.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/catalogue.h"
#include "library/scan.h"
#include "library/season.h"
#include "state/program_state.h"

namespace ardenvis::core {

class SessionLibrary : public SessionFileListener {
 public:
  explicit SessionLibrary(std::string path);
  ~SessionLibrary() override;

  const std::string& path() const { return path_; }
  // The catalogue, opened (and made) on first use; null when it cannot be
  // opened (error() says why: a damaged file is never replaced behind the
  // user's back).
  Catalogue* catalogue();
  const std::optional<CatalogueError>& error() const { return error_; }
  // The user agreed to rebuild a damaged catalogue: the damaged file is kept
  // beside it (".damaged", numbered when that exists) and a new one made.
  // The name kept is in `kept_as`. False when that failed too.
  bool rebuild(std::string& kept_as);

  // Saved or loaded files are catalogued at once (never a second decode). A
  // failure does not stop the save or load; the last one is kept here.
  void session_file(const std::string& path, const DataSet& set, const UnitFlags& series_units,
                    const std::string* content) override;
  const std::string& last_cataloguing_problem() const { return last_problem_; }
  // Grows with every change made through session_file (the window refreshes).
  int changes() const { return changes_; }

 private:
  std::string path_;
  std::optional<Catalogue> catalogue_;
  std::optional<CatalogueError> error_;
  std::unique_ptr<SessionCataloguer> cataloguer_;
  std::string last_problem_;
  int changes_ = 0;
};

// The session table's columns and what each cell shows.
enum class LibraryColumn { Date, Venue, Driver, Car, Laps, BestLap, IdealLap, Consistency, File };
inline constexpr int kLibraryColumnCount = 9;
const char* library_column_title(LibraryColumn column);
std::string library_cell(const CataloguedSession& session, LibraryColumn column);

// A lap time or other figure in seconds as the library shows it ("55.50";
// empty when there is none).
std::string seconds_text(const std::optional<double>& value);

// The season figures of a venue as lines of text, as the window shows them.
std::vector<std::string> season_lines(const VenueSeason& season);

// The first line of a damaged catalogue's question.
std::string rebuild_question(const CatalogueError& error);

}  // namespace ardenvis::core
