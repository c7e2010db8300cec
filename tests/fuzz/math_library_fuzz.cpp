// Any text as a math channel library: the lines are read or reported, every
// formula compiles or gives its error, and every channel evaluates over a small
// data set without a crash.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "math/channel_library.h"
#include "math/math_channels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis::core;
  static const DataSet set = [] {
    DataSet s;
    for (Series& series : s.series) series.resize(300);
    s.record_counts[1] = 300;
    for (long k = 1; k <= 300; ++k) {
      s[Channel::PeloTime].set(k, 0.1 * static_cast<double>(k));
      s[Channel::Speed].set(k, static_cast<double>(k % 37));
      s[Channel::Lap].set(k, static_cast<double>(k / 100));
    }
    return s;
  }();
  const ChannelLibrary library =
      parse_channel_library(std::string_view(reinterpret_cast<const char*>(data), size));
  const MathChannels channels(library.channels);
  channels.problems();
  for (size_t i = 0; i < channels.size(); ++i) channels.evaluate(i, set);
  return 0;
}
