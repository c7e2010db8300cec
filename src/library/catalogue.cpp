#include "library/catalogue.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "common/format.h"

namespace ardenvis::core {

namespace {

// Each release's schema step; entry i takes a catalogue from version i to
// i + 1. Never change a step once released: add one.
const char* const kMigrations[] = {
    // 0 -> 1: the first release.
    "CREATE TABLE venue("
    "  id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
    "  latitude REAL, longitude REAL, lap_distance REAL NOT NULL DEFAULT 0);"
    "CREATE TABLE session("
    "  id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, size INTEGER NOT NULL,"
    "  mtime_ns INTEGER NOT NULL, hash INTEGER NOT NULL, missing INTEGER NOT NULL DEFAULT 0,"
    "  unit_identity INTEGER NOT NULL DEFAULT 0, session_number INTEGER NOT NULL DEFAULT 0,"
    "  date TEXT NOT NULL DEFAULT '', time TEXT NOT NULL DEFAULT '',"
    "  sample_rate INTEGER NOT NULL DEFAULT 0, duration REAL NOT NULL DEFAULT 0,"
    "  distance REAL NOT NULL DEFAULT 0, units TEXT NOT NULL DEFAULT '',"
    "  setup_note TEXT NOT NULL DEFAULT '', start_latitude REAL, start_longitude REAL,"
    "  lap_distance REAL NOT NULL DEFAULT 0,"
    "  venue_id INTEGER NOT NULL DEFAULT 0, suggested_venue_id INTEGER NOT NULL DEFAULT 0,"
    "  driver TEXT NOT NULL DEFAULT '', car TEXT NOT NULL DEFAULT '',"
    "  event TEXT NOT NULL DEFAULT '', comment TEXT NOT NULL DEFAULT '',"
    "  lap_count INTEGER NOT NULL DEFAULT 0, best_lap REAL, best_lap_number INTEGER NOT NULL "
    "DEFAULT 0,"
    "  ideal_lap REAL, mean REAL, std_dev REAL);"
    "CREATE INDEX session_hash ON session(hash);"
    "CREATE TABLE lap("
    "  session_id INTEGER NOT NULL, position INTEGER NOT NULL, log_session INTEGER NOT NULL,"
    "  lap_number INTEGER NOT NULL, lap_time REAL NOT NULL, distance REAL NOT NULL,"
    "  average_speed REAL NOT NULL, max_speed REAL NOT NULL, max_rpm REAL NOT NULL,"
    "  split_times BLOB, segment_times BLOB, PRIMARY KEY(session_id, position)) WITHOUT ROWID;"
    "CREATE TABLE failed_file(path TEXT PRIMARY KEY, reason TEXT NOT NULL);",
    // 1 -> 2: tags among the user fields; the session list by venue and date.
    "ALTER TABLE session ADD COLUMN tags TEXT NOT NULL DEFAULT '';"
    "CREATE INDEX session_venue ON session(venue_id, date, time);",
};
static_assert(std::size(kMigrations) == kCatalogueSchemaVersion);

constexpr int kBusyTimeoutMs = 10000;

bool damaged_code(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

std::string damaged_text(const std::string& path, const std::string& reason) {
  return format(
      "The session library \"%s\" is damaged (%s). It has been left as it is. The library can be "
      "rebuilt from the session files: move the damaged file aside and scan your folders again.",
      path.c_str(), reason.c_str());
}

std::vector<uint8_t> doubles_blob(const std::vector<double>& values) {
  std::vector<uint8_t> blob(values.size() * sizeof(double));
  if (!values.empty()) std::memcpy(blob.data(), values.data(), blob.size());
  return blob;
}

}  // namespace

// One prepared statement; every failure lands in the catalogue's last error.
class Statement {
 public:
  Statement(Catalogue& catalogue, const std::string& sql) : catalogue_(catalogue) {
    auto it = catalogue.statements_.find(sql);
    if (it != catalogue.statements_.end() && !it->second.in_use) {
      cached_ = &it->second;
      cached_->in_use = true;
      stmt_ = cached_->stmt;
      return;
    }
    if (sqlite3_prepare_v2(catalogue.db_, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      fail();
      return;
    }
    if (it == catalogue.statements_.end()) {
      cached_ = &catalogue.statements_[sql];
      cached_->stmt = stmt_;
      cached_->in_use = true;
    }
  }
  ~Statement() {
    if (cached_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
      cached_->in_use = false;
    } else {
      sqlite3_finalize(stmt_);
    }
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return ok_; }
  Statement& bind(int i, int64_t v) {
    if (stmt_) sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Statement& bind(int i, int v) { return bind(i, static_cast<int64_t>(v)); }
  Statement& bind(int i, double v) {
    if (stmt_) sqlite3_bind_double(stmt_, i, v);
    return *this;
  }
  Statement& bind(int i, const std::string& v) {
    if (stmt_) sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& bind(int i, const std::optional<double>& v) {
    if (!stmt_) return *this;
    if (v) {
      sqlite3_bind_double(stmt_, i, *v);
    } else {
      sqlite3_bind_null(stmt_, i);
    }
    return *this;
  }
  Statement& bind(int i, const std::vector<double>& v) {
    if (!stmt_) return *this;
    const auto blob = doubles_blob(v);
    sqlite3_bind_blob(stmt_, i, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    return *this;
  }

  // True on a row; false when done or failed (see ok()).
  bool row() {
    if (!stmt_ || !ok_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) fail();
    return false;
  }
  // Runs to the end; true when it completed.
  bool run() {
    while (row()) {
    }
    return ok_;
  }
  void reset() {
    if (stmt_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }

  int64_t i64(int c) const { return sqlite3_column_int64(stmt_, c); }
  int i32(int c) const { return sqlite3_column_int(stmt_, c); }
  double real(int c) const { return sqlite3_column_double(stmt_, c); }
  std::optional<double> optional_real(int c) const {
    if (sqlite3_column_type(stmt_, c) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(stmt_, c);
  }
  std::string text(int c) const {
    const auto* p = sqlite3_column_text(stmt_, c);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<size_t>(sqlite3_column_bytes(stmt_, c)))
             : std::string();
  }
  std::vector<double> doubles(int c) const {
    const void* p = sqlite3_column_blob(stmt_, c);
    const size_t bytes = static_cast<size_t>(sqlite3_column_bytes(stmt_, c));
    std::vector<double> v(bytes / sizeof(double));
    if (p && !v.empty()) std::memcpy(v.data(), p, v.size() * sizeof(double));
    return v;
  }

 private:
  void fail() {
    ok_ = false;
    catalogue_.last_error_ = sqlite3_errmsg(catalogue_.db_);
  }
  Catalogue& catalogue_;
  sqlite3_stmt* stmt_ = nullptr;
  Catalogue::CachedStatement* cached_ = nullptr;
  bool ok_ = true;
};

std::string default_catalogue_path() {
  namespace fs = std::filesystem;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = fs::path(home) / ".local" / "share";
  } else {
    base = ".";
  }
  return (base / "ardenvis" / "library.sqlite").string();
}

std::optional<Catalogue> Catalogue::open(const std::string& path, CatalogueError& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent, ec);
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    error = {CatalogueError::Kind::CannotOpen,
             format("The session library \"%s\" cannot be opened (%s).", path.c_str(),
                    db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))};
    sqlite3_close(db);
    return std::nullopt;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  Catalogue catalogue(db, path);
  if (!catalogue.migrate(error)) return std::nullopt;
  return catalogue;
}

Catalogue::Catalogue(Catalogue&& other) noexcept
    : db_(other.db_),
      path_(std::move(other.path_)),
      last_error_(std::move(other.last_error_)),
      batch_depth_(other.batch_depth_),
      statements_(std::move(other.statements_)) {
  other.db_ = nullptr;
  other.statements_.clear();
}

Catalogue& Catalogue::operator=(Catalogue&& other) noexcept {
  if (this != &other) {
    drop_statements();
    sqlite3_close(db_);
    db_ = other.db_;
    path_ = std::move(other.path_);
    last_error_ = std::move(other.last_error_);
    batch_depth_ = other.batch_depth_;
    statements_ = std::move(other.statements_);
    other.db_ = nullptr;
    other.statements_.clear();
  }
  return *this;
}

void Catalogue::drop_statements() {
  for (auto& [sql, cached] : statements_) sqlite3_finalize(cached.stmt);
  statements_.clear();
}

Catalogue::~Catalogue() {
  drop_statements();
  sqlite3_close(db_);
}

bool Catalogue::exec(const char* sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    last_error_ = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    return false;
  }
  return true;
}

bool Catalogue::migrate(CatalogueError& error) {
  auto failed = [&](int code_source_rc) {
    const int code = code_source_rc ? code_source_rc : sqlite3_extended_errcode(db_);
    if (damaged_code(code)) {
      error = {CatalogueError::Kind::Damaged, damaged_text(path_, sqlite3_errmsg(db_))};
    } else {
      error = {CatalogueError::Kind::Failed,
               format("The session library \"%s\" cannot be used (%s).", path_.c_str(),
                      last_error_.empty() ? sqlite3_errmsg(db_) : last_error_.c_str())};
    }
    return false;
  };
  auto read_version = [&]() -> std::optional<int> {
    Statement version(*this, "PRAGMA user_version");
    if (!version.row()) return std::nullopt;
    return version.i32(0);
  };
  // Reading the schema is what finds a file that is not a database at all.
  {
    Statement schema(*this, "SELECT count(*) FROM sqlite_master");
    if (!schema.row()) return failed(0);
  }
  std::optional<int> version = read_version();
  if (!version) return failed(0);
  if (*version > kCatalogueSchemaVersion) {
    error = {CatalogueError::Kind::TooNew,
             format("The session library \"%s\" was written by a newer Ardenvis (version %d); "
                    "it has been left as it is.",
                    path_.c_str(), *version)};
    return false;
  }
  if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=NORMAL")) return failed(0);
  while (*version < kCatalogueSchemaVersion) {
    // Another process may be migrating the same file: read the version again
    // inside the write lock and do only what is still to do.
    if (!exec("BEGIN IMMEDIATE")) return failed(0);
    version = read_version();
    if (!version) {
      rollback();
      return failed(0);
    }
    if (*version >= kCatalogueSchemaVersion) {
      exec("COMMIT");
      break;
    }
    if (!exec(kMigrations[*version]) ||
        !exec(format("PRAGMA user_version=%d", *version + 1).c_str()) || !exec("COMMIT")) {
      const int code = sqlite3_extended_errcode(db_);
      rollback();
      return failed(code);
    }
    version = *version + 1;
  }
  return true;
}

bool Catalogue::begin() {
  if (batch_depth_++ > 0) return true;
  return exec("BEGIN IMMEDIATE");
}

bool Catalogue::commit() {
  if (--batch_depth_ > 0) return true;
  return exec("COMMIT");
}

void Catalogue::rollback() {
  batch_depth_ = 0;
  if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
}

Catalogue::Batch::Batch(Catalogue& catalogue) : catalogue_(catalogue) {
  open_ = catalogue_.begin();
}
Catalogue::Batch::~Batch() {
  if (open_) catalogue_.rollback();
}
bool Catalogue::Batch::commit() {
  if (!open_) return false;
  open_ = false;
  return catalogue_.commit();
}

namespace {

constexpr const char* kSessionColumns =
    "s.id, s.path, s.size, s.mtime_ns, s.hash, s.missing, s.unit_identity, s.session_number, "
    "s.date, s.time, s.sample_rate, s.duration, s.distance, s.units, s.setup_note, "
    "s.start_latitude, s.start_longitude, s.lap_distance, s.venue_id, s.suggested_venue_id, "
    "s.driver, s.car, s.event, s.comment, s.tags, s.lap_count, s.best_lap, s.best_lap_number, "
    "s.ideal_lap, s.mean, s.std_dev";

SessionRecord read_session(const Statement& q) {
  SessionRecord r;
  r.id = q.i64(0);
  r.file = {q.text(1), q.i64(2), q.i64(3), static_cast<uint64_t>(q.i64(4))};
  r.missing = q.i32(5) != 0;
  SessionFacts& f = r.facts;
  f.unit_identity = q.i32(6);
  f.session_number = q.i32(7);
  f.date = q.text(8);
  f.time = q.text(9);
  f.sample_rate = q.i32(10);
  f.duration = q.real(11);
  f.distance = q.real(12);
  f.units = q.text(13);
  f.setup_note = q.text(14);
  f.start_latitude = q.optional_real(15);
  f.start_longitude = q.optional_real(16);
  f.lap_distance = q.real(17);
  r.venue_id = q.i64(18);
  r.suggested_venue_id = q.i64(19);
  r.user = {q.text(20), q.text(21), q.text(22), q.text(23), q.text(24)};
  r.figures = {q.i32(25),           q.optional_real(26), q.i32(27),
               q.optional_real(28), q.optional_real(29), q.optional_real(30)};
  return r;
}

LapRecord read_lap(const Statement& q, int first) {
  LapRecord lap;
  lap.log_session = q.i32(first);
  lap.lap_number = q.i32(first + 1);
  lap.lap_time = q.real(first + 2);
  lap.distance = q.real(first + 3);
  lap.average_speed = q.real(first + 4);
  lap.max_speed = q.real(first + 5);
  lap.max_rpm = q.real(first + 6);
  lap.split_times = q.doubles(first + 7);
  lap.segment_times = q.doubles(first + 8);
  return lap;
}

constexpr const char* kLapColumns =
    "l.log_session, l.lap_number, l.lap_time, l.distance, l.average_speed, l.max_speed, "
    "l.max_rpm, l.split_times, l.segment_times";

}  // namespace

std::optional<int64_t> Catalogue::put_session(const SessionRecord& r, bool keep_user_fields) {
  Batch batch(*this);
  int64_t id = r.id;
  const SessionFacts& f = r.facts;
  const SessionFigures& g = r.figures;
  if (id == 0) {
    Statement insert(*this,
                     "INSERT INTO session(path, size, mtime_ns, hash, missing, venue_id, "
                     "suggested_venue_id, driver, car, event, comment, tags) "
                     "VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    insert.bind(1, r.file.path)
        .bind(2, r.file.size)
        .bind(3, r.file.mtime_ns)
        .bind(4, static_cast<int64_t>(r.file.hash))
        .bind(5, r.missing ? 1 : 0)
        .bind(6, r.venue_id)
        .bind(7, r.suggested_venue_id)
        .bind(8, r.user.driver)
        .bind(9, r.user.car)
        .bind(10, r.user.event)
        .bind(11, r.user.comment)
        .bind(12, r.user.tags);
    if (!insert.run()) return std::nullopt;
    id = sqlite3_last_insert_rowid(db_);
  } else {
    Statement update(*this,
                     "UPDATE session SET path=?, size=?, mtime_ns=?, hash=?, missing=? WHERE id=?");
    update.bind(1, r.file.path)
        .bind(2, r.file.size)
        .bind(3, r.file.mtime_ns)
        .bind(4, static_cast<int64_t>(r.file.hash))
        .bind(5, r.missing ? 1 : 0)
        .bind(6, id);
    if (!update.run()) return std::nullopt;
    if (!keep_user_fields) {
      if (!set_user_fields(id, r.user)) return std::nullopt;
      Statement venue(*this, "UPDATE session SET venue_id=?, suggested_venue_id=? WHERE id=?");
      venue.bind(1, r.venue_id).bind(2, r.suggested_venue_id).bind(3, id);
      if (!venue.run()) return std::nullopt;
    }
  }
  Statement facts(*this,
                  "UPDATE session SET unit_identity=?, session_number=?, date=?, time=?, "
                  "sample_rate=?, duration=?, distance=?, units=?, setup_note=?, "
                  "start_latitude=?, start_longitude=?, lap_distance=?, lap_count=?, "
                  "best_lap=?, best_lap_number=?, ideal_lap=?, mean=?, std_dev=? WHERE id=?");
  facts.bind(1, f.unit_identity)
      .bind(2, f.session_number)
      .bind(3, f.date)
      .bind(4, f.time)
      .bind(5, f.sample_rate)
      .bind(6, f.duration)
      .bind(7, f.distance)
      .bind(8, f.units)
      .bind(9, f.setup_note)
      .bind(10, f.start_latitude)
      .bind(11, f.start_longitude)
      .bind(12, f.lap_distance)
      .bind(13, g.lap_count)
      .bind(14, g.best_lap)
      .bind(15, g.best_lap_number)
      .bind(16, g.ideal_lap)
      .bind(17, g.mean)
      .bind(18, g.std_dev)
      .bind(19, id);
  if (!facts.run()) return std::nullopt;
  Statement clear(*this, "DELETE FROM lap WHERE session_id=?");
  clear.bind(1, id);
  if (!clear.run()) return std::nullopt;
  Statement lap(*this,
                "INSERT INTO lap(session_id, position, log_session, lap_number, lap_time, "
                "distance, average_speed, max_speed, max_rpm, split_times, segment_times) "
                "VALUES(?,?,?,?,?,?,?,?,?,?,?)");
  for (size_t i = 0; i < r.laps.size(); ++i) {
    const LapRecord& l = r.laps[i];
    lap.reset();
    lap.bind(1, id)
        .bind(2, static_cast<int64_t>(i))
        .bind(3, l.log_session)
        .bind(4, l.lap_number)
        .bind(5, l.lap_time)
        .bind(6, l.distance)
        .bind(7, l.average_speed)
        .bind(8, l.max_speed)
        .bind(9, l.max_rpm)
        .bind(10, l.split_times)
        .bind(11, l.segment_times);
    if (!lap.run()) return std::nullopt;
  }
  if (!batch.commit()) return std::nullopt;
  return id;
}

std::optional<SessionRecord> Catalogue::session(int64_t id, bool with_laps) {
  Statement q(*this, (std::string("SELECT ") + kSessionColumns + " FROM session s WHERE s.id=?"));
  q.bind(1, id);
  if (!q.row()) return std::nullopt;
  SessionRecord r = read_session(q);
  if (with_laps) {
    Statement laps(*this, (std::string("SELECT ") + kLapColumns +
                           " FROM lap l WHERE l.session_id=? ORDER BY l.position")
                              .c_str());
    laps.bind(1, id);
    while (laps.row()) r.laps.push_back(read_lap(laps, 0));
  }
  return r;
}

std::optional<SessionRecord> Catalogue::session_by_path(const std::string& path) {
  Statement q(
      *this, (std::string("SELECT ") + kSessionColumns + " FROM session s WHERE s.path=?").c_str());
  q.bind(1, path);
  if (!q.row()) return std::nullopt;
  return read_session(q);
}

std::vector<SessionRecord> Catalogue::sessions_by_hash(uint64_t hash) {
  Statement q(
      *this, (std::string("SELECT ") + kSessionColumns + " FROM session s WHERE s.hash=?").c_str());
  q.bind(1, static_cast<int64_t>(hash));
  std::vector<SessionRecord> out;
  while (q.row()) out.push_back(read_session(q));
  return out;
}

std::vector<std::pair<int64_t, FileIdentity>> Catalogue::files() {
  Statement q(*this, "SELECT id, path, size, mtime_ns, hash FROM session ORDER BY id");
  std::vector<std::pair<int64_t, FileIdentity>> out;
  while (q.row()) {
    out.emplace_back(q.i64(0),
                     FileIdentity{q.text(1), q.i64(2), q.i64(3), static_cast<uint64_t>(q.i64(4))});
  }
  return out;
}

std::vector<CataloguedSession> Catalogue::list_sessions(const SessionFilter& filter) {
  std::string sql =
      "SELECT s.id, s.path, s.date, s.time, s.venue_id, coalesce(v.name, ''), s.driver, s.car, "
      "s.event, s.comment, s.tags, s.lap_count, s.best_lap, s.best_lap_number, s.ideal_lap, "
      "s.mean, s.std_dev, s.missing, s.setup_note FROM session s LEFT JOIN venue v ON v.id = "
      "s.venue_id "
      "WHERE (?1 IS NULL OR s.venue_id = ?1) AND s.date >= ?2";
  if (!filter.text.empty()) {
    sql +=
        " AND (instr(lower(s.path), ?3) OR instr(lower(coalesce(v.name, '')), ?3) OR "
        "instr(lower(s.driver), ?3) OR instr(lower(s.car), ?3) OR instr(lower(s.event), ?3) OR "
        "instr(lower(s.comment), ?3) OR instr(lower(s.tags), ?3))";
  }
  sql += " ORDER BY s.date, s.time, s.id";
  Statement q(*this, sql.c_str());
  if (filter.venue_id) q.bind(1, *filter.venue_id);
  q.bind(2, filter.since);
  if (!filter.text.empty()) {
    std::string lower = filter.text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    q.bind(3, lower);
  }
  std::vector<CataloguedSession> rows;
  rows.reserve(static_cast<size_t>(session_count()));
  while (q.row()) {
    CataloguedSession r;
    r.id = q.i64(0);
    r.path = q.text(1);
    r.date = q.text(2);
    r.time = q.text(3);
    r.venue_id = q.i64(4);
    r.venue = r.venue_id == 0 ? kUnassignedVenue : q.text(5);
    r.user = {q.text(6), q.text(7), q.text(8), q.text(9), q.text(10)};
    r.figures = {q.i32(11),           q.optional_real(12), q.i32(13),
                 q.optional_real(14), q.optional_real(15), q.optional_real(16)};
    r.missing = q.i32(17) != 0;
    r.setup_note = q.text(18);
    rows.push_back(std::move(r));
  }
  return rows;
}

int Catalogue::session_count() {
  Statement q(*this, "SELECT count(*) FROM session");
  return q.row() ? q.i32(0) : 0;
}

bool Catalogue::set_user_fields(int64_t session_id, const UserFields& u) {
  Statement q(*this, "UPDATE session SET driver=?, car=?, event=?, comment=?, tags=? WHERE id=?");
  q.bind(1, u.driver)
      .bind(2, u.car)
      .bind(3, u.event)
      .bind(4, u.comment)
      .bind(5, u.tags)
      .bind(6, session_id);
  return q.run();
}

bool Catalogue::forget_session(int64_t session_id) {
  Batch batch(*this);
  Statement laps(*this, "DELETE FROM lap WHERE session_id=?");
  laps.bind(1, session_id);
  Statement session(*this, "DELETE FROM session WHERE id=?");
  session.bind(1, session_id);
  return laps.run() && session.run() && batch.commit();
}

bool Catalogue::set_file(int64_t session_id, const FileIdentity& file) {
  Statement q(*this, "UPDATE session SET path=?, size=?, mtime_ns=?, hash=?, missing=0 WHERE id=?");
  q.bind(1, file.path)
      .bind(2, file.size)
      .bind(3, file.mtime_ns)
      .bind(4, static_cast<int64_t>(file.hash))
      .bind(5, session_id);
  return q.run();
}

bool Catalogue::set_missing(int64_t session_id, bool missing) {
  // A flag that is already right is not written again (a rescan sets it for
  // every file it finds).
  Statement q(*this, "UPDATE session SET missing=?1 WHERE id=?2 AND missing<>?1");
  q.bind(1, missing ? 1 : 0).bind(2, session_id);
  return q.run();
}

bool Catalogue::move_session(int64_t session_id, int64_t venue_id) {
  Statement q(*this, "UPDATE session SET venue_id=?, suggested_venue_id=0 WHERE id=?");
  q.bind(1, venue_id).bind(2, session_id);
  return q.run();
}

bool Catalogue::set_suggested_venue(int64_t session_id, int64_t venue_id) {
  Statement q(*this, "UPDATE session SET suggested_venue_id=? WHERE id=?");
  q.bind(1, venue_id).bind(2, session_id);
  return q.run();
}

std::vector<std::pair<int64_t, std::vector<LapRecord>>> Catalogue::laps_of_venue(int64_t venue_id) {
  Statement q(*this, (std::string("SELECT l.session_id, ") + kLapColumns +
                      " FROM lap l JOIN session s ON s.id = l.session_id WHERE s.venue_id=? "
                      "ORDER BY l.session_id, l.position")
                         .c_str());
  q.bind(1, venue_id);
  std::vector<std::pair<int64_t, std::vector<LapRecord>>> out;
  while (q.row()) {
    const int64_t id = q.i64(0);
    if (out.empty() || out.back().first != id) out.emplace_back(id, std::vector<LapRecord>{});
    out.back().second.push_back(read_lap(q, 1));
  }
  return out;
}

std::vector<Venue> Catalogue::venues() {
  Statement q(*this,
              "SELECT v.id, v.name, v.latitude, v.longitude, v.lap_distance, "
              "(SELECT count(*) FROM session s WHERE s.venue_id = v.id) FROM venue v "
              "ORDER BY v.name COLLATE NOCASE");
  std::vector<Venue> out;
  while (q.row()) {
    out.push_back(
        {q.i64(0), q.text(1), q.optional_real(2), q.optional_real(3), q.real(4), q.i32(5)});
  }
  return out;
}

std::optional<Venue> Catalogue::venue(int64_t id) {
  for (const Venue& v : venues()) {
    if (v.id == id) return v;
  }
  return std::nullopt;
}

std::optional<Venue> Catalogue::venue_by_name(const std::string& name) {
  for (const Venue& v : venues()) {
    if (v.name == name) return v;
  }
  return std::nullopt;
}

std::optional<int64_t> Catalogue::add_venue(const Venue& v) {
  Statement q(*this, "INSERT INTO venue(name, latitude, longitude, lap_distance) VALUES(?,?,?,?)");
  q.bind(1, v.name).bind(2, v.latitude).bind(3, v.longitude).bind(4, v.lap_distance);
  if (!q.run()) return std::nullopt;
  return sqlite3_last_insert_rowid(db_);
}

bool Catalogue::rename_venue(int64_t id, const std::string& name) {
  if (name.empty() || name == kUnassignedVenue) {
    last_error_ = format("\"%s\" cannot be a venue's name", name.c_str());
    return false;
  }
  if (auto taken = venue_by_name(name); taken && taken->id != id) {
    last_error_ = format("a venue named \"%s\" already exists", name.c_str());
    return false;
  }
  Statement q(*this, "UPDATE venue SET name=? WHERE id=?");
  q.bind(1, name).bind(2, id);
  if (!q.run()) return false;
  if (sqlite3_changes(db_) == 0) {
    last_error_ = "no such venue";
    return false;
  }
  return true;
}

bool Catalogue::merge_venues(int64_t from, int64_t into) {
  if (from == into) return true;
  Batch batch(*this);
  Statement move(*this, "UPDATE session SET venue_id=? WHERE venue_id=?");
  move.bind(1, into).bind(2, from);
  Statement suggested(*this, "UPDATE session SET suggested_venue_id=? WHERE suggested_venue_id=?");
  suggested.bind(1, into).bind(2, from);
  Statement drop(*this, "DELETE FROM venue WHERE id=?");
  drop.bind(1, from);
  return move.run() && suggested.run() && drop.run() && batch.commit();
}

bool Catalogue::put_failed_file(const FailedFile& failed) {
  Statement q(*this, "INSERT OR REPLACE INTO failed_file(path, reason) VALUES(?,?)");
  q.bind(1, failed.path).bind(2, failed.reason);
  return q.run();
}

bool Catalogue::forget_failed_file(const std::string& path) {
  Statement q(*this, "DELETE FROM failed_file WHERE path=?");
  q.bind(1, path);
  return q.run();
}

std::vector<FailedFile> Catalogue::failed_files() {
  Statement q(*this, "SELECT path, reason FROM failed_file ORDER BY path");
  std::vector<FailedFile> out;
  while (q.row()) out.push_back({q.text(0), q.text(1)});
  return out;
}

}  // namespace ardenvis::core
