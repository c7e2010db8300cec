#include "config/config_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/hex_pairs.h"
#include "config/config_image.h"
#include "support/folder_test.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
namespace msg = config_file_message;
using F = FieldId;

class ConfigFileTest : public testing::FolderTest {
 protected:
  ConfigFileTest() : FolderTest("pcf") {
    location = {dir_.string() + "/", "default.pcf"};
    setup_configure_form(editor);
  }
  std::vector<std::string> lines(const std::string& name) const {
    std::vector<std::string> out;
    std::string text = read(name);
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find("\r\n", at);
      out.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return out;
  }
  // A file of the given layout whose EEPROM byte n is n % 7 + 1 (so valid
  // choices) and FRAM bytes zero, with the defaults where ranges need them.
  std::string file_of(int eeprom_count, int fram_count,
                      const char* header = "Pelorant2 Config File:") {
    process_form_data(editor);
    std::string text = std::string(header) + "\r\n04 18\r\n";
    for (int a = 0; a < eeprom_count; ++a) {
      append_hex_pair(text, state.config.buffer.eeprom()[a]);
      text += "\r\n";
    }
    for (int a = 0; a < fram_count; ++a) {
      append_hex_pair(text, state.config.buffer.fram()[a]);
      text += "\r\n";
    }
    return text;
  }
  bool save(const std::string& name) {
    host.queue_save_file(path(name));
    return save_config_data(editor, host, location);
  }
  bool load(const std::string& name) {
    host.queue_open_file(path(name));
    return load_config_data(editor, host, location);
  }

  ProgramState state;
  ConfigEditor editor{state.config, state.calculator};
  testing::ScriptedHost host;
  FileLocation location;
};

