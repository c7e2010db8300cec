#pragma once
// A series value as a physical quantity: what the spreadsheet export writes
// and what formulas read. Most series already hold one (in the units the unit
// flags name); RPM holds hundreds of rpm and Gear, Gear Module, G Lat and
// G Long ten times their value, for the plot's sake.

#include "state/data_set.h"

namespace ardenvis::core {

enum class StoredScale : uint8_t {
  AsHeld,
  Hundredths,  // the series holds value / 100
  Tenfold,     // the series holds value x 10
};

constexpr StoredScale stored_scale(Channel channel) {
  switch (channel) {
    case Channel::Rpm:
      return StoredScale::Hundredths;
    case Channel::Gear:
    case Channel::GearModule:
    case Channel::GLat:
    case Channel::GLong:
      return StoredScale::Tenfold;
    default:
      return StoredScale::AsHeld;
  }
}

// The operations are the export's own (x 100, / 10), so both give the same bits.
[[gnu::always_inline]] inline double physical_value(StoredScale scale, double stored) {
  switch (scale) {
    case StoredScale::Hundredths:
      return stored * 100;
    case StoredScale::Tenfold:
      return stored / 10;
    case StoredScale::AsHeld:
      break;
  }
  return stored;
}

[[gnu::always_inline]] inline double physical_value(Channel channel, double stored) {
  return physical_value(stored_scale(channel), stored);
}

}  // namespace ardenvis::core
