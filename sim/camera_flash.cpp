#include "sim/camera_flash.h"

#include <algorithm>

#include "link/commands.h"
#include "sim/log_memory.h"

namespace ardenvis::sim {

namespace command = core::command;

namespace {
constexpr uint8_t kRejectReply = 2;
constexpr size_t kBlockWithCheck = command::block_length + 1;
}  // namespace

CameraFlash::CameraFlash(SimulatedUnit& unit, LogMemory& memory) : unit_(unit), memory_(memory) {
  // "a" (the flash memory type) is answered by the configuration memories.
  // The erase opens every upload: it clears the logged sessions with the
  // flash, and the next block goes to the flash's start.
  const SimulatedUnit::Command* log_erase = unit_.find_command(command::erase);
  SimulatedUnit::Command erase = log_erase ? *log_erase : SimulatedUnit::Command{};
  unit_.set_command(command::erase, {{}, [this, erase](const std::vector<uint8_t>& a) {
                                       block_number_ = 0;
                                       rejections_.clear();
                                       uploaded_.clear();
                                       unit_.pause_output(options_.erase_delay_ms);
                                       if (erase.run) erase.run(a);
                                     }});
  SimulatedUnit::Command write_block;
  write_block.argument_count = [] { return 1; };
  write_block.more_arguments = [](const std::vector<uint8_t>& so_far) {
    return so_far.size() == 1 && so_far[0] == command::block_length
               ? static_cast<int>(kBlockWithCheck)
               : 0;
  };
  write_block.run = [this](const std::vector<uint8_t>& a) {
    if (a[0] == 0) {
      ++uploads_ended_;
      unit_.send(0);
      return;
    }
    if (a.size() == 1 + kBlockWithCheck) {
      take_block(a);
    } else {
      ++out_of_step_;
    }
  };
  unit_.set_command(command::write_block, write_block);
}

void CameraFlash::take_block(const std::vector<uint8_t>& a) {
  uint8_t check = 0;
  for (size_t i = 1; i <= command::block_length; ++i) check ^= a[i];
  unit_.pause_output(options_.reply_delay_ms);
  auto reject = options_.rejected_blocks.find(block_number_);
  const bool rejected_by_option =
      reject != options_.rejected_blocks.end() &&
      (reject->second == kAlways || rejections_[block_number_] < reject->second);
  if (check != a[kBlockWithCheck] || rejected_by_option) {
    ++rejections_[block_number_];
    ++blocks_rejected_;
    unit_.send(kRejectReply);
    return;
  }
  // The unit's "t" carries no address: each block taken goes after the last.
  std::vector<uint8_t>& flash = memory_.flash();
  const size_t at = static_cast<size_t>(block_number_) * command::block_length;
  if (flash.size() < at + command::block_length) flash.resize(at + command::block_length, 0xFF);
  std::copy(a.begin() + 1, a.begin() + 1 + command::block_length, flash.begin() + at);
  uploaded_.insert(uploaded_.end(), a.begin() + 1, a.begin() + 1 + command::block_length);
  auto garbled = options_.garbled_accepts.find(block_number_);
  ++block_number_;
  ++blocks_taken_;
  if (garbled != options_.garbled_accepts.end()) {
    unit_.send(garbled->second);
    options_.garbled_accepts.erase(garbled);
    return;
  }
  unit_.send(options_.accept_reply);
}

}  // namespace ardenvis::sim
