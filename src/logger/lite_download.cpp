#include "logger/lite_download.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "common/format.h"
#include "link/commands.h"
#include "link/exchange.h"
#include "link/unit_session.h"
#include "logger/log_index.h"

namespace ardenvis::core {

namespace {

// Ends the lite handshake from inside its identity step; its message has been
// shown already.
struct LiteRefused {};

struct LiteSettings {
  int log_pointer = 0;
  uint8_t sample_rate = 0;
  uint8_t channel = 0;
};

// Where each value sits in a copy of the replies the transfer starts from.
constexpr size_t kIdentityBytes = 16;
constexpr size_t kHeaderMemoryCode = kIdentityBytes;
constexpr size_t kHeaderStatusFlags = kHeaderMemoryCode + 1;
constexpr size_t kHeaderPointerLow = kHeaderStatusFlags + 1;
constexpr size_t kHeaderPointerHigh = kHeaderPointerLow + 1;
constexpr size_t kHeaderRate = kHeaderPointerHigh + 1;
constexpr size_t kHeaderChannel = kHeaderRate + 1;
constexpr size_t kHeaderPulsesCode = kHeaderChannel + 1;

// One copy of the replies the transfer starts from: the identity again (the
// handshake's own read has no copy to agree with), the memory code and, when
// the lite logger knows it, the status flags, the log pointer, the rate, the
// recorded channel and the pulses-per-revolution code. Every byte is owed:
// false at the first read that times out.
bool read_header_copy(UnitLink& link, Host& host, std::vector<uint8_t>& copy) {
  copy.resize(kIdentityBytes);
  link.write(command::identity);
  if (!read_owed(link, host, copy.data(), kIdentityBytes)) return false;
  const auto ask = [&](std::initializer_list<uint8_t> request) {
    return ask_owed_byte(link, host, request, copy);
  };
  if (!ask({command::memory_type})) return false;
  if (!lite_memory_description(copy[kHeaderMemoryCode])) return true;
  return ask({command::logger_status}) && ask({command::read_memory, 0, kLitePointerLowAddress}) &&
         ask({command::read_memory, 0, kLitePointerHighAddress}) &&
         ask({command::read_memory, 0, kLiteRateAddress}) &&
         ask({command::read_config, kLiteChannelConfigAddress}) &&
         ask({command::read_config, kPulsesPerRevAddress});
}

void refuse_other_unit(UnitLink& link, Host& host) {
  host.message(MessageKind::Error, message::lite_not_connected, Buttons::Abort);
  link.drain(host, 8);
}

// Where each channel's sample bytes go in the rebuilt record (offsets from the
// header byte, in the order received).
struct ChannelPlace {
  int bytes;
  int offsets[2];
};
constexpr ChannelPlace kChannelPlaces[4] = {
    {1, {7, 0}},    // oil pressure
    {2, {5, 6}},    // engine speed
    {2, {3, 4}},    // road speed
    {2, {10, 11}},  // lap distance
};

// A unit silent this long (about two seconds of read time-outs) has stopped,
// not paused.
constexpr int kStoppedUnitSilentReads = 40;

// After a time-out inside a block the unit may only have paused and still owe
// the rest of the block (owed bytes, its check byte included): let that pass,
// then wait for a silent line, so none of it meets the next exchange.
void let_block_rest_pass(UnitLink& link, Host& host, long owed, const bool& cancel) {
  int silent_reads = 0;
  while (owed > 0 && silent_reads < kStoppedUnitSilentReads && !cancel) {
    if (link.try_read(host)) {
      --owed;
      silent_reads = 0;
    } else {
      ++silent_reads;
    }
  }
  link.drain_until_silent(host, command::block_drain_limit, [&] { return cancel; });
}

}  // namespace

long lite_raw_length(int log_pointer, int channel) {
  const long recorded = std::max(0, log_pointer - kLiteFirstLogAddress);
  const int per_sample = channel == 0 ? 1 : 2;
  // An odd byte count on a two-byte channel leaves half a sample: it is not a
  // sample and gets no record.
  return recorded / per_sample * kLiteRecordBytes;
}

DownloadResult get_fram_data(ProgramState& state, Host& host, const DownloadRequest& request) {
  DownloadResult result;
  state.current_data_set = request.target;
  UnitLink& link = state.link;
  if (!link.serial_port_open) {
    host.message(MessageKind::Warning, message::select_free_port, Buttons::Ok);
    return result;
  }
  uint8_t download_state = kDownloaded;
  AnalysisProgress& progress = host.analysis_progress();
  long position = 0;
  long length = 0;
  try {
    LiteSettings lite;
    UnitIdentity identity;
    bool busy = false;
    HandshakeResult handshake = HandshakeResult::Ok;
    try {
      handshake = run_handshake(link, host, Operation::LiteDownload, [&] {
        if (link.last_identity.unit_type != 2) {
          refuse_other_unit(link, host);
          throw LiteRefused{};
        }
        host.busy_cursor(true);
        busy = true;
        std::vector<uint8_t> header;
        const bool agreed = read_agreeing_copies(
            link, host,
            [&](std::vector<uint8_t>& copy) { return read_header_copy(link, host, copy); }, header);
        // The version is read and judged next: its error box comes with the
        // default cursor.
        host.busy_cursor(false);
        busy = false;
        if (!agreed) {
          host.message(MessageKind::Warning, message::problem_talking_short, Buttons::Ok);
          throw LiteRefused{};
        }
        const IdentityReply reply = parse_identity(header.data(), kIdentityBytes);
        if (reply.unit_type != 2) {
          refuse_other_unit(link, host);
          throw LiteRefused{};
        }
        const auto memory = lite_memory_description(header[kHeaderMemoryCode]);
        if (!memory) {
          host.message(MessageKind::Error, message::memory_type_failed, Buttons::Abort);
          throw LiteRefused{};
        }
        state.log_index.memory = *memory;
        state.log_index.status_flags = header[kHeaderStatusFlags];
        lite.log_pointer = header[kHeaderPointerLow] | (header[kHeaderPointerHigh] << 8);
        lite.sample_rate = header[kHeaderRate];
        lite.channel = header[kHeaderChannel];
        uint8_t pulses_per_rev = header[kHeaderPulsesCode];
        if (pulses_per_rev != 1 && pulses_per_rev != 2) pulses_per_rev = 1;
        identity = identity_from(reply, pulses_per_rev);
      });
    } catch (const LiteRefused&) {
      if (busy) host.busy_cursor(false);
      return result;
    }
    if (busy) host.busy_cursor(false);
    if (handshake != HandshakeResult::Ok) return result;

    if (lite.channel >= 4) {
      host.message(MessageKind::Error, message::lite_channel_unknown, Buttons::Abort);
      return result;
    }
    length = lite_raw_length(lite.log_pointer, lite.channel);
    if (length == 0) {
      result.state = kNothingToSave;
      host.message(MessageKind::Information, message::no_data_to_download, Buttons::Ok);
      return result;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(length));

    {
      BusyCursor busy_cursor(host);
      progress.set_stage("Downloading");
      progress.set_bar(ProgressBar::Downloading, 0, length);
      progress.set_bar(ProgressBar::LinkQuality, 10, 10);
      progress.set_efficiency("100.00%");
      progress.show();
      state.log_cancel = false;
      long last_shown = 0;
      int address = kLiteFirstLogAddress;
      const ChannelPlace& place = kChannelPlaces[lite.channel];
      const int samples_per_block = command::block_length / place.bytes;

      // Events run in the reads, while the unit sends, not in the pause
      // between a block's check byte and the next request.
      while (position < length && !state.log_cancel) {
        uint8_t check = 0;
        link.write({command::lite_block_read, static_cast<uint8_t>(address & 0xFF),
                    static_cast<uint8_t>((address >> 8) & 0xFF), command::block_length});
        // A read that timed out is no sample byte: the unit paused or fell
        // silent, and what follows is out of step. The transfer stops there,
        // as at a bad check byte.
        const long block_start = position;
        long block_bytes = 0;  // bytes of this block received
        bool timed_out = false;
        const auto read_sample_byte = [&]() -> uint8_t {
          const std::optional<uint8_t> byte = link.try_read(host);
          timed_out = !byte;
          if (byte) ++block_bytes;
          check ^= byte.value_or(0);
          return byte.value_or(0);
        };
        for (int s = 0; s < samples_per_block && !timed_out; ++s) {
          if (position < length) {
            uint8_t* record = &buffer[static_cast<size_t>(position)];
            std::fill(record, record + kLiteRecordBytes, uint8_t{0});
            record[0] = kLiteRecordHeader;
            for (int b = 0; b < place.bytes && !timed_out; ++b) {
              record[place.offsets[b]] = read_sample_byte();
            }
            position += kLiteRecordBytes;
          } else {
            // The recording ended inside this block: the rest counts only
            // towards the check.
            for (int b = 0; b < place.bytes && !timed_out; ++b) read_sample_byte();
          }
        }
        const std::optional<uint8_t> unit_check = timed_out ? std::nullopt : link.try_read(host);
        if (!unit_check || *unit_check != check) {
          if (!unit_check) {
            let_block_rest_pass(link, host, command::block_length + 1 - block_bytes,
                                state.log_cancel);
          }
          // A block that failed is never data: a byte lost or added inside
          // it shifts every sample after that point, so none of its samples
          // is kept.
          std::fill(buffer.begin() + block_start, buffer.begin() + position, uint8_t{0});
          position = block_start;
          progress.hide();
          download_state = kStoppedEarly;
          break;
        }
        if (position > last_shown + command::block_length) {
          progress.set_bar(ProgressBar::Downloading, position, length);
          last_shown = position;
        }
        address += command::block_length;
      }
      progress.hide();
    }

    result.received = position;
    result.length = length;
    if (state.log_cancel) {
      host.message(MessageKind::Information, message::lite_download_cancelled, Buttons::Ok);
      result.state = kNothingToSave;
      result.outcome = DownloadOutcome::Cancelled;
      return result;
    }
    result.state = download_state;
    if (download_state == kStoppedEarly) {
      result.outcome = DownloadOutcome::StoppedEarly;
      host.message(MessageKind::Warning, lite_download_stopped_text(position, length), Buttons::Ok);
      store_and_decode(state, host, std::move(buffer), static_cast<uint32_t>(position),
                       kStoppedEarly, lite.sample_rate, identity);
    } else {
      result.outcome = DownloadOutcome::Complete;
      store_and_decode(state, host, std::move(buffer), static_cast<uint32_t>(length), kDownloaded,
                       lite.sample_rate, identity);
    }
    result.decoded = state.current().has_data();
    return result;
  } catch (const std::exception&) {
    host.message(MessageKind::Warning, program_problem_text(position, length), Buttons::Ok);
    progress.hide();
    result.outcome = DownloadOutcome::ProgramProblem;
    result.state = download_state;
    result.received = position;
    result.length = length;
    return result;
  }
}

}  // namespace ardenvis::core
