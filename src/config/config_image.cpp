#include "config/config_image.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "common/format.h"

namespace ardenvis::core {

namespace {

using F = FieldId;

// Bytes shared by several fields: rebuilt from zero on every encode.
constexpr int kPackedBytes[] = {3, 6, 7, 8, 11, 13, 33, 49, 52, 88};

std::span<uint8_t> image_of(ConfigEditor& editor, Memory memory) {
  auto& buffer = editor.config().buffer;
  if (memory == Memory::Fram) return buffer.fram();
  return buffer.eeprom();
}

long long integer_value(const std::string& text) {
  long long value = 0;
  parse_field_integer(text, value);
  return value;
}

double real_value(const std::string& text) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  try {
    size_t used = 0;
    const double v = std::stod(std::string(s), &used);
    return std::isfinite(v) ? v : 0;
  } catch (...) {
    return 0;
  }
}

void put(std::span<uint8_t> image, int address, int bytes, long long value) {
  for (int i = 0; i < bytes; ++i) {
    image[static_cast<size_t>(address + i)] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
  }
}

long long get(std::span<const uint8_t> image, int address, int bytes) {
  long long value = 0;
  for (int i = 0; i < bytes; ++i) {
    value |= static_cast<long long>(image[static_cast<size_t>(address + i)]) << (8 * i);
  }
  return value;
}

uint8_t round_to_byte(double value) {
  return static_cast<uint8_t>(std::clamp(std::nearbyint(value), 0.0, 255.0));
}

// The LCD page mask lives in bytes 6, 7 and 88.
uint32_t lcd_mask(std::span<const uint8_t> eeprom) {
  return eeprom[6] | (eeprom[7] << 8) | (static_cast<uint32_t>(eeprom[88]) << 16);
}

bool bit_test(uint32_t value, int bit) { return bit >= 0 && bit < 32 && ((value >> bit) & 1u); }

int list_number(const FieldMeta& meta, int item) {
  if (item < 0 || item >= static_cast<int>(meta.choices.size())) return 0;
  return static_cast<int>(integer_value(std::string(meta.choices[static_cast<size_t>(item)])));
}

int item_of_number(const FieldMeta& meta, long long number, int otherwise) {
  for (size_t i = 0; i < meta.choices.size(); ++i) {
    if (integer_value(std::string(meta.choices[i])) == number && meta.choices[i] != "Off") {
      return static_cast<int>(i);
    }
  }
  return otherwise;
}

void encode_field(ConfigEditor& editor, const FieldMeta& meta) {
  const FieldState& f = editor.field(meta.id);
  auto image = image_of(editor, meta.memory);
  const int a = meta.address;
  auto& eeprom = image;
  switch (meta.codec) {
    case Codec::Plain:
      put(image, a, meta.bytes,
          meta.kind == FieldKind::Real ? static_cast<long long>(std::nearbyint(real_value(f.text)))
                                       : integer_value(f.text));
      break;
    case Codec::Index:
      image[a] = static_cast<uint8_t>(std::max(f.item, 0));
      break;
    case Codec::Bits: {
      const long long value =
          meta.kind == FieldKind::Integer ? integer_value(f.text) : std::max(f.item, 0);
      image[a] |= static_cast<uint8_t>((value & ((1 << meta.bits) - 1)) << meta.shift);
      break;
    }
    case Codec::Hundreds:
      image[a] = static_cast<uint8_t>(integer_value(f.text) / 100);
      break;
    case Codec::Ratio:
      put(image, a, 2, TMaskEdit_to_word(f.text));
      break;
    case Codec::Tenths:
      image[a] = round_to_byte(real_value(f.text) * 10.0);
      break;
    case Codec::LcdPage:
      if (f.item != 0 || meta.shift == 0) {
        const int bit = meta.shift;
        const int byte = bit < 8 ? 6 : bit < 16 ? 7 : 88;
        eeprom[byte] |= static_cast<uint8_t>(1u << (bit % 8));
      }
      break;
    case Codec::LoggerControl:
      if (f.item >= 1 && f.item <= 3) image[a] |= static_cast<uint8_t>(1u << (f.item - 1));
      break;
    case Codec::PulsesPerRev: {
      const uint8_t code = editor.config().pulses_per_rev_code;
      image[a] = code == 0 ? 1 : code;
      break;
    }
    case Codec::HoldOver:
      image[a] = static_cast<uint8_t>(f.item + 1);
      break;
    case Codec::CameraDistance:
      image[a] = round_to_byte(list_number(meta, f.item) / 10.0);
      break;
    case Codec::TriggerZone:
      image[a] = round_to_byte(list_number(meta, f.item) / 2.0);
      break;
    case Codec::DialRate: {
      constexpr int kRates[] = {16, 32, 64, 256, 512};
      put(image, a, 2,
          f.item == 0 || f.item == 1 || f.item == 3 || f.item == 4 ? kRates[f.item] : 64);
      break;
    }
    case Codec::DialStep:
      put(image, a, 2, f.item <= 0 ? 0 : list_number(meta, f.item));
      break;
    case Codec::DialOffset:
      put(image, a, 2, static_cast<long long>(std::nearbyint(real_value(f.text) * 3240.0 / 270.0)));
      break;
    case Codec::DialFilter: {
      constexpr int kCodes[] = {1, 8, 20, 32};
      image[a] = static_cast<uint8_t>(f.item >= 1 && f.item <= 3 ? kCodes[f.item] : 1);
      break;
    }
    case Codec::SvaScreen:
      image[a] = f.item != 0 ? 2 : 0;
      break;
    case Codec::SignMagnitude:
      encode_coordinate(real_value(f.text), &image[a]);
      break;
  }
}

void decode_field(ConfigEditor& editor, const FieldMeta& meta) {
  auto image = image_of(editor, meta.memory);
  const int a = meta.address;
  const FieldId id = meta.id;
  switch (meta.codec) {
    case Codec::Plain: {
      const long long v = get(image, a, meta.bytes);
      if (meta.kind == FieldKind::Real) {
        editor.set_value(id, static_cast<double>(v));
      } else {
        editor.set_text(id, std::to_string(v));
      }
      break;
    }
    case Codec::Index: {
      const int v = image[a];
      editor.set_item(id, v > static_cast<int>(meta.maximum) ? 0 : v);
      break;
    }
    case Codec::Bits: {
      const int v = (image[a] >> meta.shift) & ((1 << meta.bits) - 1);
      if (meta.kind == FieldKind::Integer) {
        editor.set_text(id, std::to_string(v));
      } else {
        editor.set_item(id, std::min(v, static_cast<int>(meta.maximum)));
      }
      break;
    }
    case Codec::Hundreds:
      editor.set_text(id, std::to_string(image[a] * 100));
      break;
    case Codec::Ratio:
      editor.set_text(id, word_to_TMaskEdit(static_cast<int>(get(image, a, 2))));
      break;
    case Codec::Tenths:
      editor.set_value(id, image[a] / 10.0);
      break;
    case Codec::LcdPage: {
      // Page 1 is always on, whatever the image holds.
      const bool on =
          meta.shift == 0 || bit_test(lcd_mask(editor.config().buffer.eeprom()), meta.shift);
      editor.set_item(id, on ? 1 : 0);
      break;
    }
    case Codec::LoggerControl: {
      int item = 0;
      if (image[a] & 4) item = 3;
      if (image[a] & 2) item = 2;
      if (image[a] & 1) item = 1;
      // The list has three items: a fourth shows as the last.
      editor.set_item(id, std::min(item, static_cast<int>(meta.maximum)));
      break;
    }
    case Codec::PulsesPerRev: {
      const uint8_t v = image[a];
      const int item = v == 1 ? 0 : v == 2 ? 1 : v == 4 ? 2 : -1;
      // A list's selection runs no reaction, so the held code is set here.
      editor.config().pulses_per_rev_code = item < 0 ? 1 : v;
      editor.set_item(id, std::max(item, 0));
      break;
    }
    case Codec::HoldOver: {
      const int v = image[a];
      editor.set_item(id, v >= 1 && v <= 15 ? v - 1 : 9);
      break;
    }
    case Codec::CameraDistance: {
      const int metres = image[a] * 10;
      const bool known = metres == 100 || metres == 200 || metres == 300 || metres == 500;
      editor.set_item(id, known ? item_of_number(meta, metres, 4) : 4);
      break;
    }
    case Codec::TriggerZone:
      editor.set_item(id, item_of_number(meta, image[a] * 2, 8));
      break;
    case Codec::DialRate: {
      const long long v = get(image, a, 2);
      editor.set_item(id, v == 16    ? 0
                          : v == 32  ? 1
                          : v == 64  ? 2
                          : v == 256 ? 3
                          : v == 512 ? 4
                                     : 3);
      break;
    }
    case Codec::DialStep: {
      const long long v = get(image, a, 2);
      editor.set_item(id, v == 0 ? 0 : item_of_number(meta, v, 0));
      break;
    }
    case Codec::DialOffset:
      editor.set_value(id, std::nearbyint(static_cast<double>(get(image, a, 2)) * 270.0 / 3240.0));
      break;
    case Codec::DialFilter: {
      const int v = image[a];
      editor.set_item(id, v == 1 ? 0 : v == 8 ? 1 : v == 20 ? 2 : v == 32 ? 3 : 3);
      break;
    }
    case Codec::SvaScreen:
      editor.set_item(id, image[a] == 2 ? 1 : 0);
      break;
    case Codec::SignMagnitude:
      editor.set_value(id, decode_coordinate(&image[a]));
      break;
  }
}

}  // namespace

