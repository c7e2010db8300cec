#include "config/config_transfer.h"

#include <gtest/gtest.h>

#include <map>

#include "config/config_image.h"
#include "link/exchange.h"
#include "sim/config_memory.h"
#include "unit/logger_fixture.h"

namespace ardenvis::core {
namespace {

namespace msg = config_transfer_message;
using F = FieldId;
using testing::LoggerBench;

class ConfigTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.firmware(422);
    setup_configure_form(editor);
  }
  sim::ConfigMemory& unit_memory() { return bench.unit.config_memory(); }
  TransferResult read() { return get_config_data(editor, bench.state.link, bench.host); }
  TransferResult write() { return set_config_data(editor, bench.state.link, bench.host); }

  LoggerBench bench;
  ConfigEditor editor{bench.state.config, bench.state.calculator};
};

TEST_F(ConfigTransferTest, ReadFillsTheImagesTheEditorAndTheVersionPage) {
  bench.state.config.buffer.fram_staging()[50] = 0x33;  // left by an earlier file load
  bench.host.expect(MessageKind::Information, msg::downloaded);
  EXPECT_EQ(read(), TransferResult::Ok);
  const VersionPage& page = editor.version_page();
  EXPECT_EQ(page.ver, "4");
  EXPECT_EQ(page.rev, "22");
  EXPECT_EQ(page.mbits, "69.2");
  EXPECT_EQ(page.modules, (std::vector<std::string>{
                              "Searching for CAN modules...",
                              "CANID:  128 Version: 4.22 Module:(D: Main Dash)",
                              "CANID:  132 Version: 1.05 Module:(M: Position)",
                              "",
                              "Checking CAN Statistics...",
                              "BO0.BU1.RE2.TE0.CS7",
                          }));
  const ConfigState& config = bench.state.config;
  EXPECT_EQ(config.version_number, 422);
  EXPECT_EQ(config.memory_size_code, 6920);
  EXPECT_EQ(config.buffer.can_statistics()[4], 7);
  EXPECT_EQ(config.buffer.fram_staging()[36], 0);  // statistics are not staged
  EXPECT_EQ(config.buffer.fram_staging()[50], 0x33);
  EXPECT_EQ(config.buffer.eeprom()[4], 0x6A);
  EXPECT_EQ(editor.text(F::veh_weight), "874");
  EXPECT_EQ(editor.item(F::mph_kmh_sel), 1);
  EXPECT_EQ(editor.text(F::num_gear_value), "5");
  EXPECT_FALSE(editor.field(F::gear_6_value).visible);
  EXPECT_EQ(editor.text(F::odometer_value), "23456");
  EXPECT_EQ(editor.text(F::AbNumEdit1), "52.071622");
  EXPECT_EQ(editor.text(F::AbNumEdit2), "-1.016968");
  EXPECT_EQ(bench.sent('h'), 1);
  EXPECT_EQ(bench.sent('a'), 0);
  EXPECT_EQ(bench.sent('r'), 2 * 160);  // every byte read twice
  EXPECT_EQ(bench.sent('g'), 2 * (36 + 5));
  EXPECT_EQ(bench.host.verify(), "");
}

TEST_F(ConfigTransferTest, VersionGateAndMemoryQuery) {
  struct Case {
    int version;
    bool accepted;
    const char* memory_command;
  };
  for (const Case& c : {Case{399, false, ""}, Case{431, false, ""}, Case{400, true, "h"},
                        Case{422, true, "h"}, Case{423, true, "a"}, Case{430, true, "a"}}) {
    LoggerBench b;
    b.firmware(c.version);
    ConfigEditor e{b.state.config, b.state.calculator};
    if (c.accepted) {
      b.host.expect(msg::downloaded);
    } else {
      b.host.expect(MessageKind::Error, "Ardenvis Version not compatible with Pelorant Version");
    }
    get_config_data(e, b.state.link, b.host);
    EXPECT_EQ(b.host.verify(), "") << c.version;
    EXPECT_EQ(b.sent('h'), c.memory_command == std::string("h") ? 1 : 0) << c.version;
    EXPECT_EQ(b.sent('a'), c.memory_command == std::string("a") ? 1 : 0) << c.version;
    EXPECT_EQ(b.sent('r'), c.accepted ? 2 * 160 : 0);
    if (c.accepted) {
      EXPECT_EQ(e.version_page().mbits, "69.2");
    }
  }
}

TEST_F(ConfigTransferTest, CanSlotsOutsideTheTypeRangeCostThreeBytes) {
  unit_memory().options().modules = {
      {0, 0x8C, 9, 9, 9}, {1, 0x7F, 9, 9, 9}, {2, 0x83, 3, 7, 1}, {3, 0x88, 12, 34, 0x100}};
  bench.host.expect(msg::downloaded);
  read();
  const auto& lines = editor.version_page().modules;
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "CANID:  131 Version: 3.07 Module:(Unknown)");
  EXPECT_EQ(lines[2], "CANID:  136 Version:12.34 Module:(M: Gearbox)");
  EXPECT_EQ(lines.size(), 6u);  // and the statistics still read in step
  EXPECT_EQ(bench.host.verify(), "");
}

