// The catalogue file itself: migration of an older schema, a damaged or newer
// file left alone, two processes writing at once, venues renamed and merged,
// sessions moved, the session list filtered.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "library/catalogue.h"
#include "support/folder_test.h"

namespace ardenvis::core {
namespace {

class CatalogueFile : public testing::FolderTest {
 protected:
  CatalogueFile() : FolderTest("library-catalogue") {}

  Catalogue open_ok(const std::string& name = "library.sqlite") {
    CatalogueError error;
    auto catalogue = Catalogue::open(path(name), error);
    EXPECT_TRUE(catalogue) << error.text;
    return std::move(*catalogue);
  }
  void run_sql(const std::string& name, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path(name).c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
  }
};

SessionRecord a_session(const std::string& path, const std::string& date, int64_t venue = 0) {
  SessionRecord r;
  r.file = {path, 1000, 5, std::hash<std::string>{}(path)};
  r.facts.date = date;
  r.facts.time = "12:00";
  r.venue_id = venue;
  LapRecord lap;
  lap.log_session = 1;
  lap.lap_number = 1;
  lap.lap_time = 61.25;
  lap.split_times = {20.5};
  lap.segment_times = {20.5, 40.75};
  r.laps = {lap};
  r.figures.lap_count = 1;
  r.figures.best_lap = 61.25;
  return r;
}

// A catalogue as the first release wrote it (schema version 1), with one
// session and one venue.
TEST_F(CatalogueFile, OlderSchemaIsMigratedKeepingItsSessions) {
  run_sql("old.sqlite",
          "CREATE TABLE venue(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, latitude REAL,"
          " longitude REAL, lap_distance REAL NOT NULL DEFAULT 0);"
          "CREATE TABLE session(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, size INTEGER "
          "NOT NULL, mtime_ns INTEGER NOT NULL, hash INTEGER NOT NULL, missing INTEGER NOT NULL "
          "DEFAULT 0, unit_identity INTEGER NOT NULL DEFAULT 0, session_number INTEGER NOT NULL "
          "DEFAULT 0, date TEXT NOT NULL DEFAULT '', time TEXT NOT NULL DEFAULT '', sample_rate "
          "INTEGER NOT NULL DEFAULT 0, duration REAL NOT NULL DEFAULT 0, distance REAL NOT NULL "
          "DEFAULT 0, units TEXT NOT NULL DEFAULT '', setup_note TEXT NOT NULL DEFAULT '', "
          "start_latitude REAL, start_longitude REAL, lap_distance REAL NOT NULL DEFAULT 0, "
          "venue_id INTEGER NOT NULL DEFAULT 0, suggested_venue_id INTEGER NOT NULL DEFAULT 0, "
          "driver TEXT NOT NULL DEFAULT '', car TEXT NOT NULL DEFAULT '', event TEXT NOT NULL "
          "DEFAULT '', comment TEXT NOT NULL DEFAULT '', lap_count INTEGER NOT NULL DEFAULT 0, "
          "best_lap REAL, best_lap_number INTEGER NOT NULL DEFAULT 0, ideal_lap REAL, mean REAL, "
          "std_dev REAL);"
          "CREATE INDEX session_hash ON session(hash);"
          "CREATE TABLE lap(session_id INTEGER NOT NULL, position INTEGER NOT NULL, log_session "
          "INTEGER NOT NULL, lap_number INTEGER NOT NULL, lap_time REAL NOT NULL, distance REAL "
          "NOT NULL, average_speed REAL NOT NULL, max_speed REAL NOT NULL, max_rpm REAL NOT NULL,"
          " split_times BLOB, segment_times BLOB, PRIMARY KEY(session_id, position)) WITHOUT "
          "ROWID;"
          "CREATE TABLE failed_file(path TEXT PRIMARY KEY, reason TEXT NOT NULL);"
          "INSERT INTO venue VALUES(7, 'Kirkby', 52.0, -1.0, 1600);"
          "INSERT INTO session(id, path, size, mtime_ns, hash, date, time, venue_id, driver, "
          "lap_count, best_lap) VALUES(3, '/logs/a.plr', 99, 1, 42, '2025-05-01', '10:00', 7, "
          "'Ann', 1, 60.5);"
          "INSERT INTO lap VALUES(3, 0, 1, 1, 60.5, 1600, 95.2, 140, 7000, NULL, NULL);"
          "PRAGMA user_version=1;");
  Catalogue catalogue = open_ok("old.sqlite");
  const auto rows = catalogue.list_sessions();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].path, "/logs/a.plr");
  EXPECT_EQ(rows[0].venue, "Kirkby");
  EXPECT_EQ(rows[0].user.driver, "Ann");
  EXPECT_EQ(rows[0].user.tags, "");  // the column the second version added
  EXPECT_TRUE(catalogue.set_user_fields(3, {"Ann", "", "", "", "wet"}));
  EXPECT_EQ(catalogue.session(3)->user.tags, "wet");
  EXPECT_DOUBLE_EQ(catalogue.session(3, true)->laps.at(0).lap_time, 60.5);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path("old.sqlite").c_str(), &db), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(stmt, 0), kCatalogueSchemaVersion);
  sqlite3_finalize(stmt);
  sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal");
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

