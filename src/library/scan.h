#pragma once
// Cataloguing log data files: one file (when the program saves or opens it,
// or a scan finds it) and whole folders. A file whose size and modification
// time are as catalogued is not read again; one that changed is hashed, and
// decoded again only when its content changed. A file that disappeared is
// marked missing, not forgotten, and found again by its content hash when it
// turns up under another name. A file that cannot be read or decoded is
// listed with its reason and the scan goes on.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/catalogue.h"
#include "state/data_set.h"
#include "state/program_state.h"

namespace ardenvis::core {

enum class CatalogueOutcomeKind { Added, Updated, Unchanged, Failed };

struct CatalogueOutcome {
  CatalogueOutcomeKind kind = CatalogueOutcomeKind::Failed;
  int64_t session_id = 0;
  std::string reason;  // why it failed
};

struct ScanResult {
  int added = 0;
  int updated = 0;
  int unchanged = 0;
  int missing = 0;
  int failed = 0;
  std::vector<FailedFile> failures;
  bool cancelled = false;
};

// "added A, updated U, unchanged K, missing M, failed F"
std::string scan_summary(const ScanResult& result);

// The absolute, normalised form of a path, as the catalogue keeps it.
std::string catalogue_path(const std::string& path);

// Catalogues single files; keeps one decoding slot for all of them.
class SessionCataloguer {
 public:
  explicit SessionCataloguer(Catalogue& catalogue);
  ~SessionCataloguer();

  // Reads and decodes `path` when it is new or changed.
  CatalogueOutcome catalogue_file(const std::string& path);

  // A file the program has just saved or loaded into `set` (decoded, its
  // series in `series_units`): no second decode, and no second read where
  // `content` holds the file's text (a load). A file whose size and time
  // are those catalogued is not hashed again.
  CatalogueOutcome catalogue_loaded(const std::string& path, const DataSet& set,
                                    const UnitFlags& series_units, const std::string* content);

 private:
  struct Stat {
    int64_t size = 0;
    int64_t mtime_ns = 0;
  };
  CatalogueOutcome store(const FileIdentity& file, const DataSet& set,
                         const UnitFlags& series_units, std::string_view content,
                         const std::optional<SessionRecord>& existing);
  std::optional<Stat> stat(const std::string& path);
  // A catalogued, present file whose size and time are still those it was
  // catalogued with: its content is taken as unchanged (nothing is read).
  static bool unchanged_since_catalogued(const std::optional<SessionRecord>& existing,
                                         const Stat& facts);

  Catalogue& catalogue_;
  std::unique_ptr<ProgramState> state_;  // the decoding slot, reused
};

// A scan of folders in steps, so a window can show progress and cancel
// between files.
class FolderScan {
 public:
  FolderScan(Catalogue& catalogue, const std::vector<std::string>& folders);
  ~FolderScan();

  size_t total() const { return files_.size(); }
  size_t done() const { return next_; }
  const std::string& current_file() const;

  // Catalogues the next file; false once every file is done (the missing
  // files are then marked).
  bool step();
  // Stops here: the files not yet reached are left as they were, and no file
  // is marked missing.
  void cancel();
  const ScanResult& result() const { return result_; }

 private:
  void finish();

  Catalogue& catalogue_;
  std::vector<std::string> folders_;
  std::vector<std::string> files_;
  size_t next_ = 0;
  bool finished_ = false;
  SessionCataloguer cataloguer_;
  ScanResult result_;
};

// The whole scan at once; `progress(done, total)` after every file.
ScanResult scan_folders(Catalogue& catalogue, const std::vector<std::string>& folders,
                        const std::function<void(size_t, size_t)>& progress = {});

}  // namespace ardenvis::core
