#include "sim/session_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace ardenvis::sim {

namespace {

constexpr double kG = 9.81;
constexpr double kMphPerMps = 2.2369363;
constexpr double kMetresPerDegree = 111320.0;

// A rounded rectangle with four different corners. The straights are chosen so
// the outline closes: going round anticlockwise, the east and north offsets of
// the four quarter turns cancel.
struct Circuit {
  std::vector<double> curvature;  // 1/m per metre of track, + = left
  std::vector<double> x, y;       // metres east and north of the start line
  std::vector<double> top_speed;  // m/s, at full pace
  double length = 0;
  double step = 1;

  explicit Circuit() {
    const double r1 = 40, r2 = 90, r3 = 60, r4 = 25;
    const double l1 = 600, l2 = 300;
    const double l3 = l1 + r1 - r2 - r3 + r4;
    const double l4 = l2 + r1 + r2 - r3 - r4;
    const double quarter = std::numbers::pi / 2;
    struct Piece {
      double length, curvature;
    };
    const Piece pieces[] = {{l1, 0}, {r1 * quarter, 1 / r1}, {l2, 0}, {r2 * quarter, 1 / r2},
                            {l3, 0}, {r3 * quarter, 1 / r3}, {l4, 0}, {r4 * quarter, 1 / r4}};
    for (const Piece& p : pieces) length += p.length;
    const size_t points = static_cast<size_t>(std::lround(length));
    step = length / static_cast<double>(points);
    curvature.resize(points);
    x.resize(points);
    y.resize(points);
    double heading = 0, px = 0, py = 0;
    for (size_t i = 0; i < points; ++i) {
      const double mid = (static_cast<double>(i) + 0.5) * step;
      double start = 0, k = 0;
      for (const Piece& p : pieces) {
        if (mid < start + p.length) {
          k = p.curvature;
          break;
        }
        start += p.length;
      }
      curvature[i] = k;
      x[i] = px;
      y[i] = py;
      const double mid_heading = heading + k * step / 2;
      px += std::cos(mid_heading) * step;
      py += std::sin(mid_heading) * step;
      heading += k * step;
    }
    // Cornering at 1.3 g, 0.45 g of drive, 1.1 g of braking, 52 m/s flat out.
    const double lateral = 1.3 * kG, drive = 0.45 * kG, braking = 1.1 * kG;
    top_speed.resize(points);
    for (size_t i = 0; i < points; ++i) {
      const double k = std::abs(curvature[i]);
      top_speed[i] = k > 0 ? std::min(52.0, std::sqrt(lateral / k)) : 52.0;
    }
    for (int round = 0; round < 2; ++round) {
      for (size_t n = 0; n < 2 * points; ++n) {
        const size_t i = n % points, j = (n + 1) % points;
        top_speed[j] = std::min(top_speed[j], std::sqrt(top_speed[i] * top_speed[i] + 2 * drive * step));
      }
      for (size_t n = 2 * points; n > 0; --n) {
        const size_t i = n % points, j = (n - 1) % points;
        top_speed[j] = std::min(top_speed[j], std::sqrt(top_speed[i] * top_speed[i] + 2 * braking * step));
      }
    }
  }

  // Linear interpolation of a per-metre table at lap position s (any real).
  double at(const std::vector<double>& table, double s) const {
    double u = std::fmod(s, length);
    if (u < 0) u += length;
    const double f = u / step;
    const size_t i = static_cast<size_t>(f) % table.size();
    const size_t j = (i + 1) % table.size();
    const double w = f - std::floor(f);
    return table[i] * (1 - w) + table[j] * w;
  }
  double curvature_at(double s) const {
    double u = std::fmod(s, length);
    if (u < 0) u += length;
    return curvature[static_cast<size_t>(u / step) % curvature.size()];
  }
};

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) {}

  // A record with a one-byte header: record id 1..7.
  void record(int id, const std::vector<uint8_t>& payload) {
    const int d = static_cast<int>(payload.size());
    out_.push_back(static_cast<uint8_t>((d == 16 ? 15 : d) << 3 | id));
    out_.insert(out_.end(), payload.begin(), payload.end());
  }
  // A CAN frame: data bytes, then the stamp byte.
  void can(int can_id, const std::vector<uint8_t>& data, uint8_t stamp) {
    const int d = static_cast<int>(data.size()) + 1;
    out_.push_back(static_cast<uint8_t>(0x80 | (d == 16 ? 15 : d) << 3 | (can_id >> 8)));
    out_.push_back(static_cast<uint8_t>(can_id & 0xFF));
    out_.insert(out_.end(), data.begin(), data.end());
    out_.push_back(stamp);
  }

 private:
  std::vector<uint8_t>& out_;
};

