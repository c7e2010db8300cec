#include "calc/gearing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "common/format.h"

namespace ardenvis::core {

namespace {

constexpr double kPi = std::numbers::pi_v<long double>;
constexpr int kSpeedoCalMin = 1000;
constexpr int kGearCalMin = 500;
constexpr int kCalMax = 9999;

std::optional<double> parse_number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

long parse_integer(const std::string& text) {
  long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return 0;
  return value;
}

int clamp_to(long value, long largest) { return static_cast<int>(std::clamp(value, 0L, largest)); }

int list_item(const std::array<int, 6>& positions, TyreSizeList list, size_t items) {
  const int position = positions[list];
  return std::clamp(position, 0, static_cast<int>(items) - 1);
}

// Rounded to the nearest integer, halves to even; empty when the value does
// not fit a signed 32-bit integer (or is not a number).
std::optional<long> rounded(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double r = std::nearbyint(value);
  if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<long>(r);
}

ResultField shown(std::optional<long> value, long minimum) {
  if (!value || *value > kCalMax || *value < minimum) return {calculator_message::error, true};
  return {std::to_string(*value), false};
}

}  // namespace

CalculatorControls getCalculatorParams(const CalculatorParameters& p) {
  CalculatorControls c;
  c.tyre_type = p.tyre_type;
  c.final_drive_type = p.final_drive_type;
  c.drive_and_sensor_position = p.drive_and_sensor_position;
  c.tyre_size_positions = p.tyre_size_positions;
  c.diff_ratio = format("%.2f", p.differential_ratio / 1000.0);
  c.engine_teeth = std::to_string(p.engine_sprocket_teeth);
  c.axle_teeth = std::to_string(p.axle_sprocket_teeth);
  c.sprocket_ratio = sprocket_ratio_text(c.engine_teeth, c.axle_teeth, c.sprocket_ratio);
  c.front_tyre_diameter = std::to_string(p.front_tyre_diameter_mm);
  c.rear_tyre_diameter = std::to_string(p.rear_tyre_diameter_mm);
  c.front_tyre_circumference = std::to_string(p.front_tyre_circumference_mm);
  c.rear_tyre_circumference = std::to_string(p.rear_tyre_circumference_mm);
  return c;
}

void setCalculatorParams(const CalculatorControls& c, CalculatorParameters& p) {
  constexpr long kByte = 0xFF;
  constexpr long kWord = 0xFFFF;
  p.tyre_type = c.tyre_type;
  p.final_drive_type = c.final_drive_type;
  p.drive_and_sensor_position = c.drive_and_sensor_position;
  const double ratio = parse_number(normalised_diff_ratio(c.diff_ratio)).value_or(0.0);
  p.differential_ratio = clamp_to(static_cast<long>(std::nearbyint(ratio * 1000.0)), kWord);
  p.engine_sprocket_teeth = clamp_to(parse_integer(c.engine_teeth), kByte);
  p.axle_sprocket_teeth = clamp_to(parse_integer(c.axle_teeth), kByte);
  p.tyre_size_positions = c.tyre_size_positions;
  p.front_tyre_diameter_mm = clamp_to(parse_integer(c.front_tyre_diameter), kWord);
  p.rear_tyre_diameter_mm = clamp_to(parse_integer(c.rear_tyre_diameter), kWord);
  p.front_tyre_circumference_mm = clamp_to(parse_integer(c.front_tyre_circumference), kWord);
  p.rear_tyre_circumference_mm = clamp_to(parse_integer(c.rear_tyre_circumference), kWord);
}

std::string sprocket_ratio_text(const std::string& engine_teeth, const std::string& axle_teeth,
                                const std::string& previous) {
  if (engine_teeth.empty() || axle_teeth.empty()) return "0.00";
  const long engine = parse_integer(engine_teeth);
  if (engine == 0) return previous;
  return format("%.2f", static_cast<double>(parse_integer(axle_teeth)) / engine);
}

std::string normalised_diff_ratio(const std::string& text) {
  std::string out = text;
  std::replace(out.begin(), out.end(), ' ', '0');
  return out;
}

std::string entry_or_zero(const std::string& text) { return text.empty() ? "0" : text; }

double rolling_circumference(const CalculatorControls& c, bool front) {
  switch (c.tyre_type) {
    case kRoadTyres: {
      const auto& pos = c.tyre_size_positions;
      const int width = kTyreWidths_mm[list_item(pos, front ? kFrontWidth : kRearWidth, 15)];
      const int profile =
          kTyreProfiles_percent[list_item(pos, front ? kFrontProfile : kRearProfile, 11)];
      const int wheel =
          kWheelDiameters_in[list_item(pos, front ? kFrontWheelDiameter : kRearWheelDiameter, 10)];
      return kPi * (wheel * 0.0254 + 2.0 * (width / 1000.0) * (profile / 100.0));
    }
    case kSlickTyres:
      return parse_integer(front ? c.front_tyre_diameter : c.rear_tyre_diameter) * kPi / 1000.0;
    default:
      return parse_integer(front ? c.front_tyre_circumference : c.rear_tyre_circumference) / 1000.0;
  }
}

double final_drive_ratio(const CalculatorControls& c) {
  const std::string& text =
      c.final_drive_type == kGearDiff ? normalised_diff_ratio(c.diff_ratio) : c.sprocket_ratio;
  return parse_number(text).value_or(0.0);
}

CalculationResult calculate(const CalculatorControls& c) {
  const double cf = rolling_circumference(c, true);
  const double cr = rolling_circumference(c, false);
  const double r = final_drive_ratio(c);
  const double k = kCalibrationConstant;
  std::optional<long> speedo = 0;
  std::optional<long> gear = 0;
  bool front_info = false;
  bool rear_info = false;
  // A factor that would divide by a zero circumference has no value: it shows
  // "Error" like any other result outside the unit's range.
  switch (c.drive_and_sensor_position) {
    case kFwdFrontSensor:
      speedo = cf > 0 ? rounded(k / cf) : 0;
      gear = rounded(1000.0 * r);
      front_info = true;
      break;
    case kFwdRearSensor:
      front_info = true;
      if (cr > 0) {
        speedo = rounded(k / cr);
        gear = cf > 0 ? rounded(1000.0 * r * cr / cf) : std::nullopt;
        rear_info = true;
      }
      break;
    case kRwdFrontSensor:
      rear_info = true;
      if (cf > 0) {
        speedo = rounded(k / cf);
        gear = cr > 0 ? rounded(1000.0 * r * cf / cr) : std::nullopt;
        front_info = true;
      }
      break;
    case kRwdPropshaftSensor:
      speedo = cr > 0 ? rounded(k * r / cr) : 0;
      gear = 1000;
      rear_info = cr > 0;
      break;
    default:
      speedo = cr > 0 ? rounded(k / cr) : 0;
      gear = rounded(1000.0 * r);
      rear_info = cr > 0;
      break;
  }
  CalculationResult result;
  result.speedo_cal = shown(speedo, kSpeedoCalMin);
  result.gear_cal = shown(gear, kGearCalMin);
  auto circumference = [](double metres) { return std::to_string(*rounded(metres * 1000.0)); };
  auto radius = [](double metres) { return std::to_string(*rounded(metres * 500.0 / kPi)); };
  if (front_info) {
    result.front_circumference = circumference(cf);
    result.front_radius = radius(cf);
  }
  if (rear_info) {
    result.rear_circumference = circumference(cr);
    result.rear_radius = radius(cr);
  }
  return result;
}

TyreEntryVisibility tyre_entry_visibility(int position) {
  if (position == kFwdFrontSensor) return {true, false};
  if (position == kRwdPropshaftSensor || position == kRwdRearSensor) return {false, true};
  return {true, true};
}

bool sendToConfigure(const CalculatorControls& controls, const CalculationResult& shown,
                     CalculatorParameters& parameters, Host& host,
                     const CalibrationTarget& target) {
  setCalculatorParams(controls, parameters);
  const auto valid = [](const ResultField& f) {
    return !f.text.empty() && f.text != calculator_message::error;
  };
  if (!valid(shown.speedo_cal) || !valid(shown.gear_cal)) {
    host.message(MessageKind::Error, calculator_message::values_not_valid, Buttons::Ok);
    return false;
  }
  if (target) target(shown.speedo_cal.text, shown.gear_cal.text);
  return true;
}

}  // namespace ardenvis::core
