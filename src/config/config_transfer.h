#pragma once
// "Read Config" and "Write Config": the configuration images between the
// program and the unit, byte by byte, with the unit's version, memory size,
// CAN modules and CAN statistics shown on the "Version" page.

#include <cstdint>
#include <string>

#include "common/host.h"
#include "config/config_editor.h"
#include "state/unit_link.h"

namespace ardenvis::core {

namespace config_transfer_message {
inline constexpr const char* downloaded = "Pelorant2 Config Downloaded OK";
inline constexpr const char* downloaded_check = "Downloaded OK BUT Check Data Ranges";
// A unit that stops answering part way through a read: nothing it sent is used.
inline constexpr const char* read_no_reply =
    "Pelorant2 Config Download Failed\rThe unit stopped replying, no config data was changed";
// Replies that came out of step or did not agree when read again: nothing is used.
inline constexpr const char* read_garbled =
    "Pelorant2 Config Download Failed\rThe unit's replies did not agree, no config data was "
    "changed";
inline constexpr const char* not_in_range = "Config Data not in Range, Cannot Upload";
inline constexpr const char* eeprom_problem = "Problem Writing EEPROM Data Packet";
inline constexpr const char* fram_problem = "Problem Writing FRAM Data Packet";
inline constexpr const char* uploaded = "Pelorant2 Config Uploaded OK";
// A write in which a stage failed: the unit holds only part of the new config.
inline constexpr const char* upload_incomplete =
    "Pelorant2 Config Upload Incomplete\rThe unit may hold part of the new config, Write Config "
    "again";
}  // namespace config_transfer_message

// Memory code of the 'h' or 'a' reply to the memory size in hundredths of a
// megabit: 9 -> 865, 11 -> 1730, 15 -> 6920, any other -> 0.
uint16_t memory_size_of_code(uint8_t code);
// The name a CAN module's type byte is shown with.
const char* can_module_name(uint8_t type);
// The "Connected Modules and Status" line of a module.
std::string can_module_line(uint8_t type, uint8_t major, uint8_t minor);

// NoReply: the unit fell silent; Unsettled: its replies came out of step or
// disagreed on every repeat. Either way the read changed nothing.
enum class TransferResult { Ok, RangeWarning, Refused, NoReply, Unsettled, Incomplete };

// "Read Config" (get_config_data). On success the staging copies, images,
// CAN statistics, version values and memory size are filled and the editor
// shows what the unit holds.
TransferResult get_config_data(ConfigEditor& editor, UnitLink& link, Host& host);
// "Write Config" (set_config_data).
TransferResult set_config_data(ConfigEditor& editor, UnitLink& link, Host& host);

}  // namespace ardenvis::core
