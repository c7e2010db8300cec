#pragma once
// The session library's catalogue: an index of the log data files a racer has
// kept, in one SQLite file. The files stay the data; the catalogue holds per
// session the file's identity (path, size, modification time, content hash),
// what the log says about itself, the venue, the user's own fields and a
// summary of every lap (never the samples), so lists and season figures come
// from small tables however many sessions there are. It can always be built
// again from the files.
//
// The schema carries a version (PRAGMA user_version); opening an older file
// migrates it step by step. WAL mode and a busy time-out let the window and
// the command line use one catalogue at the same time. A file that is not a
// catalogue, or a damaged one, is reported and left exactly as it is.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ardenvis::core {

inline constexpr int kCatalogueSchemaVersion = 2;
inline constexpr const char* kUnassignedVenue = "Unassigned";

// One lap as the catalogue keeps it. Speeds in km/h, distances in metres.
struct LapRecord {
  int log_session = 0;  // the log's own session number (1-based)
  int lap_number = 0;
  double lap_time = 0;  // s; 0 when the unit logged no time
  double distance = 0;
  double average_speed = 0;
  double max_speed = 0;
  double max_rpm = 0;
  std::vector<double> split_times;    // the unit's logged splits, s from the lap start
  std::vector<double> segment_times;  // n splits -> n + 1 segments; empty without splits
};

// The fields the user fills in.
struct UserFields {
  std::string driver;
  std::string car;
  std::string event;
  std::string comment;
  std::string tags;
  bool operator==(const UserFields&) const = default;
};

// A session's own figures, worked out when it is catalogued.
struct SessionFigures {
  int lap_count = 0;
  std::optional<double> best_lap;
  int best_lap_number = 0;
  std::optional<double> ideal_lap;  // the session's own, for its best lap's split count
  std::optional<double> mean;
  std::optional<double> std_dev;
};

// What a log data file says about itself.
struct SessionFacts {
  int unit_identity = 0;
  int session_number = 0;  // from the download's automatic name; 0 when unknown
  std::string date;        // YYYY-MM-DD
  std::string time;        // HH:MM
  int sample_rate = 0;
  double duration = 0;                   // s
  double distance = 0;                   // m
  std::string units;                     // the display units the file was saved in: "mph,psi,C"
  std::string setup_note;                // the first line of the user's setup notes
  std::optional<double> start_latitude;  // the start/finish line, when the log has GPS
  std::optional<double> start_longitude;
  double lap_distance = 0;  // the typical logged lap distance, m (0 without laps)
};

// The file behind a session.
struct FileIdentity {
  std::string path;
  int64_t size = 0;
  int64_t mtime_ns = 0;  // modification time, ns since the epoch
  uint64_t hash = 0;
};

struct SessionRecord {
  int64_t id = 0;
  FileIdentity file;
  SessionFacts facts;
  SessionFigures figures;
  UserFields user;
  int64_t venue_id = 0;            // 0: unassigned
  int64_t suggested_venue_id = 0;  // offered for a session without GPS, never forced
  bool missing = false;
  std::vector<LapRecord> laps;  // filled only where asked for
};

// A row of the session list: what the table and the CSV show.
struct CataloguedSession {
  int64_t id = 0;
  std::string path;
  std::string date;
  std::string time;
  int64_t venue_id = 0;
  std::string venue;  // "Unassigned" without one
  UserFields user;
  SessionFigures figures;
  std::string setup_note;
  bool missing = false;
};

struct Venue {
  int64_t id = 0;
  std::string name;
  std::optional<double> latitude;  // start/finish line
  std::optional<double> longitude;
  double lap_distance = 0;  // m
  int session_count = 0;
};

// A file a scan could not catalogue, with the reason.
struct FailedFile {
  std::string path;
  std::string reason;
};

struct SessionFilter {
  std::optional<int64_t> venue_id;  // 0 picks the unassigned sessions
  std::string since;                // YYYY-MM-DD, empty for all
  std::string text;                 // part of the file, venue, driver, car, event, comment or tags
};

