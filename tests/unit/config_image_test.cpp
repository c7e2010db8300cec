#include "config/config_image.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace ardenvis::core {
namespace {

using F = FieldId;

class ConfigImageTest : public ::testing::Test {
 protected:
  // A fresh window: the editor's defaults encoded as on its first activation.
  void SetUp() override { setup_configure_form(editor); }

  std::vector<int> eeprom(int from, int to) {
    std::vector<int> out;
    for (int a = from; a <= to; ++a) out.push_back(state.config.buffer.eeprom()[a]);
    return out;
  }
  std::vector<int> fram(int from, int to) {
    std::vector<int> out;
    for (int a = from; a <= to; ++a) out.push_back(state.config.buffer.fram()[a]);
    return out;
  }
  // Puts bytes into the working images and decodes them as a read does.
  void decode_with(std::initializer_list<std::pair<int, uint8_t>> eeprom_bytes) {
    process_form_data(editor);
    for (auto [address, value] : eeprom_bytes) state.config.buffer.eeprom()[address] = value;
    decode_configuration(editor);
  }
  bool flagged() const { return state.config.range_error != 0; }

  ProgramState state;
  ConfigEditor editor{state.config, state.calculator};
};

TEST_F(ConfigImageTest, DefaultEditorEncodesTheUnitsFactoryBytes) {
  EXPECT_EQ(eeprom(2, 15), (std::vector<int>{0x00, 0xA4, 0x08, 0x02, 0xFF, 0xFF, 0x01, 0x05, 0x01,
                                             0x1A, 0x00, 0x40, 0x01, 0x0A}));
  EXPECT_EQ(eeprom(16, 16), (std::vector<int>{0}));  // never set by the editor
  EXPECT_EQ(fram(0, 3), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(fram(88, 91), (std::vector<int>{0x80, 0x4A, 0x5D, 0x05}));  // latitude -90
  EXPECT_EQ(fram(92, 95), (std::vector<int>{0x00, 0x95, 0xBA, 0x0A}));  // longitude -180
  // A handful of the rest: calibration, alarms, ratios, units, LCD page 17/18, pulleys.
  EXPECT_EQ(eeprom(17, 34), (std::vector<int>{0, 0xE8, 0x03, 0, 60, 0xE8, 0x03, 1, 30, 5, 20, 105,
                                              30, 110, 5, 65, 1, 8}));
  EXPECT_EQ(eeprom(35, 38), (std::vector<int>{0xE8, 0x03, 0xA0, 0x0F}));
  EXPECT_EQ(eeprom(47, 49), (std::vector<int>{0x20, 0x03, 0x62}));
  EXPECT_EQ(eeprom(86, 93), (std::vector<int>{118, 30, 0x03, 0, 58, 12, 125, 0}));
  EXPECT_EQ(eeprom(95, 95), (std::vector<int>{2}));
  EXPECT_EQ(eeprom(144, 150), (std::vector<int>{16, 0, 0, 0, 0, 0, 8}));
  EXPECT_EQ(eeprom(64, 70), (std::vector<int>{0, 1, 3, 0x8A, 0x0C, 15, 44}));
  EXPECT_FALSE(flagged());
}

TEST_F(ConfigImageTest, EncodeLeavesBytesNoFieldOwns) {
  auto e = state.config.buffer.eeprom();
  for (int a : {0, 1, 16, 62, 63, 85, 94, 100, 151, 159}) e[a] = 0x5A;
  state.config.buffer.fram()[20] = 0x77;
  process_form_data(editor);
  for (int a : {0, 1, 16, 62, 63, 85, 94, 100, 151, 159}) EXPECT_EQ(e[a], 0x5A) << a;
  EXPECT_EQ(state.config.buffer.fram()[20], 0x77);
}

TEST_F(ConfigImageTest, LcdPageOneIsAlwaysOn) {
  decode_with({{6, 0xFE}});
  EXPECT_TRUE(editor.checked(F::CheckBox20));
  editor.set_checked(F::CheckBox20, false);  // the user cannot switch it off either
  EXPECT_TRUE(editor.checked(F::CheckBox20));
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[6], 0xFF);
  // Bits 18..23 are never written.
  decode_with({{88, 0xFF}});
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[88], 0x03);
}

