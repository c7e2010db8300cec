#include "sim/live_frames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string_view>

#include "link/commands.h"

namespace ardenvis::sim {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kLapSeconds = 60;

// Road speed in mph at time t: a lap of straights and corners.
double road_speed(double t) {
  const double lap = kTwoPi * t / kLapSeconds;
  return 78 + 42 * std::sin(lap * 3) + 12 * std::sin(lap * 7 + 1.1);
}

// Engine revolutions per minute per mph in each gear.
constexpr double kRpmPerMph[] = {0, 160, 125, 102, 86, 74, 65};
constexpr int kShiftRpm = 7200;

int gear_for(double mph) {
  for (int g = 1; g <= 6; ++g) {
    if (mph * kRpmPerMph[g] <= kShiftRpm + 150) return g;
  }
  return 6;
}

uint8_t clamp_byte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

void put_word(std::vector<uint8_t>& f, int at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    f[static_cast<size_t>(at + i)] = static_cast<uint8_t>(value >> (8 * i));
}

int model_length(LiveModel model) {
  switch (model) {
    case LiveModel::Dash:
      return 22;
    case LiveModel::Logger:
      return 61;
    case LiveModel::OnBoard:
      return 66;
  }
  return 66;
}

}  // namespace

const char* const kLiveOptionsUsage =
    "live data (the poll \"u\"):\n"
    "  --live-model M  dash (22 bytes), logger (61: GPS, sensor and gear modules)\n"
    "                  or onboard (66: every module, on-board channels; default)\n"
    "  --live-length L announce L data bytes (past the model's own: zeros)\n"
    "  --live-units U  display units the unit reports: any of kmh,bar,degf\n"
    "  --live-silent-after N  answer N polls, then fall silent (0: never answer)\n"
    "  --live-truncate N  send only N bytes after \"V\" (L included)\n";

const char* live_model_name(LiveModel model) {
  switch (model) {
    case LiveModel::Dash:
      return "dash";
    case LiveModel::Logger:
      return "logger";
    case LiveModel::OnBoard:
      return "onboard";
  }
  return "";
}

LiveFrames::LiveFrames() {
  const auto start = std::chrono::steady_clock::now();
  clock_ = [start] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
}

std::vector<uint8_t> LiveFrames::reply() {
  ++polls_;
  if (options_.silent_after >= 0 && polls_ > options_.silent_after) return {};
  std::vector<uint8_t> bytes{core::command::live_reply};
  std::vector<uint8_t> frame = frame_at(clock_());
  if (options_.announced_length >= 0) frame[0] = static_cast<uint8_t>(options_.announced_length);
  if (options_.truncate_after >= 0 && static_cast<size_t>(options_.truncate_after) < frame.size()) {
    frame.resize(static_cast<size_t>(options_.truncate_after));
  }
  bytes.insert(bytes.end(), frame.begin(), frame.end());
  return bytes;
}

