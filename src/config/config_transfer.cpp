#include "config/config_transfer.h"

#include <array>
#include <optional>

#include "common/format.h"
#include "config/config_image.h"
#include "link/commands.h"
#include "link/exchange.h"
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

// One byte the read fetches: an EEPROM byte ("r"), or a byte of memory bank 0
// ("g": the FRAM's odometer and lap coordinates, or the CAN statistics).
struct ConfigByte {
  enum class Area { Eeprom, Fram, Statistics } area;
  uint8_t address;
};

// Every byte of a read, in the order they are asked for.
std::vector<ConfigByte> config_read_plan() {
  std::vector<ConfigByte> plan;
  for (int address = 0; address < kEepromBytes; ++address) {
    plan.push_back({ConfigByte::Area::Eeprom, static_cast<uint8_t>(address)});
  }
  for (int address = 0; address < kFramBytes; ++address) {
    if (fram_byte_read(address)) {
      plan.push_back({ConfigByte::Area::Fram, static_cast<uint8_t>(address)});
    }
  }
  for (int i = 0; i < kCanStatisticsBytes; ++i) {
    plan.push_back({ConfigByte::Area::Statistics, static_cast<uint8_t>(35 + i)});
  }
  return plan;
}

std::optional<uint8_t> read_config_byte(UnitLink& link, Host& host, const ConfigByte& byte) {
  if (byte.area == ConfigByte::Area::Eeprom) {
    link.write({command::read_config, byte.address});
  } else {
    link.write({command::read_memory, 0, byte.address});
  }
  return read_owed_byte(link, host);
}

bool scan_can_modules(ConfigEditor& editor, UnitLink& link, Host& host) {
  auto& lines = editor.version_page().modules;
  lines.clear();
  lines.push_back("Searching for CAN modules...");
  editor.notify();
  for (int n = 0; n < 16; ++n) {
    link.write({command::can_module, static_cast<uint8_t>(0x80 + n)});
    uint8_t type = 0;
    if (!read_owed(link, host, &type, 1)) return false;
    // Only a module's reply carries its version and count.
    const bool module = type >= 0x80 && type <= 0x8B;
    std::array<uint8_t, 4> reply{};
    if (!read_owed(link, host, reply.data(), module ? 4 : 2)) return false;
    if (module && (reply[2] | (reply[3] << 8)) != 0) {
      lines.push_back(can_module_line(type, reply[0], reply[1]));
      editor.notify();
    }
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
  // The version page's replies, then the images: each complete exchange
  // leaves a silent line, and what fails a check is asked again.
  ReadOutcome outcome = repeat_checked_read(link, host, [&] {
    return show_version_and_memory(editor, link, host) && scan_can_modules(editor, link, host);
  });
  const std::vector<ConfigByte> plan = config_read_plan();
  std::vector<uint8_t> bytes;
  if (outcome == ReadOutcome::Ok) {
    BusyCursor busy(host);
    // The bytes carry no check of their own: two reads of each must agree.
    outcome = read_agreed(
        link, host, plan.size(),
        [&](uint8_t* out) {
          for (size_t i = 0; i < plan.size(); ++i) {
            const std::optional<uint8_t> byte = read_config_byte(link, host, plan[i]);
            if (!byte) return false;
            out[i] = *byte;
          }
          return true;
        },
        [&](size_t i) { return read_config_byte(link, host, plan[i]); }, bytes);
  }
  if (outcome != ReadOutcome::Ok) {
    const bool silent = outcome == ReadOutcome::NoReply;
    host.message(MessageKind::Error, silent ? msg::read_no_reply : msg::read_garbled, Buttons::Ok);
    return silent ? TransferResult::NoReply : TransferResult::Unsettled;
  }

  // Nothing is taken before every byte is in and agreed.
  ConfigBuffer& buffer = editor.config().buffer;
  for (size_t i = 0; i < plan.size(); ++i) {
    const ConfigByte& at = plan[i];
    switch (at.area) {
      case ConfigByte::Area::Eeprom:
        buffer.eeprom_staging()[at.address] = bytes[i];
        break;
      case ConfigByte::Area::Fram:
        buffer.fram_staging()[at.address] = bytes[i];
        break;
      case ConfigByte::Area::Statistics:
        buffer.can_statistics()[at.address - 35] = bytes[i];
        break;
    }
  }
  std::copy(buffer.eeprom_staging().begin(), buffer.eeprom_staging().end(),
            buffer.eeprom().begin());
  auto& lines = editor.version_page().modules;
  lines.push_back("");
  lines.push_back("Checking CAN Statistics...");
  const auto& s = buffer.can_statistics();
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