// Why a catalogue could not be used; `text` is the message to show as it is.
struct CatalogueError {
  enum class Kind { CannotOpen, Damaged, TooNew, Failed };
  Kind kind = Kind::Failed;
  std::string text;
};

class Catalogue {
 public:
  // Opens (creating it when absent, with its folder) and migrates the
  // catalogue at `path`. A damaged file gives Kind::Damaged and is left alone.
  static std::optional<Catalogue> open(const std::string& path, CatalogueError& error);

  Catalogue(Catalogue&& other) noexcept;
  Catalogue& operator=(Catalogue&& other) noexcept;
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;
  ~Catalogue();

  const std::string& path() const { return path_; }
  // The last SQLite failure's text (for messages), or empty.
  const std::string& last_error() const { return last_error_; }

  // Every write below runs in its own transaction unless a Batch is open.
  class Batch {
   public:
    explicit Batch(Catalogue& catalogue);
    ~Batch();  // rolls back unless committed
    bool commit();

   private:
    Catalogue& catalogue_;
    bool open_ = false;
  };

  // Sessions. put_session adds a new one (id 0) or replaces the file, facts,
  // figures and laps of an existing one; user fields and venue are kept when
  // `keep_user_fields` (a re-catalogued file keeps what the user typed).
  std::optional<int64_t> put_session(const SessionRecord& record, bool keep_user_fields = true);
  std::optional<SessionRecord> session(int64_t id, bool with_laps = false);
  std::optional<SessionRecord> session_by_path(const std::string& path);
  std::vector<SessionRecord> sessions_by_hash(uint64_t hash);
  // Every session's file identity (for a scan's comparisons).
  std::vector<std::pair<int64_t, FileIdentity>> files();
  std::vector<CataloguedSession> list_sessions(const SessionFilter& filter = {});
  int session_count();
  bool set_user_fields(int64_t session_id, const UserFields& fields);
  // Takes a session out of the catalogue (its file stays where it is).
  bool forget_session(int64_t session_id);
  bool set_file(int64_t session_id, const FileIdentity& file);
  bool set_missing(int64_t session_id, bool missing);
  // Moves a session to a venue (0: unassigned); clears any suggestion.
  bool move_session(int64_t session_id, int64_t venue_id);
  bool set_suggested_venue(int64_t session_id, int64_t venue_id);
  // The laps of many sessions at once, grouped by session id (ascending).
  std::vector<std::pair<int64_t, std::vector<LapRecord>>> laps_of_venue(int64_t venue_id);

  // Venues.
  std::vector<Venue> venues();
  std::optional<Venue> venue(int64_t id);
  std::optional<Venue> venue_by_name(const std::string& name);
  std::optional<int64_t> add_venue(const Venue& venue);
  // False (with last_error) when the name is taken by another venue.
  bool rename_venue(int64_t id, const std::string& name);
  // Moves every session of `from` to `into` and removes `from`.
  bool merge_venues(int64_t from, int64_t into);

  // Files a scan could not catalogue.
  bool put_failed_file(const FailedFile& failed);
  bool forget_failed_file(const std::string& path);
  std::vector<FailedFile> failed_files();

 private:
  Catalogue(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
  bool exec(const char* sql);
  bool migrate(CatalogueError& error);
  bool begin();
  bool commit();
  void rollback();
  friend class Batch;
  friend class Statement;

  // Prepared statements kept for reuse (a scan runs the same few per file);
  // the flag says one is in use, so a nested use prepares its own.
  struct CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool in_use = false;
  };
  void drop_statements();

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string last_error_;
  int batch_depth_ = 0;
  std::map<std::string, CachedStatement, std::less<>> statements_;
};

// $XDG_DATA_HOME/ardenvis/library.sqlite, or ~/.local/share/ardenvis/library.sqlite.
std::string default_catalogue_path();

}  // namespace ardenvis::core