std::vector<uint8_t> LiveFrames::frame_at(double t) const {
  const int length =
      options_.length >= 0 ? std::min(options_.length, 255) : model_length(options_.model);
  std::vector<uint8_t> f(static_cast<size_t>(std::max(length, 66)) + 1, 0);
  f[0] = static_cast<uint8_t>(length);

  const double mph = road_speed(t);
  const double accel = (road_speed(t + 0.1) - road_speed(t - 0.1)) / 0.2;  // mph per second
  const int gear = gear_for(mph);
  const int rpm = static_cast<int>(std::lround(mph * kRpmPerMph[gear] / 5) * 5);
  const double warm = 1 - std::exp(-t / 90);  // the engine warms up over minutes
  const double water = 62 + 24 * warm + 2 * std::sin(t / 17);
  const double oil = 58 + 40 * warm + 3 * std::sin(t / 23);
  const double fuel = std::max(3.0, 78 - t / 40);
  const bool braking = accel < -4;
  const double g_long = accel * 0.0455 / 1;  // mph/s to g
  const double g_lat = 1.4 * std::sin(kTwoPi * t / kLapSeconds * 5 + 0.4);

  f[1] = clamp_byte(mph);
  put_word(f, 2, static_cast<uint32_t>(rpm), 2);
  f[4] = static_cast<uint8_t>(gear);
  f[5] = clamp_byte(18 + rpm / 130.0);  // oil pressure follows engine speed
  f[6] = clamp_byte(43 + std::sin(t));  // fuel rail pressure
  f[7] = clamp_byte(oil);
  f[8] = clamp_byte(water);
  f[9] = clamp_byte(fuel);
  f[10] = clamp_byte(std::abs(g_long) * 100);
  f[11] = clamp_byte(std::abs(g_lat) * 100);
  f[12] = clamp_byte(138 + 3 * std::sin(t / 5));  // volts x 10
  uint8_t units = options_.display_units & 0x1C;
  if (g_long >= 0) units |= 1 << 0;
  if (g_lat >= 0) units |= 1 << 1;
  units |= 1 << 5;  // logging
  if (braking) units |= 1 << 6;
  f[13] = units;
  uint8_t alarms = 0;
  if (fuel < 8) alarms |= 1 << 2;
  f[14] = alarms;
  const bool indicating = std::fmod(t, 20) > 15 && std::fmod(t, 1) < 0.5;  // flashing
  f[15] = static_cast<uint8_t>((1 << 2) | (indicating ? 1 << 1 : 0));      // main beam on
  f[16] = kShiftRpm / 100;
  f[17] = 3;
  f[18] = 15;   // oil pressure alarm, psi
  f[19] = 30;   // aux pressure alarm, psi
  f[20] = 130;  // oil temperature alarm, degC
  f[21] = 105;  // water temperature alarm, degC
  f[22] = 8;    // fuel alarm, per cent

  const bool full = options_.model == LiveModel::OnBoard;
  const bool modules = options_.model != LiveModel::Dash;
  const double in_lap = std::fmod(t, kLapSeconds);
  f[23] = static_cast<uint8_t>(1 | (in_lap < 0.4 ? 2 : 0) | 4 | 8);
  uint8_t equipment = 1 | 4;
  if (modules) equipment |= (1 << 3) | (1 << 5) | (1 << 7);
  if (full) equipment |= (1 << 1) | (1 << 6);
  f[24] = equipment;
  if (modules) {
    // Round a circuit west of Greenwich; the fix drops out for a few seconds
    // every 45 s (trees, the pit garage).
    const double a = kTwoPi * t / kLapSeconds;
    put_word(f, 25, static_cast<uint32_t>(std::lround((52.0735 + 0.004 * std::sin(a)) * 1e6)), 4);
    put_word(f, 29, static_cast<uint32_t>(std::lround((1.0168 + 0.006 * std::cos(a)) * 1e6)), 4);
    f[33] = clamp_byte(mph);
    const bool fix = std::fmod(t, 45) < 39;
    f[34] = static_cast<uint8_t>(1 | 4 | 8 | (fix ? 16 : 0));  // north, west
    const long clock = 14 * 3600 + 5 * 60 + static_cast<long>(t);
    f[35] = static_cast<uint8_t>(clock / 3600 % 24);
    f[36] = static_cast<uint8_t>(clock / 60 % 60);
    f[37] = static_cast<uint8_t>(clock % 60);
    f[38] = 10;
    f[39] = 12;
    f[40] = 26;
    f[41] = static_cast<uint8_t>(fix ? 9 + static_cast<int>(t / 7) % 3 : 2);
    put_word(f, 42, 0x8000 | 152, 2);
    // Sensor module 1: throttle, brake pressure, steering, damper travel ...
    f[44] = clamp_byte(accel > 0 ? 255 : 40);
    f[45] = clamp_byte(braking ? -accel * 14 : 0);
    f[46] = clamp_byte(128 + 90 * g_lat / 1.4);
    for (int i = 3; i < 8; ++i)
      f[static_cast<size_t>(44 + i)] = clamp_byte(100 + 20 * i + 10 * std::sin(t + i));
    f[52] = static_cast<uint8_t>(gear);
    f[53] = mph > 2 ? 3 : 0;  // both wheel speed inputs of module 1
    if (full) {
      for (int i = 0; i < 8; ++i)
        f[static_cast<size_t>(54 + i)] = clamp_byte(60 + 15 * i + 8 * std::cos(t + i));
      f[53] |= mph > 2 ? 12 : 0;
    }
  }
  if (full) {
    f[62] = clamp_byte(128 + 60 * std::sin(t / 3));
    f[63] = clamp_byte(200);
    f[64] = clamp_byte(64 + 10 * std::sin(t));
    f[65] = 0;
    f[66] = 5;
  }
  f.resize(static_cast<size_t>(length) + 1);
  return f;
}

bool take_live_option(int argc, char** argv, int& i, LiveOptions& options, bool& error) {
  const std::string_view arg = argv[i];
  if (arg != "--live-model" && arg != "--live-length" && arg != "--live-units" &&
      arg != "--live-silent-after" && arg != "--live-truncate") {
    return false;
  }
  if (i + 1 >= argc) {
    error = true;
    return true;
  }
  const std::string value = argv[++i];
  auto number = [&](int& out) {
    char* end = nullptr;
    const long v = std::strtol(value.c_str(), &end, 10);
    if (!end || *end || v < 0 || v > 100000) {
      error = true;
      return;
    }
    out = static_cast<int>(v);
  };
  if (arg == "--live-model") {
    if (value == "dash") {
      options.model = LiveModel::Dash;
    } else if (value == "logger") {
      options.model = LiveModel::Logger;
    } else if (value == "onboard") {
      options.model = LiveModel::OnBoard;
    } else {
      error = true;
    }
  } else if (arg == "--live-length") {
    number(options.length);
    if (options.length > 255) error = true;
  } else if (arg == "--live-units") {
    options.display_units = 0;
    size_t start = 0;
    while (start <= value.size()) {
      const size_t comma = std::min(value.find(',', start), value.size());
      const std::string unit = value.substr(start, comma - start);
      if (unit == "kmh") {
        options.display_units |= 1 << 2;
      } else if (unit == "bar") {
        options.display_units |= 1 << 3;
      } else if (unit == "degf") {
        options.display_units |= 1 << 4;
      } else if (!unit.empty()) {
        error = true;
      }
      start = comma + 1;
    }
  } else if (arg == "--live-silent-after") {
    number(options.silent_after);
  } else {
    number(options.truncate_after);
  }
  return true;
}

}  // namespace ardenvis::sim
