#include "logger/log_index.h"

#include <algorithm>
#include <vector>

#include "common/format.h"
#include "link/commands.h"
#include "link/exchange.h"
#include "link/unit_session.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace {

constexpr const char* kNotAvailable = "NA";

uint16_t le16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

void error_box(Host& host, const char* text) {
  host.message(MessageKind::Error, text, Buttons::Abort);
}
void information(Host& host, const char* text) {
  host.message(MessageKind::Information, text, Buttons::Ok);
}

int index_result(HandshakeResult result) {
  switch (result) {
    case HandshakeResult::Ok:
      return kIndexOk;
    case HandshakeResult::NoPort:
      return kIndexNoPort;
    case HandshakeResult::StatusRefused:
      return kIndexStatusRefused;
    case HandshakeResult::SecondStatusNotReady:
      return kIndexSecondStatus;
    case HandshakeResult::VersionRefused:
      return kIndexVersionRefused;
  }
  return kIndexNoPort;
}

double free_share(double used, double total) {
  const double free = total > 0 ? 100.0 - used / total * 100.0 : 0.0;
  return free < 0 ? 0.0 : free;
}

// Where each value sits in a copy of what an index read takes from the unit.
constexpr size_t kCopyMemoryCode = 0;
constexpr size_t kCopyStatusFlags = 1;
constexpr size_t kCopyIndex = 2;  // flash: the 241 index bytes; lite: pointer low, high, channel

// One copy of what an index read takes from the unit: the memory code and,
// when the logger knows that code, the status flags and then the flash index
// or the lite logger's pointer and channel. Every byte is owed: false at the
// first read that times out.
bool read_index_copy(UnitLink& link, Host& host, bool lite, std::vector<uint8_t>& copy) {
  const auto ask = [&](std::initializer_list<uint8_t> request) {
    return ask_owed_byte(link, host, request, copy);
  };
  if (!ask({command::memory_type})) return false;
  const uint8_t code = copy[kCopyMemoryCode];
  if (!(lite ? lite_memory_description(code) : flash_memory_description(code))) return true;
  if (!ask({command::logger_status})) return false;
  if (lite) {
    return ask({command::read_memory, 0, kLitePointerLowAddress}) &&
           ask({command::read_memory, 0, kLitePointerHighAddress}) &&
           ask({command::read_config, kLiteChannelConfigAddress});
  }
  for (int address = 0; address < kLogIndexBytes; ++address) {
    host.process_events();
    if (!ask({command::read_memory, 1, static_cast<uint8_t>(address)})) return false;
  }
  return true;
}

// The index (flash) or the lite logger's pointer and channel, read until two
// copies agree: the index carries no check, and one flipped bit in an end
// offset would make a session longer by bytes of the next one. Nothing is
// changed unless the copies agree and the memory code is known.
int read_agreed_index(ProgramState& state, Host& host, bool lite, std::vector<uint8_t>& reply) {
  bool agreed = false;
  {
    BusyCursor busy(host);
    agreed = read_agreeing_copies(
        state.link, host,
        [&](std::vector<uint8_t>& copy) { return read_index_copy(state.link, host, lite, copy); },
        reply);
  }
  if (!agreed) {
    host.message(MessageKind::Warning, message::problem_talking_long, Buttons::Ok);
    return kIndexNotReadable;
  }
  const uint8_t code = reply[kCopyMemoryCode];
  const auto memory = lite ? lite_memory_description(code) : flash_memory_description(code);
  if (!memory) {
    error_box(host, message::memory_type_failed);
    return kIndexMemoryType;
  }
  state.log_index.memory = *memory;
  state.log_index.status_flags = reply[kCopyStatusFlags];
  return kIndexOk;
}

int read_flash_index(ProgramState& state, Host& host) {
  LogIndex& index = state.log_index;
  std::vector<uint8_t> reply;
  if (const int result = read_agreed_index(state, host, false, reply); result != kIndexOk) {
    return result;
  }
  std::copy_n(reply.begin() + kCopyIndex, kLogIndexBytes, index.raw.begin());
  processLogPointers(state, host);
  refreshDataScreen(index);
  return kIndexOk;
}