TEST_F(CatalogueFile, DamagedOrNewerFileIsReportedAndLeftAsItIs) {
  const std::string garbage(8192, 'x');
  write("damaged.sqlite", garbage);
  CatalogueError error;
  EXPECT_FALSE(Catalogue::open(path("damaged.sqlite"), error));
  EXPECT_EQ(error.kind, CatalogueError::Kind::Damaged);
  EXPECT_NE(error.text.find("is damaged"), std::string::npos) << error.text;
  EXPECT_NE(error.text.find("rebuilt from the session files"), std::string::npos);
  EXPECT_EQ(read("damaged.sqlite"), garbage);

  run_sql("newer.sqlite", "CREATE TABLE t(x); PRAGMA user_version=99;");
  EXPECT_FALSE(Catalogue::open(path("newer.sqlite"), error));
  EXPECT_EQ(error.kind, CatalogueError::Kind::TooNew);
  EXPECT_NE(error.text.find("newer Ardenvis"), std::string::npos);
}

TEST_F(CatalogueFile, TwoProcessesWriteToOneCatalogueAtOnce) {
  open_ok();  // made, so both children find it ready
  constexpr int kEach = 60;
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      CatalogueError error;
      auto catalogue = Catalogue::open(path("library.sqlite"), error);
      int stored = 0;
      for (int i = 0; catalogue && i < kEach; ++i) {
        if (catalogue->put_session(a_session(
                "/p" + std::to_string(child) + "/" + std::to_string(i) + ".plr", "2026-01-01")))
          ++stored;
        if (i % 10 == 0) catalogue->list_sessions();  // readers meet the writers too
      }
      _exit(stored == kEach ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Catalogue catalogue = open_ok();
  EXPECT_EQ(catalogue.session_count(), 2 * kEach);
  EXPECT_EQ(catalogue.session(1, true)->laps.size(), 1u);
}

TEST_F(CatalogueFile, VenuesAreRenamedMergedAndSessionsMoved) {
  Catalogue catalogue = open_ok();
  const int64_t kirkby = *catalogue.add_venue({0, "2026-04-12", 52.0, -1.0, 1600, 0});
  const int64_t other = *catalogue.add_venue({0, "2026-04-13", 52.0, -1.0, 1600, 0});
  const int64_t first = *catalogue.put_session(a_session("/a.plr", "2026-04-12", kirkby));
  const int64_t second = *catalogue.put_session(a_session("/b.plr", "2026-04-13", other));
  const int64_t loose = *catalogue.put_session(a_session("/c.plr", "2026-04-14"));

  EXPECT_TRUE(catalogue.rename_venue(kirkby, "Kirkby"));
  EXPECT_FALSE(catalogue.rename_venue(other, "Kirkby"));
  EXPECT_EQ(catalogue.last_error(), "a venue named \"Kirkby\" already exists");
  EXPECT_FALSE(catalogue.rename_venue(other, kUnassignedVenue));
  EXPECT_TRUE(catalogue.merge_venues(other, kirkby));
  EXPECT_FALSE(catalogue.venue(other));
  EXPECT_EQ(catalogue.session(second)->venue_id, kirkby);
  EXPECT_EQ(catalogue.venue(kirkby)->session_count, 2);

  auto filter = [](std::optional<int64_t> venue, std::string since, std::string text) {
    SessionFilter f;
    f.venue_id = venue;
    f.since = std::move(since);
    f.text = std::move(text);
    return f;
  };
  EXPECT_EQ(catalogue.list_sessions(filter(0, "", ""))[0].venue, kUnassignedVenue);
  EXPECT_TRUE(catalogue.set_suggested_venue(loose, kirkby));
  EXPECT_TRUE(catalogue.move_session(loose, kirkby));
  EXPECT_EQ(catalogue.session(loose)->suggested_venue_id, 0);
  EXPECT_TRUE(catalogue.move_session(first, 0));
  EXPECT_EQ(catalogue.list_sessions(filter(kirkby, "", "")).size(), 2u);
  EXPECT_EQ(catalogue.list_sessions(filter(std::nullopt, "2026-04-13", "")).size(), 2u);
  EXPECT_TRUE(catalogue.set_user_fields(second, {"Bea", "Escort", "Club day", "", ""}));
  const auto found = catalogue.list_sessions(filter(std::nullopt, "", "escort"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].id, second);
  // A re-catalogued file keeps what the user typed and where it was put.
  SessionRecord again = a_session("/b.plr", "2026-04-13");
  again.id = second;
  ASSERT_TRUE(catalogue.put_session(again));
  EXPECT_EQ(catalogue.session(second)->user.driver, "Bea");
  EXPECT_EQ(catalogue.session(second)->venue_id, kirkby);
}

}  // namespace
}  // namespace ardenvis::core
