#include <gtest/gtest.h>

#include "config/config_image.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

using F = FieldId;

class ConfigEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { setup_configure_form(editor); }
  ProgramState state;
  ConfigEditor editor{state.config, state.calculator};
};

TEST_F(ConfigEditorTest, SplitTimerPageNeedsTheLapTimerPage) {
  editor.set_checked(lcd_page_field(4), false);
  EXPECT_FALSE(editor.checked(lcd_page_field(5)));  // unchecking page 4 takes page 5 with it
  editor.set_checked(lcd_page_field(5), true);
  EXPECT_FALSE(editor.checked(lcd_page_field(5)));
  editor.set_checked(lcd_page_field(1), false);
  EXPECT_TRUE(editor.checked(lcd_page_field(1)));
  editor.set_checked(lcd_page_field(4), true);
  editor.set_checked(lcd_page_field(5), true);
  EXPECT_TRUE(editor.checked(lcd_page_field(5)));
}

TEST_F(ConfigEditorTest, AccelBrakeText) {
  struct Case {
    const char* start;
    const char* stop;
    const char* text;
    bool red;
  };
  for (const Case& c : {Case{"0", "60", "Accel Test Selected", false},
                        Case{"60", "0", "Brake Test Selected", false},
                        Case{"0", "0", "?? Start == Stop ??", true}}) {
    editor.set_text(F::accel_start_speed, c.start);
    editor.set_text(F::accel_stop_speed, c.stop);
    EXPECT_EQ(editor.notes().accel_text, c.text);
    EXPECT_EQ(editor.notes().accel_red, c.red);
  }
  EXPECT_TRUE(configuration_in_range(editor));  // equal speeds do not block an upload
  EXPECT_EQ(editor.notes().speed_unit, "MPH");
  editor.set_item(F::mph_kmh_sel, 1);
  EXPECT_EQ(editor.notes().speed_unit, "KMH");
}

TEST_F(ConfigEditorTest, ModelTabChangesCaptionsOnly) {
  EXPECT_EQ(editor.notes().lcd_captions[17], "18: GPS Heading");  // before any tab is chosen
  editor.set_checked(lcd_page_field(7), false);
  process_form_data(editor);
  const auto before = state.config.buffer.bytes;
  editor.LCDTabChange(static_cast<int>(LcdModel::TachoDial));
  EXPECT_EQ(editor.notes().lcd_captions[0], "1:  Oil Pressure and Temp");
  EXPECT_EQ(editor.notes().lcd_captions[6], "7:  Battery");
  EXPECT_FALSE(editor.field(F::CheckBox12).enabled);
  EXPECT_FALSE(editor.field(F::CheckBox15).enabled);
  editor.LCDTabChange(static_cast<int>(LcdModel::Lite));
  EXPECT_EQ(editor.notes().lcd_captions[7], "8:  Camera Warning Screen");
  EXPECT_EQ(editor.notes().lcd_captions[13], "14: GPS Position");
  editor.LCDTabChange(static_cast<int>(LcdModel::ProPlus));
  EXPECT_EQ(editor.notes().lcd_captions[17], "18: GPS Direction");
  EXPECT_TRUE(editor.field(F::CheckBox16).enabled);
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.bytes, before);
}

TEST_F(ConfigEditorTest, LapTimingModeSwitchesBeaconAndGpsFields) {
  EXPECT_FALSE(editor.field(F::AbNumEdit1).enabled);  // beacon: no coordinates
  EXPECT_TRUE(editor.field(F::split_1_distance).enabled);
  editor.set_item(F::RadioGroup19, 1);
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(editor.field(coordinate_field(row, true)).enabled);
  EXPECT_FALSE(editor.field(F::lap_blank_period).enabled);
  editor.set_checked(F::CheckBox17, true);  // sprint: only the finish line
  EXPECT_EQ(editor.notes().lap_rows,
            (std::array<std::string, 4>{"Finish", "    NA", "    NA", "    NA"}));
  EXPECT_TRUE(editor.field(F::AbNumEdit1).enabled);
  EXPECT_TRUE(editor.field(F::AbNumEdit2).enabled);
  EXPECT_FALSE(editor.field(F::AbNumEdit3).enabled);
  EXPECT_FALSE(editor.field(F::AbNumEdit8).enabled);
  editor.set_item(F::RadioGroup19, 0);
  EXPECT_EQ(editor.notes().lap_rows[0], "S/F");
  EXPECT_FALSE(editor.field(F::AbNumEdit1).enabled);
}

