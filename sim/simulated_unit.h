#pragma once
// The unit's side of the serial protocol. Bytes from the program go in through
// receive(); the unit's replies queue up and are taken one at a time. The unit
// answers only as the protocol states; fault modes are switchable at run time.
// It counts every command byte it received so tests can assert on the traffic.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_faults.h"

namespace ardenvis::sim {

struct UnitOptions {
  uint8_t status = 85;         // reply to the first "p" of a handshake
  uint8_t second_status = 85;  // reply to the second "p"
  uint8_t version_major = 4;
  uint8_t version_minor = 22;
  uint16_t unit_type = 1;  // 1 and 5 flash loggers, 2 lite logger
  uint16_t identity_word = 0x1234;
  uint16_t distance_factor = 1000;
  uint16_t third_word = 0x0001;
  uint8_t identity_bytes[5] = {1, 2, 3, 4, 5};
  bool silent = false;  // a switched-off unit: nothing is ever sent
};

void set_firmware_version(UnitOptions& options, int version_number);

class LogMemory;
class LiveFrames;
class CameraFlash;
class ConfigMemory;

class SimulatedUnit {
 public:
  explicit SimulatedUnit(UnitOptions options = {});
  virtual ~SimulatedUnit();

  UnitOptions& options() { return options_; }
  const UnitOptions& options() const { return options_; }
  // The log memory: sessions, index, lite recording and block reads.
  LogMemory& log_memory() { return *log_memory_; }
  // The answers to the live-data poll: a car running, and their faults.
  LiveFrames& live_frames() { return *live_frames_; }
  // The camera database upload into the same flash.
  CameraFlash& camera_flash() { return *camera_flash_; }
  // The configuration memories: EEPROM, FRAM, memory size and CAN modules.
  ConfigMemory& config_memory() { return *config_memory_; }

  void receive(uint8_t byte);
  bool has_output() const { return !output_.empty(); }
  size_t pending_output() const { return output_.size(); }
  uint8_t take_output();
  // Drops whatever the unit had queued (a port purge on open).
  void discard_output();

  // Pauses in the output: the unit falls silent for ms before the byte it
  // sends next (a unit busy with its flash, an adapter hiccup), then goes on.
  void pause_output(int ms);
  // Milliseconds of silence still due before the next output byte (0: none).
  int pause_due() const;
  // The line has been silent for ms of the pause due.
  void pause_elapsed(int ms);
  // How many queued bytes may go out before the next pause.
  size_t output_before_pause() const;

  // Faults on the output, as a bad line would add them (none by default).
  // With transfer_per_handshake, each handshake starts a new transfer of the
  // injector; otherwise the caller starts them (line_faults()->start_transfer).
  void set_line_faults(LineFaultOptions options, bool transfer_per_handshake);
  LineFaultInjector* line_faults() { return line_faults_.get(); }
  // The reply the running command sends carries no check of any kind.
  void reply_is_unchecked() { reply_check_ = ReplyCheck::Unchecked; }

  // How many times each command byte started a command.
  int command_count(uint8_t command) const;
  const std::vector<uint8_t>& command_log() const { return command_log_; }

  // A command: how many argument bytes it takes (decided when the command byte
  // arrives, so it may depend on the unit's state) and what it does with them.
  struct Command {
    std::function<int()> argument_count;
    std::function<void(const std::vector<uint8_t>& arguments)> run;
    // Optional: once the arguments asked for so far have arrived, how many
    // more follow (a length byte announcing a data block); 0 = run now.
    std::function<int(const std::vector<uint8_t>& so_far)> more_arguments{};
  };
  void set_command(uint8_t byte, Command command);
  // The command installed for a byte, or nullptr.
  const Command* find_command(uint8_t byte) const;

 protected:
  friend class LogMemory;
  friend class CameraFlash;
  friend class ConfigMemory;
  void send(uint8_t byte);
  void send(const std::vector<uint8_t>& bytes);

 private:
  void install_session_commands();
  void run_command(const Command& command);
  // Output edits of the line faults, by byte number; pauses stay with their byte.
  void apply_strikes(uint64_t first, const std::vector<LineFaultInjector::Strike>& strikes);
  void shift_pauses_after(uint64_t number, int delta);

  UnitOptions options_;
  std::map<uint8_t, Command> commands_;
  std::deque<uint8_t> output_;
  uint64_t queued_total_ = 0;       // bytes ever queued
  uint64_t taken_total_ = 0;        // bytes ever taken
  std::map<uint64_t, int> pauses_;  // before the byte of this number: ms of silence
  std::map<uint8_t, int> counts_;
  std::vector<uint8_t> command_log_;
  int status_queries_ = 0;  // "p" since the last "q"

  bool collecting_ = false;
  uint8_t current_ = 0;
  int arguments_wanted_ = 0;
  std::vector<uint8_t> arguments_;

  std::unique_ptr<LineFaultInjector> line_faults_;
  bool transfer_per_handshake_ = false;
  ReplyCheck reply_check_ = ReplyCheck::Checked;

  std::unique_ptr<LiveFrames> live_frames_;
  std::unique_ptr<LogMemory> log_memory_;
  std::unique_ptr<CameraFlash> camera_flash_;
  std::unique_ptr<ConfigMemory> config_memory_;
};

}  // namespace ardenvis::sim
