#pragma once
// Log data files of synthesised sessions, written as the program saves them,
// for the library's tests and benchmarks.

#include <filesystem>
#include <string>
#include <vector>

#include "common/text_file.h"
#include "files/log_file.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis::testing {

// Writes `session` to `path` (folders made as needed) with `notes` as its
// setup notes. False when the file could not be written.
inline bool write_session_file(const std::string& path, const sim::SynthesisedSession& session,
                               const std::vector<std::string>& notes = {}) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  core::DataSet set;
  put_downloaded(set, session);
  set.notes = notes;
  core::UnitIdentity identity;
  identity.unit_type = 1;
  identity.distance_factor = 1000;
  identity.identity_word = 4321;
  ScriptedHost host;
  core::AtomicTextWriter out;
  if (!out.open(path)) return false;
  if (!core::write_log_file(out, set, identity, {}, std::filesystem::path(path).filename(), host))
    return false;
  return out.commit();
}

// The automatic name of a download: 26y12d05m_14h05m_LogID_3.plr.
inline std::string automatic_name(int year, int month, int day, int hour, int minute, int session) {
  char name[64];
  std::snprintf(name, sizeof name, "%02dy%02dd%02dm_%02dh%02dm_LogID_%d.plr", year % 100, day,
                month, hour, minute, session);
  return name;
}

}  // namespace ardenvis::testing
