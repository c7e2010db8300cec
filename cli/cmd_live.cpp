// "live": poll the unit's live-data frame and print, for each frame, what the
// "Virtual Display" would show (readouts, lit lamps, shift lights) or, with
// --system, what the "System Check" would show.

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/port_option.h"
#include "common/format.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "live/live_frame.h"
#include "live/system_check.h"
#include "live/virtual_display.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

using namespace std::chrono_literals;

void print_dashboard(const core::DashboardView& v) {
  using core::Gauge;
  std::printf("  Engine RPM: %s\n", v.rpm_text.c_str());
  std::printf("  Speed (%s): %s\n", v.speed_unit.c_str(), v.speed_text.c_str());
  std::printf("  Gear: %s\n", v.gear_text.c_str());
  for (Gauge g : {Gauge::WaterTemp, Gauge::OilTemp, Gauge::OilPressure, Gauge::AuxPressure,
                  Gauge::FuelLevel, Gauge::Battery}) {
    const core::GaugeView& gauge = v.gauge(g);
    std::printf("  %s (%s): %s\n", gauge.caption.c_str(), gauge.unit.c_str(),
                gauge.readout.c_str());
  }
  std::string lamps;
  for (int l = 0; l < core::kDashLampCount; ++l) {
    if (!v.lamps[static_cast<size_t>(l)]) continue;
    const auto lamp = static_cast<core::DashLamp>(l);
    const bool alarm = lamp >= core::DashLamp::WaterAlarm && lamp <= core::DashLamp::BatteryAlarm;
    lamps += std::string(lamps.empty() ? "" : ", ") + "\"" + core::dash_lamp_caption(lamp) +
             (alarm ? " alarm" : "") + "\"";
  }
  std::printf("  lamps: %s\n", lamps.empty() ? "none" : lamps.c_str());
  std::string pairs;
  for (int k = 5; k >= 1; --k) {
    // Formatted rather than " " + std::to_string(k): g++ 12 at -O3 reports a
    // false -Wrestrict inside std::string for a one-character literal + string.
    pairs += core::format(" %d%s", k, v.shift_pairs[static_cast<size_t>(k - 1)] ? ":on" : ":off");
  }
  std::printf("  shift lights: pairs%s, top:%s\n", pairs.c_str(), v.shift_top ? "on" : "off");
}

void print_system_check(const core::SystemCheckView& v) {
  using core::CheckReadout;
  for (int r = 0; r < core::kCheckReadoutCount; ++r) {
    const auto readout = static_cast<CheckReadout>(r);
    std::string name = core::check_readout_name(readout);
    switch (readout) {
      case CheckReadout::WaterTemp:
      case CheckReadout::OilTemp:
        name += " " + v.temperature_unit;
        break;
      case CheckReadout::OilPressure:
      case CheckReadout::AuxPressure:
        name += " " + v.pressure_unit;
        break;
      case CheckReadout::Speed:
      case CheckReadout::GpsSpeed:
        name += " " + v.speed_unit;
        break;
      default:
        break;
    }
    std::printf("  %s: %s\n", name.c_str(), v.readout(readout).c_str());
  }
  for (int c = 0; c < core::kSensorChannels; ++c) {
    std::printf("  Sensor Ch%d: %s\n", c + 1, v.sensors[static_cast<size_t>(c)].c_str());
  }
  for (int c = 0; c < core::kOnBoardChannels; ++c) {
    std::printf("  On-Board Ch%d: %s\n", c + 1, v.on_board[static_cast<size_t>(c)].c_str());
  }
  std::string lamps;
  for (int l = 0; l < core::kCheckLampCount; ++l) {
    if (!v.lamps[static_cast<size_t>(l)]) continue;
    lamps += std::string(lamps.empty() ? "" : ", ") + "\"" +
             core::check_lamp_name(static_cast<core::CheckLamp>(l)) + "\"";
  }
  std::printf("  lamps: %s\n", lamps.empty() ? "none" : lamps.c_str());
}

int live(Arguments& args) {
  auto number = port_number_or_complain(args.option("--port"), "live");
  if (!number) return 2;
  int count = 1;
  if (auto text = args.option("--count")) {
    char* end = nullptr;
    const long n = std::strtol(text->c_str(), &end, 10);
    if (!end || *end || n < 1 || n > 1000000) {
      std::fprintf(stderr, "ardenvis-cli live: --count takes a number of frames, 1 or more\n");
      return 2;
    }
    count = static_cast<int>(n);
  }
  const bool system = args.flag("--system");
  ConsoleHost host(false);
  serial::TSerialPort port;
  core::ProgramState state;
  state.link.port = &port;
  state.link.serial_port_number = static_cast<uint8_t>(*number);
  if (core::change_serial_port(state.link, host, *number) == 0) return 1;

  // The windows' own pace: five polls a second for the display, two for the check.
  const auto interval = system ? 500ms : 200ms;
  auto next = std::chrono::steady_clock::now();
  int read = 0;
  core::SystemCheckView check = core::empty_system_check();
  for (int i = 1; i <= count; ++i) {
    std::this_thread::sleep_until(next);
    next += interval;
    const auto frame = core::poll_live_frame(
        state.link, host,
        system ? core::FrameReader::SystemCheck : core::FrameReader::VirtualDisplay);
    if (!frame) {
      std::printf("frame %d: No Valid Data\n", i);
      if (system) {
        core::show_no_data(check);
        print_system_check(check);
      }
      continue;
    }
    ++read;
    std::printf("frame %d (L = %d)\n", i, frame->length());
    if (system) {
      check = core::system_check_view(*frame);
      print_system_check(check);
    } else {
      print_dashboard(core::build_dashboard(core::dashboard_inputs(*frame)));
    }
    std::fflush(stdout);
  }
  core::close_serial_port(state.link);
  return read == count ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("live",
                     "live --port COMn|DEVICE [--count N] [--system]   poll N live-data frames "
                     "(default 1) and show them as the Virtual Display (or the System Check) would",
                     live);

}  // namespace
}  // namespace ardenvis::cli
