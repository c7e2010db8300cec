#include "sim/log_memory.h"

#include <algorithm>

#include "link/commands.h"

namespace ardenvis::sim {

namespace command = core::command;

namespace {
constexpr long kLiteFirstAddress = 1024;
constexpr int kIndexRecordBytes = 15;
constexpr int kSlots = 16;

void put16(uint8_t* at, long value) {
  at[0] = static_cast<uint8_t>(value & 0xFF);
  at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}
}  // namespace

LogMemory::LogMemory(SimulatedUnit& unit) : unit_(unit) {
  config_[14] = 1;
  lite_.assign(32768, 0xFF);
  install();
}

long LogMemory::page_size() const {
  switch (options_.flash_memory_code) {
    case 9:
      return 264;
    case 11:
      return 528;
    default:
      return 1056;
  }
}

long LogMemory::page_count() const { return options_.flash_memory_code == 15 ? 8192 : 4096; }

void LogMemory::set_index_record(int slot, long start, long end, const StoredSession& s) {
  uint8_t* record = &index_[1 + static_cast<size_t>(slot) * kIndexRecordBytes];
  const long page = page_size();
  put16(record + 0, end / page);
  put16(record + 2, end % page);
  put16(record + 4, start / page);
  put16(record + 6, start % page);
  record[8] = s.sample_rate == 20 ? 1 : 0;
  record[9] = s.hour;
  record[10] = s.minute;
  record[11] = s.day;
  record[12] = s.month;
  put16(record + 13, s.recorded_duration_s);
}

bool LogMemory::store_session(const StoredSession& session) {
  const long start = next_address_;
  if (start >= capacity()) return false;
  long end = start + static_cast<long>(session.bytes.size());
  bool full = false;
  if (end >= capacity()) {
    end = capacity();
    full = true;
  }
  flash_.resize(static_cast<size_t>(end), 0xFF);
  std::copy_n(session.bytes.begin(), end - start, flash_.begin() + start);
  const int slot = sessions_stored_ % kSlots;
  set_index_record(slot, start, end, session);
  index_[0] = static_cast<uint8_t>(slot | (full ? 0x80 : 0) | (index_[0] & 0x80));
  next_address_ = end;
  ++sessions_stored_;
  return true;
}

void LogMemory::erase() {
  index_.fill(0);
  flash_.clear();
  next_address_ = 0;
  sessions_stored_ = 0;
}

void LogMemory::set_lite_recording(const std::vector<uint8_t>& bytes, uint8_t rate,
                                   uint8_t channel) {
  const long size = options_.lite_memory_code == 8 ? 8192 : static_cast<long>(lite_.size());
  const long room = size - kLiteFirstAddress;
  const long count = std::min(static_cast<long>(bytes.size()), room);
  std::copy_n(bytes.begin(), count, lite_.begin() + kLiteFirstAddress);
  lite_pointer_ = static_cast<int>(kLiteFirstAddress + count);
  lite_rate_ = rate;
  config_[17] = channel;
}

bool LogMemory::send_byte(uint8_t byte) {
  if (options_.stall_after >= 0 && sent_in_read_ >= options_.stall_after) return false;
  ++sent_in_read_;
  unit_.send(byte);
  return true;
}

void LogMemory::send_block(const std::vector<uint8_t>& memory, long address, int block_number) {
  ++blocks_sent_;
  auto pause = options_.pause_blocks.find(block_number);
  const bool pausing =
      pause != options_.pause_blocks.end() && !paused_blocks_.contains(block_number);
  if (pausing) paused_blocks_.insert(block_number);
  auto pause_here = [&](long sent) {
    if (pausing && sent == pause->second.after_bytes) unit_.pause_output(pause->second.ms);
  };
  uint8_t check = 0;
  bool stalled = false;
  for (long a = address; a < address + command::block_length; ++a) {
    pause_here(a - address);
    const uint8_t byte = a >= 0 && a < static_cast<long>(memory.size())
                             ? memory[static_cast<size_t>(a)]
                             : uint8_t{0xFF};
    check ^= byte;
    stalled = !send_byte(byte) || stalled;
  }
  auto bad = options_.bad_blocks.find(block_number);
  if (bad != options_.bad_blocks.end() &&
      (bad->second == kAlways || bad_sends_[block_number] < bad->second)) {
    ++bad_sends_[block_number];
    check ^= 0x5A;
  }
  pause_here(command::block_length);
  // A unit that stalled inside the block sends no check byte either.
  if (!stalled) unit_.send(check);
}

void LogMemory::install() {
  unit_.set_command(command::memory_type, {{}, [this](const auto&) {
                                             unit_.send(is_lite() ? options_.lite_memory_code
                                                                  : options_.flash_memory_code);
                                           }});
  unit_.set_command(command::logger_status,
                    {{}, [this](const auto&) { unit_.send(options_.logger_status); }});
  unit_.set_command(command::read_memory, {[] { return 2; },
                                           [this](const auto& a) {
                                             const uint8_t address = a[1];
                                             uint8_t value = 0;
                                             if (a[0] == 1) {
                                               if (address < index_.size()) value = index_[address];
                                             } else if (address == 66) {
                                               value = static_cast<uint8_t>(lite_pointer_ & 0xFF);
                                             } else if (address == 67) {
                                               value = static_cast<uint8_t>(lite_pointer_ >> 8);
                                             } else if (address == 68) {
                                               value = lite_rate_;
                                             }
                                             unit_.send(value);
                                           }});
  unit_.set_command(command::read_config,
                    {[] { return 1; }, [this](const auto& a) { unit_.send(config_[a[0]]); }});
  unit_.set_command(command::erase, {{}, [this](const auto&) {
                                       if (options_.erase_reply == 0) erase();
                                       unit_.send(options_.erase_reply);
                                     }});
  unit_.set_command(command::block_start, {[] { return 4; },
                                           [this](const auto& a) {
                                             block_address_ = (a[0] | (a[1] << 8)) * page_size() +
                                                              (a[2] | (a[3] << 8));
                                             block_number_ = -1;
                                             sent_in_read_ = 0;
                                             bad_sends_.clear();
                                             paused_blocks_.clear();
                                             in_block_read_ = true;
                                             unit_.send(0);
                                           }});
  unit_.set_command(command::next_block, {[] { return 1; },
                                          [this](const auto&) {
                                            if (block_number_ >= 0) {
                                              block_address_ += command::block_length;
                                            }
                                            ++block_number_;
                                            send_block(flash_, block_address_, block_number_);
                                          }});
  // "u" is a resend inside a block read and the live-data poll outside one.
  const SimulatedUnit::Command* poll = unit_.find_command(command::live_poll);
  SimulatedUnit::Command live_poll = poll ? *poll : SimulatedUnit::Command{};
  unit_.set_command(command::resend_block, {[this] { return in_block_read_ ? 1 : 0; },
                                            [this, live_poll](const std::vector<uint8_t>& a) {
                                              if (!in_block_read_) {
                                                if (live_poll.run) live_poll.run(a);
                                                return;
                                              }
                                              ++resends_;
                                              send_block(flash_, block_address_,
                                                         std::max(block_number_, 0));
                                            }});
  unit_.set_command(command::end_block_read, {{}, [this](const auto&) {
                                                in_block_read_ = false;
                                                unit_.send(0);
                                              }});
  unit_.set_command(command::lite_block_read,
                    {[] { return 3; },
                     [this](const auto& a) {
                       const long address = a[0] | (a[1] << 8);
                       if (address == kLiteFirstAddress) {
                         sent_in_read_ = 0;
                         bad_sends_.clear();
                         paused_blocks_.clear();
                       }
                       const int block =
                           static_cast<int>((address - kLiteFirstAddress) / command::block_length);
                       send_block(lite_, address, block);
                     }});
}

}  // namespace ardenvis::sim
