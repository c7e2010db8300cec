// pelorant-sim: the simulated unit behind a real pseudo-terminal, published as
// a COM number in the port directory, so the program and the command-line tool
// use it exactly like hardware.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/port_directory.h"
#include "sim/camera_flash.h"
#include "sim/config_memory.h"
#include "sim/live_frames.h"
#include "sim/log_memory.h"
#include "sim/simulated_unit.h"
#include "sim/stored_sessions.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void on_signal(int) { g_stop = 1; }

void usage() {
  std::fprintf(stderr,
               "usage: pelorant-sim [--port N] [--fast] [--status S] [--second-status S]\n"
               "                    [--firmware VERSION] [--unit-type T] [--silent]\n"
               "  --port N        publish as COMN (1..9, default 1)\n"
               "  --fast          do not pace output at 115200 baud\n"
               "  --status S      reply to the first status query (85 = ready,\n"
               "                  187 no link, 188 moving, 189 engine, 190 logger)\n"
               "  --second-status S  reply to the second status query\n"
               "  --firmware V    firmware version number, e.g. 422\n"
               "  --unit-type T   1 or 5 flash logger, 2 lite logger\n"
               "  --silent        a switched-off unit: never answers\n"
               "  --line-faults SEED[:RATE]  random faults on the output (drop, noise, flip,\n"
               "                  pause, late reply, silence), RATE expected per transfer\n"
               "                  (default 1.5: 0-3 a transfer); counts printed at exit\n"
               "  --line-stats    print at exit where the line's time went (busy, idle, and\n"
               "                  each wait of 40 ms or more with the request after it)\n"
               "log memory:\n"
               "  --sessions N    synthesised sessions stored (default 3; above 16 they wrap)\n"
               "  --laps L        laps of each session (default 3)\n"
               "  --rate R        sample rate of the sessions, 10 or 20 (default 10)\n"
               "  --session-bytes B  cut the newest session to B bytes (e.g. 250000)\n"
               "  --memory-code C flash memory code: 9, 11 or 15 (default 15)\n"
               "  --memory-full   set the index's memory-full bit\n"
               "  --bad-block B[:N]  send block B (0 = the first) with a bad check byte\n"
               "                  N times (default 1; \"always\" for every time); repeatable\n"
               "  --pause-block N:K:MS  after K bytes of block N (0 = the first; K = 254:\n"
               "                  before its check byte) fall silent for MS ms, then go\n"
               "                  on; once per block read; repeatable\n"
               "  --stall-after N fall silent after N bytes of a block read\n"
               "  --erase-fails   refuse to clear the log memory\n"
               "  --pulses-per-rev P  configuration byte 14 (default 1)\n"
               "camera database upload:\n"
               "  --reject-block B[:N]  answer upload block B with 2 (rejected) N times\n"
               "  --reply-delay MS  silence before every upload block reply\n"
               "  --erase-delay MS  silence before the erase's reply\n"
               "lite logger (--unit-type 2):\n"
               "  --lite-memory-code C  8 or 32 (default 32)\n"
               "  --lite-channel C  recorded channel 0..3 (default 1)\n"
               "  --lite-bytes N  recorded bytes (default 4000)\n"
               "  --lite-full     logger status: memory full\n"
               "configuration:\n"
               "  --config-fail-eeprom A  acknowledge the EEPROM write of address A with 1\n"
               "  --config-fail-fram A    likewise for the FRAM (bank 0)\n"
               "  --config-silent-after N fall silent after N configuration replies\n");
  std::fputs(ardenvis::sim::kLiveOptionsUsage, stderr);
}

bool parse_int(const char* text, int& value) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!end || *end) return false;
  value = static_cast<int>(v);
  return true;
}

// "N:K:MS" with N >= 0, 0 <= K <= 254 and MS > 0.
bool parse_pause(const std::string& text, int& block, ardenvis::sim::BlockPause& pause) {
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (second == std::string::npos) return false;
  return parse_int(text.substr(0, first).c_str(), block) &&
         parse_int(text.substr(first + 1, second - first - 1).c_str(), pause.after_bytes) &&
         parse_int(text.substr(second + 1).c_str(), pause.ms) && block >= 0 &&
         pause.after_bytes >= 0 && pause.after_bytes <= 254 && pause.ms > 0;
}

