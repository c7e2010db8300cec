#pragma once
// Downloading one logged session from a flash logger into data set A or B: the
// block transfer with XOR checks, resends and a watchdog, decoding, and the
// automatic save. The lite logger's download is in lite_download.h.
//
// The session is received into a buffer of its own. The slot is handed the
// bytes only when the transfer delivered data (complete or stopped early), and
// then decoded; a cancelled, watchdog-stopped or refused download leaves the
// slot exactly as it was, its raw bytes and download state included, so an
// earlier session can still be viewed and saved.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "state/program_state.h"

namespace ardenvis::core {

// The configuration byte that holds the pulses-per-revolution code (1 or 2).
inline constexpr uint8_t kPulsesPerRevAddress = 14;

// Download states of a data set (and of a download in progress).
inline constexpr uint8_t kNothingToSave = 0;
inline constexpr uint8_t kDownloaded = 1;  // downloading, or downloaded completely
inline constexpr uint8_t kStoppedEarly = 2;
inline constexpr uint8_t kHandshakeFailed = 3;
inline constexpr uint8_t kWatchdogFired = 4;

namespace message {
inline constexpr const char* no_data_to_download = "No Data to Download";
inline constexpr const char* download_cancelled = "Download Cancelled, No Data Stored";
inline constexpr const char* lite_download_cancelled = "Lite Download Cancelled, No Data Stored";
inline constexpr const char* lite_not_connected = "Pelorant2 Lite not Connected";
inline constexpr const char* lite_channel_unknown = "Lite Logger Download Channel not Recognised";
// The unit answers clearly, but as another type than the index was read from:
// the session table does not describe it.
inline constexpr const char* unit_changed = "Pelorant Unit Changed, Please Refresh the Log Index";
}  // namespace message

// What the "Download Data Menu" and the "Log Analysis" window ask for.
struct DownloadRequest {
  int session = 1;                  // 1..16, 1 = newest
  DataSetId target = DataSetId::A;  // the "to Memory" box
  bool auto_save = false;           // "Automatically Save Data to File"
  bool date_time_in_name = false;   // "Use Log Date and Time in Filename"
};

enum class DownloadOutcome {
  NotStarted,    // no port, handshake refused, wrong unit, unreadable replies, nothing to download
  Cancelled,     // by the user or the watchdog: nothing stored
  StoppedEarly,  // what arrived was decoded
  Complete,
  ProgramProblem,  // a run-time fault was caught
};

struct DownloadResult {
  DownloadOutcome outcome = DownloadOutcome::NotStarted;
  uint8_t state = kNothingToSave;  // the download's own state when it ended
  long received = 0;
  long length = 0;
  // True when decoding left data in the slot (complete or stopped early).
  bool decoded = false;
};

// The 1-second transfer watchdog: two ticks without an accepted block cancel
// the transfer and close the progress window.
class DownloadWatchdog : public Tickable {
 public:
  DownloadWatchdog(bool& cancel_flag, uint8_t& download_state, AnalysisProgress& progress)
      : cancel_flag_(cancel_flag), download_state_(download_state), progress_(progress) {}

  void tick() override;  // watchdogincrement
  void reset() { counter_ = 0; }
  uint8_t counter() const { return counter_; }

 private:
  bool& cancel_flag_;
  uint8_t& download_state_;
  AnalysisProgress& progress_;
  uint8_t counter_ = 0;
};

// The "Download" button: the session of the request for a flash logger,
// session 1 for the lite logger, nothing for any other unit type (of the last
// index read). Then the automatic save.
DownloadResult downloadLogSession(ProgramState& state, Host& host, const DownloadRequest& request);
DownloadResult get_log_dataSet(ProgramState& state, Host& host, const DownloadRequest& request);

// The flash logger's transfer into the request's data set, and its decoding.
DownloadResult get_log_data(ProgramState& state, Host& host, const DownloadRequest& request);

// What a download keeps of the unit's identity reply, with the
// pulses-per-revolution code (1 or 2).
UnitIdentity identity_from(const IdentityReply& reply, uint8_t pulses_per_rev);

// Hands a received session to the current slot, decodes it, and names the slot
// after it. Shared by both downloads.
void store_and_decode(ProgramState& state, Host& host, std::vector<uint8_t> bytes,
                      uint32_t byte_count, uint8_t download_state, uint8_t sample_rate,
                      const UnitIdentity& identity);

// The suggested name of the automatic save: "26y12d05m_14h05m_LogID_3" from the
// session's date and time texts, or "LogSession_3". year is the full year.
std::string automatic_file_name(int session, const std::string& date_text,
                                const std::string& time_text, int year, bool date_time_in_name);

// The date, time and session an automatic name carries, read back from a
// file name ("26y12d05m_14h05m_LogID_3.plr": 12 May 2026, 14:05, session 3);
// nullopt for any other name. The name keeps two digits of the year, taken
// as 20yy.
struct AutomaticNameDate {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int session = 0;
};
std::optional<AutomaticNameDate> automatic_name_date(std::string_view file_name);

// "%3.2f%%" of the accepted share of block attempts, "0.00%" when the counts
// are inconsistent.
std::string efficiency_text(long attempts, long failures);

}  // namespace ardenvis::core
