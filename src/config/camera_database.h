#pragma once
// The speed-camera database: loading a ".cam" file into TCameraFlashData,
// uploading it into the unit's flash ("Write to Dash") and reading it back to
// compare ("Dash Memory Check").
//
// Differences from a literal reading of the transfer, each a failure that was
// reported as success or a unit left mid-transfer:
// - every record byte up to the image's last is read (a length of 4k + 1 lost
//   its last byte), and a record line that would run past the image is a
//   format problem;
// - a total length the file cannot hold is a format problem, found before any
//   memory is sized from it;
// - a reply to an upload block or to the erase that comes after the line's
//   50 ms time-out is still that reply: the program waits as long as the
//   watchdog allows, and only an explicit rejection or silence past that
//   limit rejects (a resent block would be stored twice by the unit);
// - an upload or read-back that gives up never announces a block it will not
//   send or read;
// - a read-back block in which a read timed out fails, and before asking for
//   it again the program waits until the line is silent.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace camera_message {
inline constexpr const char* not_compatible =
    "File not Compatible with Ardenvis Version, No Data Loaded";
inline constexpr const char* checksum_bad = "CheckSum Bad";
inline constexpr const char* format_error = "File Format Error, No Data Loaded";
inline constexpr const char* no_data_loaded = "No Data Loaded";
inline constexpr const char* data_loaded_ok = "Data Loaded OK";
inline constexpr const char* no_memory_fitted = "No Camera Memory Fitted!!!";
inline constexpr const char* no_data_to_upload = "No Data to Upload";
inline constexpr const char* upload_cancelled = "Upload Cancelled, No Data Stored";
inline constexpr const char* upload_ok = "Data Upload OK";
inline constexpr const char* no_file_to_check = "No File Loaded to Check with Dash";
inline constexpr const char* download_problem = "Download Problem...Please Try Again";
inline constexpr const char* download_cancelled = "Download Cancelled";
inline constexpr const char* test_passed = "Database Test Passed OK";
inline constexpr const char* test_failed = "Database Test FAILED";
// Memo lines of an upload whose blocks had to be sent again: the unit's copy
// is read back and compared before the upload is called good.
inline constexpr const char* checking_upload = "Checking Uploaded Data...";
inline constexpr const char* upload_checked = "Upload Checked OK...";
inline constexpr const char* write_again = "Upload Check Failed!!! Write to Dash again...";
// Asked before "Write to Dash" erases the unit (Yes: stop, to download them).
inline constexpr const char* erase_question =
    "The unit's logged sessions will be erased. Download them first?";
// Shown beside "Write to Dash": the upload starts with the unit's erase.
inline constexpr const char* upload_erases_sessions =
    "Note: writing the database erases the sessions logged on the Pelorant.";
}  // namespace camera_message

// "File Format Problem, No Data Loaded: %d" with the line counter.
std::string camera_format_problem_text(long line);

// The "Information" memo of the camera page.
class InformationMemo {
 public:
  virtual ~InformationMemo() = default;
  virtual void clear() = 0;
  virtual void add(const std::string& line) = 0;
};

// The four fields of the "DataBase File Manager" group.
struct CameraDisplay {
  std::string file;              // "None" when nothing is loaded
  std::string camera_locations;  // "0"
  std::string source_version;    // "PocketGPS File Version", "-.---"
  std::string format_version;    // "Orvik Format Version", "-.---"
};
CameraDisplay camera_display(const TCameraFlashData& camera);

enum class CameraLoadOutcome {
  Loaded,
  NotChosen,      // dialog cancelled, bad name, missing or unreadable file
  Cancelled,      // by the progress window's "Cancel"
  NotCompatible,  // format version outside 1000..1100
  ChecksumError,  // data checksum differs, or the records end early
  FormatProblem,  // a line that is not what its place needs, or sizes the file cannot hold
};

struct CameraLoadResult {
  CameraLoadOutcome outcome = CameraLoadOutcome::NotChosen;
  long line = 0;  // the line counter when a format problem stopped the load
  bool header_checksum_bad = false;
};

// Loads the text of a ".cam" file into `camera`, with the progress window,
// the memo lines and every message. `cancel` is polled between lines.
CameraLoadResult load_camera_database(TCameraFlashData& camera, std::string_view text,
                                      const std::string& file_name, Host& host,
                                      InformationMemo& memo, bool& cancel);

// "Load from Disk": the open dialog, then the load.
// A file `named` (given on the command line) is loaded without the dialog.
CameraLoadResult LoadDataFromFile(ProgramState& state, Host& host, InformationMemo& memo,
                                  const std::optional<std::string>& named = std::nullopt);

enum class CameraTransferOutcome {
  NotStarted,  // no port, handshake refused, the user kept the logged sessions
  NoMemory,    // "No Camera Memory Fitted!!!"
  NoData,      // nothing loaded
  Cancelled,   // by the user or the watchdog
  Stopped,     // ten rejections, or a bad block from a unit that cannot resend
  Succeeded,   // "Data Upload OK" / "Database Test Passed OK"
  Differs,     // "Database Test FAILED"
  ProgramProblem,
};

struct CameraTransferResult {
  CameraTransferOutcome outcome = CameraTransferOutcome::NotStarted;
  long position = 0;  // bytes done
  long total = 0;     // the image's length
  long blocks = 0;    // block attempts
  long failures = 0;
};

// "Write to Dash". The unit's erase also clears its logged sessions, so the
// user is asked first (camera_message::erase_question). After a
// block was sent again, the unit's copy is read back and compared (the
// memory check's read-back) before "Data Upload OK"; `memo` gets that check's
// lines.
CameraTransferResult writeFlashData(ProgramState& state, Host& host, InformationMemo& memo);

// "Dash Memory Check": reads the unit's database back into camera.read_back
// and compares it with the loaded image.
CameraTransferResult readFlashData(ProgramState& state, Host& host, InformationMemo& memo);

// The camera transfers' 1-second watchdog: two ticks without an accepted block
// set both cancel flags and close the progress window.
class CameraWatchdog : public Tickable {
 public:
  CameraWatchdog(ProgramState& state, AnalysisProgress& progress)
      : state_(state), progress_(progress) {}
  void tick() override;  // watchDogIncrement
  void reset() { counter_ = 0; }
  uint8_t counter() const { return counter_; }
  bool expired() const { return counter_ >= 2; }

 private:
  ProgramState& state_;
  AnalysisProgress& progress_;
  uint8_t counter_ = 0;
};

}  // namespace ardenvis::core