TEST_F(ConfigEditorTest, ResetCoordinates) {
  editor.resetGPSLapCoords();
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(editor.text(coordinate_field(row, false)), "0.000000");
    EXPECT_EQ(editor.text(coordinate_field(row, true)), "0.000000");
  }
  EXPECT_EQ(editor.item(F::ComboBox6), 3);
  process_form_data(editor);
  EXPECT_EQ(state.config.buffer.eeprom()[89], 15);  // 30 m in units of 2 m
  EXPECT_EQ(state.config.buffer.fram()[91], 0);
}

TEST_F(ConfigEditorTest, PulleyWarningNeverBlocks) {
  editor.set_item(F::RadioGroup20, 1);
  EXPECT_TRUE(editor.notes().alternator_pickup_visible);
  EXPECT_FALSE(editor.notes().ecu_pickup_visible);
  editor.set_value(F::AbNumSpin1, 12.5);
  editor.set_value(F::AbNumSpin3, 2.4);
  EXPECT_TRUE(editor.notes().pulley_warning);
  EXPECT_TRUE(configuration_in_range(editor));
  editor.set_value(F::AbNumSpin3, 2.5);
  EXPECT_FALSE(editor.notes().pulley_warning);  // exactly 5 is allowed
}

TEST_F(ConfigEditorTest, OdometerPassword) {
  testing::ScriptedHost host;
  EXPECT_TRUE(editor.field(F::odometer_value).read_only);
  editor.set_factory_set(true);
  EXPECT_FALSE(editor.notes().window_enabled);
  editor.open_password_window();
  host.expect(MessageKind::Error, "Incorrect Password");
  odometer_password_entered(editor, host, "Fenbox");
  editor.close_password_window();
  EXPECT_FALSE(editor.notes().factory_set);
  EXPECT_TRUE(editor.field(F::odometer_value).read_only);
  EXPECT_FALSE(state.config.odometer_overwrite);
  EXPECT_TRUE(editor.notes().window_enabled);

  editor.set_factory_set(true);
  editor.open_password_window();
  host.expect(MessageKind::Information, "Pelorant Odometer Overwrite Enabled");
  odometer_password_entered(editor, host, "fenbox");
  editor.close_password_window();
  EXPECT_TRUE(editor.notes().factory_set);
  EXPECT_FALSE(editor.field(F::odometer_value).read_only);
  EXPECT_TRUE(state.config.odometer_overwrite);
  // Unchecking makes the field read-only again but keeps the permission.
  editor.set_factory_set(false);
  EXPECT_TRUE(editor.field(F::odometer_value).read_only);
  EXPECT_TRUE(state.config.odometer_overwrite);
  // Closing the window without a password leaves it locked.
  editor.set_factory_set(true);
  editor.open_password_window();
  editor.close_password_window();
  EXPECT_FALSE(editor.notes().factory_set);
  EXPECT_FALSE(state.config.odometer_overwrite);
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigEditorTest, SplitModeShowsOneGroup) {
  editor.set_item(F::RadioGroup6, 1);
  EXPECT_TRUE(editor.notes().preset_splits_visible);
  EXPECT_FALSE(editor.notes().computed_splits_visible);
  EXPECT_EQ(editor.notes().split_note, "Split Timer Function Enabled");
}

TEST_F(ConfigEditorTest, EveryRangedFieldBlocksWriteAndSave) {
  // Typed-only checks once let a speed alarm of 300 through (written as 44): the
  // write/save gate must cover every ranged field, whether or not it was edited.
  for (const FieldMeta& meta : config_fields()) {
    if (meta.kind != FieldKind::Integer) continue;
    const std::string good = editor.text(meta.id);
    const std::string bad = std::to_string(static_cast<long long>(meta.maximum) + 1);
    editor.raw(meta.id).text = bad;
    EXPECT_FALSE(configuration_in_range(editor)) << meta.name;
    if (editor.text(meta.id) == bad) {  // (the gear count is put back to 6 instead)
      EXPECT_EQ(editor.field(meta.id).colour, FieldColour::Error) << meta.name;
    }
    editor.raw(meta.id).text = good;
    EXPECT_TRUE(configuration_in_range(editor)) << meta.name;
  }
}

}  // namespace
}  // namespace ardenvis::core
