// "download": read the index, download one session into data set A or B,
// decode it, and save it as a log data file (or write its raw bytes).

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/port_option.h"
#include "files/file_dialogs.h"
#include "files/log_file.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "logger/download.h"
#include "logger/log_index.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

constexpr const char* kUsage =
    "download --port COMn|DEVICE --session N [--to A|B] (--out FILE.plr | --raw FILE) "
    "[--keep-partial] [--yes]";

double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Why `path` cannot take the download's output, or nothing when it can. A
// paced download takes minutes: a path that cannot be written is refused
// before the transfer, not after it. log_data: the file is a log data file,
// written through a temporary file in its folder.
std::optional<std::string> unwritable_reason(const std::string& path, bool log_data) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(path);
  if (path.empty() || file.filename().empty()) return "no file name";
  if (log_data) {
    const std::string_view extension = core::file_extension(path);
    if (!extension.empty() && extension != ".plr") return "a log data file must end in .plr";
  }
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) return "folder " + folder.string() + " does not exist";
  if (::access(folder.c_str(), W_OK | X_OK) != 0 && (log_data || !fs::exists(file, ec))) {
    return "folder " + folder.string() + " cannot be written";
  }
  if (fs::is_directory(file, ec)) return "it is a folder";
  if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0) {
    return "the file cannot be written";
  }
  return std::nullopt;
}

// Writes the first count raw bytes of the slot.
bool write_raw(const core::DataSet& slot, size_t count, const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(slot.raw.data()),
            static_cast<std::streamsize>(std::min(count, slot.raw.size())));
  return static_cast<bool>(out);
}

int download(Arguments& args) {
  auto port_value = args.option("--port");
  auto session_value = args.option("--session");
  auto to = args.option("--to").value_or("A");
  auto out = args.option("--out");
  auto raw = args.option("--raw");
  const bool yes = args.flag("--yes");
  const bool keep_partial = args.flag("--keep-partial");
  int session = 0;
  try {
    session = session_value ? std::stoi(*session_value) : 0;
  } catch (const std::exception&) {
    session = 0;
  }
  if (!port_value || session < 1 || session > core::kSessionSlots || (to != "A" && to != "B") ||
      (!out && !raw) || !args.rest().empty()) {
    std::fprintf(stderr, "usage: ardenvis-cli %s\n", kUsage);
    return 2;
  }
  auto number = port_number_or_complain(port_value, "download");
  if (!number) return 2;
  for (const auto& [path, log_data] : {std::pair{out, true}, std::pair{raw, false}}) {
    if (!path) continue;
    if (auto reason = unwritable_reason(*path, log_data)) {
      std::fprintf(stderr, "download: cannot write %s (%s); nothing downloaded\n", path->c_str(),
                   reason->c_str());
      return 2;
    }
  }

  ConsoleHost host(yes);
  serial::TSerialPort port;
  core::ProgramState state;
  state.link.port = &port;
  state.link.serial_port_number = static_cast<uint8_t>(*number);
  // A decoding fault offers to save what arrived; the answer comes from --yes.
  if (out) {
    state.save_log_data = [](core::ProgramState& s, core::Host& h) { core::save_log_data(s, h); };
  }
  if (!core::view_session_data(state, host)) return 1;

  const core::DataSetId target = to == "B" ? core::DataSetId::B : core::DataSetId::A;
  const double cpu_before = cpu_seconds();
  const auto start = std::chrono::steady_clock::now();
  const core::DownloadResult result =
      core::downloadLogSession(state, host, {session, target, false, false});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = cpu_seconds() - cpu_before;
  core::close_serial_port(state.link);
  const core::DataSet& slot = state.data_set(target);
  std::fprintf(stderr, "%ld of %ld bytes received; data set %s: %s, %u samples\n", result.received,
               result.length, to.c_str(), slot.info.label.c_str(), slot.sample_count());
  // The handshake, the transfer and decoding, as the user waits for them.
  std::fprintf(stderr, "download: %.2f s, %.0f bytes/s, CPU %.2f s (%.1f%% of one core)\n", seconds,
               seconds > 0 ? result.received / seconds : 0.0, cpu,
               seconds > 0 ? cpu / seconds * 100 : 0.0);

  const bool complete = result.outcome == core::DownloadOutcome::Complete;
  if (!complete && result.outcome != core::DownloadOutcome::StoppedEarly) return 1;
  if (!complete && !keep_partial) {
    // A file of that name may hold a good download: a partial one never
    // takes its place unasked.
    std::fprintf(stderr,
                 "download: the transfer stopped; nothing written (--keep-partial writes the "
                 "verified %ld bytes)\n",
                 result.received);
    return 1;
  }
  if (!complete && result.received == 0) {
    std::fprintf(stderr, "download: no block passed its check; nothing written\n");
    return 1;
  }
  bool saved = true;
  // Only the bytes that passed their block checks (all of them when complete).
  const size_t verified = complete ? slot.raw.size() : static_cast<size_t>(result.received);
  const auto refused_over_existing = [&](const std::string& path) {
    std::error_code ec;
    if (complete || yes || !std::filesystem::exists(path, ec)) return false;
    std::fprintf(stderr,
                 "download: %s exists; the verified part is not written over it without --yes\n",
                 path.c_str());
    return true;
  };
  if (raw && !refused_over_existing(*raw) && !write_raw(slot, verified, *raw)) {
    std::fprintf(stderr, "download: cannot write %s\n", raw->c_str());
    saved = false;
  }
  if (out && slot.has_data() && !refused_over_existing(*out)) {
    host.queue_file(*out);
    state.current_data_set = target;
    saved = core::save_log_data(state, host) && saved;
  }
  return complete && result.decoded && saved ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("download", std::string(kUsage) + "   download and save one session",
                     download);

}  // namespace
}  // namespace ardenvis::cli
