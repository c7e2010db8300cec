#include "library/scan.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "common/format.h"
#include "common/text_file.h"
#include "files/file_dialogs.h"
#include "files/log_file.h"
#include "library/content_hash.h"
#include "library/session_summary.h"
#include "library/venues.h"

namespace ardenvis::core {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLogExtension = ".plr";

// Loads without anyone to ask: every question is answered No (no fault file
// is saved), and the first warning or error is kept as the file's reason.
class QuietHost : public Host {
 public:
  Answer message(MessageKind kind, const std::string& text, Buttons buttons) override {
    if (first_problem.empty() && (kind == MessageKind::Warning || kind == MessageKind::Error))
      first_problem = text;
    last_message = text;
    if (buttons == Buttons::YesNo) return Answer::No;
    if (buttons == Buttons::OkCancel) return Answer::Cancel;
    return buttons == Buttons::Abort ? Answer::Abort : Answer::Ok;
  }
  std::optional<std::string> open_file(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> save_file(const FileDialog&) override { return std::nullopt; }
  void process_events() override {}
  void busy_cursor(bool) override {}
  AnalysisProgress& analysis_progress() override { return progress_; }
  void start_timer(Tickable&, int) override {}
  void stop_timer(Tickable&) override {}

  std::string reason() const {
    if (!first_problem.empty()) return first_problem;
    return last_message.empty() ? file_message::no_data_loaded : last_message;
  }

  std::string first_problem;
  std::string last_message;

 private:
  NullProgress progress_;
};

std::string one_line(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

bool under(const std::string& path, const std::string& folder) {
  if (folder.empty()) return false;
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  return path.starts_with(prefix);
}

}  // namespace

std::string scan_summary(const ScanResult& r) {
  return format("added %d, updated %d, unchanged %d, missing %d, failed %d", r.added, r.updated,
                r.unchanged, r.missing, r.failed);
}

std::string catalogue_path(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  if (ec) return path;
  return absolute.lexically_normal().string();
}

SessionCataloguer::SessionCataloguer(Catalogue& catalogue)
    : catalogue_(catalogue), state_(std::make_unique<ProgramState>()) {}
SessionCataloguer::~SessionCataloguer() = default;

bool SessionCataloguer::unchanged_since_catalogued(const std::optional<SessionRecord>& existing,
                                                   const Stat& facts) {
  return existing && !existing->missing && existing->file.size == facts.size &&
         existing->file.mtime_ns == facts.mtime_ns;
}

std::optional<SessionCataloguer::Stat> SessionCataloguer::stat(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  const auto time = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  const auto system = std::chrono::file_clock::to_sys(time);
  return Stat{
      static_cast<int64_t>(size),
      std::chrono::duration_cast<std::chrono::nanoseconds>(system.time_since_epoch()).count()};
}

CatalogueOutcome SessionCataloguer::store(const FileIdentity& file, const DataSet& set,
                                          const UnitFlags& series_units, std::string_view content,
                                          const std::optional<SessionRecord>& existing) {
  SessionRecord record = summarise_session(set, series_units, file, content);
  CatalogueOutcome outcome;
  Catalogue::Batch batch(catalogue_);
  if (existing) {
    record.id = existing->id;
    outcome.kind = CatalogueOutcomeKind::Updated;
  } else {
    if (!assign_venue(catalogue_, record))
      return {CatalogueOutcomeKind::Failed, 0, catalogue_.last_error()};
    outcome.kind = CatalogueOutcomeKind::Added;
  }
  const auto id = catalogue_.put_session(record);
  if (!id) return {CatalogueOutcomeKind::Failed, 0, catalogue_.last_error()};
  catalogue_.forget_failed_file(file.path);
  if (!batch.commit()) return {CatalogueOutcomeKind::Failed, 0, catalogue_.last_error()};
  outcome.session_id = *id;
  return outcome;
}

CatalogueOutcome SessionCataloguer::catalogue_file(const std::string& given_path) {
  const std::string path = catalogue_path(given_path);
  const auto facts = stat(path);
  if (!facts) return {CatalogueOutcomeKind::Failed, 0, file_message::file_does_not_exist};
  const auto existing = catalogue_.session_by_path(path);
  if (unchanged_since_catalogued(existing, *facts)) {
    return {CatalogueOutcomeKind::Unchanged, existing->id, {}};
  }
  const auto content = read_text_file(path);
  if (!content) return {CatalogueOutcomeKind::Failed, 0, file_message::problem_opening};
  const FileIdentity file{path, facts->size, facts->mtime_ns, content_hash(*content)};

  if (existing && existing->file.hash == file.hash) {
    // Touched, not changed: only the time (or the missing mark) moves.
    if (!catalogue_.set_file(existing->id, file))
      return {CatalogueOutcomeKind::Failed, 0, catalogue_.last_error()};
    return {existing->missing ? CatalogueOutcomeKind::Updated : CatalogueOutcomeKind::Unchanged,
            existing->id,
            {}};
  }
  if (!existing) {
    // A catalogued file that moved here: same content, its old place empty.
    for (const SessionRecord& moved : catalogue_.sessions_by_hash(file.hash)) {
      std::error_code ec;
      if (moved.missing || !fs::exists(moved.file.path, ec)) {
        if (!catalogue_.set_file(moved.id, file))
          return {CatalogueOutcomeKind::Failed, 0, catalogue_.last_error()};
        return {CatalogueOutcomeKind::Updated, moved.id, {}};
      }
    }
  }

  QuietHost host;
  ProgramState& state = *state_;
  state.current_data_set = DataSetId::A;
  if (!read_log_file(state, host, *content, split_path(path))) {
    const std::string reason = one_line(host.reason());
    catalogue_.put_failed_file({path, reason});
    return {CatalogueOutcomeKind::Failed, 0, reason};
  }
  // Decoding leaves mph, psi, degrees C and metres.
  return store(file, state.current(), UnitFlags{}, *content, existing);
}

CatalogueOutcome SessionCataloguer::catalogue_loaded(const std::string& given_path,
                                                     const DataSet& set,
                                                     const UnitFlags& series_units,
                                                     const std::string* given_content) {
  const std::string path = catalogue_path(given_path);
  const auto facts = stat(path);
  if (!facts) return {CatalogueOutcomeKind::Failed, 0, file_message::file_does_not_exist};
  const auto existing = catalogue_.session_by_path(path);
  if (unchanged_since_catalogued(existing, *facts)) {
    return {CatalogueOutcomeKind::Unchanged, existing->id, {}};
  }
  std::optional<std::string> read;
  if (!given_content) {
    read = read_text_file(path);
    if (!read) return {CatalogueOutcomeKind::Failed, 0, file_message::problem_opening};
  }
  const std::string& content = given_content ? *given_content : *read;
  const FileIdentity file{path, facts->size, facts->mtime_ns, content_hash(content)};
  if (existing && existing->file.hash == file.hash && existing->file.size == file.size) {
    if (existing->file.mtime_ns != file.mtime_ns || existing->missing) {
      if (!catalogue_.set_file(existing->id, file))
        return {CatalogueOutcomeKind::Failed, 0, catalogue_.last_error()};
    }
    return {CatalogueOutcomeKind::Unchanged, existing->id, {}};
  }
  return store(file, set, series_units, content, existing);
}

FolderScan::FolderScan(Catalogue& catalogue, const std::vector<std::string>& folders)
    : catalogue_(catalogue), cataloguer_(catalogue) {
  for (const std::string& folder : folders) {
    const std::string root = catalogue_path(folder);
    folders_.push_back(root);
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
      result_.failures.push_back({root, one_line(ec.message())});
      ++result_.failed;
      continue;
    }
    for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
      if (ec) break;
      std::error_code type_ec;
      if (!it->is_regular_file(type_ec)) continue;
      const fs::path& p = it->path();
      if (p.extension() == kLogExtension) files_.push_back(p.lexically_normal().string());
    }
  }
  std::sort(files_.begin(), files_.end());
  files_.erase(std::unique(files_.begin(), files_.end()), files_.end());
}