TEST_F(ConfigTransferTest, WriteSkipsTheNeverWrittenAddressesAndClearsTheStatistics) {
  bench.host.expect(MessageKind::Information, msg::uploaded);
  EXPECT_EQ(write(), TransferResult::Ok);
  std::vector<int> expected;
  for (int a = 2; a < 160; ++a) {
    if (a != 16 && a != 85) expected.push_back(a);
  }
  EXPECT_EQ(unit_memory().eeprom_written(), expected);
  // Without the odometer permission: coordinates and statistics only.
  std::vector<int> fram;
  for (int a = 88; a <= 119; ++a) fram.push_back(a);
  for (int a = 35; a <= 39; ++a) fram.push_back(a);
  EXPECT_EQ(unit_memory().fram_written(), fram);
  EXPECT_EQ(unit_memory().options().can_statistics, (std::array<uint8_t, 5>{}));
  EXPECT_EQ(unit_memory().fram()[0], 0xA0);  // the unit's odometer is kept
  EXPECT_EQ(unit_memory().eeprom()[3], 0xA4);
  EXPECT_EQ(unit_memory().eeprom()[4], 0x08);  // 520 kg
  EXPECT_EQ(bench.host.verify(), "");
  EXPECT_EQ(bench.state.config.buffer.can_statistics()[1], 0);
}

