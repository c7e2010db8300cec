// A synthesised session decodes into a physically consistent data set.

#include "sim/session_synth.h"

#include <cmath>

#include <gtest/gtest.h>

#include "logger/decoder.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

struct Decoded {
  ProgramState state;
  testing::ScriptedHost host;
  sim::SynthesisedSession session;

  explicit Decoded(const sim::SessionOptions& options) {
    session = sim::synthesise_session(options);
    state.identity.distance_factor = options.distance_factor;
    state.identity.pulses_per_rev = options.pulses_per_rev;
    DataSet& set = state.current();
    set.raw = session.bytes;
    set.info.raw_byte_count = static_cast<uint32_t>(set.raw.size());
    set.info.sample_rate = session.sample_rate;
    process_data_packets(state, host);
  }
  const DataSet& set() { return state.current(); }
};

TEST(SessionSynth, DecodesIntoAConsistentSession) {
  for (auto form : {sim::DistanceForm::Metres, sim::DistanceForm::Pulses}) {
    for (uint8_t rate : {10, 20}) {
      SCOPED_TRACE(::testing::Message() << "rate " << int(rate) << " pulses "
                                        << (form == sim::DistanceForm::Pulses));
      sim::SessionOptions options;
      options.sample_rate = rate;
      options.laps = 6;
      options.seed = 7;
      options.distance_form = form;
      Decoded d(options);
      const DataSet& set = d.set();
      ASSERT_EQ(d.host.messages.size(), 1u);
      EXPECT_EQ(d.host.messages[0].text, "Processed " + std::to_string(set.info.raw_byte_count) +
                                             " bytes of Data");
      ASSERT_EQ(set.loaded, kDecoded);
      const long n = static_cast<long>(set.sample_count());
      const double dt = rate == 20 ? 0.05 : 0.1;

      // Laps: count, numbering, times and the best lap as the unit logged them.
      ASSERT_EQ(set.lap_count(), 6u);
      double lap_distances = 0;
      for (uint32_t i = 0; i < 6; ++i) {
        const LapEntry& lap = set.laps[i];
        EXPECT_EQ(lap.lap_number, i + 1);
        EXPECT_EQ(lap.session, 1);
        EXPECT_EQ(lap.split_count, 3);
        EXPECT_NEAR(lap.lap_time, d.session.lap_times_ms[i] / 1000.0, 0.011);
        EXPECT_NEAR(lap.lap_distance, d.session.lap_length_m, 2.0);
        lap_distances += lap.lap_distance;
        // The end times of consecutive laps are a lap time apart, to a sample.
        const double previous_end = i == 0 ? 0 : set.laps[i - 1].end_time;
        EXPECT_NEAR(lap.end_time - previous_end, lap.lap_time, 2 * dt);
        EXPECT_GT(lap.split_times[0], 0);
        EXPECT_LT(lap.split_times[2], lap.lap_time);
      }
      EXPECT_EQ(set.best_lap, d.session.best_lap);

      // Odo is the summed lap distances plus the way into the last lap; only the
      // bit of each lap between its last sample and the line is never counted.
      const double odo = set[Channel::Odo][n];
      const double expected = lap_distances + set[Channel::LapOdo][n];
      EXPECT_LE(odo, expected + 2);
      EXPECT_GE(odo, expected - 6 * 60 * dt);
      EXPECT_NEAR(odo, d.session.distance_m, 6 * 60 * dt + 2);

      // Speed integrates to the distance (mph to metres per second).
      double integral = 0;
      for (long k = 1; k <= n; ++k) integral += set[Channel::Speed][k] / 2.2369363 * dt;
      EXPECT_NEAR(integral / d.session.distance_m, 1.0, 0.02);

      // From the first second on, when the gear has settled and the GPS has a fix.
      for (long k = rate; k <= n; k += 7) {
        EXPECT_GE(set[Channel::GpsLatitude][k], d.session.min_latitude - 1e-5) << k;
        EXPECT_LE(set[Channel::GpsLatitude][k], d.session.max_latitude + 1e-5) << k;
        EXPECT_GE(set[Channel::GpsLongitude][k], d.session.min_longitude - 1e-5) << k;
        EXPECT_LE(set[Channel::GpsLongitude][k], d.session.max_longitude + 1e-5) << k;
        EXPECT_GE(set[Channel::Gear][k], 10) << k;
        EXPECT_LE(set[Channel::Gear][k], 60) << k;
        EXPECT_LT(std::abs(set[Channel::GLat][k]), 16) << k;  // below 1.6 g after smoothing
      }
      // Laps of the per-sample series run 1..6, then 7 after the last line.
      EXPECT_EQ(set[Channel::Lap][1], 1);
      EXPECT_EQ(set[Channel::Lap][n], 7);
      EXPECT_GT(set.info.can_frame_count, 0u);
      EXPECT_GT(set[Channel::OilTemp][n], 0);
      EXPECT_GT(set[pulse_channel(1)][n], 0);
    }
  }
}

TEST(SessionSynth, FillsAWholeLogMemory) {
  sim::SessionOptions options;
  options.sample_rate = 20;
  options.size_target = sim::kFullLogMemoryBytes;
  const auto session = sim::synthesise_session(options);
  EXPECT_EQ(session.bytes.size(), 8192u * 1056u);
  EXPECT_GT(session.laps, 100u);
  EXPECT_LT(session.best_lap, 256u);
}

}  // namespace
}  // namespace ardenvis::core