int read_lite_index(ProgramState& state, Host& host) {
  LogIndex& index = state.log_index;
  std::vector<uint8_t> reply;
  if (const int result = read_agreed_index(state, host, true, reply); result != kIndexOk) {
    return result;
  }
  const uint8_t* values = reply.data() + kCopyIndex;
  // A pointer below the first log address cannot be: it counts as an empty
  // recording rather than as a negative amount of memory in use.
  const int pointer = std::max(values[0] | (values[1] << 8), kLiteFirstLogAddress);

  index.total_mbit = (static_cast<double>(index.memory.memory_bits) - 8192) / 1000000.0;
  index.used_mbit = (pointer * 8.0 - 8192) / 1000000.0;
  index.free_percent = free_share(index.used_mbit, index.total_mbit);
  index.memory_full = (index.status_flags & 1) != 0;
  if (index.memory_full) index.free_percent = 0;

  // The lite logger keeps no index: no entry is valid, and none keeps the date
  // or time of a flash logger read before.
  for (auto& entry : index.sessions) entry = SessionEntry{};
  index.unreadable = false;
  clearDataScreen(index);
  index.screen.total = format("%.2f", index.total_mbit);
  index.screen.used = format("%.2f", index.used_mbit);
  index.screen.free = format("%.2f", index.free_percent);
  index.screen.memory_full = index.memory_full;
  index.screen.rows[0].number = format("%d", 1);

  index.lite_channel = values[2];
  SessionRow& row = index.screen.rows[0];
  if (index.used_mbit > 0) {
    const double bytes = index.used_mbit * 1000000.0 / 8;
    const double samples = index.lite_channel == 0 ? bytes : bytes / 2;
    row.duration = format("%.2f", samples * 0.1 / 60);
    row.size = format("%.2f", index.used_mbit * 1000 / 8);
  } else {
    row.duration = kNotAvailable;
    row.size = kNotAvailable;
  }
  return kIndexOk;
}

}  // namespace

std::optional<MemoryDescription> flash_memory_description(uint8_t code) {
  switch (code) {
    case 9:
      return MemoryDescription{4096, 264, 0, 0};
    case 11:
      return MemoryDescription{4096, 528, 0, 0};
    case 15:
      return MemoryDescription{8192, 1056, 0, 0};
    default:
      return std::nullopt;
  }
}

std::optional<MemoryDescription> lite_memory_description(uint8_t code) {
  switch (code) {
    case 8:
      return MemoryDescription{0, 0, 65536, 8191};
    case 32:
      return MemoryDescription{0, 0, 262144, 32767};
    default:
      return std::nullopt;
  }
}

const SessionEntry* LogIndex::session(int number) const {
  if (number < 1 || number > kSessionSlots) return nullptr;
  return &sessions[static_cast<size_t>(number - 1)];
}

bool view_session_data(ProgramState& state, Host& host) {
  change_serial_port(state.link, host, state.link.serial_port_number);
  if (!state.link.serial_port_open) {
    host.message(MessageKind::Warning, message::select_free_port, Buttons::Ok);
    return false;
  }
  state.log_index.page = 1;
  if (getLogIndex(state, host) != kIndexOk) return false;
  return state.log_index.is_flash() || state.log_index.is_lite();
}

int getLogIndex(ProgramState& state, Host& host) {
  UnitLink& link = state.link;
  const HandshakeResult handshake = run_handshake(link, host, Operation::ReadLogIndex);
  if (handshake != HandshakeResult::Ok) return index_result(handshake);

  const uint16_t type = link.unit.unit_type;
  if (type == 1 || type == 5 || type == 2) {
    const int result = type == 2 ? read_lite_index(state, host) : read_flash_index(state, host);
    if (result == kIndexOk) state.log_index.unit_type = type;
    return result;
  }
  error_box(host, message::unknown_type);
  link.drain(host, 8);
  return kIndexUnknownType;
}

void processLogPointers(ProgramState& state, Host& host) {
  LogIndex& index = state.log_index;
  const int version = state.link.unit.version_number;
  const uint16_t type = state.link.unit.unit_type;
  const long page_size = index.memory.page_size;

  // Byte 0 names the newest slot in its low seven bits. A slot beyond the
  // sixteen records means the index is garbled: offer no session rather than
  // guess which records belong together, and say so.
  const int newest = index.raw[0] & 0x7F;
  index.unreadable = newest >= kSessionSlots;
  if (index.unreadable) {
    for (auto& entry : index.sessions) entry = SessionEntry{};
    host.message(MessageKind::Warning, message::index_unreadable, Buttons::Ok);
    return;
  }

  int slot = newest;
  for (auto& entry : index.sessions) {
    host.process_events();
    const uint8_t* record = &index.raw[1 + 15 * static_cast<size_t>(slot)];
    entry.end_page = le16(record + 0);
    entry.end_offset = le16(record + 2);
    entry.start_page = le16(record + 4);
    entry.start_offset = le16(record + 6);
    entry.rate = (record[8] & 1) ? 20 : 10;
    entry.recorded_duration = le16(record + 13);
    entry.time_text = format(" %.2dh:%.2dm", record[9], record[10]);
    entry.date_text = format("    %.2d/%.2d", record[11], record[12]);

    const long end = entry.end_page * page_size + entry.end_offset;
    const long start = entry.start_page * page_size + entry.start_offset;
    const long length = end - start;
    if (length < 1) {
      entry.length = 0;
      entry.duration_s = 0;
      entry.valid = false;
    } else {
      entry.length = static_cast<int32_t>(length);
      entry.valid = true;
      if (version <= 415 && type == 1) {
        entry.duration_s = entry.rate == 20 ? length * 109.0 / 27360 : length * 109.0 / 13680;
      } else if (version >= 416 && (type == 1 || type == 5)) {
        entry.duration_s = entry.recorded_duration;
      } else {
        entry.duration_s = -599.4;
      }
    }
    slot = slot == 0 ? kSessionSlots - 1 : slot - 1;
  }
}

