#pragma once
// What the plot offers: the channel table of the "Data Select" page, the
// 20-colour palette of its colour drop-downs, the x-axis choices with their
// captions, and the x-axis series each slot carries for the plot.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "state/data_set.h"
#include "state/program_state.h"

namespace ardenvis::core {

// The 20 colours of the drop-downs. `value` is the 0x00BBGGRR number the
// preference file stores.
struct PaletteColour {
  const char* name;
  uint32_t value;
};
inline constexpr int kPaletteSize = 20;
std::span<const PaletteColour> palette();
// Position of a colour in the palette, or -1.
int palette_index(uint32_t value);
inline constexpr uint8_t colour_red(uint32_t value) { return value & 0xFF; }
inline constexpr uint8_t colour_green(uint32_t value) { return (value >> 8) & 0xFF; }
inline constexpr uint8_t colour_blue(uint32_t value) { return (value >> 16) & 0xFF; }

namespace colour {
inline constexpr uint32_t black = 0x000000, maroon = 0x000080, green = 0x008000, olive = 0x008080,
                          navy = 0x800000, purple = 0x800080, teal = 0x808000, gray = 0x808080,
                          silver = 0xC0C0C0, red = 0x0000FF, lime = 0x00FF00, yellow = 0x00FFFF,
                          blue = 0xFF0000, fuchsia = 0xFF00FF, aqua = 0xFFFF00, white = 0xFFFFFF;
}  // namespace colour

// Which unit a row's label follows.
enum class UnitKind { None, Speed, Pressure, Temperature, Distance, TimesTen };

struct PlotChannel {
  const char* caption;  // check box caption, exactly as shown
  bool checked_at_start;
  uint32_t colour_a;
  uint32_t colour_b;
  UnitKind unit;
  Channel channel;
  int draw_order;  // 1 = drawn first
};

// Rows top to bottom as the table lists them.
inline constexpr int kPlotChannelCount = 14;
std::span<const PlotChannel> plot_channels();
// Row index of a channel, or -1.
int plot_channel_row(Channel channel);
// Row indexes in draw order.
std::span<const int> plot_channel_draw_order();
// The Odometer row is drawn relative to its value at the first plotted sample.
inline bool drawn_relative(Channel channel) { return channel == Channel::Odo; }

// The label beside a row: "(MPH)", "(Bar)", "x10", ... or "" for rows without.
std::string unit_label(const PlotChannel& row, const UnitFlags& flags);

// X-axis choices ("on X-Axis"), default 0 "Time".
struct XAxisChoice {
  const char* item;
  Channel series;
};
inline constexpr int kXAxisChoiceCount = 17;
inline constexpr int kXAxisTime = 0;
inline constexpr int kXAxisDistance = 1;
std::span<const XAxisChoice> x_axis_choices();
// Choices from kXAxisChoiceCount on are the math channels, in library order:
// the index into DataSet::math, or -1 for a logged channel's choice.
inline int x_axis_math_channel(int choice) {
  return choice >= kXAxisChoiceCount ? choice - kXAxisChoiceCount : -1;
}
// The caption both X scales carry for a choice in the units in force.
std::string x_axis_caption(int choice, const UnitFlags& flags);
// Time and distance never fall, so the plot may treat them as sorted keys.
bool x_axis_is_monotonic(int choice);

// change_x_axis: copies the chosen series into the x-axis series of both slots
// (slots without data too, so nothing stale is left behind). A math channel
// a slot does not hold leaves its x-axis series empty.
void build_x_axis_series(ProgramState& state, int choice);

// The x-axis selector is usable only while something is plotted.
inline bool x_axis_selector_enabled(bool any_channel_checked, bool any_slip_checked) {
  return any_channel_checked || any_slip_checked;
}

}  // namespace ardenvis::core
