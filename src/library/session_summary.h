#pragma once
// What the catalogue keeps of a decoded session: its facts (date and time,
// rate, duration, distance, units, start/finish position, set-up note), one
// summary per lap, and its own figures (best lap, ideal lap, consistency)
// from the one implementation of the lap figures. Everything comes from the
// decode the program has already done; the samples are read once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/catalogue.h"
#include "state/data_set.h"
#include "state/program_state.h"
#include "viewer/lap_figures.h"

namespace ardenvis::core {

// Date and time a log data file's name gives when it was saved under the
// download's automatic name ("26y12d05m_14h05m_LogID_3.plr": 12 May 2026,
// 14:05, session 3).
struct NamedDateTime {
  std::string date;  // YYYY-MM-DD
  std::string time;  // HH:MM
  int session_number = 0;
};
std::optional<NamedDateTime> date_time_from_name(std::string_view file_name);

// Local date and time of a modification time.
NamedDateTime date_time_from_mtime(int64_t mtime_ns);

// The display units a log data file was saved in, from its header's flags
// line: "mph,psi,C" or with "km/h", "bar", "F". Empty when the header cannot
// be found.
std::string log_file_units(std::string_view content);

// The first line of the user's notes: the notes a load gives begin with the
// file name line(s), which are not the user's.
std::string setup_note_first_line(const std::vector<std::string>& notes);

// A session's figures from its laps.
SessionFigures figures_of(const std::vector<LapTiming>& laps);
LapTiming timing_of(const LapRecord& lap, int64_t source);
std::vector<LapTiming> timings_of(const std::vector<LapRecord>& laps, int64_t source);

// The catalogue record of a decoded data set. `series_units` are the units
// the slot's series hold now (the viewer converts them in place); the
// catalogue keeps km/h and metres. `content` is the file's text (for the
// units it was saved in); `file` its identity.
SessionRecord summarise_session(const DataSet& set, const UnitFlags& series_units,
                                const FileIdentity& file, std::string_view content);

// Great-circle distance in metres.
double distance_between(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace ardenvis::core