// "SEED" or "SEED:RATE" with RATE >= 0.
bool parse_line_faults(const std::string& text, ardenvis::sim::LineFaultOptions& options) {
  const size_t colon = text.find(':');
  char* end = nullptr;
  const std::string seed = text.substr(0, colon);
  options.seed = std::strtoull(seed.c_str(), &end, 10);
  if (seed.empty() || *end) return false;
  if (colon == std::string::npos) return true;
  const std::string rate = text.substr(colon + 1);
  options.rate = std::strtod(rate.c_str(), &end);
  return !rate.empty() && !*end && options.rate >= 0;
}

// Where the line's time went, for the paced download bench: time busy with
// the unit's bytes, and the idle spells between a reply's last byte and the
// next request, by size: a turnaround (under 2 ms: the program and the
// pseudo-terminal answering), a stall (2-40 ms: a process not scheduled on a
// busy machine) and a wait (from 40 ms: a read time-out run out on purpose).
class LineStats {
 public:
  void busy(double seconds) { busy_ += seconds; }
  // An idle spell that ended with `request` (the bytes the program sent
  // in it); a wait keeps its request, to tell which read ran out.
  void idle(double seconds, const std::string& request) {
    spells_.push_back(seconds);
    if (seconds >= 0.040) waits_.push_back({seconds, request});
  }
  std::string text() {
    std::string listed;
    for (const auto& [seconds, request] : waits_) {
      char line[160];
      std::snprintf(line, sizeof line, "pelorant-sim: wait %.1f ms, then %s\n", seconds * 1000,
                    request.c_str());
      listed += line;
    }
    std::sort(spells_.begin(), spells_.end());
    double sums[3] = {};
    int counts[3] = {};
    for (double s : spells_) {
      const int kind = s < 0.002 ? 0 : s < 0.040 ? 1 : 2;
      sums[kind] += s;
      ++counts[kind];
    }
    const double idle = sums[0] + sums[1] + sums[2];
    auto at = [&](double share) {
      return spells_.empty() ? 0.0 : spells_[static_cast<size_t>(share * (spells_.size() - 1))];
    };
    char out[512];
    std::snprintf(out, sizeof out,
                  "pelorant-sim: line busy %.3f s, idle %.3f s (%.2f%% busy)\n"
                  "pelorant-sim: idle spells %zu: median %.3f ms, 90%% %.3f ms, 99%% %.3f ms, "
                  "longest %.1f ms\n"
                  "pelorant-sim: turnarounds %d: %.3f s; stalls %d: %.3f s; waits %d: %.3f s\n",
                  busy_, idle, busy_ + idle > 0 ? busy_ / (busy_ + idle) * 100 : 0.0,
                  spells_.size(), at(0.5) * 1000, at(0.9) * 1000, at(0.99) * 1000, at(1.0) * 1000,
                  counts[0], sums[0], counts[1], sums[1], counts[2], sums[2]);
    return out + listed;
  }

 private:
  double busy_ = 0;
  std::vector<double> spells_;
  std::vector<std::pair<double, std::string>> waits_;
};