TEST_F(ConfigImageTest, CoordinatesAreSignMagnitude) {
  struct Case {
    double degrees;
    std::array<uint8_t, 4> bytes;
  };
  for (const Case& c : {Case{51.5, {0xE0, 0xD3, 0x11, 0x83}}, Case{0.0, {0, 0, 0, 0}},
                        Case{-0.000001, {1, 0, 0, 0}}, Case{-51.5, {0xE0, 0xD3, 0x11, 0x03}}}) {
    std::array<uint8_t, 4> out{};
    encode_coordinate(c.degrees, out.data());
    EXPECT_EQ(out, c.bytes) << c.degrees;
  }
  // Through the editor: a typed -0.000001 survives encode and decode.
  editor.set_value(F::AbNumEdit3, -0.000001);
  editor.set_value(F::AbNumEdit1, 51.5);
  process_form_data(editor);
  EXPECT_EQ(fram(96, 99), (std::vector<int>{1, 0, 0, 0}));
  decode_configuration(editor);
  EXPECT_EQ(editor.text(F::AbNumEdit3), "-0.000001");
  EXPECT_EQ(editor.text(F::AbNumEdit1), "51.500000");
}

TEST_F(ConfigImageTest, CodedFieldsMapUnknownValuesToTheirDefaults) {
  // Camera distance: "999" is 100; any stored value but 10, 20, 30, 50 shows "999".
  editor.set_item(F::ComboBox5, 4);
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[87], 100);
  for (uint8_t stored : {10, 20, 30, 50, 100, 0, 7}) {
    decode_with({{87, stored}});
    const int expected = stored == 10   ? 0
                         : stored == 20 ? 1
                         : stored == 30 ? 2
                         : stored == 50 ? 3
                                        : 4;
    EXPECT_EQ(editor.item(F::ComboBox5), expected) << int(stored);
  }
  // Pulses per revolution: 0 and 3 show the first item and re-encode as 1.
  for (uint8_t stored : {0, 3}) {
    decode_with({{14, stored}});
    EXPECT_EQ(editor.item(F::ComboBox2), 0);
    process_form_data(editor);
    EXPECT_EQ(state.config.buffer.eeprom()[14], 1);
  }
  decode_with({{14, 4}});
  EXPECT_EQ(editor.item(F::ComboBox2), 2);
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[14], 4);
  // Alarm hold-over: 0 and 16 show "2.0s" and re-encode as 10.
  for (uint8_t stored : {0, 16}) {
    decode_with({{15, stored}});
    EXPECT_EQ(editor.item(F::ComboBox3), 9);
    process_form_data(editor);
    EXPECT_EQ(state.config.buffer.eeprom()[15], 10);
  }
  // Fuel sender above 5 and aux LED above 4 show item 0.
  decode_with({{2, 6}, {24, 5}});
  EXPECT_EQ(editor.item(F::fuel_level_sender), 0);
  EXPECT_EQ(editor.item(F::RadioGroup8), 0);
  // Dial codes.
  decode_with({{144, 99}, {146, 7}, {150, 2}});
  EXPECT_EQ(editor.item(F::RadioGroup17), 3);
  EXPECT_EQ(editor.item(F::ComboBox4), 0);
  EXPECT_EQ(editor.item(F::RadioGroup18), 3);
  decode_with({{146, 0xE8}, {147, 0x03}, {89, 200}});
  EXPECT_EQ(editor.item(F::ComboBox4), 7);   // "1000"
  EXPECT_EQ(editor.item(F::ComboBox6), 12);  // 400 m
  decode_with({{89, 7}});
  EXPECT_EQ(editor.item(F::ComboBox6), 8);  // 14 m is no item: "80"
  // Default LCD screen: exactly 2 is on.
  decode_with({{95, 1}});
  EXPECT_FALSE(editor.checked(F::CheckBox31));
}

TEST_F(ConfigImageTest, DialOffsetIsStoredInTwelfthsOfADegree) {
  editor.set_value(F::AbNumSpin4, 12.3);
  process_form_data(editor);
  EXPECT_EQ(eeprom(148, 149), (std::vector<int>{148, 0}));
  decode_configuration(editor);
  EXPECT_EQ(editor.text(F::AbNumSpin4), "12.0");
}

TEST_F(ConfigImageTest, LoggerControlBitsPreferTheLowestBit) {
  struct Case {
    uint8_t byte8;
    int item;
  };
  for (const Case& c :
       {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 1}, Case{4, 2}, Case{6, 2}, Case{7, 1}}) {
    decode_with({{8, c.byte8}});
    EXPECT_EQ(editor.item(F::RadioGroup1), c.item) << int(c.byte8);
  }
  editor.set_item(F::RadioGroup1, 2);
  editor.set_checked(F::CheckBox3, true);
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[8], 0x82);
}

TEST_F(ConfigImageTest, ScaledFieldsRoundAsStated) {
  editor.set_text(F::rpm_oil_psi_value, "2099");  // rounded down, but off the step
  editor.set_value(F::AbNumSpin2, 11.85);         // volts x 10, nearest
  editor.set_text(F::AbNumSpin3, "12.25");        // halves go to the even neighbour
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[27], 20);
  EXPECT_EQ(state.config.buffer.eeprom()[86], 118);  // the spin shows "11.8"
  EXPECT_EQ(state.config.buffer.eeprom()[90], 122);
}

