#pragma once
// The gearing calculator: from the tyres, the final drive and where the speed
// sensor sits to the unit's speedometer and gear calibration factors. The
// window's controls are mirrored in CalculatorControls (texts as the entries
// hold them, list and radio positions as items), so every rule of the window is
// decided here.

#include <array>
#include <functional>
#include <string>

#include "common/host.h"
#include "state/program_state.h"

namespace ardenvis::core {

// Items of the size lists, in list order.
inline constexpr std::array<int, 15> kTyreWidths_mm{275, 265, 255, 245, 235, 225, 215, 205,
                                                    195, 185, 175, 165, 155, 145, 135};
inline constexpr std::array<int, 11> kTyreProfiles_percent{80, 70, 60, 55, 50, 45,
                                                           40, 35, 30, 25, 20};
inline constexpr std::array<int, 10> kWheelDiameters_in{19, 18, 17, 16, 15, 14, 13, 12, 11, 10};

enum TyreType { kRoadTyres = 0, kSlickTyres = 1, kUnknownTyres = 2 };
enum FinalDriveType { kSprocket = 0, kGearDiff = 1 };
enum DriveAndSensor {
  kFwdFrontSensor = 0,
  kFwdRearSensor = 1,
  kRwdFrontSensor = 2,
  kRwdPropshaftSensor = 3,
  kRwdRearSensor = 4,
};
// Positions of the six size lists in tyre_size_positions.
enum TyreSizeList {
  kFrontWidth = 0,
  kFrontProfile = 1,
  kFrontWheelDiameter = 2,
  kRearWidth = 3,
  kRearProfile = 4,
  kRearWheelDiameter = 5,
};

inline constexpr int kCalibrationConstant = 3218;

namespace calculator_message {
inline constexpr const char* values_not_valid = "Calibration Values not Valid!";
inline constexpr const char* error = "Error";
}  // namespace calculator_message

// What the calculator window's controls hold.
struct CalculatorControls {
  int tyre_type = kRoadTyres;
  int final_drive_type = kGearDiff;
  int drive_and_sensor_position = kRwdPropshaftSensor;
  std::array<int, 6> tyre_size_positions{};
  std::string diff_ratio = "3.21";  // masked "9.99"
  std::string engine_teeth = "15";
  std::string axle_teeth = "44";
  std::string sprocket_ratio = "2.93";
  std::string front_tyre_diameter = "450";
  std::string rear_tyre_diameter = "550";
  std::string front_tyre_circumference = "1600";
  std::string rear_tyre_circumference = "1800";
};

// getCalculatorParams: the controls as the stored set gives them (the sprocket
// ratio follows from the tooth counts).
CalculatorControls getCalculatorParams(const CalculatorParameters& parameters);
// setCalculatorParams: stores the controls. A tooth count that does not fit a
// byte, or a size that does not fit 16 bits, is stored as the largest value
// that fits.
void setCalculatorParams(const CalculatorControls& controls, CalculatorParameters& parameters);

// "Sprocket Ratio": axle / engine teeth "%.2f"; "0.00" when either entry is
// empty; the previous text when the engine count is 0.
std::string sprocket_ratio_text(const std::string& engine_teeth, const std::string& axle_teeth,
                                const std::string& previous);
// The differential ratio entry with every space read as "0".
std::string normalised_diff_ratio(const std::string& text);
// An emptied diameter or circumference entry reads "0".
std::string entry_or_zero(const std::string& text);

// Rolling circumference of the front or rear tyres, in metres.
double rolling_circumference(const CalculatorControls& controls, bool front);
// The final drive ratio R the factors use.
double final_drive_ratio(const CalculatorControls& controls);

// One result field: a number, "Error" (shown on red) or empty (neutral).
struct ResultField {
  std::string text;
  bool error = false;
};

struct CalculationResult {
  ResultField speedo_cal;
  ResultField gear_cal;
  // The tyre information grid; an empty text is an emptied field.
  std::string front_circumference, front_radius;
  std::string rear_circumference, rear_radius;
};

// The calculation and the result display.
CalculationResult calculate(const CalculatorControls& controls);

// Which tyre entries the sensor position shows (hidden ones keep their values).
struct TyreEntryVisibility {
  bool front = true;
  bool rear = true;
};
TyreEntryVisibility tyre_entry_visibility(int drive_and_sensor_position);

// The configuration editor's "Speedo Cal Factor" and "Gear Cal Factor" texts.
using CalibrationTarget =
    std::function<void(const std::string& speedo_cal, const std::string& gear_cal)>;

// sendToConfigure: stores the controls; when both results hold numbers, hands
// them to the target and returns true (the window then shows the
// configuration's "Calibrate" page). Otherwise "Calibration Values not Valid!".
bool sendToConfigure(const CalculatorControls& controls, const CalculationResult& shown,
                     CalculatorParameters& parameters, Host& host, const CalibrationTarget& target);

}  // namespace ardenvis::core
