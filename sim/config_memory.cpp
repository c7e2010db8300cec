#include "sim/config_memory.h"

#include <cmath>

#include "link/commands.h"
#include "sim/log_memory.h"

namespace ardenvis::sim {

namespace command = core::command;

namespace {

void put16(std::array<uint8_t, 256>& m, int address, int value) {
  m[address] = static_cast<uint8_t>(value & 0xFF);
  m[address + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// A GPS coordinate as the unit keeps it: magnitude in millionths of a
// degree, sign bit set for north and east.
void put_coordinate(std::array<uint8_t, 256>& m, int address, double degrees) {
  const auto magnitude = static_cast<uint32_t>(std::llround(std::fabs(degrees) * 1e6));
  m[address] = static_cast<uint8_t>(magnitude & 0xFF);
  m[address + 1] = static_cast<uint8_t>((magnitude >> 8) & 0xFF);
  m[address + 2] = static_cast<uint8_t>((magnitude >> 16) & 0xFF);
  m[address + 3] = static_cast<uint8_t>(((magnitude >> 24) & 0x7F) | (degrees > 0 ? 0x80 : 0));
}

// A car set up for a club circuit: the unit's factory settings with a few
// owner's changes (km/h, five gears, GPS lap timing, a speed alarm).
void fill_set_up_car(std::array<uint8_t, 256>& e, std::array<uint8_t, 256>& f) {
  const uint8_t kEeprom2to13[] = {0x01, 0xA4, 0x6A, 0x03, 0xFF, 0xFF,
                                  0x01, 0x05, 0x01, 0x1A, 60,   0xC0};
  for (int i = 0; i < 12; ++i) e[2 + i] = kEeprom2to13[i];  // weight 874 kg
  e[15] = 10;
  put16(e, 18, 1412);
  e[20] = 0;
  e[21] = 100;
  put16(e, 22, 1187);
  const uint8_t kAlarms24to34[] = {1, 35, 8, 25, 108, 28, 115, 4, 72, 1, 10};
  for (int i = 0; i < 11; ++i) e[24 + i] = kAlarms24to34[i];
  const int kRatios[] = {1000, 3250, 2120, 1550, 1210, 980, 980};
  for (int i = 0; i < 7; ++i) put16(e, 35 + 2 * i, kRatios[i]);
  e[49] = 0xD2;  // KMH, 5 gears, 2 pulses
  e[50] = 30;
  e[51] = 6;
  e[52] = 0;
  e[53] = 16;
  put16(e, 54, 2963);
  put16(e, 56, 800);
  put16(e, 58, 1600);
  put16(e, 60, 2400);
  const uint8_t kCalculator64to76[] = {0, 1, 3, 0x8A, 0x0C, 15, 44, 3, 2, 4, 3, 2, 4};
  for (int i = 0; i < 13; ++i) e[64 + i] = kCalculator64to76[i];
  put16(e, 77, 584);
  put16(e, 79, 584);
  put16(e, 81, 1835);
  put16(e, 83, 1835);
  const uint8_t kTail86to95[] = {118, 30, 0x03, 15, 58, 12, 125, 0, 0, 2};
  for (int i = 0; i < 10; ++i) e[86 + i] = kTail86to95[i];
  put16(e, 144, 16);
  put16(e, 146, 0);
  put16(e, 148, 0);
  e[150] = 8;
  // Odometer 23456 and a start/finish line with two splits.
  f[0] = 0xA0;
  f[1] = 0x5B;
  f[2] = 0x00;
  const double kCoordinates[] = {52.071622, -1.016968, 52.078911, -1.022110,
                                 52.069044, -1.009321, 0.0,       0.0};
  for (int i = 0; i < 8; ++i) put_coordinate(f, 88 + 4 * i, kCoordinates[i]);
}

}  // namespace

ConfigMemory::ConfigMemory(SimulatedUnit& unit, std::array<uint8_t, 256>& eeprom)
    : unit_(unit), eeprom_(eeprom) {
  const uint8_t pulses = eeprom_[14];
  const uint8_t lite_channel = eeprom_[17];
  fill_set_up_car(eeprom_, fram_);
  eeprom_[14] = pulses;
  eeprom_[17] = lite_channel;
  install();
}

void ConfigMemory::reply(uint8_t byte) {
  if (options_.silent_after >= 0 && replies_ >= options_.silent_after) {
    unit_.options().silent = true;
  }
  ++replies_;
  unit_.send(byte);
}

void ConfigMemory::reply_read(std::map<int, std::vector<std::vector<uint8_t>>>& faults, int address,
                              uint8_t byte) {
  auto due = faults.find(address);
  if (due == faults.end() || due->second.empty()) {
    reply(byte);
    return;
  }
  const std::vector<uint8_t> instead = due->second.front();
  due->second.erase(due->second.begin());
  for (uint8_t b : instead) reply(b);
}

void ConfigMemory::install() {
  unit_.set_command(
      command::read_config,
      {[] { return 1; },
       [this](const auto& a) { reply_read(options_.eeprom_reply_faults, a[0], eeprom_[a[0]]); }});
  unit_.set_command(command::write_config, {[] { return 2; },
                                            [this](const auto& a) {
                                              if (a[0] == options_.fail_eeprom_write_at) {
                                                reply(1);
                                                return;
                                              }
                                              eeprom_[a[0]] = a[1];
                                              ++eeprom_writes_;
                                              eeprom_written_.push_back(a[0]);
                                              reply(0);
                                            }});
  const SimulatedUnit::Command* log_read = unit_.find_command(command::read_memory);
  SimulatedUnit::Command other_banks = log_read ? *log_read : SimulatedUnit::Command{};
  unit_.set_command(command::read_memory, {[] { return 2; },
                                           [this, other_banks](const std::vector<uint8_t>& a) {
                                             // The lite logger keeps its pointer and rate
                                             // at bank 0 addresses 66..68.
                                             const bool lite = a[1] >= 66 && a[1] <= 68;
                                             if (a[0] != 0 || lite) {
                                               if (other_banks.run) other_banks.run(a);
                                               return;
                                             }
                                             const uint8_t byte =
                                                 a[1] >= 35 && a[1] <= 39
                                                     ? options_.can_statistics[a[1] - 35]
                                                     : fram_[a[1]];
                                             reply_read(options_.fram_reply_faults, a[1], byte);
                                           }});
  unit_.set_command(command::write_memory,
                    {[] { return 3; },
                     [this](const auto& a) {
                       if (a[0] != 0 || a[1] == options_.fail_fram_write_at) {
                         reply(1);
                         return;
                       }
                       if (a[1] >= 35 && a[1] <= 39) {
                         options_.can_statistics[a[1] - 35] = a[2];
                       }
                       fram_[a[1]] = a[2];
                       ++fram_writes_;
                       fram_written_.push_back(a[1]);
                       reply(0);
                     }});
  unit_.set_command(command::flash_memory_type,
                    {{}, [this](const auto&) {
                       unit_.send(0);
                       unit_.send(unit_.log_memory().options().flash_memory_code);
                     }});
  unit_.set_command(command::can_module, {[] { return 1; },
                                          [this](const auto& a) {
                                            const int slot = a[0] - 0x80;
                                            for (const CanModule& m : options_.modules) {
                                              if (m.slot != slot) continue;
                                              // A type the program does not know as a
                                              // module comes with two bytes, not four.
                                              if (m.type < 0x80 || m.type > 0x8B) {
                                                unit_.send({m.type, 0, 0});
                                                return;
                                              }
                                              unit_.send({m.type, m.version_major, m.version_minor,
                                                          static_cast<uint8_t>(m.count & 0xFF),
                                                          static_cast<uint8_t>(m.count >> 8)});
                                              return;
                                            }
                                            unit_.send({0, 0, 0});  // nothing in this slot
                                          }});
}

}  // namespace ardenvis::sim
