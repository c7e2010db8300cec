#include "viewer/plot_channels.h"

#include <algorithm>

#include "common/format.h"
#include "viewer/viewer_units.h"

namespace ardenvis::core {

std::span<const PaletteColour> palette() {
  static constexpr PaletteColour kColours[kPaletteSize] = {
      {"Black", colour::black}, {"Maroon", colour::maroon},   {"Green", colour::green},
      {"Olive", colour::olive}, {"Navy", colour::navy},       {"Purple", colour::purple},
      {"Teal", colour::teal},   {"Gray", colour::gray},       {"Silver", colour::silver},
      {"Red", colour::red},     {"Lime", colour::lime},       {"Yellow", colour::yellow},
      {"Blue", colour::blue},   {"Fuchsia", colour::fuchsia}, {"Aqua", colour::aqua},
      {"White", colour::white}, {"Money Green", 0xC0DCC0},    {"Sky Blue", 0xF0CAA6},
      {"Cream", 0xF0FBFF},      {"Medium Gray", 0xA4A0A0},
  };
  return kColours;
}

int palette_index(uint32_t value) {
  const auto colours = palette();
  for (size_t i = 0; i < colours.size(); ++i) {
    if (colours[i].value == value) return static_cast<int>(i);
  }
  return -1;
}

std::span<const PlotChannel> plot_channels() {
  using namespace colour;
  static constexpr PlotChannel kRows[kPlotChannelCount] = {
      {"RPM/100", true, red, red, UnitKind::None, Channel::Rpm, 1},
      {"Speed", true, fuchsia, fuchsia, UnitKind::Speed, Channel::Speed, 2},
      {"Gear", false, yellow, yellow, UnitKind::TimesTen, Channel::Gear, 7},
      {"Oil  ", true, blue, blue, UnitKind::Pressure, Channel::OilPressure, 3},
      {"Oil  ", false, lime, lime, UnitKind::Temperature, Channel::OilTemp, 4},
      {"Water", true, aqua, aqua, UnitKind::Temperature, Channel::WaterTemp, 5},
      {"Aux ", false, olive, olive, UnitKind::Pressure, Channel::AuxPressure, 9},
      {"Fuel %", false, green, green, UnitKind::None, Channel::Fuel, 8},
      {"Battery", false, maroon, maroon, UnitKind::None, Channel::Battery, 6},
      {"Brake %", false, navy, navy, UnitKind::None, Channel::Brake, 10},
      {"G Lat", false, purple, purple, UnitKind::TimesTen, Channel::GLat, 12},
      {"G Long", false, navy, navy, UnitKind::TimesTen, Channel::GLong, 13},
      {"Odometer", false, gray, gray, UnitKind::Distance, Channel::Odo, 14},
      {"Lap Time (s)", false, black, black, UnitKind::None, Channel::LapTime, 11},
  };
  return kRows;
}

int plot_channel_row(Channel channel) {
  const auto rows = plot_channels();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].channel == channel) return static_cast<int>(i);
  }
  return -1;
}

std::span<const int> plot_channel_draw_order() {
  static const std::array<int, kPlotChannelCount> kOrder = [] {
    std::array<int, kPlotChannelCount> order{};
    for (int i = 0; i < kPlotChannelCount; ++i) order[i] = i;
    const auto rows = plot_channels();
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return rows[a].draw_order < rows[b].draw_order; });
    return order;
  }();
  return kOrder;
}

std::string unit_label(const PlotChannel& row, const UnitFlags& flags) {
  // Formatted rather than "(" + unit + ")": g++ 12 at -O3 reports a false
  // -Wrestrict inside std::string for a one-character literal + string.
  switch (row.unit) {
    case UnitKind::None:
      return "";
    case UnitKind::TimesTen:
      return "x10";
    case UnitKind::Speed:
      return format("(%s)", speed_unit(flags).c_str());
    case UnitKind::Pressure:
      return format("(%s)", pressure_unit(flags).c_str());
    case UnitKind::Temperature:
      return format("(%s)", temperature_unit(flags).c_str());
    case UnitKind::Distance:
      return format("(%s)", distance_unit(flags).c_str());
  }
  return "";
}

std::span<const XAxisChoice> x_axis_choices() {
  static constexpr XAxisChoice kChoices[kXAxisChoiceCount] = {
      {"Time", Channel::PeloTime},
      {"Distance", Channel::Odo},
      {"RPM/100", Channel::Rpm},
      {"Speed", Channel::Speed},
      {"Gear x10", Channel::Gear},
      {"Brake %", Channel::Brake},
      {"Oil Pressure", Channel::OilPressure},
      {"Oil Temp", Channel::OilTemp},
      {"Water Temp", Channel::WaterTemp},
      {"Fuel %", Channel::Fuel},
      {"Aux Pressure", Channel::AuxPressure},
      {"Battery Volts", Channel::Battery},
      {"Lap Number", Channel::Lap},
      {"Lap Time", Channel::LapTime},
      {"Split Times", Channel::Split},
      {"G Lat x10", Channel::GLat},
      {"G Long x10", Channel::GLong},
  };
  return kChoices;
}

std::string x_axis_caption(int choice, const UnitFlags& flags) {
  switch (choice) {
    case 0:
      return "Time(s)";
    case 1:
      return "Distance(" + distance_unit(flags) + ")";
    case 2:
      return "RPM/100";
    case 3:
      return "Speed(" + speed_unit(flags) + ")";
    case 4:
      return "Gear";
    case 5:
      return "Brake %";
    case 6:
      return "Oil Pressure(" + pressure_unit(flags) + ")";
    case 7:
      return "Oil Temp(" + temperature_unit(flags) + ")";
    case 8:
      return "Water Temp(" + temperature_unit(flags) + ")";
    case 9:
      return "Fuel %";
    case 10:
      return "Aux Pressure(" + pressure_unit(flags) + ")";
    case 11:
      return "Battery Volts";
    case 12:
      return "Lap Number";
    case 13:
      return "Lap Time";
    case 14:
      return "Split Times";
    case 15:
      return "G Lat (g)";
    case 16:
      return "G Long (g)";
    default:
      return "";
  }
}

bool x_axis_is_monotonic(int choice) { return choice == kXAxisTime || choice == kXAxisDistance; }

void build_x_axis_series(ProgramState& state, int choice) {
  const int math = x_axis_math_channel(choice);
  if (choice < 0) choice = kXAxisTime;
  const Series none;
  for (DataSet& set : state.data_sets) {
    Series& x = set[Channel::XAxis];
    const Series& from = math < 0 ? set[x_axis_choices()[static_cast<size_t>(choice)].series]
                         : static_cast<size_t>(math) < set.math.size()
                             ? set.math[static_cast<size_t>(math)].values
                             : none;
    if (from.empty()) {
      x.clear();
      continue;
    }
    x.resize(from.size());
    std::copy(from.data(), from.data() + from.size(), x.data());
  }
}

}  // namespace ardenvis::core