void clearDataScreen(LogIndex& index) {
  for (int r = 0; r < kRowsPerPage; ++r) {
    SessionRow& row = index.screen.rows[static_cast<size_t>(r)];
    row.number = format("%d", r + 1);
    row.duration = row.size = row.date = row.time = kNotAvailable;
  }
}

void refreshDataScreen(LogIndex& index) {
  for (int r = 0; r < kRowsPerPage; ++r) {
    SessionRow& row = index.screen.rows[static_cast<size_t>(r)];
    const int number = index.page + r;
    row.number = format("%d", number);
    const SessionEntry* entry = index.session(number);
    if (entry && entry->valid) {
      row.duration = format("%.2f", entry->duration_s / 60);
      row.size = format("%.2f", entry->length / 1000.0);
      row.date = entry->date_text;
      row.time = entry->time_text;
    } else {
      row.duration = row.size = row.date = row.time = kNotAvailable;
    }
  }
  const double page_size = index.memory.page_size;
  index.total_mbit = index.memory.page_count * page_size * 8 / 1000000.0;
  const SessionEntry& newest = index.sessions[0];
  index.used_mbit = (newest.end_page * page_size + newest.end_offset) * 8 / 1000000.0;
  index.free_percent = free_share(index.used_mbit, index.total_mbit);
  index.memory_full = (index.raw[0] & 0x80) != 0;
  index.screen.total = format("%.2f", index.total_mbit);
  index.screen.used = index.unreadable ? kNotAvailable : format("%.2f", index.used_mbit);
  index.screen.free = index.unreadable ? kNotAvailable : format("%.2f", index.free_percent);
  index.screen.memory_full = index.memory_full;
}

void gotoNextLogPage(ProgramState& state, Host& host) {
  LogIndex& index = state.log_index;
  if (index.is_lite()) {
    information(host, message::no_more_lite_sessions);
    return;
  }
  if (!index.is_flash()) return;
  getLogIndex(state, host);
  if (index.page > 8) {
    information(host, message::no_more_sessions);
    return;
  }
  index.page += 8;
  refreshDataScreen(index);
}

void gotoPrevLogPage(ProgramState& state, Host& host) {
  LogIndex& index = state.log_index;
  if (!index.is_flash()) return;
  getLogIndex(state, host);
  if (index.page >= 9) {
    index.page -= 8;
    refreshDataScreen(index);
  }
}

void clearLogPointers(ProgramState& state, Host& host) {
  if (!state.log_index.is_flash()) return;
  if (host.message(MessageKind::Warning, message::clear_question, Buttons::YesNo) != Answer::Yes) {
    information(host, message::memory_not_cleared);
    return;
  }
  if (run_handshake(state.link, host, Operation::ClearLogMemory) != HandshakeResult::Ok) return;

  bool cleared = false;
  {
    BusyCursor busy(host);
    state.link.write(command::erase);
    if (state.link.read(host) == 0) cleared = getLogIndex(state, host) == kIndexOk;
  }
  if (cleared) {
    information(host, message::memory_cleared);
  } else {
    error_box(host, message::clear_failed);
  }
}

bool viewData(ProgramState& state, Host& host) {
  const DataSet& a = state.data_set(DataSetId::A);
  const DataSet& b = state.data_set(DataSetId::B);
  if (!a.has_data() && !b.has_data()) {
    information(host, message::no_data_loaded);
    return false;
  }
  if (a.sample_count() != 0 || b.sample_count() != 0) return true;
  information(host, message::no_data_recorded);
  return false;
}

}  // namespace ardenvis::core