// A request as the line stats list it: printable bytes as themselves, the
// rest as numbers ("f 254").
std::string request_text(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    if (b >= 'a' && b <= 'z') {
      text += static_cast<char>(b);
    } else {
      text += std::to_string(b);
    }
  }
  return text.size() > 60 ? text.substr(0, 57) + "..." : text;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ardenvis;
  sim::UnitOptions options;
  sim::SessionSetup setup;
  sim::LogMemoryOptions memory_options;
  sim::CameraFlashOptions camera_options;
  sim::ConfigMemoryOptions config_options;
  bool memory_full = false;
  int pulses_per_rev = 1;
  int lite_channel = 1;
  int lite_bytes = 4000;
  int port_number = 1;
  bool fast = false;
  sim::LiveOptions live_options;
  std::optional<sim::LineFaultOptions> line_faults;
  bool print_line_stats = false;
  for (int i = 1; i < argc; ++i) {
    bool bad_live_option = false;
    if (sim::take_live_option(argc, argv, i, live_options, bad_live_option)) {
      if (!bad_live_option) continue;
      usage();
      return 2;
    }
    std::string_view arg = argv[i];
    auto next_int = [&](int& value) {
      if (i + 1 >= argc || !parse_int(argv[i + 1], value)) {
        usage();
        std::exit(2);
      }
      ++i;
    };
    int v = 0;
    if (arg == "--port") {
      next_int(port_number);
    } else if (arg == "--fast") {
      fast = true;
    } else if (arg == "--status") {
      next_int(v);
      options.status = static_cast<uint8_t>(v);
    } else if (arg == "--second-status") {
      next_int(v);
      options.second_status = static_cast<uint8_t>(v);
    } else if (arg == "--firmware") {
      next_int(v);
      sim::set_firmware_version(options, v);
    } else if (arg == "--unit-type") {
      next_int(v);
      options.unit_type = static_cast<uint16_t>(v);
    } else if (arg == "--silent") {
      options.silent = true;
    } else if (arg == "--line-faults") {
      sim::LineFaultOptions faults;
      if (i + 1 >= argc || !parse_line_faults(argv[++i], faults)) {
        usage();
        return 2;
      }
      line_faults = faults;
    } else if (arg == "--line-stats") {
      print_line_stats = true;
    } else if (arg == "--sessions") {
      next_int(setup.sessions);
    } else if (arg == "--laps") {
      next_int(setup.laps);
    } else if (arg == "--rate") {
      next_int(v);
      setup.sample_rate = static_cast<uint8_t>(v);
    } else if (arg == "--session-bytes") {
      next_int(v);
      setup.newest_bytes = static_cast<size_t>(std::max(v, 0));
    } else if (arg == "--memory-code") {
      next_int(v);
      memory_options.flash_memory_code = static_cast<uint8_t>(v);
    } else if (arg == "--memory-full") {
      memory_full = true;
    } else if (arg == "--bad-block") {
      if (i + 1 >= argc) {
        usage();
        return 2;
      }
      std::string value = argv[++i];
      const size_t colon = value.find(':');
      int block = 0, times = 1;
      const std::string count = colon == std::string::npos ? "" : value.substr(colon + 1);
      if (!parse_int(value.substr(0, colon).c_str(), block) ||
          !(count.empty() || count == "always" || parse_int(count.c_str(), times))) {
        usage();
        return 2;
      }
      memory_options.bad_blocks[block] = count == "always" ? sim::kAlways : times;
    } else if (arg == "--pause-block") {
      if (i + 1 >= argc) {
        usage();
        return 2;
      }
      int block = 0;
      sim::BlockPause pause;
      if (!parse_pause(argv[++i], block, pause)) {
        usage();
        return 2;
      }
      memory_options.pause_blocks[block] = pause;
    } else if (arg == "--stall-after") {
      next_int(v);
      memory_options.stall_after = v;
    } else if (arg == "--reject-block") {
      int block = 0, times = 1;
      const char* text = i + 1 < argc ? argv[++i] : "";
      if (std::sscanf(text, "%d:%d", &block, &times) < 1) {
        usage();
        return 2;
      }
      camera_options.rejected_blocks[block] = times;
    } else if (arg == "--reply-delay") {
      next_int(camera_options.reply_delay_ms);
    } else if (arg == "--erase-delay") {
      next_int(camera_options.erase_delay_ms);
    } else if (arg == "--erase-fails") {
      memory_options.erase_reply = 1;
    } else if (arg == "--pulses-per-rev") {
      next_int(pulses_per_rev);
    } else if (arg == "--lite-memory-code") {
      next_int(v);
      memory_options.lite_memory_code = static_cast<uint8_t>(v);
    } else if (arg == "--lite-channel") {
      next_int(lite_channel);
    } else if (arg == "--lite-bytes") {
      next_int(lite_bytes);
    } else if (arg == "--config-fail-eeprom") {
      next_int(config_options.fail_eeprom_write_at);
    } else if (arg == "--config-fail-fram") {
      next_int(config_options.fail_fram_write_at);
    } else if (arg == "--config-silent-after") {
      next_int(v);
      config_options.silent_after = v;
    } else if (arg == "--lite-full") {
      memory_options.logger_status |= 1;
    } else if (arg == "--help" || arg == "-h") {
      usage();
      return 0;
    } else {
      usage();
      return 2;
    }
  }
  if (port_number < 1 || port_number > 9) {
    std::fprintf(stderr, "pelorant-sim: port must be 1..9\n");
    return 2;
  }

  // The unit is ready (its sessions made) before its port is published: a
  // program that opens the port at once is answered at once.
  sim::SimulatedUnit unit(options);
  if (line_faults) unit.set_line_faults(*line_faults, true);
  unit.live_frames().options() = live_options;
  sim::LogMemory& memory = unit.log_memory();
  memory.options() = memory_options;
  unit.camera_flash().options() = camera_options;
  memory.config()[14] = static_cast<uint8_t>(pulses_per_rev);
  unit.config_memory().options() = config_options;
  const auto sessions = sim::store_synthesised_sessions(memory, setup);
  if (memory_full) memory.index()[0] |= 0x80;
  if (!sessions.empty()) {
    memory.set_lite_recording(sim::lite_recording(sessions.back(), lite_channel,
                                                  static_cast<size_t>(std::max(lite_bytes, 0))),
                              setup.sample_rate, static_cast<uint8_t>(lite_channel));
  }
  for (size_t i = 0; i < sessions.size(); ++i) {
    std::printf("pelorant-sim: session %zu: %zu bytes, %u samples at %d/s\n", sessions.size() - i,
                sessions[i].bytes.size(), sessions[i].samples, sessions[i].sample_rate);
  }

  int master = -1, slave = -1;
  char slave_name[256] = {};
  if (openpty(&master, &slave, slave_name, nullptr, nullptr) != 0) {
    std::perror("pelorant-sim: openpty");
    return 1;
  }
  termios tio{};
  tcgetattr(slave, &tio);
  cfmakeraw(&tio);
  cfsetispeed(&tio, B115200);
  cfsetospeed(&tio, B115200);
  tcsetattr(slave, TCSANOW, &tio);
  tcgetattr(master, &tio);
  cfmakeraw(&tio);
  tcsetattr(master, TCSANOW, &tio);
  // Our own handle on the program's end stays open, so our reads never fail
  // with EIO while the program closes and re-opens the port.
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  namespace fs = std::filesystem;
  const fs::path link = core::pinned_port_path(port_number);
  std::error_code ec;
  fs::create_directories(link.parent_path(), ec);
  if (fs::is_symlink(fs::symlink_status(link, ec))) {
    if (fs::exists(link, ec)) {
      std::fprintf(stderr, "pelorant-sim: COM%d is already pinned to %s\n", port_number,
                   fs::read_symlink(link, ec).c_str());
      return 1;
    }
    fs::remove(link, ec);  // a stale link from a simulator that died
  }
  fs::create_symlink(slave_name, link, ec);
  if (ec) {
    std::fprintf(stderr, "pelorant-sim: cannot create %s: %s\n", link.c_str(),
                 ec.message().c_str());
    return 1;
  }

  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);
  std::printf("pelorant-sim: COM%d -> %s (%s)\n", port_number, slave_name,
              fast ? "unpaced" : "115200 baud");
  std::fflush(stdout);

  using clock = std::chrono::steady_clock;
  // 115200 baud, 10 bits a byte: a byte reaches the program when its last bit
  // has left the line, one byte time after the byte before it, or one byte
  // time after it was ready when the line was idle. An idle line earns no
  // credit: a reply that follows a quiet spell starts when it is ready.
  const auto byte_time =
      std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(1.0 / 11520.0));
  // When the last byte sent has left the line.
  clock::time_point line_free = clock::now();
  bool line_idle = true;
  LineStats line_stats;
  // What the program sent since the unit last replied; the spell before the
  // very first request is the program starting, not the line idle.
  std::vector<uint8_t> request;
  bool first_request = true;
  // The end of a pause the unit is in (when pause_due() says so).
  bool in_pause = false;
  clock::time_point pause_end{};

  // A paced unit sends each byte when its time on the line is over. Linux
  // lets a sleeping timer wake up to 50 us late by default; that lateness
  // would be the simulator's, yet count as the program's turnaround.
  if (!fast) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

  while (!g_stop) {
    pollfd pfd{master, POLLIN, 0};
    // Idle: wait for a request. Sending: wake when the bytes queued have
    // left the line (at most 1 ms on), so the last byte of a reply reaches
    // the program on time and no turnaround is added here.
    std::chrono::nanoseconds wait = std::chrono::milliseconds(unit.has_output() ? 1 : 100);
    if (unit.has_output() && !fast && !line_idle && unit.pause_due() == 0) {
      const auto all_sent =
          line_free + static_cast<long>(unit.output_before_pause()) * byte_time - clock::now();
      wait = std::clamp<std::chrono::nanoseconds>(
          std::chrono::duration_cast<std::chrono::nanoseconds>(all_sent),
          std::chrono::nanoseconds(0), wait);
    }
    const timespec wait_spec{static_cast<time_t>(wait.count() / 1000000000),
                             static_cast<long>(wait.count() % 1000000000)};
    int ready = ppoll(&pfd, 1, &wait_spec, nullptr);
    if (ready > 0 && (pfd.revents & POLLIN)) {
      uint8_t buffer[512];
      ssize_t n = read(master, buffer, sizeof buffer);
      for (ssize_t i = 0; i < n; ++i) unit.receive(buffer[i]);
      if (print_line_stats && n > 0) request.insert(request.end(), buffer, buffer + n);
    }
    if (unit.has_output() && unit.pause_due() > 0) {
      // Bytes before the pause are on the line already; hold the rest back.
      if (!in_pause) {
        in_pause = true;
        pause_end = clock::now() + std::chrono::milliseconds(unit.pause_due());
      }
      if (clock::now() < pause_end) continue;
      unit.pause_elapsed(unit.pause_due());
      in_pause = false;
      line_idle = true;  // the pause was silence on the line
    }
    if (!unit.has_output()) continue;
    const clock::time_point now = clock::now();
    if (line_idle) {
      if (now > line_free && !first_request) {
        line_stats.idle(std::chrono::duration<double>(now - line_free).count(),
                        request_text(request));
      }
      first_request = false;
      request.clear();
      line_free = std::max(line_free, now);
      line_idle = false;
    }
    size_t allowed = std::min(unit.pending_output(), unit.output_before_pause());
    if (!fast) {
      // The bytes whose last bit has left the line by now.
      const auto done = now < line_free ? 0 : (now - line_free) / byte_time;
      allowed = std::min(allowed, static_cast<size_t>(done));
    } else {
      line_free = now;
    }
    uint8_t out[4096];
    size_t count = std::min(allowed, sizeof out);
    for (size_t i = 0; i < count; ++i) out[i] = unit.take_output();
    size_t written = 0;
    while (written < count && !g_stop) {
      ssize_t w = write(master, out + written, count - written);
      if (w > 0) {
        written += static_cast<size_t>(w);
      } else {
        pollfd wfd{master, POLLOUT, 0};
        poll(&wfd, 1, 10);
      }
    }
    if (!fast) line_free += static_cast<long>(count) * byte_time;
    line_stats.busy(count / 11520.0);
    // All sent: the line goes idle once the last byte has left it, whenever
    // the next request comes.
    if (!unit.has_output()) line_idle = true;
  }

  fs::remove(link, ec);
  close(slave);
  close(master);
  if (unit.line_faults()) {
    std::printf("pelorant-sim: line faults: %s\n", unit.line_faults()->summary().c_str());
  }
  if (print_line_stats) std::fputs(line_stats.text().c_str(), stdout);
  return 0;
}
