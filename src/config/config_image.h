#pragma once
// The configuration images and the editor: encoding the editor's fields into
// the images, decoding the images into the fields, and the checks that decide
// whether a configuration may be uploaded or saved.

#include <string>

#include "common/host.h"
#include "config/config_editor.h"

namespace ardenvis::core {

// Encode: every editor field into its image bytes (EEPROM 2..15, 17..61,
// 64..84, 86..93, 95, 144..150; FRAM 0..3, 88..119). Other bytes are untouched.
void process_form_data(ConfigEditor& editor);
// Decode: every editor field from the images, in the fixed order, each field's
// change reaction running as on a user's edit.
void process_eeprom_data(ConfigEditor& editor);
// Every field check; leaves the range-error flag set if any failed. Never
// clears it.
void check_form_data(ConfigEditor& editor);

// After a read or a file load: staging copies to the images, then decode,
// clear the flag, decode again and check, so only the second pass's findings
// remain in the flag.
void take_staged_configuration(ConfigEditor& editor);
void decode_configuration(ConfigEditor& editor);
// Before an upload or a save: clear the flag and check; true when every
// field passed (the caller then encodes).
bool configuration_in_range(ConfigEditor& editor);
// The window's activation: clear the flag, encode, check.
void setup_configure_form(ConfigEditor& editor);

// The calculator parameters in EEPROM bytes 64..84, and back with the clamps.
void encode_calculator(const CalculatorParameters& parameters, std::span<uint8_t, 160> eeprom);
void decode_calculator(std::span<const uint8_t, 160> eeprom, CalculatorParameters& parameters);

// GPS coordinate in four sign-magnitude bytes.
void encode_coordinate(double degrees, uint8_t* bytes);
double decode_coordinate(const uint8_t* bytes);

// The odometer password window's "Enter": the message of the outcome.
void odometer_password_entered(ConfigEditor& editor, Host& host, const std::string& entry);

}  // namespace ardenvis::core
