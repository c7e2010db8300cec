#include "math/channel_identifiers.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace ardenvis::core {

namespace {

constexpr ChannelIdentifier kFixed[] = {
    {"Time", Channel::PeloTime, "time from the start of the log"},
    {"RPM", Channel::Rpm, "engine speed"},
    {"Speed", Channel::Speed, "road speed"},
    {"Gear", Channel::Gear, "gear number"},
    {"Water", Channel::WaterTemp, "water temperature"},
    {"Oil_Temp", Channel::OilTemp, "oil temperature"},
    {"Oil_Press", Channel::OilPressure, "oil pressure"},
    {"Aux_Press", Channel::AuxPressure, "auxiliary pressure"},
    {"Fuel", Channel::Fuel, "fuel level"},
    {"Battery", Channel::Battery, "battery voltage"},
    {"Brake", Channel::Brake, "brake on (100) or off (0)"},
    {"G_Lat", Channel::GLat, "lateral acceleration"},
    {"G_Long", Channel::GLong, "longitudinal acceleration"},
    {"Odo", Channel::Odo, "distance from the start of the log"},
    {"Lap_Odo", Channel::LapOdo, "distance into the lap"},
    {"Lap_Time", Channel::LapTime, "time of the sample's lap"},
    {"Lap", Channel::Lap, "lap number"},
    {"Session", Channel::Session, "session number"},
    {"Split", Channel::Split, "time of the last split"},
    {"CAN_Load", Channel::CanLoad, "CAN bus load"},
    {"GPS_Lat", Channel::GpsLatitude, "GPS latitude"},
    {"GPS_Long", Channel::GpsLongitude, "GPS longitude"},
    {"GPS_Speed", Channel::GpsSpeed, "GPS speed"},
    {"GPS_Alt", Channel::GpsAltitude, "GPS altitude"},
    {"Gear_Module", Channel::GearModule, "gear from the gear module (-1 reverse)"},
};

constexpr size_t kIdentifierCount = std::size(kFixed) + 4 + 16 + 4;

constexpr std::array<std::string_view, 4> kExtraNames = {"Extra_In1", "Extra_In2", "Extra_In3",
                                                         "Extra_In4"};
constexpr std::array<std::string_view, 16> kAnalogNames = {
    "Analog_Ch1",  "Analog_Ch2",  "Analog_Ch3",  "Analog_Ch4",  "Analog_Ch5",  "Analog_Ch6",
    "Analog_Ch7",  "Analog_Ch8",  "Analog_Ch9",  "Analog_Ch10", "Analog_Ch11", "Analog_Ch12",
    "Analog_Ch13", "Analog_Ch14", "Analog_Ch15", "Analog_Ch16"};
constexpr std::array<std::string_view, 4> kPulseNames = {"Pulse_Ch1", "Pulse_Ch2", "Pulse_Ch3",
                                                         "Pulse_Ch4"};

constexpr std::array<ChannelIdentifier, kIdentifierCount> kIdentifiers = [] {
  std::array<ChannelIdentifier, kIdentifierCount> all{};
  size_t n = 0;
  for (const ChannelIdentifier& fixed : kFixed) all[n++] = fixed;
  for (int i = 1; i <= 4; ++i) {
    all[n++] = {kExtraNames[static_cast<size_t>(i - 1)], extra_input_channel(i),
                "extra input, raw 10-bit value"};
  }
  for (int i = 1; i <= 16; ++i) {
    all[n++] = {kAnalogNames[static_cast<size_t>(i - 1)], analog_channel(i),
                "sensor module input, raw 10-bit value"};
  }
  for (int i = 1; i <= 4; ++i) {
    all[n++] = {kPulseNames[static_cast<size_t>(i - 1)], pulse_channel(i),
                "sensor module pulse input"};
  }
  return all;
}();

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The record id of a CAN frame record is its CAN id + 8.
constexpr size_t can_record(int can_id) { return static_cast<size_t>(can_id + 8); }

}  // namespace

std::span<const ChannelIdentifier> channel_identifiers() { return kIdentifiers; }

const ChannelIdentifier* find_channel_identifier(std::string_view name) {
  for (const ChannelIdentifier& id : kIdentifiers) {
    if (id.name == name) return &id;
  }
  return nullptr;
}

const ChannelIdentifier* find_channel_identifier_ignoring_case(std::string_view name) {
  for (const ChannelIdentifier& id : kIdentifiers) {
    if (same_ignoring_case(id.name, name)) return &id;
  }
  return nullptr;
}

std::string_view channel_unit(Channel channel, const UnitFlags& flags) {
  switch (channel) {
    case Channel::PeloTime:
    case Channel::LapTime:
    case Channel::Split:
      return "s";
    case Channel::Rpm:
      return "rev/min";
    case Channel::Speed:
      return flags.speed_kmh ? "KMH" : "MPH";
    case Channel::OilPressure:
    case Channel::AuxPressure:
      return flags.pressure_bar ? "Bar" : "psi";
    case Channel::OilTemp:
    case Channel::WaterTemp:
      return flags.temperature_degf ? "degF" : "degC";
    case Channel::Odo:
    case Channel::LapOdo:
      return flags.distance_feet ? "ft" : "m";
    case Channel::GLat:
    case Channel::GLong:
      return "g";
    case Channel::Battery:
      return "V";
    case Channel::Fuel:
    case Channel::Brake:
      return "%";
    case Channel::GpsLatitude:
    case Channel::GpsLongitude:
      return "deg";
    case Channel::GpsAltitude:
      return "m";
    default:
      return "";
  }
}

bool log_carries(const DataSet& set, Channel channel) {
  const auto counted = [&](size_t record_id) { return set.record_counts[record_id] > 0; };
  const int c = static_cast<int>(channel);
  const int analog = c - static_cast<int>(Channel::AnalogCh1);  // 0..15 for the analog inputs
  const int pulse = c - static_cast<int>(Channel::PulseCh1);    // 0..3 for the pulse inputs
  // The sensor modules send channels 1-4 (and pulse 1) as CAN id 143, 5-8 as
  // 144, 9-12 as 146 and 13-16 as 147.
  constexpr int kSensorFrames[] = {143, 144, 146, 147};
  if (analog >= 0 && analog < 16) return counted(can_record(kSensorFrames[analog / 4]));
  if (pulse >= 0 && pulse < 4) return counted(can_record(kSensorFrames[pulse]));
  switch (channel) {
    case Channel::OilTemp:
    case Channel::WaterTemp:
    case Channel::Battery:
    case Channel::Fuel:
    case Channel::CanLoad:
      return counted(2);  // the slow-channel record
    case Channel::GpsLatitude:
    case Channel::GpsLongitude:
      return counted(can_record(140));
    case Channel::GpsSpeed:
    case Channel::GpsAltitude:
      return counted(can_record(141));
    case Channel::GearModule:
      return counted(can_record(145));
    case Channel::ExtraInput1:
    case Channel::ExtraInput2:
    case Channel::ExtraInput3:
    case Channel::ExtraInput4:
      // Only the long sample records carry them, and nothing counts those: a
      // series that was never given a value other than 0 was not logged.
      return set[channel].has_storage();
    default:
      return true;  // every sample record fills it
  }
}

}  // namespace ardenvis::core