TEST_F(ConfigImageTest, RatioTextFollowsTheMask) {
  EXPECT_EQ(word_to_TMaskEdit(1000), "1.   ");
  EXPECT_EQ(word_to_TMaskEdit(3210), "3.21 ");
  EXPECT_EQ(word_to_TMaskEdit(800), " .8  ");
  EXPECT_EQ(ratio_display_text(" .8  "), "0.800");
  EXPECT_EQ(TMaskEdit_to_word("1.   "), 1000);
  EXPECT_EQ(TMaskEdit_to_word(" .8  "), 800);
  EXPECT_EQ(TMaskEdit_to_word("2.5"), 2500);
  EXPECT_EQ(TMaskEdit_to_word(""), 0);
  EXPECT_EQ(TMaskEdit_to_word("x"), 0);
  // A stored ratio of 10 or more cannot pass the check.
  decode_with({{37, 0x10}, {38, 0x27}});
  EXPECT_TRUE(flagged());
  EXPECT_EQ(editor.field(F::gear_1_value).colour, FieldColour::Error);
}

TEST_F(ConfigImageTest, GearRule) {
  editor.set_text(F::num_gear_value, "4");
  EXPECT_FALSE(editor.field(F::gear_5_value).visible);
  EXPECT_FALSE(editor.field(F::gear_6_value).visible);
  EXPECT_EQ(editor.field(F::gear_5_value).colour, FieldColour::Background);
  EXPECT_EQ(editor.text(F::gear_5_value), editor.text(F::gear_4_value));
  EXPECT_EQ(editor.text(F::gear_6_value), editor.text(F::gear_4_value));
  EXPECT_TRUE(configuration_in_range(editor));
  EXPECT_FALSE(editor.notes().ratio_problem);

  editor.set_text(F::gear_3_value, "3.500");  // above gear 2 (3.000)
  EXPECT_TRUE(editor.notes().ratio_problem);
  EXPECT_TRUE(flagged());
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(editor.field(ratio_field(k)).colour, FieldColour::Error);
  editor.set_text(F::gear_3_value, "3.000");  // equal passes
  EXPECT_FALSE(editor.notes().ratio_problem);

  // Out-of-range gear counts are replaced by the nearest limit, the failure kept.
  editor.set_text(F::num_gear_value, "9");
  EXPECT_EQ(editor.text(F::num_gear_value), "6");
  EXPECT_TRUE(editor.field(F::gear_6_value).visible);
  editor.set_text(F::num_gear_value, "");
  EXPECT_EQ(editor.text(F::num_gear_value), "2");
  EXPECT_FALSE(editor.field(F::gear_3_value).visible);
}

TEST_F(ConfigImageTest, IntegerChecksWithSteps) {
  struct Case {
    FieldId field;
    const char* text;
    bool passes;
  };
  for (const Case& c :
       {Case{F::rpm_oil_psi_value, "2050", false}, Case{F::rpm_oil_psi_value, "100", true},
        Case{F::rpm_oil_psi_value, "25500", true}, Case{F::rpm_oil_psi_value, "0", false},
        Case{F::shift_value_delta, "1000", true}, Case{F::shift_value_delta, "1100", false},
        Case{F::shift_value_peak, "2900", false}, Case{F::speedo_cal_value, "999", false},
        Case{F::Edit9, "255", true}, Case{F::Edit9, "256", false},
        Case{F::odometer_value, "99999", true}, Case{F::odometer_value, "100000", false},
        Case{F::water_temp_value, "99999999999999999999", false}}) {
    state.config.range_error = 0;
    editor.set_text(c.field, c.text);
    EXPECT_EQ(!flagged(), c.passes) << field_meta(c.field).name << " " << c.text;
    EXPECT_EQ(editor.field(c.field).colour == FieldColour::Valid, c.passes);
    editor.set_text(c.field, std::string(field_meta(c.field).default_value));
  }
  // An empty field becomes "0" and counts as an error, even where 0 is valid.
  state.config.range_error = 0;
  editor.set_text(F::Edit9, "");
  EXPECT_EQ(editor.text(F::Edit9), "0");
  EXPECT_TRUE(flagged());
  // A passing check never clears the flag.
  editor.set_text(F::Edit9, "10");
  EXPECT_TRUE(flagged());
}

