// Any text as a display preference file: read as far as it converts, never a
// crash, and every value it leaves is one the viewer's controls can hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "viewer/display_preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis::core;
  const PreferenceRead read = read_preferences(
      std::string_view(reinterpret_cast<const char*>(data), size), DisplayPreferences::defaults());
  const DisplayPreferences& p = read.values;
  if (read.lines_applied < 0 || read.lines_applied > kPreferenceLineCount) std::abort();
  if (p.line_a < 0 || p.line_a >= kLineStyleChoices || p.grid_enable < 0 ||
      p.grid_enable >= kGridEnableChoices || p.time_slip.scale >= kTimeSlipScaleChoices ||
      p.odo_slip.scale >= kOdoSlipScaleChoices) {
    std::abort();
  }
  for (uint32_t colour : p.colour_a) {
    if (colour > 0xFFFFFF) std::abort();
  }
  return 0;
}