TEST_F(ConfigFileTest, SavedFileLayout) {
  state.config.buffer.can_statistics()[0] = 0x77;  // statistics are not part of the file
  state.config.buffer.fram()[36] = 0x12;
  host.expect(MessageKind::Information, msg::saved);
  ASSERT_TRUE(save("car"));  // no extension: ".pcf" appended
  const auto l = lines("car.pcf");
  ASSERT_EQ(l.size(), 282u);
  EXPECT_EQ(l[0], "Pelorant2 Config File:");
  EXPECT_EQ(l[1], "04 18");
  EXPECT_EQ(l[3 + 3 - 1], "A4");     // EEPROM byte 3 on line 6
  EXPECT_EQ(l[6 + 3 - 1], "FF");     // byte 6 on line 9
  EXPECT_EQ(l[88 + 163 - 1], "80");  // FRAM byte 88 on line 251
  EXPECT_EQ(l[36 + 163 - 1], "12");  // FRAM image byte, not the statistics
  EXPECT_EQ(l[281], "0A");           // FRAM 119: longitude -180's top byte
  EXPECT_EQ(read("car.pcf").substr(0, 24), "Pelorant2 Config File:\r\n");
  EXPECT_EQ(location.name, "car.pcf");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigFileTest, SaveRefusals) {
  host.expect(MessageKind::Warning, msg::invalid_filename);
  EXPECT_FALSE(save("CONFIG.PCF"));
  host.expect(MessageKind::Warning, msg::cancelled);
  host.queue_save_file(std::nullopt);
  EXPECT_FALSE(save_config_data(editor, host, location));
  write("old.pcf", "keep");
  host.expect(MessageKind::Confirmation, "File Exists, Overwrite File ?", Answer::No);
  host.expect(MessageKind::Warning, msg::not_saved);
  EXPECT_FALSE(save("old.pcf"));
  EXPECT_EQ(read("old.pcf"), "keep");
  host.expect(MessageKind::Warning, msg::already_open);
  EXPECT_FALSE(save("no/such/dir/x.pcf"));
  // A field out of range: nothing is written.
  editor.set_text(F::veh_weight, "2501");
  host.expect(MessageKind::Information, msg::not_in_range);
  EXPECT_FALSE(save("new.pcf"));
  EXPECT_FALSE(fs::exists(path("new.pcf")));
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigFileTest, RoundTripKeepsEveryByte) {
  auto e = state.config.buffer.eeprom();
  e[0] = 0x12;
  e[100] = 0xAB;  // bytes no field owns survive too
  state.config.buffer.fram()[50] = 0xCD;
  editor.set_text(F::odometer_value, "4242");
  editor.set_value(F::AbNumEdit1, 51.5);
  host.expect(msg::saved);
  ASSERT_TRUE(save("a.pcf"));
  const auto saved = state.config.buffer;

  ProgramState other;
  ConfigEditor copy{other.config, other.calculator};
  setup_configure_form(copy);
  host.expect(MessageKind::Information, msg::loaded);
  host.queue_open_file(path("a"));
  ASSERT_TRUE(load_config_data(copy, host, location));
  EXPECT_EQ(copy.text(F::odometer_value), "4242");
  EXPECT_EQ(copy.text(F::AbNumEdit1), "51.500000");
  process_form_data(copy);
  EXPECT_TRUE(std::equal(saved.bytes.begin(), saved.bytes.begin() + 160,
                         other.config.buffer.bytes.begin()));
  EXPECT_EQ(other.config.buffer.fram()[50], 0xCD);
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigFileTest, LineCountDecidesTheLayout) {
  write("extra.pcf", file_of(160, 120) + "\r\n");  // 283 lines
  host.expect(MessageKind::Error, msg::format_not_valid);
  EXPECT_FALSE(load("extra.pcf"));
  write("other.pcf", "Anything at all\r\n" + file_of(160, 120).substr(24));
  host.expect(MessageKind::Information, msg::loaded);  // the header is not checked
  EXPECT_TRUE(load("other.pcf"));
  write("empty.pcf", "");
  host.expect(MessageKind::Error, msg::format_not_valid);
  EXPECT_FALSE(load("empty.pcf"));
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigFileTest, OldLayoutsKeepTheRestFromThePreviousLoad) {
  // A previous load left these in the staging copies.
  editor.set_value(F::AbNumEdit1, 12.5);
  editor.set_text(F::gear_cal_value, "2345");  // byte 22..23, inside the 68-line layout
  editor.set_value(F::AbNumSpin2, 13.0);       // byte 86, beyond it
  process_form_data(editor);
  std::copy(state.config.buffer.eeprom().begin(), state.config.buffer.eeprom().end(),
            state.config.buffer.eeprom_staging().begin());
  std::copy(state.config.buffer.fram().begin(), state.config.buffer.fram().end(),
            state.config.buffer.fram_staging().begin());

  ProgramState fresh;
  ConfigEditor defaults{fresh.config, fresh.calculator};
  process_form_data(defaults);
  std::string text = "header\r\n04 18\r\n";
  for (int a = 0; a < 62; ++a) {
    append_hex_pair(text, fresh.config.buffer.eeprom()[a]);
    text += "\r\n";
  }
  for (const char* odo : {"39", "30", "00", "00"}) text += std::string(odo) + "\r\n";  // 12345
  write("old68.pcf", text);
  host.expect(MessageKind::Information, msg::loaded_old);
  ASSERT_TRUE(load("old68.pcf"));
  EXPECT_EQ(editor.text(F::gear_cal_value), "1000");   // from the file
  EXPECT_EQ(editor.text(F::AbNumSpin2), "13.0");       // from the previous load
  EXPECT_EQ(editor.text(F::AbNumEdit1), "12.500000");  // coordinates too
  EXPECT_EQ(editor.text(F::odometer_value), "12345");
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigFileTest, LoadedRangeErrorsAreReported) {
  std::string text = file_of(160, 120);
  // Byte 4..5 vehicle weight: line 7 and 8 -> 0xFFFF.
  auto replace_line = [&](int line, const char* pair) {
    size_t at = 0;
    for (int i = 1; i < line; ++i) at = text.find("\r\n", at) + 2;
    text.replace(at, 2, pair);
  };
  replace_line(7, "FF");
  replace_line(8, "FF");
  write("bad.pcf", text);
  host.expect(MessageKind::Warning, msg::loaded_check);
  EXPECT_TRUE(load("bad.pcf"));
  EXPECT_EQ(editor.text(F::veh_weight), "65535");
  EXPECT_EQ(editor.field(F::veh_weight).colour, FieldColour::Error);
  EXPECT_EQ(host.verify(), "");
}

TEST_F(ConfigFileTest, LoadRefusals) {
  host.expect(MessageKind::Warning, "No Data Loaded");
  host.queue_open_file(std::nullopt);
  EXPECT_FALSE(load_config_data(editor, host, location));
  host.expect(MessageKind::Warning, msg::illegal_filename);
  EXPECT_FALSE(load("CONFIG.PCF"));
  host.expect(MessageKind::Warning, "Filename Does Not Exist, No Data Loaded");
  EXPECT_FALSE(load("missing"));
  EXPECT_EQ(host.verify(), "");
}

}  // namespace
}  // namespace ardenvis::core