void encode_coordinate(double degrees, uint8_t* bytes) {
  const double magnitude = std::min(std::nearbyint(std::fabs(degrees) * 1000000.0), 2147483647.0);
  const uint32_t m = static_cast<uint32_t>(magnitude);
  bytes[0] = static_cast<uint8_t>(m & 0xFF);
  bytes[1] = static_cast<uint8_t>((m >> 8) & 0xFF);
  bytes[2] = static_cast<uint8_t>((m >> 16) & 0xFF);
  bytes[3] = static_cast<uint8_t>(((m >> 24) & 0x7F) | (degrees > 0 ? 0x80 : 0));
}

double decode_coordinate(const uint8_t* bytes) {
  const uint32_t m = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                     (static_cast<uint32_t>(bytes[3] & 0x7F) << 24);
  const double degrees = m / 1000000.0;
  return (bytes[3] & 0x80) ? degrees : -degrees;
}

void encode_calculator(const CalculatorParameters& p, std::span<uint8_t, 160> e) {
  auto byte = [&](int address, int value) { e[address] = static_cast<uint8_t>(value & 0xFF); };
  auto word = [&](int address, int value) {
    e[address] = static_cast<uint8_t>(value & 0xFF);
    e[address + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
  };
  byte(64, p.tyre_type);
  byte(65, p.final_drive_type);
  byte(66, p.drive_and_sensor_position);
  word(67, p.differential_ratio);
  byte(69, p.engine_sprocket_teeth);
  byte(70, p.axle_sprocket_teeth);
  for (int i = 0; i < 6; ++i) byte(71 + i, p.tyre_size_positions[static_cast<size_t>(i)]);
  word(77, p.front_tyre_diameter_mm);
  word(79, p.rear_tyre_diameter_mm);
  word(81, p.front_tyre_circumference_mm);
  word(83, p.rear_tyre_circumference_mm);
}

void decode_calculator(std::span<const uint8_t, 160> e, CalculatorParameters& p) {
  auto byte = [&](int address, int clamp) { return std::min<int>(e[address], clamp); };
  auto word = [&](int address, int clamp) {
    return std::min<int>(e[address] | (e[address + 1] << 8), clamp);
  };
  p.tyre_type = byte(64, 2);
  p.final_drive_type = byte(65, 1);
  p.drive_and_sensor_position = byte(66, 4);
  p.differential_ratio = word(67, 9990);
  p.engine_sprocket_teeth = byte(69, 99);
  p.axle_sprocket_teeth = byte(70, 99);
  constexpr int kSizeClamps[] = {14, 10, 9, 14, 10, 9};
  for (int i = 0; i < 6; ++i)
    p.tyre_size_positions[static_cast<size_t>(i)] = byte(71 + i, kSizeClamps[i]);
  p.front_tyre_diameter_mm = word(77, 999);
  p.rear_tyre_diameter_mm = word(79, 999);
  p.front_tyre_circumference_mm = word(81, 9999);
  p.rear_tyre_circumference_mm = word(83, 9999);
}

void process_form_data(ConfigEditor& editor) {
  auto eeprom = editor.config().buffer.eeprom();
  for (int address : kPackedBytes) eeprom[static_cast<size_t>(address)] = 0;
  for (const FieldMeta& meta : config_fields()) encode_field(editor, meta);
  editor.config().buffer.fram()[3] = 0;
  encode_calculator(editor.calculator(), eeprom);
}

void process_eeprom_data(ConfigEditor& editor) {
  for (const FieldMeta& meta : config_fields()) {
    // The calculator parameters come between the split distances and byte 86.
    if (meta.id == F::AbNumSpin2)
      decode_calculator(editor.config().buffer.eeprom(), editor.calculator());
    decode_field(editor, meta);
  }
}

void check_form_data(ConfigEditor& editor) {
  editor.refresh_lap_labels();
  for (F id :
       {F::accel_start_speed, F::accel_stop_speed, F::water_temp_value, F::oil_temp_value,
        F::oil_psi_value, F::rpm_oil_psi_value, F::fuel_level_value, F::Edit7,
        F::display_brightness, F::Edit3, F::speedo_cal_value, F::gear_cal_value, F::veh_weight}) {
    editor.check_int_display_TEdit(id);
  }
  editor.update_gear_display();
  editor.check_int_display_TEdit(F::pulses_engine_cycle);
  for (F id : {F::lap_blank_period, F::Edit4, F::Edit5, F::Edit6, F::split_1_distance,
               F::split_2_distance, F::split_3_distance}) {
    editor.check_int_display_TEdit(id);
  }
  if (editor.item(F::RadioGroup6) == 1) editor.fixed_split_rule();
  editor.check_int_display_TEdit(F::shift_value_peak);
  editor.check_int_display_TEdit(F::shift_value_delta);
  editor.check_int_display_TEdit(F::odometer_value);
  editor.checkPulleyRatio();
  editor.notify();
}

void take_staged_configuration(ConfigEditor& editor) {
  auto& buffer = editor.config().buffer;
  std::copy(buffer.eeprom_staging().begin(), buffer.eeprom_staging().end(),
            buffer.eeprom().begin());
  std::copy(buffer.fram_staging().begin(), buffer.fram_staging().end(), buffer.fram().begin());
  decode_configuration(editor);
}

void decode_configuration(ConfigEditor& editor) {
  process_eeprom_data(editor);
  editor.config().range_error = 0;
  process_eeprom_data(editor);
  check_form_data(editor);
}

bool configuration_in_range(ConfigEditor& editor) {
  editor.config().range_error = 0;
  check_form_data(editor);
  // The check list above misses fields checked only as they are typed (the speed
  // alarm); an unedited out-of-range value must not reach the unit or a file, so
  // every ranged field of the table is checked here as well.
  for (const FieldMeta& meta : config_fields()) {
    if (meta.kind == FieldKind::Integer) editor.check_int_display_TEdit(meta.id);
  }
  editor.notify();
  return editor.config().range_error == 0;
}

void setup_configure_form(ConfigEditor& editor) {
  editor.config().range_error = 0;
  process_form_data(editor);
  check_form_data(editor);
}

void odometer_password_entered(ConfigEditor& editor, Host& host, const std::string& entry) {
  if (editor.enter_password(entry)) {
    host.message(MessageKind::Information, "Pelorant Odometer Overwrite Enabled", Buttons::Ok);
  } else {
    host.message(MessageKind::Error, "Incorrect Password", Buttons::Ok);
  }
}

}  // namespace ardenvis::core
