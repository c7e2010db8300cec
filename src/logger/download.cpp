#include "logger/download.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <optional>

#include "common/format.h"
#include "link/commands.h"
#include "link/exchange.h"
#include "link/unit_session.h"
#include "logger/data_set_units.h"
#include "logger/decoder.h"
#include "logger/lite_download.h"

namespace ardenvis::core {

UnitIdentity identity_from(const IdentityReply& reply, uint8_t pulses_per_rev) {
  UnitIdentity identity;
  identity.unit_type = reply.unit_type;
  identity.identity_word = reply.identity_word;
  identity.distance_factor = reply.distance_factor;
  identity.third_word = reply.third_word;
  for (size_t i = 0; i < identity.identity_bytes.size(); ++i) {
    identity.identity_bytes[i] = reply.identity_bytes[i];
  }
  identity.pulses_per_rev = pulses_per_rev;
  return identity;
}

namespace {

constexpr int kWatchdogInterval_ms = 1000;
constexpr int kMaxRetries = 10;
constexpr long kBarStep = 1000;  // the bar moves at most once per this many bytes
constexpr int kFirstFirmwareWithResend = 422;
constexpr size_t kIdentityBytes = 16;

// The replies the transfer starts from: the identity, the pulses-per-revolution
// code and the acknowledgement of the block start ("o", sent with each copy:
// asking again only sets the same start). None of them carries a check, so
// they are read until two copies agree with a silent line after them; a byte
// lost, added or changed on the way cannot then be saved with the session or
// shift its first block. Shows the failure (and ends the block read) when they
// do not settle, or when the unit is not the type the index was read from.
std::optional<UnitIdentity> read_session_header(ProgramState& state, Host& host,
                                                const SessionEntry& entry) {
  UnitLink& link = state.link;
  std::vector<uint8_t> header;
  const bool agreed = read_agreeing_copies(
      link, host,
      [&](std::vector<uint8_t>& copy) {
        copy.resize(kIdentityBytes);
        link.write(command::identity);
        if (!read_owed(link, host, copy.data(), kIdentityBytes)) return false;
        if (!ask_owed_byte(link, host, {command::read_config, kPulsesPerRevAddress}, copy)) {
          return false;
        }
        link.write({command::block_start, static_cast<uint8_t>(entry.start_page & 0xFF),
                    static_cast<uint8_t>(entry.start_page >> 8),
                    static_cast<uint8_t>(entry.start_offset & 0xFF),
                    static_cast<uint8_t>(entry.start_offset >> 8)});
        // Its one byte has no meaning to keep: what matters is that it came.
        return read_owed_byte(link, host).has_value();
      },
      header);
  const IdentityReply reply =
      agreed ? parse_identity(header.data(), kIdentityBytes) : IdentityReply{};
  if (agreed && reply.unit_type == state.log_index.unit_type) {
    uint8_t pulses_per_rev = header[kIdentityBytes];
    if (pulses_per_rev != 1 && pulses_per_rev != 2) pulses_per_rev = 1;
    return identity_from(reply, pulses_per_rev);
  }
  host.analysis_progress().hide();
  link.write(command::end_block_read);
  settle_line(link, host);
  host.message(MessageKind::Warning,
               agreed ? message::unit_changed : message::problem_talking_short, Buttons::Ok);
  return std::nullopt;
}

int current_year(Host& host) {
  const std::time_t now = std::chrono::system_clock::to_time_t(host.now());
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

void automatic_save(ProgramState& state, Host& host, const DownloadRequest& request,
                    const DownloadResult& result, int session) {
  if (!request.auto_save || !state.current().has_data()) return;
  if (result.state != kDownloaded && result.state != kStoppedEarly) return;
  const SessionEntry* entry = state.log_index.session(session);
  const std::string date = entry ? entry->date_text : std::string();
  const std::string time = entry ? entry->time_text : std::string();
  state.file(FileKind::LogData).name =
      automatic_file_name(session, date, time, current_year(host), request.date_time_in_name);
  // The log data file's own save offers the name in its dialog.
  if (state.save_log_data) state.save_log_data(state, host);
}

}  // namespace

void DownloadWatchdog::tick() {
  ++counter_;  // a byte: 255 is followed by 0
  if (counter_ >= 2) {
    cancel_flag_ = true;
    download_state_ = kWatchdogFired;
    progress_.hide();
  }
}

std::string efficiency_text(long attempts, long failures) {
  if (attempts < failures) return "0.00%";
  if (attempts == 0) return "100.00%";
  return format("%3.2f%%", static_cast<double>(attempts - failures) / attempts * 100.0);
}

std::string automatic_file_name(int session, const std::string& date_text,
                                const std::string& time_text, int year, bool date_time_in_name) {
  if (!date_time_in_name) return format("LogSession_%d", session);
  std::string time;
  for (char c : time_text.empty() ? std::string("00h:00m") : time_text) {
    if (c != ' ' && c != ':') time += c;
  }
  std::string date;
  for (char c : date_text.empty() ? std::string("00/00") : date_text) {
    if (c != ' ') date += c == '/' ? 'd' : c;
  }
  const std::string year_text = std::to_string(year);
  const std::string short_year = year_text.size() > 2 ? year_text.substr(2) : year_text;
  return short_year + "y" + date + "m_" + time + format("_LogID_%d", session);
}

std::optional<AutomaticNameDate> automatic_name_date(std::string_view file_name) {
  const size_t slash = file_name.find_last_of("/\\");
  if (slash != std::string_view::npos) file_name.remove_prefix(slash + 1);
  // yy "y" dd "d" mm "m_" hh "h" mm "m_LogID_" session [extension]
  constexpr std::string_view kShape = "99y99d99m_99h99m_LogID_";
  if (file_name.size() <= kShape.size()) return std::nullopt;
  for (size_t i = 0; i < kShape.size(); ++i) {
    const char c = file_name[i];
    const bool ok = kShape[i] == '9' ? (c >= '0' && c <= '9') : c == kShape[i];
    if (!ok) return std::nullopt;
  }
  auto two = [&](size_t at) { return (file_name[at] - '0') * 10 + (file_name[at + 1] - '0'); };
  AutomaticNameDate date{2000 + two(0), two(6), two(3), two(10), two(13), 0};
  size_t i = kShape.size();
  if (file_name[i] < '0' || file_name[i] > '9') return std::nullopt;
  for (; i < file_name.size() && file_name[i] >= '0' && file_name[i] <= '9'; ++i) {
    if (date.session > 1000) return std::nullopt;
    date.session = date.session * 10 + (file_name[i] - '0');
  }
  if (i < file_name.size() && file_name[i] != '.') return std::nullopt;
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31 || date.hour > 23 ||
      date.minute > 59) {
    return std::nullopt;
  }
  return date;
}

void store_and_decode(ProgramState& state, Host& host, std::vector<uint8_t> bytes,
                      uint32_t byte_count, uint8_t download_state, uint8_t sample_rate,
                      const UnitIdentity& identity) {
  DataSet& slot = state.current();
  const auto length = static_cast<uint32_t>(bytes.size());
  slot.raw = std::move(bytes);
  slot.info.sample_rate = sample_rate;
  slot.info.raw_byte_count = byte_count;
  slot.held_byte_count = byte_count;  // what arrived, whatever decoding frames of it
  slot.download_state = download_state;
  slot.unit = identity;
  slot.file_name.clear();
  state.identity = identity;

  process_data_packets(state, host);

  if (slot.has_data()) {
    slot.info.sample_rate = sample_rate;
    slot.info.raw_byte_count = length;
    slot.info.firmware_major = state.link.unit.version_major;
    slot.info.firmware_minor = state.link.unit.version_minor;
    slot.info.unit_identity_word = identity.identity_word;
    slot.info.label = state.current_data_set == DataSetId::B ? "Memory B" : "Memory A";
    // Decoding yields the stored units; a file load brings a slot to the units
    // in force, and a download must too, or its series would be shown and
    // exported under the wrong unit labels.
    change_loaded_units(state, state.current_data_set, {});
  } else {
    slot.info.sample_rate = 0;
    slot.info.raw_byte_count = 0;
    slot.info.firmware_major = 0;
    slot.info.firmware_minor = 0;
    slot.info.unit_identity_word = 0;
    slot.info.label = "No Data";
  }
}

DownloadResult get_log_data(ProgramState& state, Host& host, const DownloadRequest& request) {
  DownloadResult result;
  state.current_data_set = request.target;
  UnitLink& link = state.link;
  if (!link.serial_port_open) {
    host.message(MessageKind::Warning, message::select_free_port, Buttons::Ok);
    return result;
  }

  uint8_t download_state = kDownloaded;
  AnalysisProgress& progress = host.analysis_progress();
  DownloadWatchdog watchdog(state.log_cancel, download_state, progress);
  WatchdogRun<DownloadWatchdog> watchdog_run(host, watchdog, kWatchdogInterval_ms);
  long received = 0;
  long length = 0;
  try {
    const HandshakeResult handshake = run_handshake(link, host, Operation::DownloadLogSession);
    if (handshake != HandshakeResult::Ok) {
      if (handshake == HandshakeResult::StatusRefused) download_state = kHandshakeFailed;
      result.state = download_state;
      return result;
    }

    const SessionEntry* entry = state.log_index.session(request.session);
    length = entry ? entry->length : 0;
    if (length <= 0) {
      length = 0;
      result.state = kNothingToSave;
      host.message(MessageKind::Information, message::no_data_to_download, Buttons::Ok);
      return result;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(length));

    progress.set_stage("Downloading");
    progress.set_bar(ProgressBar::Downloading, 0, length);
    progress.show();
    const std::optional<UnitIdentity> identity = read_session_header(state, host, *entry);
    if (!identity) {
      result.state = kNothingToSave;
      return result;
    }
    state.log_cancel = false;
    long last_shown = 0;
    progress.set_bar(ProgressBar::LinkQuality, kMaxRetries, kMaxRetries);
    progress.set_efficiency("100.00%");
    long attempts = 0;
    long failures = 0;
    int retries = 0;
    const bool resends = link.unit.version_number >= kFirstFirmwareWithResend;
    watchdog_run.start();

    const auto transfer_ends = [&] { return state.log_cancel || watchdog.counter() >= 2; };

    // Events (the window, Cancel, the watchdog) are processed by the reads,
    // while the unit is sending: never between a block's check byte and the
    // next request, where the line would stand idle while they run.
    while (received < length && !state.log_cancel && watchdog.counter() < 2) {
      uint8_t check = 0;
      long sum = 0;
      link.write({command::next_block, command::block_length});
      retries = 0;
      while (retries < kMaxRetries && watchdog.counter() < 2) {
        long stored = 0;
        // A read that timed out is no byte of the block: the unit paused, so
        // the bytes after it are out of step and the block is bad, however
        // its check comes out (any rotation of a good block passes the XOR).
        bool timed_out = false;
        for (int i = 0; i < command::block_length; ++i) {
          const std::optional<uint8_t> read = link.try_read(host);
          timed_out = timed_out || !read;
          const uint8_t byte = read.value_or(0);
          // Bytes past the session's end are part of the block's check only.
          if (received < length) {
            buffer[static_cast<size_t>(received++)] = byte;
            ++stored;
          }
          check ^= byte;
          sum += byte;
        }
        const std::optional<uint8_t> unit_check = link.try_read(host);
        timed_out = timed_out || !unit_check;
        ++attempts;
        // A silent unit reads as zeros with a zero check: sum 0 counts as bad.
        // A resend must also leave a silent line: the drain before it ends at
        // the first silent time-out, so a pause longer than that lets the
        // rest of the failed block come in front of the resend, which is then
        // read as a rotation of the block, and every rotation passes the XOR.
        if (!timed_out && unit_check == check && sum != 0 &&
            (retries == 0 || line_is_silent(link, host))) {
          break;
        }
        // A block known to be bad is never data, whether it is asked for
        // again or ends the transfer (below firmware 422).
        received -= stored;
        if (!resends) {
          retries = kMaxRetries;
          download_state = kStoppedEarly;
          break;
        }
        ++retries;
        ++failures;
        progress.set_bar(ProgressBar::LinkQuality, kMaxRetries - retries, kMaxRetries);
        progress.set_efficiency(efficiency_text(attempts, failures));
        check = 0;
        sum = 0;
        // The rest of a paused block is still on its way: let it pass, or the
        // resend would be read shifted by it.
        if (!link.drain_until_silent(host, command::block_drain_limit, transfer_ends)) {
          if (!transfer_ends()) retries = kMaxRetries;  // a line that never goes quiet
          break;
        }
        link.write({command::resend_block, command::block_length});
      }
      if (retries >= kMaxRetries || download_state == kStoppedEarly) {
        progress.hide();
        download_state = kStoppedEarly;
        break;
      }
      if (received > last_shown + kBarStep) {
        progress.set_bar(ProgressBar::Downloading, received, length);
        last_shown = received;
      }
      watchdog.reset();
    }

    progress.hide();
    link.write(command::end_block_read);
    link.read(host);
    watchdog_run.stop();

    result.received = received;
    result.length = length;
    if (state.log_cancel) {
      progress.hide();
      host.message(MessageKind::Information, message::download_cancelled, Buttons::Ok);
      result.state = kNothingToSave;
      result.outcome = DownloadOutcome::Cancelled;
      return result;
    }
    result.state = download_state;
    if (download_state == kStoppedEarly) {
      result.outcome = DownloadOutcome::StoppedEarly;
      host.message(MessageKind::Warning, download_stopped_text(received, length, retries),
                   Buttons::Ok);
      // Nothing of a failed block stays behind the bytes that passed.
      std::fill(buffer.begin() + received, buffer.end(), uint8_t{0});
      store_and_decode(state, host, std::move(buffer), static_cast<uint32_t>(received),
                       kStoppedEarly, entry->rate, *identity);
      open_serial_port(link, link.serial_port_number);
    } else {
      result.outcome = DownloadOutcome::Complete;
      store_and_decode(state, host, std::move(buffer), static_cast<uint32_t>(length), kDownloaded,
                       entry->rate, *identity);
    }
    result.decoded = state.current().has_data();
    return result;
  } catch (const std::exception&) {
    host.message(MessageKind::Warning, program_problem_text(received, length), Buttons::Ok);
    progress.hide();
    link.drain(host, 8);
    result.outcome = DownloadOutcome::ProgramProblem;
    result.state = download_state;
    result.received = received;
    result.length = length;
    return result;
  }
}

DownloadResult get_log_dataSet(ProgramState& state, Host& host, const DownloadRequest& request) {
  state.current_data_set = request.target;
  DownloadResult result;
  if (state.log_index.is_lite()) {
    result = get_fram_data(state, host, request);
  } else if (state.log_index.is_flash()) {
    result = get_log_data(state, host, request);
  } else {
    return result;
  }
  automatic_save(state, host, request, result, request.session);
  return result;
}

DownloadResult downloadLogSession(ProgramState& state, Host& host, const DownloadRequest& request) {
  if (state.log_index.is_flash()) return get_log_dataSet(state, host, request);
  if (state.log_index.is_lite()) {
    DownloadRequest lite = request;
    lite.session = 1;
    return get_log_dataSet(state, host, lite);
  }
  return {};
}

}  // namespace ardenvis::core
