#pragma once
// The unit's log memory and its index of logged sessions: reading it, building
// the session table, the "Download Data Menu" screen (eight rows a page and the
// memory figures), paging, clearing the memory, and the lite logger's one
// recording.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "state/log_index_table.h"

namespace ardenvis::core {

struct ProgramState;
class Host;

// Result codes of getLogIndex.
enum IndexResult : int {
  kIndexOk = 0,
  kIndexNoPort = 1,
  kIndexStatusRefused = 7,
  kIndexSecondStatus = 8,
  kIndexVersionRefused = 9,
  kIndexMemoryType = 10,
  // The replies never read the same twice in a row: nothing was changed.
  kIndexNotReadable = 11,
  kIndexUnknownType = 20,
};

namespace message {
inline constexpr const char* memory_type_failed = "Failed to Read Memory Type on Logger Unit";
inline constexpr const char* unknown_type = "Unknown Pelorant Type";
inline constexpr const char* no_more_sessions = "No More Sessions to View";
inline constexpr const char* no_more_lite_sessions = "No more log sessions to see...";
inline constexpr const char* clear_question = "Clear the Pelorant Logger Memory";
inline constexpr const char* memory_not_cleared = "Memory Not Cleared";
inline constexpr const char* clear_failed = "Problem Clearing Log Index, Please Try Again";
inline constexpr const char* memory_cleared = "Pelorant Memory Cleared";
inline constexpr const char* no_data_loaded = "No Pelorant Data Loaded";
inline constexpr const char* no_data_recorded = "No Data Recorded";
inline constexpr const char* index_unreadable = "Log Index not Readable, No Sessions Shown";
}  // namespace message

// "Download Menu": re-opens the port, reads the index from page 1. True when
// the "Download Data Menu" should open (index read and a known logger type).
bool view_session_data(ProgramState& state, Host& host);

// Handshake, memory type, status flags and the index (flash) or the lite
// logger's pointer and channel; builds the table and the screen.
int getLogIndex(ProgramState& state, Host& host);

// Session table from the raw index (unit type and firmware of the last
// handshake decide how durations are found).
void processLogPointers(ProgramState& state, Host& host);
// The current page and the memory figures into index.screen.
void refreshDataScreen(LogIndex& index);
// Rows 1..8 with their session numbers and "NA" everywhere else.
void clearDataScreen(LogIndex& index);

// "Next Logs" and "Prev Logs" (both read the index again first).
void gotoNextLogPage(ProgramState& state, Host& host);
void gotoPrevLogPage(ProgramState& state, Host& host);

// "Clear": asks, clears the unit's log memory, reads the index again.
void clearLogPointers(ProgramState& state, Host& host);

// "View Data": true when the viewer should open.
bool viewData(ProgramState& state, Host& host);

}  // namespace ardenvis::core
