#include "sim/simulated_unit.h"

#include <algorithm>

#include "link/commands.h"
#include "sim/camera_flash.h"
#include "sim/config_memory.h"
#include "sim/live_frames.h"
#include "sim/log_memory.h"

namespace ardenvis::sim {

namespace command = core::command;

void set_firmware_version(UnitOptions& options, int version_number) {
  options.version_major = static_cast<uint8_t>(version_number / 100);
  options.version_minor = static_cast<uint8_t>(version_number % 100);
}

SimulatedUnit::SimulatedUnit(UnitOptions options)
    : options_(options), live_frames_(std::make_unique<LiveFrames>()) {
  install_session_commands();
  log_memory_ = std::make_unique<LogMemory>(*this);
  camera_flash_ = std::make_unique<CameraFlash>(*this, *log_memory_);
  config_memory_ = std::make_unique<ConfigMemory>(*this, log_memory_->config());
}

SimulatedUnit::~SimulatedUnit() = default;

void SimulatedUnit::set_command(uint8_t byte, Command command) {
  commands_[byte] = std::move(command);
}

const SimulatedUnit::Command* SimulatedUnit::find_command(uint8_t byte) const {
  auto it = commands_.find(byte);
  return it == commands_.end() ? nullptr : &it->second;
}

int SimulatedUnit::command_count(uint8_t command) const {
  auto it = counts_.find(command);
  return it == counts_.end() ? 0 : it->second;
}

void SimulatedUnit::send(uint8_t byte) {
  if (options_.silent) return;
  output_.push_back(byte);
  ++queued_total_;
}

void SimulatedUnit::send(const std::vector<uint8_t>& bytes) {
  for (uint8_t b : bytes) send(b);
}

uint8_t SimulatedUnit::take_output() {
  if (output_.empty()) return 0;
  uint8_t b = output_.front();
  output_.pop_front();
  pauses_.erase(taken_total_);  // a pause never outlives the byte it held back
  ++taken_total_;
  return b;
}

void SimulatedUnit::discard_output() {
  output_.clear();
  pauses_.clear();
  taken_total_ = queued_total_;
}

void SimulatedUnit::pause_output(int ms) {
  if (ms > 0 && !options_.silent) pauses_[queued_total_] += ms;
}

int SimulatedUnit::pause_due() const {
  auto it = pauses_.find(taken_total_);
  return it == pauses_.end() ? 0 : it->second;
}

void SimulatedUnit::pause_elapsed(int ms) {
  auto it = pauses_.find(taken_total_);
  if (it == pauses_.end()) return;
  it->second -= ms;
  if (it->second <= 0) pauses_.erase(it);
}

size_t SimulatedUnit::output_before_pause() const {
  auto it = pauses_.lower_bound(taken_total_);
  if (it == pauses_.end()) return output_.size();
  return std::min(output_.size(), static_cast<size_t>(it->first - taken_total_));
}

void SimulatedUnit::receive(uint8_t byte) {
  if (collecting_) {
    arguments_.push_back(byte);
  } else {
    auto it = commands_.find(byte);
    if (it == commands_.end()) return;  // unknown bytes are ignored
    if (line_faults_ && transfer_per_handshake_ && byte == command::wake &&
        (command_log_.empty() || command_log_.back() != command::wake)) {
      line_faults_->start_transfer();
    }
    ++counts_[byte];
    command_log_.push_back(byte);
    current_ = byte;
    arguments_.clear();
    arguments_wanted_ = it->second.argument_count ? it->second.argument_count() : 0;
    collecting_ = true;
  }
  if (collecting_ && static_cast<int>(arguments_.size()) >= arguments_wanted_) {
    auto it = commands_.find(current_);
    if (it != commands_.end() && it->second.more_arguments) {
      const int more = it->second.more_arguments(arguments_);
      if (more > 0) {
        arguments_wanted_ += more;
        return;
      }
    }
    collecting_ = false;
    if (it != commands_.end() && it->second.run) run_command(it->second);
  }
}

void SimulatedUnit::run_command(const Command& command) {
  const uint64_t first = queued_total_;
  reply_check_ = ReplyCheck::Checked;
  command.run(arguments_);
  if (!line_faults_ || queued_total_ == first) return;
  std::vector<uint8_t> request(arguments_.size() + 1);
  request[0] = current_;
  std::copy(arguments_.begin(), arguments_.end(), request.begin() + 1);
  const auto reply_length = static_cast<size_t>(queued_total_ - first);
  const std::vector<uint8_t> reply(output_.end() - static_cast<std::ptrdiff_t>(reply_length),
                                   output_.end());
  apply_strikes(first, line_faults_->strike(request, reply, reply_check_));
}

void SimulatedUnit::set_line_faults(LineFaultOptions options, bool transfer_per_handshake) {
  line_faults_ = std::make_unique<LineFaultInjector>(options);
  transfer_per_handshake_ = transfer_per_handshake;
}

void SimulatedUnit::shift_pauses_after(uint64_t number, int delta) {
  std::map<uint64_t, int> shifted;
  for (const auto& [at, ms] : pauses_) shifted[at > number ? at + delta : at] += ms;
  pauses_ = std::move(shifted);
}

void SimulatedUnit::apply_strikes(uint64_t first,
                                  const std::vector<LineFaultInjector::Strike>& strikes) {
  // From the last byte back, so each strike's byte number still holds.
  for (auto s = strikes.rbegin(); s != strikes.rend(); ++s) {
    const uint64_t number = first + s->at;
    const auto index = static_cast<std::ptrdiff_t>(output_.size() - (queued_total_ - number));
    switch (s->kind) {
      case LineFault::Flip:
        output_[static_cast<size_t>(index)] ^= s->value;
        break;
      case LineFault::Drop:
        output_.erase(output_.begin() + index);
        --queued_total_;
        shift_pauses_after(number, -1);
        break;
      case LineFault::Noise:
        output_.insert(output_.begin() + index, s->value);
        ++queued_total_;
        shift_pauses_after(number, +1);
        break;
      case LineFault::Pause:
      case LineFault::LateReply:
        pauses_[number] += s->ms;
        break;
      case LineFault::Silence:
        output_.erase(output_.begin() + index, output_.end());
        queued_total_ = number;
        pauses_.erase(pauses_.lower_bound(number), pauses_.end());
        break;
    }
  }
}

void SimulatedUnit::install_session_commands() {
  // Each wake answers with a short banner; two wakes give the 8 bytes the
  // shortest handshake drain reads, so no stale byte is left for the status.
  set_command(command::wake, {{}, [this](const auto&) {
                                status_queries_ = 0;
                                send({'P', 'L', 'R', 'T'});
                              }});
  set_command(command::status,
              {{}, [this](const auto&) {
                 send(status_queries_++ == 0 ? options_.status : options_.second_status);
               }});
  // The lite logger answers with major and minor only: its download reads
  // nothing more after them, and 4 more bytes would land in its first block.
  set_command(command::version, {{}, [this](const auto&) {
                                   send({options_.version_major, options_.version_minor});
                                   if (options_.unit_type != 2) send({0, 0, 0, 0});
                                 }});
  set_command(command::identity,
              {{}, [this](const auto&) {
                 auto hi = [](uint16_t w) { return static_cast<uint8_t>(w >> 8); };
                 auto lo = [](uint16_t w) { return static_cast<uint8_t>(w & 0xFF); };
                 const auto& o = options_;
                 send({hi(o.unit_type), lo(o.unit_type), hi(o.identity_word), lo(o.identity_word),
                       hi(o.distance_factor), lo(o.distance_factor), hi(o.third_word),
                       lo(o.third_word), 0, 0, 0});
                 for (uint8_t b : o.identity_bytes) send(b);
               }});
  // Outside a block read "u" is the live-data poll: "V" then the live frame.
  set_command(command::live_poll, {{}, [this](const auto&) {
                                     reply_is_unchecked();
                                     send(live_frames_->reply());
                                   }});
}

}  // namespace ardenvis::sim