FolderScan::~FolderScan() = default;

const std::string& FolderScan::current_file() const {
  static const std::string none;
  return next_ < files_.size() ? files_[next_] : none;
}

bool FolderScan::step() {
  if (finished_) return false;
  if (next_ >= files_.size()) {
    finish();
    return false;
  }
  const std::string& path = files_[next_++];
  const CatalogueOutcome outcome = cataloguer_.catalogue_file(path);
  switch (outcome.kind) {
    case CatalogueOutcomeKind::Added:
      ++result_.added;
      break;
    case CatalogueOutcomeKind::Updated:
      ++result_.updated;
      break;
    case CatalogueOutcomeKind::Unchanged:
      ++result_.unchanged;
      break;
    case CatalogueOutcomeKind::Failed:
      ++result_.failed;
      result_.failures.push_back({path, outcome.reason});
      break;
  }
  return true;
}

void FolderScan::cancel() {
  result_.cancelled = true;
  finished_ = true;
}

void FolderScan::finish() {
  finished_ = true;
  Catalogue::Batch batch(catalogue_);
  for (const auto& [id, file] : catalogue_.files()) {
    const std::string& path = file.path;  // clang 14 cannot capture a structured binding
    if (std::none_of(folders_.begin(), folders_.end(),
                     [&](const std::string& folder) { return under(path, folder); })) {
      continue;
    }
    std::error_code ec;
    const bool gone = !fs::exists(file.path, ec);
    if (gone) ++result_.missing;
    catalogue_.set_missing(id, gone);
  }
  // A failed file that is gone is no longer worth listing.
  for (const FailedFile& failed : catalogue_.failed_files()) {
    std::error_code ec;
    if (!fs::exists(failed.path, ec)) catalogue_.forget_failed_file(failed.path);
  }
  batch.commit();
}

ScanResult scan_folders(Catalogue& catalogue, const std::vector<std::string>& folders,
                        const std::function<void(size_t, size_t)>& progress) {
  FolderScan scan(catalogue, folders);
  while (scan.step()) {
    if (progress) progress(scan.done(), scan.total());
  }
  return scan.result();
}

}  // namespace ardenvis::core
