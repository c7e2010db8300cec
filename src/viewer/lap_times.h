#pragma once
// Lap tables of the "Lap Times" page: per data set a grid of its laps (session,
// lap, lap time, distance, average speed, then distance split or segment
// times), the ticks that choose which laps count, sorting, and the summary
// line (best lap, theoretical best, average distance).
//
// The split and segment times here are not the ones the unit logged: every lap
// is cut at equal fractions of a reference lap distance (the mean distance of
// the ticked laps, rounded to 50 m or 164 ft) and timed on the Odo series.
//
// One panel type serves both data sets; it differs only by the slot it reads.

#include <array>
#include <string>
#include <vector>

#include "common/host.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace lap_message {
inline constexpr const char* bad_lap_time = "Bad Lap Time Data, Skipped Lap";
}  // namespace lap_message

enum class LapTimeColumns { Split, Segment };  // "Split" / "Segment"
enum class LapSortKey { LapTime, Segment };    // "Lap Time" / "Segment"

// The "Lap Time Options" box, shared by both panels.
struct LapTimeOptions {
  int split_count = 2;  // M: "Splits" choice position + 2, 2..32
  LapTimeColumns columns = LapTimeColumns::Split;
  bool sort = false;  // "Sort "
  LapSortKey sort_key = LapSortKey::LapTime;
  int sort_segment = 1;  // 1..33
};
inline constexpr int kMinSplitCount = 2;
inline constexpr int kMaxSplitCount = kMaxSplits;

// What asked for a build. See keeps_ticks and reruns_overlay for what each
// sender implies.
enum class LapBuildSender {
  Other,  // window shown, data set loaded, unit switch ...
  AllButton,
  TrackMapLap,
  SortBox,
  SortParameter,
  SortSegment,
  SplitCount,
  SplitSegment,
  Grid
};
// The "All" button, the "Track Map Lap" selector, the "Sort " box, the split
// count, the split/segment choice and the grid keep the ticks the laps carry;
// every other sender ticks every lap.
bool keeps_ticks(LapBuildSender sender);
// After a rebuild of both slots the lap overlay is drawn again, except after
// the sort and split settings.
bool reruns_overlay(LapBuildSender sender);

// The summary line under a grid ("Best: Sess ... Lap ... Time ... at ...").
// Empty texts while no lap is ticked.
struct LapSummary {
  std::string session;
  std::string lap;
  std::string time;
  std::string average_speed;
  std::string speed_unit;  // "MPH" / "KMH"
  std::string theory;
  std::string average_distance;
  std::string distance_unit;  // "(m)" / "(ft)"
};

// Columns: 1 "Sel" (tick), 2 "Session", 3 "Lap", 4 "Lap Time (s)",
// 5 distance, 6 average speed, 7..39 split or segment times.
inline constexpr int kLapGridColumns = 6 + kMaxSegments;
inline constexpr int kLapTimeColumn = 7;

class LapTimesPanel {
 public:
  explicit LapTimesPanel(DataSetId slot) : slot_(slot) {}
  DataSetId slot() const { return slot_; }

  // process_A_laptimes / process_B_laptimes.
  void build(ProgramState& state, Host& host, const LapTimeOptions& options, LapBuildSender sender);
  // clearLapGridA / clearLapGridB: no rows, caption "No Data".
  void clear();
  // updateLapTimesA / updateLapTimesB: summary, reference distance, splits.
  void update(ProgramState& state, const LapTimeOptions& options);
  // LapTimesAChanged / LapTimesBChanged, row 1..row_count(). False when the
  // tick is refused (the "End" row, or no such row): the grid keeps it clear.
  bool tick_changed(ProgramState& state, const LapTimeOptions& options, int row, bool ticked);

  // Grid rows after the header: one per lap in lap list order, then "End".
  int row_count() const { return rows_; }
  int lap_rows() const { return rows_ > 0 ? rows_ - 1 : 0; }
  // column 1..kLapGridColumns.
  std::string header(const ProgramState& state, int column) const;
  // row 1..row_count(), column 2..kLapGridColumns (column 1 is the tick).
  std::string cell(const ProgramState& state, int row, int column) const;
  bool ticked(const ProgramState& state, int row) const;
  // The lap table index shown in a row, or -1 (the "End" row).
  int lap_index(const ProgramState& state, int row) const;

  const LapSummary& summary() const { return summary_; }
  // "Data A Lap Times: <file>" or "No Data".
  const std::string& caption() const { return caption_; }

 private:
  DataSetId slot_;
  int rows_ = 0;
  LapTimeColumns columns_ = LapTimeColumns::Split;
  int split_count_ = kMinSplitCount;
  LapSummary summary_;
  std::string caption_ = "No Data";
};

// Both panels and the "All" toggle they share.
class LapTimes {
 public:
  LapTimesPanel& panel(DataSetId slot) { return panels_[slot == DataSetId::B ? 1 : 0]; }
  const LapTimesPanel& panel(DataSetId slot) const { return panels_[slot == DataSetId::B ? 1 : 0]; }

  // processLaps: every loaded slot with laps is rebuilt, a loaded slot without
  // laps has its grid cleared.
  void process_laps(ProgramState& state, Host& host, const LapTimeOptions& options,
                    LapBuildSender sender);
  // Window shown or a slot loaded: build it when it has laps, else clear it.
  void build_or_clear(ProgramState& state, Host& host, DataSetId slot,
                      const LapTimeOptions& options);
  // lapACheckBox / lapBCheckBox: the first press anywhere unticks every lap of
  // that panel, the next ticks them, whichever panel it is pressed on.
  void all_pressed(ProgramState& state, Host& host, DataSetId slot, const LapTimeOptions& options);
  bool all_toggle() const { return all_toggle_; }

 private:
  std::array<LapTimesPanel, 2> panels_{LapTimesPanel(DataSetId::A), LapTimesPanel(DataSetId::B)};
  bool all_toggle_ = false;
};

// A lap logged with no time cannot be the best lap, say how long a lap is or
// give a segment time; its row still shows.
bool has_lap_time(const LapEntry& lap);

// The number of laps a slot's tables can show (0 without data).
int usable_lap_count(const DataSet& set);

// calc_A_splits / calc_B_splits: distance split times, split indexes and
// segment times of every lap, for M splits of the slot's reference distance.
void calc_splits(DataSet& set, int split_count);

// Reference lap distance: the average rounded to the nearest 50 m, or 164 ft.
double reference_lap_distance(double average_distance, bool feet);

// The lap list in display order: record order, or sorted ascending by lap time
// or a distance segment time, equal keys keeping their order.
void order_lap_list(DataSet& set, const LapTimeOptions& options);

// Theoretical best of the ticked laps: the sum over segments 1..M+1 of the
// smallest segment time, leaving out segments whose best is 1,000,000 s or more.
double theoretical_best(const DataSet& set, int split_count);

// update_lap_combo: every lap of A then of B,
// "Session Log: %3d  Lap: %3d  Data A".
std::vector<std::string> lap_combo_items(const ProgramState& state);

// Fixed-point text as the grid shows it: up to 8 significant digits, then the
// given number of decimals.
std::string fixed_text(double value, int decimals);

}  // namespace ardenvis::core
