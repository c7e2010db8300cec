#include "viewer/viewer_units.h"

#include <algorithm>

#include "common/savitzky_golay.h"

namespace ardenvis::core {

std::span<const SmoothingChoice> smoothing_choices() {
  static const SmoothingChoice kChoices[] = {
      {"RPM", Channel::Rpm},
      {"Speed", Channel::Speed},
      {"Oil Pressure", Channel::OilPressure},
      {"Aux Pressure", Channel::AuxPressure},
      {"Oil Temp", Channel::OilTemp},
      {"Water Temp", Channel::WaterTemp},
      {"Battery Volts", Channel::Battery},
      {"G Lat", Channel::GLat},
      {"G Long", Channel::GLong},
      {"Analog Ch1", analog_channel(1)},
      {"Analog Ch2", analog_channel(2)},
      {"Analog Ch3", analog_channel(3)},
      {"Analog Ch4", analog_channel(4)},
      {"Analog Ch5", analog_channel(5)},
      {"Analog Ch6", analog_channel(6)},
      {"Analog Ch7", analog_channel(7)},
      {"Analog Ch8", analog_channel(8)},
      {"Pulse Ch1", pulse_channel(1)},
      {"Pulse Ch2", pulse_channel(2)},
      {"Pulse Ch3", pulse_channel(3)},
      {"Pulse Ch4", pulse_channel(4)},
  };
  return kChoices;
}

int smoothData(ProgramState& state, Channel channel) {
  int smoothed = 0;
  for (DataSet& set : state.data_sets) {
    if (!set.has_data()) continue;
    Series& series = set[channel];
    // The series is as long as the slot's samples; smooth only what both agree on.
    const long n = std::min<long>(series.size(), static_cast<long>(set.sample_count()));
    if (n < kViewerSmoothingWindow + 1) continue;
    if (savitzky_golay_smooth(std::span<double>(series.data(), static_cast<size_t>(n)),
                              kViewerSmoothingWindow)) {
      ++smoothed;
    }
  }
  return smoothed;
}

}  // namespace ardenvis::core
