// The gearing calculator's worked numbers.

#include "calc/gearing.h"

#include <gtest/gtest.h>

#include "support/scripted_host.h"

namespace ardenvis::testing {
namespace {

using namespace ardenvis::core;

CalculatorControls start_controls() { return getCalculatorParams(CalculatorParameters{}); }

// Position in a size list of the item showing `value`.
template <size_t N>
int item_of(const std::array<int, N>& items, int value) {
  for (size_t i = 0; i < N; ++i) {
    if (items[i] == value) return static_cast<int>(i);
  }
  return -1;
}

TEST(GearingCalculator, StartValues) {
  const CalculatorControls c = start_controls();
  EXPECT_EQ(c.diff_ratio, "3.21");
  EXPECT_EQ(c.sprocket_ratio, "2.93");
  EXPECT_NEAR(rolling_circumference(c, false), 2.8984, 0.00005);
  const CalculationResult r = calculate(c);
  EXPECT_EQ(r.speedo_cal.text, "3564");
  EXPECT_FALSE(r.speedo_cal.error);
  EXPECT_EQ(r.gear_cal.text, "1000");
  EXPECT_EQ(r.rear_circumference, "2898");
  EXPECT_EQ(r.rear_radius, "461");
  EXPECT_EQ(r.front_circumference, "");  // propshaft sensor: rear only
}

TEST(GearingCalculator, WorkedExamples) {
  struct Case {
    const char* what;
    std::function<void(CalculatorControls&)> set;
    std::string speedo, gear, shown_circumference, shown_radius;
    bool front;
  };
  const std::vector<Case> cases = {
      {"unknown tyres 1800 mm, rear sensor, diff 3.21",
       [](CalculatorControls& c) {
         c.tyre_type = kUnknownTyres;
         c.drive_and_sensor_position = kRwdRearSensor;
         c.rear_tyre_circumference = "1800";
       },
       "1788", "3210", "1800", "286", false},
      {"road 205/60 R13 on a front sensor",
       [](CalculatorControls& c) {
         c.drive_and_sensor_position = kFwdFrontSensor;
         c.tyre_size_positions[kFrontWidth] = item_of(kTyreWidths_mm, 205);
         c.tyre_size_positions[kFrontProfile] = item_of(kTyreProfiles_percent, 60);
         c.tyre_size_positions[kFrontWheelDiameter] = item_of(kWheelDiameters_in, 13);
       },
       "1778", "3210", "1810", "288", true},
      {"slick 550 mm on a rear sensor",
       [](CalculatorControls& c) {
         c.tyre_type = kSlickTyres;
         c.drive_and_sensor_position = kRwdRearSensor;
         c.rear_tyre_diameter = "550";
       },
       "1862", "3210", "1728", "275", false},
      {"propshaft, diff 3.21, 1800 mm",
       [](CalculatorControls& c) {
         c.tyre_type = kUnknownTyres;
         c.rear_tyre_circumference = "1800";
       },
       "5739", "1000", "1800", "286", false},
      {"unknown tyres 300 mm on a front sensor",
       [](CalculatorControls& c) {
         c.tyre_type = kUnknownTyres;
         c.drive_and_sensor_position = kFwdFrontSensor;
         c.front_tyre_circumference = "300";
       },
       "Error", "3210", "300", "48", true},
      {"sprocket 15/44 on a rear sensor",
       [](CalculatorControls& c) {
         c.final_drive_type = kSprocket;
         c.drive_and_sensor_position = kRwdRearSensor;
       },
       "1110", "2930", "2898", "461", false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    CalculatorControls c = start_controls();
    k.set(c);
    const CalculationResult r = calculate(c);
    EXPECT_EQ(r.speedo_cal.text, k.speedo);
    EXPECT_EQ(r.speedo_cal.error, k.speedo == "Error");
    EXPECT_EQ(r.gear_cal.text, k.gear);
    EXPECT_EQ(k.front ? r.front_circumference : r.rear_circumference, k.shown_circumference);
    EXPECT_EQ(k.front ? r.front_radius : r.rear_radius, k.shown_radius);
  }
  // 10727 before the range check.
  CalculatorControls c = start_controls();
  c.tyre_type = kUnknownTyres;
  c.drive_and_sensor_position = kFwdFrontSensor;
  c.front_tyre_circumference = "300";
  EXPECT_NEAR(kCalibrationConstant / rolling_circumference(c, true), 10726.7, 0.1);
}

// The factor each position gives, and the tyre fields it shows or empties,
// including the zero circumferences (an empty entry reads 0).
TEST(GearingCalculator, PositionsAndZeroCircumferences) {
  struct Case {
    int position;
    const char *front, *rear;
    std::string speedo, gear;
    bool front_shown, rear_shown;
  };
  const std::vector<Case> cases = {
      {kFwdFrontSensor, "1600", "1800", "2011", "3210", true, false},
      {kFwdFrontSensor, "0", "1800", "Error", "3210", true, false},
      {kFwdRearSensor, "1600", "1800", "1788", "3611", true, true},
      {kFwdRearSensor, "1600", "0", "Error", "Error", true, false},
      {kFwdRearSensor, "0", "1800", "1788", "Error", true, true},  // no front: no ratio
      {kRwdFrontSensor, "1600", "1800", "2011", "2853", true, true},
      {kRwdFrontSensor, "0", "1800", "Error", "Error", false, true},
      {kRwdFrontSensor, "1600", "0", "2011", "Error", true, true},
      {kRwdPropshaftSensor, "1600", "0", "Error", "1000", false, false},
      {kRwdRearSensor, "1600", "0", "Error", "3210", false, false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::Message() << k.position << " " << k.front << " " << k.rear);
    CalculatorControls c = start_controls();
    c.tyre_type = kUnknownTyres;
    c.drive_and_sensor_position = k.position;
    c.front_tyre_circumference = k.front;
    c.rear_tyre_circumference = k.rear;
    const CalculationResult r = calculate(c);
    EXPECT_EQ(r.speedo_cal.text, k.speedo);
    EXPECT_EQ(r.gear_cal.text, k.gear);
    EXPECT_EQ(!r.front_circumference.empty(), k.front_shown);
    EXPECT_EQ(!r.rear_circumference.empty(), k.rear_shown);
    EXPECT_EQ(!r.front_radius.empty(), k.front_shown);
  }
}

TEST(GearingCalculator, SprocketRatioAndEntries) {
  EXPECT_EQ(sprocket_ratio_text("15", "44", "1.00"), "2.93");
  EXPECT_EQ(sprocket_ratio_text("", "44", "2.93"), "0.00");
  EXPECT_EQ(sprocket_ratio_text("15", "", "2.93"), "0.00");
  EXPECT_EQ(sprocket_ratio_text("0", "44", "2.93"), "2.93");  // keeps its text
  EXPECT_EQ(normalised_diff_ratio("3. 1"), "3.01");
  EXPECT_EQ(entry_or_zero(""), "0");
  CalculatorControls c = start_controls();
  c.diff_ratio = "x.yz";  // unparsable counts as 0
  EXPECT_EQ(final_drive_ratio(c), 0.0);
  EXPECT_EQ(calculate(c).speedo_cal.text, "Error");
  EXPECT_EQ(tyre_entry_visibility(kFwdFrontSensor).rear, false);
  EXPECT_EQ(tyre_entry_visibility(kFwdRearSensor).front, true);
  EXPECT_EQ(tyre_entry_visibility(kRwdFrontSensor).rear, true);
  EXPECT_EQ(tyre_entry_visibility(kRwdPropshaftSensor).front, false);
  EXPECT_EQ(tyre_entry_visibility(kRwdRearSensor).front, false);
}

TEST(GearingCalculator, ParametersRoundTripAndClamp) {
  CalculatorParameters p;
  CalculatorControls c = getCalculatorParams(p);
  c.tyre_type = kSlickTyres;
  c.diff_ratio = "4. 5";  // read as 4.05
  c.engine_teeth = "300";
  c.axle_teeth = "12";
  c.tyre_size_positions = {1, 2, 3, 4, 5, 6};
  c.rear_tyre_circumference = "70000";
  setCalculatorParams(c, p);
  EXPECT_EQ(p.tyre_type, kSlickTyres);
  EXPECT_EQ(p.differential_ratio, 4050);
  EXPECT_EQ(p.engine_sprocket_teeth, 255);
  EXPECT_EQ(p.axle_sprocket_teeth, 12);
  EXPECT_EQ(p.rear_tyre_circumference_mm, 65535);
  const CalculatorControls back = getCalculatorParams(p);
  EXPECT_EQ(back.diff_ratio, "4.05");
  EXPECT_EQ(back.engine_teeth, "255");
  EXPECT_EQ(back.tyre_size_positions, c.tyre_size_positions);
}

TEST(GearingCalculator, HandOverOnlyWithValidResults) {
  CalculatorParameters p;
  ScriptedHost host;
  std::string speedo, gear;
  auto target = [&](const std::string& s, const std::string& g) {
    speedo = s;
    gear = g;
  };
  CalculatorControls c = start_controls();
  c.drive_and_sensor_position = kRwdRearSensor;
  EXPECT_TRUE(sendToConfigure(c, calculate(c), p, host, target));
  EXPECT_EQ(speedo, "1110");
  EXPECT_EQ(gear, "3210");
  EXPECT_EQ(p.drive_and_sensor_position, kRwdRearSensor);

  speedo.clear();
  c.tyre_type = kUnknownTyres;
  c.rear_tyre_circumference = "300";
  host.expect(core::MessageKind::Error, "Calibration Values not Valid!");
  EXPECT_FALSE(sendToConfigure(c, calculate(c), p, host, target));
  CalculationResult cleared;  // results emptied by a list click
  host.expect("Calibration Values not Valid!");
  EXPECT_FALSE(sendToConfigure(c, cleared, p, host, target));
  EXPECT_EQ(host.verify(), "");
  EXPECT_EQ(speedo, "");
  EXPECT_EQ(p.rear_tyre_circumference_mm, 300);  // stored even when refused
}

}  // namespace
}  // namespace ardenvis::testing