TEST_F(ConfigImageTest, FixedSplitOrderRule) {
  editor.set_item(F::RadioGroup6, 1);
  struct Case {
    const char* s1;
    const char* s2;
    const char* s3;
    bool flagged;
    const char* note;
  };
  for (const Case& c :
       {Case{"500", "500", "1500", true, "Error (Split 2 > Split 1) and (Split 3 > Split 2)"},
        Case{"0", "10", "5", false, "Split 1 distance = 0 which disables the option"},
        Case{"0", "700", "900", false, "Split 1 distance = 0 which disables the option"},
        Case{"100", "200", "300", false, "Split Timer Function Enabled"}}) {
    editor.set_text(F::split_1_distance, c.s1);
    editor.set_text(F::split_2_distance, c.s2);
    editor.set_text(F::split_3_distance, c.s3);
    EXPECT_EQ(configuration_in_range(editor), !c.flagged) << c.s1 << c.s2 << c.s3;
    EXPECT_EQ(editor.notes().split_note, c.note);
  }
  EXPECT_EQ(editor.field(F::split_1_distance).colour, FieldColour::Valid);
  editor.set_checked(F::lapfuncena, false);
  EXPECT_EQ(editor.notes().split_note, "Split Timer Function Disabled");
  editor.set_text(F::split_1_distance, "0");
  EXPECT_EQ(editor.field(F::split_2_distance).colour, FieldColour::Background);
  // With computed splits the order is not checked.
  editor.set_text(F::split_1_distance, "900");
  editor.set_item(F::RadioGroup6, 0);
  EXPECT_TRUE(configuration_in_range(editor));
}

TEST_F(ConfigImageTest, CalculatorParametersClampOnDecode) {
  process_form_data(editor);
  auto e = state.config.buffer.eeprom();
  for (int a = 64; a <= 84; ++a) e[a] = 255;
  decode_configuration(editor);
  const CalculatorParameters& p = state.calculator;
  EXPECT_EQ(p.tyre_type, 2);
  EXPECT_EQ(p.final_drive_type, 1);
  EXPECT_EQ(p.drive_and_sensor_position, 4);
  EXPECT_EQ(p.differential_ratio, 9990);
  EXPECT_EQ(p.engine_sprocket_teeth, 99);
  EXPECT_EQ(p.axle_sprocket_teeth, 99);
  EXPECT_EQ(p.tyre_size_positions, (std::array<int, 6>{14, 10, 9, 14, 10, 9}));
  EXPECT_EQ(p.front_tyre_diameter_mm, 999);
  EXPECT_EQ(p.rear_tyre_diameter_mm, 999);
  EXPECT_EQ(p.front_tyre_circumference_mm, 9999);
  EXPECT_EQ(p.rear_tyre_circumference_mm, 9999);
  process_form_data(editor);
  EXPECT_EQ(eeprom(83, 84), (std::vector<int>{0x0F, 0x27}));
}

TEST_F(ConfigImageTest, DecodeRoundTripsEveryFieldOwnedByte) {
  // Every field set away from its default, encoded, decoded into a second
  // editor and encoded again gives the same images.
  editor.set_text(F::odometer_value, "12345");
  editor.set_item(F::fuel_level_sender, 3);
  editor.set_item(F::RadioGroup2, 1);
  editor.set_text(F::veh_weight, "1234");
  editor.set_checked(F::CheckBox28, false);
  editor.set_item(F::RadioGroup19, 1);
  editor.set_value(F::AbNumEdit8, 2.25);
  editor.set_text(F::Edit5, "4321");
  editor.set_item(F::mph_kmh_sel, 1);
  editor.set_text(F::num_gear_value, "5");
  editor.set_text(F::pulses_engine_cycle, "8");
  editor.user_select(F::ComboBox2, 1);
  editor.set_item(F::RadioGroup18, 2);
  editor.set_item(F::RadioGroup17, 4);
  process_form_data(editor);
  const auto first = state.config.buffer.bytes;

  ProgramState other;
  ConfigEditor copy{other.config, other.calculator};
  std::copy(first.begin(), first.end(), other.config.buffer.bytes.begin());
  decode_configuration(copy);
  EXPECT_EQ(other.config.range_error, 0);
  process_form_data(copy);
  EXPECT_EQ(other.config.buffer.bytes, first);
  EXPECT_EQ(copy.text(F::odometer_value), "12345");
  EXPECT_EQ(copy.text(F::AbNumEdit8), "2.250000");
  EXPECT_EQ(other.config.buffer.eeprom()[49], 0xD8);
}

TEST_F(ConfigImageTest, KeyFilter) {
  EXPECT_EQ(TEdit_int_key_press('7', 5), IntKeyAction::Accept);
  EXPECT_EQ(TEdit_int_key_press('\b', 5), IntKeyAction::Accept);
  EXPECT_EQ(TEdit_int_key_press('-', 5), IntKeyAction::Discard);
  EXPECT_EQ(TEdit_int_key_press('.', 5), IntKeyAction::Discard);
  EXPECT_EQ(TEdit_int_key_press('4', integer_field_length(field_meta(F::num_gear_value))),
            IntKeyAction::ReplaceText);
  EXPECT_EQ(integer_field_length(field_meta(F::odometer_value)), 5);
}

}  // namespace
}  // namespace ardenvis::core