uint8_t byte_of(long v) { return static_cast<uint8_t>(std::clamp(v, 0L, 255L)); }

std::vector<uint8_t> le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

int gear_for(double mph) {
  if (mph < 22) return 1;
  if (mph < 38) return 2;
  if (mph < 56) return 3;
  if (mph < 75) return 4;
  if (mph < 95) return 5;
  return 6;
}
constexpr double kRpmPerMph[] = {0, 300, 190, 135, 105, 86, 72};

}  // namespace

SynthesisedSession synthesise_session(const SessionOptions& options) {
  const Circuit circuit;
  // By default the start line lies in a field in the English Midlands.
  const double origin_latitude = options.origin_latitude;
  const double origin_longitude = options.origin_longitude;
  SynthesisedSession session;
  session.sample_rate = options.sample_rate;
  session.lap_length_m = circuit.length;
  {
    auto [min_x, max_x] = std::minmax_element(circuit.x.begin(), circuit.x.end());
    auto [min_y, max_y] = std::minmax_element(circuit.y.begin(), circuit.y.end());
    const double per_lon = kMetresPerDegree * std::cos(origin_latitude * std::numbers::pi / 180);
    session.min_latitude = origin_latitude + *min_y / kMetresPerDegree;
    session.max_latitude = origin_latitude + *max_y / kMetresPerDegree;
    session.min_longitude = origin_longitude + *min_x / per_lon;
    session.max_longitude = origin_longitude + *max_x / per_lon;
  }
  const double per_lon = kMetresPerDegree * std::cos(origin_latitude * std::numbers::pi / 180);

  std::mt19937 random(options.seed);
  auto noise = [&](double amplitude) {
    return std::uniform_real_distribution<double>(-amplitude, amplitude)(random);
  };

  const int rate = options.sample_rate == 20 ? 20 : 10;
  const double dt = 1.0 / rate;
  auto every = [&](int hz) { return hz <= 0 ? 0 : std::max(1, rate / hz); };
  const int gps_every = every(options.gps_hz);
  const int sensor_every = every(options.sensor_hz);
  const int gear_every = every(options.gear_module_hz);
  const int can_every = every(options.other_can_hz);
  const int splits = std::clamp(options.splits_per_lap, 0, 32);
  const bool pulses = options.distance_form == DistanceForm::Pulses;
  const double pulses_per_metre =
      static_cast<double>(options.distance_factor) * options.pulses_per_rev / 1609.0;
  const bool until_full = options.size_target > 0;
  const int lap_goal = until_full ? -1 : std::max(0, options.laps);
  if (until_full) session.bytes.reserve(options.size_target + 64);

  // Lap 1 on cold tyres, lap 2 the driver's best, then a little slower each.
  auto pace_for = [&](uint32_t lap_index) {
    if (lap_index == 0) return 0.975 * options.pace;
    if (lap_index == 1) return options.pace;
    return (0.985 + noise(0.008)) * options.pace;
  };

  Writer w(session.bytes);
  double s = 0;               // metres driven
  double lap_start_s = 0;     // where the current lap began
  double lap_start_t = 0;     // when
  double pace_before = pace_for(0), pace = pace_before;
  double previous_speed = circuit.at(circuit.top_speed, 0) * pace;
  int next_split = 0;
  uint32_t lap_index = 0;
  // Samples left after the last lap (-1: still lapping); a session of no laps
  // is ten seconds of driving.
  int tail_samples = lap_goal == 0 ? 10 * rate : -1;
  double oil = 70, water = 75, fuel = 100;

  auto speed_at = [&](double pos) {
    const double into = pos - lap_start_s;
    const double blend = std::min(1.0, into / 300.0);
    return circuit.at(circuit.top_speed, pos) * (pace_before + (pace - pace_before) * blend);
  };

  for (uint32_t k = 1;; ++k) {
    if (until_full && session.bytes.size() >= options.size_target) break;
    if (!until_full && tail_samples == 0) break;
    const double t_before = (k - 1) * dt;
    const double s_before = s;
    const double v_mid = speed_at(s + speed_at(s) * dt / 2);
    s += v_mid * dt;

    // Splits and the lap line crossed since the last sample.
    const double lap_before = s_before - lap_start_s;
    const double lap_now = s - lap_start_s;
    auto crossing_time = [&](double at) {
      return t_before + dt * (at - lap_before) / (lap_now - lap_before);
    };
    while (tail_samples < 0 && next_split < splits) {
      const double at = circuit.length * (next_split + 1) / (splits + 1);
      if (lap_now < at) break;
      const uint32_t ms = static_cast<uint32_t>(std::lround((crossing_time(at) - lap_start_t) * 1000));
      const int u = next_split;
      w.record(4, {static_cast<uint8_t>((u & 0x0F) << 4 | (ms >> 16 & 0x0F)),
                   static_cast<uint8_t>(ms >> 8), static_cast<uint8_t>(ms),
                   static_cast<uint8_t>((u >> 4) << 6), 0x00, 0x00});
      ++next_split;
    }
    if (tail_samples < 0 && lap_now >= circuit.length) {
      const double t_cross = crossing_time(circuit.length);
      const uint32_t ms = static_cast<uint32_t>(std::lround((t_cross - lap_start_t) * 1000));
      const long logged_distance = std::min(
          65535L, pulses ? std::lround(circuit.length * pulses_per_metre) : std::lround(circuit.length));
      w.record(3, {static_cast<uint8_t>((pulses ? 0x00 : 0x80) | (ms >> 16 & 0x0F)),
                   static_cast<uint8_t>(ms >> 8), static_cast<uint8_t>(ms),
                   static_cast<uint8_t>(lap_index + 1), static_cast<uint8_t>(logged_distance >> 8),
                   static_cast<uint8_t>(logged_distance), 0x00});
      session.lap_times_ms.push_back(ms);
      if (ms < session.lap_times_ms[session.best_lap]) session.best_lap = lap_index;
      ++lap_index;
      session.laps = lap_index;
      lap_start_s += circuit.length;
      lap_start_t = t_cross;
      next_split = 0;
      pace_before = pace;
      pace = pace_for(lap_index);
      if (lap_goal >= 0 && static_cast<int>(lap_index) >= lap_goal) tail_samples = 3 * rate;
    }

    // The sample at time k * dt.
    const double v = speed_at(s);
    const double mph = v * kMphPerMps;
    // The unit logs lateral G positive in a right-hand turn (the circuit's
    // curvature is positive to the left).
    const double lat_g = -v * v * circuit.curvature_at(s) / kG + noise(0.02);
    const double long_g = (v - previous_speed) / dt / kG + noise(0.02);
    previous_speed = v;
    const int gear = gear_for(mph);
    const long rpm = std::lround(mph * kRpmPerMph[gear] + 900 + noise(30));
    const long speed_tenths = std::lround(mph * 10);
    const bool brake = long_g < -0.25;
    const double into_lap = s - lap_start_s;
    const long lap_odo =
        std::min(65535L, pulses ? std::lround(into_lap * pulses_per_metre) : std::lround(into_lap));
    const long lat_hundredths = std::min(255L, std::lround(std::abs(lat_g) * 100));
    const long long_hundredths = std::min(255L, std::lround(std::abs(long_g) * 100));
    std::vector<uint8_t> p = {
        static_cast<uint8_t>(lat_hundredths),
        static_cast<uint8_t>(long_hundredths),
        static_cast<uint8_t>((lat_g >= 0 ? 0x80 : 0) | (long_g >= 0 ? 0x40 : 0) |
                             (speed_tenths >> 8 & 0x3F)),
        static_cast<uint8_t>(speed_tenths),
        static_cast<uint8_t>(rpm >> 8 & 0x7F),
        static_cast<uint8_t>(rpm),
        byte_of(std::lround(18 + rpm / 250.0)),
        byte_of(std::lround(43 + noise(1))),
        static_cast<uint8_t>((brake ? 0x80 : 0) | (pulses ? 0 : 0x20) | gear),
        static_cast<uint8_t>(lap_odo >> 8),
        static_cast<uint8_t>(lap_odo),
    };
    if (options.extra_inputs) {
      const long throttle = std::clamp(std::lround(long_g > 0 ? 200 + long_g * 1600 : 40), 0L, 1023L);
      const long steering = std::clamp(std::lround(512 + lat_g * 300), 0L, 1023L);
      const long brake_pressure = brake ? std::clamp(std::lround(-long_g * 700), 0L, 1023L) : 0L;
      const long lambda = std::lround(480 + noise(20));
      const long inputs[4] = {throttle, steering, brake_pressure, lambda};
      uint8_t high = 0;
      for (int i = 0; i < 4; ++i) {
        p.push_back(static_cast<uint8_t>(inputs[i]));
        high = static_cast<uint8_t>(high | ((inputs[i] >> 8) & 3) << (2 * i));
      }
      p.push_back(high);
    }
    w.record(1, p);
    ++session.samples;
    session.distance_m = s;
    const double t = k * dt;
    const uint8_t stamp = static_cast<uint8_t>(std::lround(t * 1000) & 0xFF);

    if (k % static_cast<uint32_t>(rate) == 0) {  // once a second
      oil = std::min(104.0, oil + 0.06 + noise(0.02));
      water = std::min(88.0, water + 0.04 + noise(0.02));
      fuel = std::max(5.0, fuel - 0.01);
      w.record(2, {byte_of(std::lround(oil)), byte_of(std::lround(water)),
                   byte_of(std::lround(138 + noise(2))), byte_of(std::lround(fuel)),
                   byte_of(std::lround(30 + noise(5)))});
    }
    if (gps_every && k % static_cast<uint32_t>(gps_every) == 0) {
      const double lat = origin_latitude + circuit.at(circuit.y, s) / kMetresPerDegree;
      const double lon = origin_longitude + circuit.at(circuit.x, s) / per_lon;
      const uint32_t lat_word = static_cast<uint32_t>(std::lround(std::abs(lat) * 1e6)) & 0x0FFFFFFF;
      const uint32_t lon_word = static_cast<uint32_t>(std::lround(std::abs(lon) * 1e6)) & 0x7FFFFFFF;
      std::vector<uint8_t> position = le32(lat_word | (lat >= 0 ? 0x80000000u : 0));
      const auto lon_bytes = le32(lon_word | (lon >= 0 ? 0x80000000u : 0));
      position.insert(position.end(), lon_bytes.begin(), lon_bytes.end());
      w.can(140, position, stamp);
      const long gps_speed = std::lround((mph + noise(0.3)) * 10);
      const long altitude = std::lround(120 + circuit.at(circuit.y, s) / 40);
      w.can(141, {static_cast<uint8_t>(gps_speed), static_cast<uint8_t>(gps_speed >> 8),
                  static_cast<uint8_t>(altitude), static_cast<uint8_t>(0x80 | altitude >> 8), 0, 0,
                  0, 0},
            stamp);
    }
    if (sensor_every && k % static_cast<uint32_t>(sensor_every) == 0) {
      // Suspension positions follow the load transfer; pulse channels are wheel speeds.
      auto block = [&](double bias) {
        const long a[4] = {std::lround(512 + lat_g * 90 + bias), std::lround(512 - lat_g * 90 + bias),
                           std::lround(512 + long_g * 80 + bias), std::lround(512 - long_g * 80 + bias)};
        std::vector<uint8_t> data;
        uint8_t high = 0;
        for (int i = 0; i < 4; ++i) {
          const long value = std::clamp(a[i], 0L, 1023L);
          data.push_back(static_cast<uint8_t>(value));
          high = static_cast<uint8_t>(high | ((value >> 8) & 3) << (2 * i));
        }
        data.push_back(high);
        // A wheel of 0.29 m radius: the pulse value is its revolutions per minute.
        const double wheel_rpm = v / (2 * std::numbers::pi * 0.29) * 60;
        const long period =
            wheel_rpm > 1 ? std::min(0x7FFFFFL, std::lround(625000.0 * 3600.0 / wheel_rpm)) : 0L;
        data.push_back(static_cast<uint8_t>(period));
        data.push_back(static_cast<uint8_t>(period >> 8));
        data.push_back(static_cast<uint8_t>(period >> 16 & 0x7F));
        return data;
      };
      w.can(143, block(0), stamp);
      w.can(144, block(20), stamp);
      if (options.second_sensor_module) {
        w.can(146, block(-20), stamp);
        w.can(147, block(40), stamp);
      }
    }
    if (gear_every && k % static_cast<uint32_t>(gear_every) == 0) {
      w.can(145, {static_cast<uint8_t>(gear), 0, 0, 0, 0, 0, 0, 0}, stamp);
    }
    if (can_every && k % static_cast<uint32_t>(can_every) == 0) {
      w.can(0x100, {static_cast<uint8_t>(rpm >> 8), static_cast<uint8_t>(rpm),
                    byte_of(std::lround(long_g > 0 ? 100 : 5)), static_cast<uint8_t>(gear),
                    byte_of(std::lround(oil)), byte_of(std::lround(water)), 0x00, 0x5A},
            stamp);
      if (k % static_cast<uint32_t>(can_every * 5) == 0) {
        w.can(0x3E8, {byte_of(std::lround(fuel)), 0x12, 0x34, static_cast<uint8_t>(k)}, stamp);
      }
    }
    if (tail_samples > 0) --tail_samples;
  }

  if (until_full) session.bytes.resize(options.size_target);
  return session;
}

}  // namespace ardenvis::sim
