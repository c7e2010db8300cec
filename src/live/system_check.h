#pragma once
// What the installer's system check shows of one live-data frame, as raw as
// possible: the unit's main values, every dash light and external input, the
// connected displays and modules, the position module's fix, the sensor
// module and on-board channels as a percentage of full scale, the gear module.

#include <array>
#include <string>

#include "live/live_frame.h"

namespace ardenvis::core {

// Readouts, in the order the window lays them out.
enum class CheckReadout {
  WaterTemp,
  OilTemp,
  OilPressure,
  AuxPressure,
  Fuel,
  Battery,
  Speed,
  Rpm,
  Gear,
  GFirst,
  GSecond,
  Latitude,  // the position module
  Longitude,
  Time,
  Date,
  Satellites,
  Altitude,
  GpsSpeed,
  GearModule,
};
inline constexpr int kCheckReadoutCount = 19;
inline constexpr int kSensorChannels = 16;
inline constexpr int kOnBoardChannels = 4;

enum class CheckLamp {
  WaterAlarm,  // the unit values' alarm lamps
  OilTempAlarm,
  FuelAlarm,
  OilPressureAlarm,
  AuxAlarm,
  BatteryAlarm,
  DashBattery,  // "Dash Light Input Check"
  DashIndicator,
  DashMain,
  DashAuxOn,
  DashFogLight,
  DashHandbrake,
  DashNeutral,
  DashSpeed,
  SpeedTrigger,  // "External Input Check"
  LapTrigger,
  RpmInput,
  ExternalLogSwitch,
  MainDisplay,  // "Displays Connected"
  CoDriverDisplay,
  ShiftPodDisplay,
  GpsModule,  // each module's "Module Connected"
  FirstSensorModule,
  SecondSensorModule,
  GearModule,
  GpsDataValid,
  SatAcquired,
  PlCompatible,
  GpsConnected,
  SpeedCh1,
  SpeedCh2,
  SpeedCh3,
  SpeedCh4,
};
inline constexpr int kCheckLampCount = 33;
// The lamp's caption as the window shows it ("Speed Trigger Detect", "Module
// Connected" ...).
const char* check_lamp_caption(CheckLamp lamp);
// A name that tells the lamp apart where captions repeat (the command line).
const char* check_lamp_name(CheckLamp lamp);
const char* check_readout_name(CheckReadout readout);

struct SystemCheckView {
  std::array<std::string, kCheckReadoutCount> readouts;
  std::array<std::string, kSensorChannels> sensors;
  std::array<std::string, kOnBoardChannels> on_board;
  std::array<bool, kCheckLampCount> lamps{};
  std::string speed_unit = "(MPH)";  // the road speed and position module speed labels
  std::string pressure_unit = "(PSI)";
  std::string temperature_unit = "(degC)";

  std::string& readout(CheckReadout r) { return readouts[static_cast<size_t>(r)]; }
  const std::string& readout(CheckReadout r) const { return readouts[static_cast<size_t>(r)]; }
  bool lamp(CheckLamp l) const { return lamps[static_cast<size_t>(l)]; }
};

// The view of one frame.
SystemCheckView system_check_view(const LiveFrame& frame);
// No frame is coming in (no reply, no port): every readout reads "NA" and every
// lamp of the frame goes out. Module values and "Module Connected" lamps kept
// from an old frame would tell the installer that a module answers when
// nothing does. The unit labels stay as the last frame set them.
void show_no_data(SystemCheckView& view);
// Before the first frame: every readout "NA", every lamp out.
SystemCheckView empty_system_check();

}  // namespace ardenvis::core
