#pragma once
// The one serial port the program shares, the COM port choice, and the session
// handshake every memory exchange with the unit opens with.

#include <cstdint>
#include <functional>
#include <string>

#include "common/host.h"
#include "link/byte_link.h"
#include "state/unit_link.h"

namespace ardenvis::core {

// The line settings every open uses.
LineSettings unit_line_settings(int port_number);

// If open, close; then, for a port number other than 0, open it with the unit's
// line settings and record the outcome in serial_port_open.
void open_serial_port(UnitLink& link, int port_number);
void close_serial_port(UnitLink& link);
// Start-up's silent try of the chosen port: a failure just leaves no port.
void check_serial_port(UnitLink& link);

// The COM port box: item 0 "None", items 1..9 "COM1".."COM9". Returns the item
// the box must show afterwards (0 after a failed open, with the warning shown).
int change_serial_port(UnitLink& link, Host& host, int selected_item);

enum class Operation {
  ReadLogIndex,
  ClearLogMemory,
  DownloadLogSession,
  LiteDownload,
  ReadConfiguration,
  WriteConfiguration,
  UploadCameraDatabase,
  ReadCameraDatabase,
};

enum class HandshakeResult { Ok, NoPort, StatusRefused, SecondStatusNotReady, VersionRefused };

enum class ProblemWording { Long, Short };
enum class SecondStatusWording { Standard, WithoutDots, Pelorant2 };
enum class AfterStatusRefusal { MessageOnly, ReopenAndDrain8, Drain8 };

// One row of the handshake table: what differs between operations is data.
struct HandshakeVariant {
  Operation operation;
  bool reopens_port;
  int wake_drain;
  int drop_before_identity;     // bytes dropped after the second status (index read: 3)
  int identity_before_version;  // length of an "i" reply read before "x" (0 = none)
  int min_version;
  int max_version;  // -1: no upper limit
  int version_refusal_drain;
  bool reopen_after_version_refusal;
  AfterStatusRefusal after_status_refusal;
  bool drops_version_tail;  // read and drop the 4 bytes after major/minor
  ProblemWording problem_wording;
  SecondStatusWording second_status_wording;
};

const HandshakeVariant& handshake_variant(Operation operation);

// Message texts of the protocol.
namespace message {
inline constexpr const char* select_free_port = "Select a free COM port";
inline constexpr const char* link_not_established = "Did not connect properly, Please try again...";
inline constexpr const char* vehicle_moving = "Stop the Vehicle before proceeding...";
inline constexpr const char* engine_running = "Stop the Engine before proceeding...";
inline constexpr const char* logger_running = "Stop the Logger before proceeding...";
inline constexpr const char* problem_talking_long =
    "Problem talking to Pelorant Unit...\r1) Are you on the correct COM port ?\r2) Is the correct "
    "serial cable in place ?\r3) Is the Pelorant switched on ?";
inline constexpr const char* problem_talking_short =
    "Problem talking to Pelorant Unit...\r1) Is the correct serial cable in place ?\r2) Is the "
    "Pelorant switched on ?";
inline constexpr const char* second_status =
    "Connected to Pelorant Unit but...\rhad a problem with received data!\rPlease Try Again...";
inline constexpr const char* second_status_without_dots =
    "Connected to Pelorant Unit but...\rhad a problem with received data!\rPlease Try Again";
inline constexpr const char* second_status_pelorant2 =
    "Connected to Pelorant2 Unit but...\rhad a problem with received data!\rPlease Try Again...";
inline constexpr const char* version_not_compatible =
    "Ardenvis Version not compatible with Pelorant Version";
}  // namespace message

// The message for a status byte other than 85, in the operation's wording.
std::string status_refusal_text(uint8_t status, ProblemWording wording);

// Numbered failure messages of the long transfers.
std::string program_problem_text(long done, long total);
std::string download_stopped_text(long received, long expected, long retries);
std::string lite_download_stopped_text(long received, long expected);
std::string camera_download_stopped_text(long done, long expected);
std::string upload_problem_text(long done, long expected);

// Decodes a 16-byte (or longer) identity reply; fields are high byte first.
IdentityReply parse_identity(const uint8_t* bytes, int length);

// Runs the handshake of the operation. between_identity_and_version lets the
// lite download put its own queries between its "i" and the "x".
HandshakeResult run_handshake(UnitLink& link, Host& host, Operation operation,
                              const std::function<void()>& between_identity_and_version = {});

// Sets the busy cursor for its lifetime, and restores the default on every exit.
class BusyCursor {
 public:
  explicit BusyCursor(Host& host) : host_(host) { host_.busy_cursor(true); }
  ~BusyCursor() { host_.busy_cursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Host& host_;
};

}  // namespace ardenvis::core
