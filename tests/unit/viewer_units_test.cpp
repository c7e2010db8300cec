// Unit switches, load-time conversion, calibration and the viewer's smoothing.

#include "viewer/viewer_units.h"

#include <gtest/gtest.h>

#include "viewer/plot_channels.h"

namespace ardenvis::core {
namespace {

// A loaded slot whose every series holds `value` at each of n samples.
void fill_slot(DataSet& set, long n, double value) {
  set.loaded = kDecoded;
  set.record_counts[1] = static_cast<uint32_t>(n);
  for (Series& s : set.series) {
    s.resize(n);
    for (long i = 1; i <= n; ++i) s.set(i, value);
  }
}

TEST(ViewerUnits, SwitchesConvertEveryLoadedSlotAndRoundTripWithTheLiteralFactors) {
  struct Case {
    const char* name;
    bool (*change)(ProgramState&, bool);
    std::vector<Channel> channels;
    double there;       // 100 after the switch
    double round_trip;  // 100 after the switch and back
  };
  const Case cases[] = {
      {"speed", change_mph_kmh, {Channel::Speed}, 160, 100},
      {"temperature", change_degC_degF, {Channel::OilTemp, Channel::WaterTemp}, 212, 100},
      {"pressure",
       change_psi_bar,
       {Channel::OilPressure, Channel::AuxPressure},
       6.895,
       100 * 0.06895 * 14.503},
      {"distance", change_metre_feet, {Channel::Odo, Channel::LapOdo}, 328.1, 100.00488},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramState state;
    fill_slot(state.data_sets[0], 3, 100);
    fill_slot(state.data_sets[1], 2, 100);
    state.data_sets[1].loaded = kNotLoaded;  // an empty slot is never touched

    EXPECT_TRUE(c.change(state, true));
    EXPECT_FALSE(c.change(state, true));  // the unit already in force: nothing changes
    for (Channel ch : c.channels) {
      EXPECT_NEAR(state.data_sets[0][ch][3], c.there, 1e-9);
      EXPECT_EQ(state.data_sets[1][ch][2], 100);
    }
    EXPECT_EQ(state.data_sets[0][Channel::Rpm][1], 100);  // other channels stay
    EXPECT_TRUE(c.change(state, false));
    for (Channel ch : c.channels) EXPECT_NEAR(state.data_sets[0][ch][1], c.round_trip, 1e-9);
  }
}

TEST(ViewerUnits, FeetThenMetresLeavesDistancesSlightlyLarger) {
  ProgramState state;
  fill_slot(state.data_sets[0], 1, 1.0);
  change_metre_feet(state, true);
  change_metre_feet(state, false);
  EXPECT_NEAR(state.data_sets[0][Channel::Odo][1], 1.0000488, 1e-12);
  EXPECT_FALSE(state.unit_flags.distance_feet);
}

TEST(ViewerUnits, LoadTimeConversionBringsANewSlotToTheUnitsInForce) {
  struct Case {
    bool kmh;
    bool calibrated;
    double speed_factor;
  };
  for (const Case& c : {Case{true, true, 1.552}, Case{false, true, 0.97}, Case{true, false, 1.6},
                        Case{false, false, 1.0}}) {
    SCOPED_TRACE(::testing::Message() << "kmh " << c.kmh << " calibrated " << c.calibrated);
    ProgramState state;
    state.unit_flags = {c.kmh, true, true, true};
    state.speed_calibration = c.calibrated;
    fill_slot(state.data_sets[1], 4, 100);
    fill_slot(state.data_sets[0], 4, 100);
    change_loaded_units(state, DataSetId::B, {});
    const DataSet& b = state.data_sets[1];
    EXPECT_NEAR(b[Channel::Speed][4], 100 * c.speed_factor, 1e-9);
    EXPECT_NEAR(b[Channel::OilTemp][1], 212, 1e-9);
    EXPECT_NEAR(b[Channel::OilPressure][1], 6.895, 1e-9);
    EXPECT_NEAR(b[Channel::AuxPressure][1], 6.895, 1e-9);
    EXPECT_NEAR(b[Channel::Odo][1], 328.1, 1e-9);
    EXPECT_NEAR(b[Channel::LapOdo][1], 328.1, 1e-9);
    EXPECT_EQ(state.data_sets[0][Channel::Speed][1], 100);  // only the new slot
  }
}

TEST(ViewerUnits, LoadTimeConversionAppliesTheTickedGAxisCorrectionsFirst) {
  ProgramState state;
  DataSet& set = state.data_sets[0];
  fill_slot(set, 1, 0);
  set[Channel::GLat].set(1, 3);
  set[Channel::GLong].set(1, -5);
  change_loaded_units(state, DataSetId::A, {true, true, false});
  EXPECT_EQ(set[Channel::GLat][1], 5);  // swapped, then the new lateral negated
  EXPECT_EQ(set[Channel::GLong][1], 3);
}

TEST(ViewerUnits, CalibrationScalesOnlySpeedAndUndoes) {
  ProgramState state;
  fill_slot(state.data_sets[0], 2, 100);
  EXPECT_TRUE(changeSvaCal(state, true));
  EXPECT_NEAR(state.data_sets[0][Channel::Speed][2], 97, 1e-9);
  EXPECT_EQ(state.data_sets[0][Channel::Rpm][2], 100);
  EXPECT_TRUE(changeSvaCal(state, false));
  EXPECT_NEAR(state.data_sets[0][Channel::Speed][2], 100, 1e-9);
}

TEST(ViewerUnits, NineteenPointSmoothingNeedsTwentySamples) {
  // 19 samples: nothing happens.
  ProgramState state;
  fill_slot(state.data_sets[0], 19, 0);
  Series& short_speed = state.data_sets[0][Channel::Speed];
  for (long i = 1; i <= 19; ++i) short_speed.set(i, static_cast<double>(i * i));
  EXPECT_EQ(smoothData(state, Channel::Speed), 0);
  for (long i = 1; i <= 19; ++i) EXPECT_EQ(short_speed[i], static_cast<double>(i * i));

  // 20 samples of an alternating signal: samples 10 and 11 are smoothed (11
  // reading the freshly smoothed 10), 1..9 copy 10 and 12..20 copy 11.
  fill_slot(state.data_sets[0], 20, 0);
  Series& speed = state.data_sets[0][Channel::Speed];
  std::vector<double> x(21);
  for (long i = 1; i <= 20; ++i) speed.set(i, x[static_cast<size_t>(i)] = (i % 2) ? 10 : -10);
  const int c[10] = {269, 264, 249, 224, 189, 144, 89, 24, -51, -136};
  auto window = [&](long centre) {
    double sum = c[0] * x[static_cast<size_t>(centre)];
    for (int i = 1; i <= 9; ++i) {
      sum += c[i] * (x[static_cast<size_t>(centre + i)] + x[static_cast<size_t>(centre - i)]);
    }
    return sum / 2261;
  };
  x[10] = window(10);
  x[11] = window(11);
  EXPECT_EQ(smoothData(state, Channel::Speed), 1);
  for (long i = 1; i <= 10; ++i) EXPECT_DOUBLE_EQ(speed[i], x[10]) << i;
  for (long i = 11; i <= 20; ++i) EXPECT_DOUBLE_EQ(speed[i], x[11]) << i;
}

TEST(ViewerUnits, LabelsFollowTheFlagsAndAuxPressureFollowsThePressureUnit) {
  UnitFlags metric{true, true, true, true};
  UnitFlags standard;
  const auto rows = plot_channels();
  const PlotChannel& aux = rows[static_cast<size_t>(plot_channel_row(Channel::AuxPressure))];
  EXPECT_EQ(unit_label(aux, standard), "(psi)");
  EXPECT_EQ(unit_label(aux, metric), "(Bar)");
  EXPECT_EQ(x_axis_caption(10, metric), "Aux Pressure(Bar)");
  EXPECT_EQ(unit_label(rows[1], metric), "(KMH)");
  EXPECT_EQ(unit_label(rows[4], metric), "(degF)");
  EXPECT_EQ(unit_label(rows[12], metric), "(ft)");
  EXPECT_EQ(unit_label(rows[2], metric), "x10");
  EXPECT_EQ(unit_label(rows[0], metric), "");
  EXPECT_EQ(x_axis_caption(0, metric), "Time(s)");
  EXPECT_EQ(x_axis_caption(1, standard), "Distance(m)");
  EXPECT_EQ(x_axis_caption(3, standard), "Speed(MPH)");
  EXPECT_EQ(x_axis_caption(7, metric), "Oil Temp(degF)");
  EXPECT_EQ(x_axis_caption(16, metric), "G Long (g)");
}

}  // namespace
}  // namespace ardenvis::core
