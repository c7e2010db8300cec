#pragma once
// The names a formula reads the logged channels by, the unit each one is in,
// and whether a data set's log carries it at all.

#include <span>
#include <string>
#include <string_view>

#include "state/data_set.h"
#include "state/program_state.h"

namespace ardenvis::core {

struct ChannelIdentifier {
  std::string_view name;  // "RPM", "Oil_Temp", "Analog_Ch3" ...
  Channel channel;
  std::string_view description;  // "engine speed"
};

// Every identifier, in the order they are listed to the user.
std::span<const ChannelIdentifier> channel_identifiers();
// The identifier named exactly `name` (names are case-sensitive), or null.
const ChannelIdentifier* find_channel_identifier(std::string_view name);
// The identifier whose name matches `name` but for upper and lower case, or
// null: what a user who typed "rpm" meant.
const ChannelIdentifier* find_channel_identifier_ignoring_case(std::string_view name);

// The unit a formula reads the channel in (the units in force: the viewer's
// unit switches); empty where the value has none.
std::string_view channel_unit(Channel channel, const UnitFlags& flags);

// False when the data set's log holds no record that fills the channel (a
// GPS or sensor channel without its module, the slow channels without their
// record): the channel then reads 0 everywhere, which is no measurement.
bool log_carries(const DataSet& set, Channel channel);

}  // namespace ardenvis::core
