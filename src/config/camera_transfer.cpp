// Uploading the camera database into the unit's flash and reading it back.

#include <algorithm>
#include <chrono>
#include <exception>

#include "common/format.h"
#include "config/camera_database.h"
#include "config/config_transfer.h"
#include "link/commands.h"
#include "link/exchange.h"
#include "link/unit_session.h"
#include "logger/download.h"

namespace ardenvis::core {

namespace {

constexpr int kWatchdogInterval_ms = 1000;
constexpr int kMaxRetries = 10;
constexpr long kBarStep = 1000;
constexpr uint8_t kPadding = 0xAA;
constexpr int kIdentityReplyBytes = 16;
constexpr int kFirstVersionWithReread = 424;
constexpr auto kPauseBeforeEnd = std::chrono::milliseconds(40);
// A host whose timers never tick must not leave a reply wait hanging: this
// many silent reads (about 10 s) count as silence past the watchdog's limit.
constexpr int kMaxSilentReads = 200;
// Unit replies to an upload block that reject it.
constexpr uint8_t kRejected = 0;
constexpr uint8_t kRejectedAgain = 2;

// Waits for the unit's one-byte reply for as long as the watchdog allows: a
// reply that comes after the line's time-out is still the reply. Empty when
// the line stayed silent past that limit or the transfer was cancelled.
std::optional<uint8_t> await_reply(UnitLink& link, Host& host, const CameraWatchdog& watchdog,
                                   const bool& cancel) {
  for (int silent = 0; silent < kMaxSilentReads; ++silent) {
    if (const auto byte = link.try_read(host)) return byte;
    if (watchdog.expired() || cancel) break;
  }
  return std::nullopt;
}

// Lets events run for the given time (the pause before the end of an upload).
void delay(Host& host, std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + time;
  do {
    host.process_events();
  } while (std::chrono::steady_clock::now() < end);
}

// The "i" and "a" queries both transfers make; returns the memory size.
int read_memory_size(UnitLink& link, Host& host) {
  link.write(command::identity);
  link.drain(host, kIdentityReplyBytes);
  link.write(command::flash_memory_type);
  link.read(host);
  return memory_size_of_code(link.read(host));
}

void show_link_quality(AnalysisProgress& progress, int retries, long blocks, long failures) {
  progress.set_bar(ProgressBar::LinkQuality, kMaxRetries - retries, kMaxRetries);
  progress.set_efficiency(efficiency_text(blocks, failures));
}

void start_progress(AnalysisProgress& progress, const char* stage, long total) {
  progress.set_stage(stage);
  progress.set_bar(ProgressBar::Downloading, 0, total);
  progress.set_bar(ProgressBar::LinkQuality, kMaxRetries, kMaxRetries);
  progress.set_efficiency("100.00%");
  progress.show();
}

}  // namespace

namespace {

// How the memory check's read-back ended.
enum class ReadBackEnd {
  Refused,    // the session refused it (its message shown)
  NoMemory,   // no camera memory fitted
  NoData,     // nothing loaded to compare with
  Cancelled,  // by the user or the watchdog
  Stopped,    // ten bad reads of a block, or one from a unit that cannot resend
  Complete,   // camera.read_back holds the unit's copy
};

// The memory check's exchange: the session, "i" and "a", then the unit's
// database read back block by block into camera.read_back. `memo` gets the
// check's lines (nullptr: none). result.position follows the bytes read and
// checked; blocks and failures are counted; `problem` is the problem flag.
ReadBackEnd read_back_database(ProgramState& state, Host& host, InformationMemo* memo,
                               CameraTransferResult& result, bool& problem) {
  UnitLink& link = state.link;
  TCameraFlashData& camera = state.camera;
  const long total = result.total;
  long& pos = result.position;
  pos = 0;
  problem = false;
  AnalysisProgress& progress = host.analysis_progress();
  CameraWatchdog watchdog(state, progress);
  WatchdogRun<CameraWatchdog> watchdog_run(host, watchdog, kWatchdogInterval_ms);
  if (run_handshake(link, host, Operation::ReadCameraDatabase) != HandshakeResult::Ok) {
    return ReadBackEnd::Refused;
  }
  const int size = read_memory_size(link, host);
  if (memo) {
    memo->clear();
    memo->add("Checking Dash Version...");
    memo->add(format("Ver: %1.2f", link.unit.version_number / 100.0));
    memo->add(format("Memory: %2.2f Mbits", size / 100.0));
  }
  if (size == 0) return ReadBackEnd::NoMemory;
  if (total == 0) return ReadBackEnd::NoData;
  camera.read_back.assign(static_cast<size_t>(total), 0);

  start_progress(progress, "Downloading", total);
  link.write(command::block_start);
  for (int i = 0; i < 4; ++i) link.write(0);  // page 0, offset 0
  link.read(host);
  state.config_cancel = false;
  watchdog_run.start();

  const bool rereads = link.unit.version_number >= kFirstVersionWithReread;
  bool versions_shown = false;
  long last_shown = 0;
  while (pos < total && !state.config_cancel && !watchdog.expired()) {
    host.process_events();
    if (state.config_cancel || watchdog.expired()) break;  // ask for no block we won't read
    link.write(command::next_block);
    link.write(command::block_length);
    int retries = 0;
    bool accepted = false;
    bool stop = false;
    while (retries < kMaxRetries && !watchdog.expired()) {
      uint8_t checksum = 0;
      long stored = 0;
      // A time-out's 0 is never data: the block fails and is read again.
      bool timed_out = false;
      for (int i = 0; i < command::block_length && !state.config_cancel; ++i) {
        const auto read = link.try_read(host);
        timed_out = timed_out || !read;
        const uint8_t byte = read.value_or(0);
        if (pos < total) {
          camera.read_back[static_cast<size_t>(pos++)] = byte;
          ++stored;
        }
        checksum ^= byte;
      }
      // A cancel in the middle of a block is not a bad block; what came of
      // it is not counted as read.
      if (state.config_cancel) {
        pos -= stored;
        break;
      }
      const auto check_byte = link.try_read(host);
      const uint8_t unit_checksum = check_byte.value_or(0);
      timed_out = timed_out || !check_byte;
      ++result.blocks;
      // A block read again must leave a silent line: the rest of a block
      // paused past the drain's time-out comes in front of the repeat, which
      // then reads as a rotation of the block and passes the XOR.
      if (!timed_out && unit_checksum == checksum && (retries == 0 || line_is_silent(link, host))) {
        accepted = true;
        break;
      }
      if (!rereads) {
        stop = true;
        break;
      }
      pos -= stored;
      ++retries;
      ++result.failures;
      show_link_quality(progress, retries, result.blocks, result.failures);
      if (retries >= kMaxRetries || watchdog.expired() || state.config_cancel) break;
      // What is still on its way from the failed block must not be read as
      // the start of the repeated one.
      link.drain_until_silent(host, command::block_drain_limit);
      link.write(command::resend_block);
      link.write(command::block_length);
    }
    if (!accepted) {
      if (retries >= kMaxRetries || stop) {
        progress.hide();
        problem = true;
      }
      break;
    }
    if (memo && !versions_shown && pos > 4) {
      versions_shown = true;
      const auto& bytes = camera.read_back;
      memo->add(" ");
      memo->add("Checking Database Version...");
      memo->add(format("Pocket GPS Version: %1.3f", (bytes[3] | (bytes[4] << 8)) / 1000.0));
      memo->add(format("Orvik File Format: %1.3f", (bytes[1] | (bytes[2] << 8)) / 1000.0));
    }
    if (pos > last_shown + kBarStep) {
      progress.set_bar(ProgressBar::Downloading, pos, total);
      last_shown = pos;
    }
    watchdog.reset();
  }

  progress.hide();
  // A read-back that ended inside a block leaves the rest of it on the line.
  if (pos < total) link.drain_until_silent(host, command::block_drain_limit);
  link.write(command::end_block_read);
  link.read(host);
  watchdog_run.stop();

  if (state.config_cancel) return ReadBackEnd::Cancelled;
  if (problem) return ReadBackEnd::Stopped;
  return ReadBackEnd::Complete;
}

// How many leading bytes of the unit's copy match the loaded image.
long matching_prefix(const TCameraFlashData& camera) {
  const auto differs = std::mismatch(camera.data.begin(), camera.data.end(),
                                     camera.read_back.begin(), camera.read_back.end());
  return static_cast<long>(differs.first - camera.data.begin());
}

}  // namespace

void CameraWatchdog::tick() {
  ++counter_;  // a byte: 255 is followed by 0
  if (counter_ >= 2) {
    state_.config_cancel = true;
    state_.log_cancel = true;
    progress_.hide();
  }
}

CameraTransferResult writeFlashData(ProgramState& state, Host& host, InformationMemo& memo) {
  CameraTransferResult result;
  UnitLink& link = state.link;
  const std::vector<uint8_t>& data = state.camera.data;
  const long total = state.camera.total_length == 0 ? 0 : static_cast<long>(data.size());
  result.total = total;
  // The erase that opens the upload takes every logged session with it: ask
  // first, as clearing the log memory does. "Yes" (download them first)
  // leaves the unit untouched. With nothing loaded nothing is erased.
  if (total != 0 && host.message(MessageKind::Warning, camera_message::erase_question,
                                 Buttons::YesNo) != Answer::No) {
    return result;
  }
  AnalysisProgress& progress = host.analysis_progress();
  CameraWatchdog watchdog(state, progress);
  WatchdogRun<CameraWatchdog> watchdog_run(host, watchdog, kWatchdogInterval_ms);
  BusyCursor busy(host);
  long pos = 0;
  try {
    if (run_handshake(link, host, Operation::UploadCameraDatabase) != HandshakeResult::Ok) {
      return result;
    }
    if (read_memory_size(link, host) == 0) {
      host.message(MessageKind::Warning, camera_message::no_memory_fitted, Buttons::Ok);
      result.outcome = CameraTransferOutcome::NoMemory;
      return result;
    }
    if (total == 0) {
      host.message(MessageKind::Information, camera_message::no_data_to_upload, Buttons::Ok);
      result.outcome = CameraTransferOutcome::NoData;
      return result;
    }

    // The erase can take far longer than a read's time-out; the progress
    // window and the watchdog are up before it so its wait can be cancelled.
    start_progress(progress, "Uploading", total);
    state.config_cancel = false;
    watchdog_run.start();
    link.write(command::erase);
    await_reply(link, host, watchdog, state.config_cancel);
    watchdog.reset();

    bool problem = false;
    long last_shown = 0;
    while (pos < total && !state.config_cancel && !watchdog.expired()) {
      host.process_events();
      if (state.config_cancel || watchdog.expired()) break;  // announce no block we won't send
      link.write(command::write_block);
      link.write(command::block_length);
      const long block_start = pos;
      int retries = 0;
      bool accepted = false;
      while (true) {
        uint8_t checksum = 0;
        for (int i = 0; i < command::block_length; ++i) {
          const uint8_t byte = pos < total ? data[static_cast<size_t>(pos++)] : kPadding;
          link.write(byte);
          checksum ^= byte;
        }
        ++result.blocks;
        link.write(checksum);
        const auto reply = await_reply(link, host, watchdog, state.config_cancel);
        if (reply && *reply != kRejected && *reply != kRejectedAgain) {
          accepted = true;
          break;
        }
        ++retries;
        ++result.failures;
        show_link_quality(progress, retries, result.blocks, result.failures);
        pos = block_start;
        if (retries >= kMaxRetries || watchdog.expired() || state.config_cancel) break;
        // The rejection may have been an acceptance corrupted on its way:
        // nothing of it may be read as the reply to the block sent next.
        settle_line(link, host);
        link.write(command::write_block);
        link.write(command::block_length);
      }
      if (!accepted) {
        if (retries >= kMaxRetries) {
          progress.hide();
          problem = true;
        }
        break;
      }
      if (pos > last_shown + kBarStep) {
        progress.set_bar(ProgressBar::Downloading, pos, total);
        last_shown = pos;
      }
      watchdog.reset();
    }

    delay(host, kPauseBeforeEnd);
    link.write(command::write_block);
    link.write(0);
    link.read(host);
    progress.hide();
    watchdog_run.stop();

    result.position = pos;
    // "t" carries no address: a block whose acceptance came back corrupted
    // and was sent again is stored twice, and everything after it sits one
    // block late. After any rejection, or replies that ended out of step (a
    // byte still on the line after the end's reply), only the unit's copy
    // read back and compared can say the upload is good.
    if (!state.config_cancel && !problem && (result.failures > 0 || !line_is_silent(link, host))) {
      memo.add(" ");
      memo.add(camera_message::checking_upload);
      CameraTransferResult check;
      check.total = total;
      bool check_problem = false;
      const ReadBackEnd end = read_back_database(state, host, nullptr, check, check_problem);
      const long verified = std::min(check.position, matching_prefix(state.camera));
      if (end != ReadBackEnd::Complete || verified < total) {
        result.outcome = CameraTransferOutcome::Stopped;
        result.position = verified;
        host.message(MessageKind::Warning, upload_problem_text(verified, total), Buttons::Ok);
        memo.add(camera_message::write_again);
        open_serial_port(link, link.serial_port_number);
        return result;
      }
      memo.add(camera_message::upload_checked);
    }
    if (state.config_cancel) {
      result.outcome = CameraTransferOutcome::Cancelled;
      host.message(MessageKind::Information, camera_message::upload_cancelled, Buttons::Ok);
      open_serial_port(link, link.serial_port_number);
    } else if (problem) {
      result.outcome = CameraTransferOutcome::Stopped;
      host.message(MessageKind::Warning, upload_problem_text(pos, total), Buttons::Ok);
      open_serial_port(link, link.serial_port_number);
    } else {
      result.outcome = CameraTransferOutcome::Succeeded;
      host.message(MessageKind::Information, camera_message::upload_ok, Buttons::Ok);
    }
    return result;
  } catch (const std::exception&) {
    host.message(MessageKind::Warning, program_problem_text(pos, total), Buttons::Ok);
    progress.hide();
    link.drain(host, 8);
    result.outcome = CameraTransferOutcome::ProgramProblem;
    result.position = pos;
    return result;
  }
}

CameraTransferResult readFlashData(ProgramState& state, Host& host, InformationMemo& memo) {
  CameraTransferResult result;
  TCameraFlashData& camera = state.camera;
  const long total = camera.total_length == 0 ? 0 : static_cast<long>(camera.data.size());
  result.total = total;
  BusyCursor busy(host);
  try {
    bool problem = false;
    switch (read_back_database(state, host, &memo, result, problem)) {
      case ReadBackEnd::Refused:
        return result;
      case ReadBackEnd::NoMemory:
        host.message(MessageKind::Warning, camera_message::no_memory_fitted, Buttons::Ok);
        memo.add(camera_message::no_memory_fitted);
        result.outcome = CameraTransferOutcome::NoMemory;
        return result;
      case ReadBackEnd::NoData:
        host.message(MessageKind::Information, camera_message::no_file_to_check, Buttons::Ok);
        result.outcome = CameraTransferOutcome::NoData;
        return result;
      case ReadBackEnd::Cancelled:
        result.outcome = CameraTransferOutcome::Cancelled;
        if (problem) {
          host.message(MessageKind::Warning, camera_message::download_problem, Buttons::Ok);
        } else {
          host.message(MessageKind::Information, camera_message::download_cancelled, Buttons::Ok);
        }
        return result;
      case ReadBackEnd::Stopped:
        result.outcome = CameraTransferOutcome::Stopped;
        host.message(MessageKind::Warning, camera_download_stopped_text(result.position, total),
                     Buttons::Ok);
        return result;
      case ReadBackEnd::Complete:
        break;
    }

    memo.add(" ");
    memo.add("Checking Camera Data...");
    memo.add(format("Checking %ld bytes of data...", total));
    if (camera.read_back == camera.data) {
      result.outcome = CameraTransferOutcome::Succeeded;
      host.message(MessageKind::Information, camera_message::test_passed, Buttons::Ok);
      memo.add("Test Passed...");
    } else {
      result.outcome = CameraTransferOutcome::Differs;
      host.message(MessageKind::Warning, camera_message::test_failed, Buttons::Ok);
      memo.add("Test Failed!!!");
    }
    return result;
  } catch (const std::exception&) {
    host.message(MessageKind::Warning, program_problem_text(result.position, total), Buttons::Ok);
    host.analysis_progress().hide();
    state.link.drain(host, 8);
    result.outcome = CameraTransferOutcome::ProgramProblem;
    return result;
  }
}

}  // namespace ardenvis::core
