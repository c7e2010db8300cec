#include "config/config_transfer.h"

#include <array>
#include <optional>

#include "common/format.h"
#include "config/config_image.h"
#include "link/commands.h"
#include "link/unit_session.h"

namespace ardenvis::core {

namespace {

namespace msg = config_transfer_message;

// EEPROM addresses the upload never writes; their acknowledgement read still
// takes place and ends by time-out.
bool never_written(int address) {
  return address == 0 || address == 1 || address == 16 || address == 85;
}

// The FRAM bytes a read fetches: the odometer and the lap coordinates.
bool fram_byte_read(int address) { return address <= 3 || (address >= 88 && address <= 119); }

// Shows the version and asks for the memory size, as both transfers do after
// the handshake. False when the memory size reply never came.
bool show_version_and_memory(ConfigEditor& editor, UnitLink& link, Host& host) {
  ConfigState& config = editor.config();
  config.version_major = link.unit.version_major;
  config.version_minor = link.unit.version_minor;
  config.version_number = link.unit.version_number;
  VersionPage& page = editor.version_page();
  page.ver = format("%d", config.version_major);
  page.rev = format("%.2d", config.version_minor);
  std::optional<uint8_t> code;
  if (config.version_number < 423) {
    link.write(command::memory_type);
    code = link.try_read(host);
  } else {
    link.write(command::flash_memory_type);
    if (link.try_read(host)) code = link.try_read(host);
  }
  config.memory_size_code = memory_size_of_code(code.value_or(0));
  page.mbits = format("%.1f", config.memory_size_code / 100.0);
  editor.notify();
  return code.has_value();
}

// The read's bytes gathered before any of them is taken, so a unit that falls
// silent part way changes nothing.
struct ReadImages {
  std::array<uint8_t, kEepromBytes> eeprom{};
  std::array<uint8_t, kFramBytes> fram{};
  std::array<uint8_t, kCanStatisticsBytes> statistics{};
};

bool scan_can_modules(ConfigEditor& editor, UnitLink& link, Host& host) {
  auto& lines = editor.version_page().modules;
  lines.clear();
  lines.push_back("Searching for CAN modules...");
  editor.notify();
  for (int n = 0; n < 16; ++n) {
    link.write(command::can_module);
    link.write(static_cast<uint8_t>(0x80 + n));
    const auto type = link.try_read(host);
    if (!type) return false;
    if (*type < 0x80 || *type > 0x8B) {
      for (int i = 0; i < 2; ++i) {
        if (!link.try_read(host)) return false;
      }
      continue;
    }
    std::array<uint8_t, 4> reply{};
    for (auto& byte : reply) {
      const auto b = link.try_read(host);
      if (!b) return false;
      byte = *b;
    }
    if ((reply[2] | (reply[3] << 8)) != 0) {
      lines.push_back(can_module_line(*type, reply[0], reply[1]));
      editor.notify();
    }
  }
  return true;
}

std::optional<uint8_t> read_fram(UnitLink& link, Host& host, int address) {
  link.write(command::read_memory);
  link.write(0);
  link.write(static_cast<uint8_t>(address));
  return link.try_read(host);
}

bool read_images(UnitLink& link, Host& host, ReadImages& images) {
  for (int address = 0; address < kEepromBytes; ++address) {
    link.write(command::read_config);
    link.write(static_cast<uint8_t>(address));
    const auto byte = link.try_read(host);
    if (!byte) return false;
    images.eeprom[static_cast<size_t>(address)] = *byte;
  }
  for (int address = 0; address < kFramBytes; ++address) {
    if (!fram_byte_read(address)) continue;
    const auto byte = read_fram(link, host, address);
    if (!byte) return false;
    images.fram[static_cast<size_t>(address)] = *byte;
  }
  for (int i = 0; i < kCanStatisticsBytes; ++i) {
    const auto byte = read_fram(link, host, 35 + i);
    if (!byte) return false;
    images.statistics[static_cast<size_t>(i)] = *byte;
  }
  return true;
}

// One write stage: each address's bytes (if any are sent) and its
// acknowledgement. A non-zero acknowledgement, or silence where a written
// byte is owed one, ends the stage with its error. True when it completed.
template <typename SendFn>
bool write_stage(UnitLink& link, Host& host, int first, int last, const char* problem,
                 SendFn send) {
  for (int address = first; address <= last; ++address) {
    host.process_events();
    const bool sent = send(address);
    const auto ack = link.try_read(host);
    if ((ack && *ack != 0) || (!ack && sent)) {
      host.message(MessageKind::Error, problem, Buttons::OkCancel);
      return false;
    }
  }
  return true;
}

}  // namespace

uint16_t memory_size_of_code(uint8_t code) {
  switch (code) {
    case 9:
      return 865;
    case 11:
      return 1730;
    case 15:
      return 6920;
    default:
      return 0;
  }
}

const char* can_module_name(uint8_t type) {
  switch (type) {
    case 128:
      return "(D: Main Dash)";
    case 129:
      return "(D: Co-Driver Dash)";
    case 130:
      return "(D: Shift Pod)";
    case 132:
      return "(M: Position)";
    case 134:
      return "(M: Inputs 1-8)";
    case 135:
      return "(M: Inputs 9-16)";
    case 136:
      return "(M: Gearbox)";
    default:
      return "(Unknown)";
  }
}

std::string can_module_line(uint8_t type, uint8_t major, uint8_t minor) {
  return format("CANID:%5d Version:%2d.%.02d Module:%s", type, major, minor, can_module_name(type));
}

TransferResult get_config_data(ConfigEditor& editor, UnitLink& link, Host& host) {
  if (run_handshake(link, host, Operation::ReadConfiguration) != HandshakeResult::Ok) {
    return TransferResult::Refused;
  }
  const bool memory_replied = show_version_and_memory(editor, link, host);
  ReadImages images;
  bool replied = memory_replied && scan_can_modules(editor, link, host);
  {
    BusyCursor busy(host);
    replied = replied && read_images(link, host, images);
  }
  if (!replied) {
    host.message(MessageKind::Error, msg::read_no_reply, Buttons::Ok);
    return TransferResult::NoReply;
  }

  ConfigBuffer& buffer = editor.config().buffer;
  std::copy(images.eeprom.begin(), images.eeprom.end(), buffer.eeprom_staging().begin());
  std::copy(buffer.eeprom_staging().begin(), buffer.eeprom_staging().end(),
            buffer.eeprom().begin());
  for (int address = 0; address < kFramBytes; ++address) {
    if (fram_byte_read(address)) buffer.fram_staging()[address] = images.fram[address];
  }
  std::copy(images.statistics.begin(), images.statistics.end(), buffer.can_statistics().begin());
  auto& lines = editor.version_page().modules;
  lines.push_back("");
  lines.push_back("Checking CAN Statistics...");
  const auto& s = images.statistics;
  lines.push_back(format("BO%d.BU%d.RE%d.TE%d.CS%d", s[0], s[1], s[2], s[3], s[4]));
  std::copy(buffer.fram_staging().begin(), buffer.fram_staging().end(), buffer.fram().begin());
  decode_configuration(editor);
  editor.notify();

  if (editor.config().range_error != 0) {
    host.message(MessageKind::Warning, msg::downloaded_check, Buttons::Ok);
    return TransferResult::RangeWarning;
  }
  host.message(MessageKind::Information, msg::downloaded, Buttons::Ok);
  return TransferResult::Ok;
}

TransferResult set_config_data(ConfigEditor& editor, UnitLink& link, Host& host) {
  if (!configuration_in_range(editor)) {
    host.message(MessageKind::Warning, msg::not_in_range, Buttons::Ok);
    return TransferResult::Refused;
  }
  process_form_data(editor);
  if (run_handshake(link, host, Operation::WriteConfiguration) != HandshakeResult::Ok) {
    return TransferResult::Refused;
  }
  // A missing memory size reply only shows as 0.0 MBits; the write itself is
  // judged by its acknowledgements.
  show_version_and_memory(editor, link, host);

  ConfigBuffer& buffer = editor.config().buffer;
  const bool odometer = editor.config().odometer_overwrite;
  bool complete = true;
  {
    BusyCursor busy(host);
    complete &= write_stage(link, host, 0, kEepromBytes - 1, msg::eeprom_problem, [&](int address) {
      if (never_written(address)) return false;
      link.write(command::write_config);
      link.write(static_cast<uint8_t>(address));
      link.write(buffer.eeprom()[address]);
      return true;
    });
    auto write_fram = [&](int address, uint8_t value) {
      link.write(command::write_memory);
      link.write(0);
      link.write(static_cast<uint8_t>(address));
      link.write(value);
      return true;
    };
    complete &= write_stage(link, host, 0, 3, msg::fram_problem, [&](int address) {
      return odometer && write_fram(address, buffer.fram()[address]);
    });
    complete &= write_stage(link, host, 88, 119, msg::fram_problem, [&](int address) {
      return write_fram(address, buffer.fram()[address]);
    });
    complete &= write_stage(link, host, 35, 39, msg::fram_problem,
                            [&](int address) { return write_fram(address, 0); });
  }
  if (!complete) {
    host.message(MessageKind::Warning, msg::upload_incomplete, Buttons::Ok);
    return TransferResult::Incomplete;
  }
  host.message(MessageKind::Information, msg::uploaded, Buttons::Ok);
  return TransferResult::Ok;
}

}  // namespace ardenvis::core
