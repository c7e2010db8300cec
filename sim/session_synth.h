#pragma once
// A synthesised logging session: a car lapping a circuit, written as the unit's
// own record byte stream (sample and slow-channel records, lap and split
// records, GPS, sensor-module, gear-module and other CAN frames). The physics
// is simple but consistent: speed follows a cornering and braking limited
// profile of the circuit, distance is the integral of speed, G follows speed
// and curvature, gear and RPM follow speed, GPS follows the circuit's shape.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ardenvis::sim {

// The unit's whole log memory: 8192 pages of 1056 bytes.
inline constexpr size_t kFullLogMemoryBytes = 8192u * 1056u;

enum class DistanceForm {
  Metres,  // distances logged as metres
  Pulses,  // distances logged as speed-sensor pulses (decoded with the calibration)
};

struct SessionOptions {
  uint8_t sample_rate = 10;  // 10 or 20 samples per second
  int laps = 5;              // complete laps; the car stops logging shortly after the last
  uint32_t seed = 1;
  // When above 0: keep lapping until the stream is this long, then cut it there
  // (as a full log memory ends); `laps` is ignored.
  size_t size_target = 0;
  DistanceForm distance_form = DistanceForm::Metres;
  uint16_t distance_factor = 1000;  // calibration used for the pulses form
  uint8_t pulses_per_rev = 1;
  bool extra_inputs = true;  // 16-byte sample records with the four extra inputs
  int splits_per_lap = 3;    // 0..32
  // Frames per second of each add-on (0 = absent). The sensor modules send
  // frames 143, 144 (and 146, 147 with the second module).
  int gps_hz = 10;
  int sensor_hz = 5;
  bool second_sensor_module = true;
  int gear_module_hz = 5;
  int other_can_hz = 10;  // ECU frames on ids 0x100 (8 bytes) and 0x3E8 (4 bytes, 1/5 as often)
  // Where the circuit's start line lies (degrees), so sessions at different
  // venues can be made; the driver's pace (1 the usual, 0.98 two per cent slower).
  double origin_latitude = 52.0735;
  double origin_longitude = -1.0166;
  double pace = 1.0;
};

struct SynthesisedSession {
  std::vector<uint8_t> bytes;  // the record stream
  uint8_t sample_rate = 10;
  uint32_t samples = 0;
  uint32_t laps = 0;            // lap records written
  double lap_length_m = 0;      // the circuit's length
  std::vector<uint32_t> lap_times_ms;
  uint32_t best_lap = 0;        // index of the fastest lap
  double distance_m = 0;        // driven in the whole session
  // The circuit's GPS box (degrees).
  double min_latitude = 0, max_latitude = 0, min_longitude = 0, max_longitude = 0;
};

SynthesisedSession synthesise_session(const SessionOptions& options);

}  // namespace ardenvis::sim