TEST_F(ConfigTransferTest, OdometerIsWrittenOnlyWithPermission) {
  editor.open_password_window();
  bench.host.expect("Pelorant Odometer Overwrite Enabled");
  odometer_password_entered(editor, bench.host, "fenbox");
  editor.close_password_window();
  editor.set_text(F::odometer_value, "70000");
  const long silent_before = bench.port.silent_reads();
  bench.host.expect(msg::uploaded);
  write();
  EXPECT_EQ(std::vector<int>(unit_memory().fram_written().begin(),
                             unit_memory().fram_written().begin() + 4),
            (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(unit_memory().fram()[0], 0x70);  // 70000 = 0x011170
  EXPECT_EQ(unit_memory().fram()[1], 0x11);
  EXPECT_EQ(unit_memory().fram()[2], 0x01);
  const long with_permission = bench.port.silent_reads() - silent_before;

  LoggerBench other;
  other.firmware(422);
  ConfigEditor plain{other.state.config, other.state.calculator};
  other.host.expect(msg::uploaded);
  const long before = other.port.silent_reads();
  set_config_data(plain, other.state.link, other.host);
  EXPECT_EQ(other.port.silent_reads() - before, with_permission + 4);
  EXPECT_EQ(bench.host.verify(), "");
  EXPECT_EQ(other.host.verify(), "");
}

TEST_F(ConfigTransferTest, FailingAcknowledgementEndsOnlyItsStage) {
  unit_memory().options().fail_eeprom_write_at = 20;
  bench.host.expect(MessageKind::Error, msg::eeprom_problem);
  bench.host.expect(MessageKind::Warning, msg::upload_incomplete);
  EXPECT_EQ(write(), TransferResult::Incomplete);
  EXPECT_EQ(unit_memory().eeprom_written().back(), 19);      // 21..159 skipped
  EXPECT_EQ(unit_memory().fram_written().size(), 32u + 5u);  // the FRAM stages still ran
  EXPECT_EQ(bench.host.verify(), "");
}

TEST_F(ConfigTransferTest, UnitFallingSilentDuringAWriteIsNoSuccess) {
  unit_memory().options().silent_after = 30;
  bench.host.expect(MessageKind::Error, msg::eeprom_problem);
  bench.host.expect(MessageKind::Error, msg::fram_problem);  // coordinates
  bench.host.expect(MessageKind::Error, msg::fram_problem);  // statistics
  bench.host.expect(MessageKind::Warning, msg::upload_incomplete);
  EXPECT_EQ(write(), TransferResult::Incomplete);
  EXPECT_EQ(bench.host.verify(), "");
}

TEST_F(ConfigTransferTest, UnitFallingSilentDuringAReadChangesNothing) {
  bench.state.config.buffer.eeprom_staging()[10] = 0x44;
  const auto before = bench.state.config.buffer.bytes;
  const std::string weight = editor.text(F::veh_weight);
  unit_memory().options().silent_after = 100;
  bench.host.expect(MessageKind::Error, msg::read_no_reply);
  EXPECT_EQ(read(), TransferResult::NoReply);
  EXPECT_EQ(bench.state.config.buffer.bytes, before);
  EXPECT_EQ(editor.text(F::veh_weight), weight);
  // Each try gave up at its first silent reply, not after 160 of them.
  EXPECT_LE(bench.port.silent_reads(), 2 * kReadExchangeAttempts);
  EXPECT_EQ(bench.host.verify(), "");
}

// Replies corrupted on their way: a flipped bit, a noise byte in front (every
// later reply one late), a reply lost. The read keeps only bytes that two
// reads agree on, so what it takes is exactly the unit's configuration.
TEST_F(ConfigTransferTest, CorruptedRepliesAreReadAgainAndNeverTaken) {
  struct Case {
    const char* fault;
    std::map<int, std::vector<std::vector<uint8_t>>> eeprom, fram;
    int requests;  // "r" and "g" sent: two passes of 201, a pass run again, single reads
  };
  const uint8_t weight_low = 0x6A, odometer_low = 0xA0;
  const Case cases[] = {
      {"flipped bit, EEPROM", {{4, {{weight_low ^ 0x08}}}}, {}, 2 * 201 + 1},
      {"flipped bit, FRAM", {}, {{0, {{odometer_low ^ 0x01}}}}, 2 * 201 + 1},
      {"noise byte in front, EEPROM", {{50, {{0x55, 30}}}}, {}, 3 * 201},
      {"noise byte in front, last statistic", {}, {{39, {{0x00, 7}}}}, 3 * 201},
      {"lost reply", {{10, {{}}}}, {}, 11 + 2 * 201},
      {"flipped twice, settles on the third read", {{4, {{0x62}, {0x6B}}}}, {}, 2 * 201 + 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    LoggerBench b;
    b.firmware(422);
    ConfigEditor e{b.state.config, b.state.calculator};
    b.unit.config_memory().options().eeprom_reply_faults = c.eeprom;
    b.unit.config_memory().options().fram_reply_faults = c.fram;
    b.host.expect(MessageKind::Information, msg::downloaded);
    EXPECT_EQ(get_config_data(e, b.state.link, b.host), TransferResult::Ok);
    EXPECT_EQ(b.host.verify(), "");
    auto& unit = b.unit.config_memory();
    const ConfigBuffer& buffer = b.state.config.buffer;
    for (int a = 0; a < kEepromBytes; ++a) EXPECT_EQ(buffer.eeprom()[a], unit.eeprom()[a]) << a;
    for (int a : {0, 1, 2, 3, 88, 100, 119}) EXPECT_EQ(buffer.fram()[a], unit.fram()[a]) << a;
    EXPECT_EQ(buffer.can_statistics()[4], 7);
    EXPECT_EQ(e.text(F::veh_weight), "874");
    EXPECT_EQ(e.text(F::odometer_value), "23456");
    EXPECT_EQ(b.sent('r') + b.sent('g'), c.requests);
    EXPECT_FALSE(b.unit.has_output());
  }
}

TEST_F(ConfigTransferTest, RepliesThatNeverAgreeChangeNothing) {
  bench.state.config.buffer.eeprom_staging()[10] = 0x44;
  const auto before = bench.state.config.buffer.bytes;
  const std::string weight = editor.text(F::veh_weight);
  // Every read of address 4 brings another value.
  unit_memory().options().eeprom_reply_faults[4] = {{1}, {2}, {3}, {4}, {5}, {6}, {7}};
  bench.host.expect(MessageKind::Error, msg::read_garbled);
  EXPECT_EQ(read(), TransferResult::Unsettled);
  EXPECT_EQ(bench.state.config.buffer.bytes, before);
  EXPECT_EQ(editor.text(F::veh_weight), weight);
  EXPECT_EQ(bench.sent('r'), 2 * 160 + kReadExchangeAttempts);
  EXPECT_EQ(bench.host.verify(), "");
}

TEST_F(ConfigTransferTest, WriteRefusedByTheChecksSendsNothing) {
  editor.set_text(F::speedo_cal_value, "999");
  bench.host.expect(MessageKind::Warning, msg::not_in_range);
  EXPECT_EQ(write(), TransferResult::Refused);
  EXPECT_TRUE(bench.unit.command_log().empty());
  EXPECT_EQ(bench.host.verify(), "");
}

TEST_F(ConfigTransferTest, ReadAfterWriteGivesBackWhatWasWritten) {
  bench.host.expect(msg::downloaded);
  read();
  editor.set_text(F::veh_weight, "1111");
  editor.set_value(F::AbNumEdit8, -33.25);
  editor.set_item(F::ComboBox5, 4);
  bench.host.expect(msg::uploaded);
  write();
  const auto written = bench.state.config.buffer;

  LoggerBench* same = &bench;
  ProgramState fresh;
  fresh.link = same->state.link;
  ConfigEditor reader{fresh.config, fresh.calculator};
  bench.host.expect(msg::downloaded);
  get_config_data(reader, fresh.link, bench.host);
  EXPECT_EQ(reader.text(F::veh_weight), "1111");
  EXPECT_EQ(reader.text(F::AbNumEdit8), "-33.250000");
  EXPECT_EQ(reader.item(F::ComboBox5), 4);
  process_form_data(reader);
  for (int a = 2; a < 160; ++a) {
    if (a != 16 && a != 85) {
      EXPECT_EQ(fresh.config.buffer.eeprom()[a], written.bytes[a]) << a;
    }
  }
  EXPECT_EQ(bench.host.verify(), "");
}

}  // namespace
}  // namespace ardenvis::core
