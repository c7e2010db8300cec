#include "link/unit_session.h"

#include <array>
#include <vector>

#include "common/format.h"
#include "link/commands.h"

namespace ardenvis::core {

uint8_t UnitLink::read(Host& host) { return try_read(host).value_or(0); }

std::optional<uint8_t> UnitLink::try_read(Host& host) {
  host.process_events();
  return port ? port->try_read_byte() : std::nullopt;
}

void UnitLink::write(uint8_t byte) {
  if (port) port->write_byte(byte);
}

void UnitLink::write(std::initializer_list<uint8_t> bytes) {
  if (port) port->write_bytes(bytes.begin(), bytes.size());
}

bool UnitLink::drain_until_silent(Host& host, long max_bytes,
                                  const std::function<bool()>& give_up) {
  for (long dropped = 0; dropped <= max_bytes; ++dropped) {
    if (give_up && give_up()) return false;
    if (!try_read(host)) return true;
  }
  return false;
}

void UnitLink::drain(Host& host, int count) {
  for (int i = 0; i < count; ++i) read(host);
}

LineSettings unit_line_settings(int port_number) {
  LineSettings settings;
  settings.port = port_number;
  return settings;
}

void open_serial_port(UnitLink& link, int port_number) {
  if (link.serial_port_open) close_serial_port(link);
  if (port_number != 0 && link.port) {
    link.serial_port_open = link.port->open(unit_line_settings(port_number));
  }
}

void close_serial_port(UnitLink& link) {
  if (link.serial_port_open) {
    link.serial_port_open = false;
    if (link.port) link.port->close();
  }
}

void check_serial_port(UnitLink& link) {
  if (link.serial_port_number != 0) {
    open_serial_port(link, link.serial_port_number);
    if (!link.serial_port_open) link.serial_port_number = 0;
  } else {
    close_serial_port(link);
  }
}

int change_serial_port(UnitLink& link, Host& host, int selected_item) {
  if (selected_item <= 0 || selected_item > 9) {
    link.serial_port_number = 0;
    close_serial_port(link);
    return 0;
  }
  link.serial_port_number = static_cast<uint8_t>(selected_item);
  open_serial_port(link, selected_item);
  if (!link.serial_port_open) {
    host.message(MessageKind::Warning, format("Cannot Open COM Port %d", selected_item),
                 Buttons::Ok);
    link.serial_port_number = 0;
    return 0;
  }
  return selected_item;
}

namespace {

using enum Operation;
using enum ProblemWording;
using enum SecondStatusWording;
using enum AfterStatusRefusal;

// clang-format off
constexpr std::array<HandshakeVariant, 8> kVariants{{
  //  operation             reopen wake drop3 ident  min  max  vdrain reopenV  after status      tail4  problem  second status
  {ReadLogIndex,            true,  8,   3,    20,    400, 430, 8,     false,   MessageOnly,      true,  Long,    WithoutDots},
  {ClearLogMemory,          true,  9,   0,    0,     400, 430, 8,     false,   MessageOnly,      true,  Long,    Standard},
  {DownloadLogSession,      false, 8,   0,    0,     400, 430, 8,     false,   ReopenAndDrain8,  true,  Short,   Standard},
  {LiteDownload,            false, 8,   0,    16,    400, 430, 8,     false,   MessageOnly,      false, Short,   Standard},
  {ReadConfiguration,       true,  8,   0,    0,     400, 430, 10,    false,   MessageOnly,      true,  Long,    Pelorant2},
  {WriteConfiguration,      true,  10,  0,    0,     400, 430, 0,     false,   MessageOnly,      true,  Long,    Pelorant2},
  {UploadCameraDatabase,    false, 8,   0,    0,     423, -1,  8,     true,    Drain8,           true,  Short,   Standard},
  {ReadCameraDatabase,      false, 8,   0,    0,     423, -1,  8,     false,   Drain8,           true,  Short,   Standard},
}};
// clang-format on

const char* second_status_text(SecondStatusWording wording) {
  switch (wording) {
    case WithoutDots:
      return message::second_status_without_dots;
    case Pelorant2:
      return message::second_status_pelorant2;
    case Standard:
      break;
  }
  return message::second_status;
}

}  // namespace

const HandshakeVariant& handshake_variant(Operation operation) {
  for (const auto& variant : kVariants) {
    if (variant.operation == operation) return variant;
  }
  return kVariants[0];
}

std::string status_refusal_text(uint8_t status, ProblemWording wording) {
  switch (status) {
    case 187:
      return message::link_not_established;
    case 188:
      return message::vehicle_moving;
    case 189:
      return message::engine_running;
    case 190:
      return message::logger_running;
    default:
      break;
  }
  return wording == Long ? message::problem_talking_long : message::problem_talking_short;
}

std::string program_problem_text(long done, long total) {
  return format("Ardenvis Program Problem [%ld,%ld]", done, total);
}
std::string download_stopped_text(long received, long expected, long retries) {
  return format("Ardenvis Download Stopped [%ld,%ld,%ld]", received, expected, retries);
}
std::string lite_download_stopped_text(long received, long expected) {
  return format("Ardenvis Lite Download Stopped [%ld,%ld]", received, expected);
}
std::string camera_download_stopped_text(long done, long expected) {
  return format("Ardenvis Download Stopped [%ld,%ld]", done, expected);
}
std::string upload_problem_text(long done, long expected) {
  return format("Ardenvis Upload Problem [%ld,%ld]", done, expected);
}

IdentityReply parse_identity(const uint8_t* b, int length) {
  IdentityReply id;
  if (length < 16) return id;
  auto word = [&](int i) { return static_cast<uint16_t>((b[i] << 8) | b[i + 1]); };
  id.unit_type = word(0);
  id.identity_word = word(2);
  id.distance_factor = word(4);
  id.third_word = word(6);
  for (int i = 0; i < 5; ++i) id.identity_bytes[i] = b[11 + i];
  return id;
}

HandshakeResult run_handshake(UnitLink& link, Host& host, Operation operation,
                              const std::function<void()>& between_identity_and_version) {
  const HandshakeVariant& v = handshake_variant(operation);

  if (v.reopens_port) {
    change_serial_port(link, host, link.serial_port_number);
  }
  if (!link.serial_port_open) {
    host.message(MessageKind::Warning, message::select_free_port, Buttons::Ok);
    return HandshakeResult::NoPort;
  }

  link.write(command::wake);
  link.write(command::wake);
  link.drain(host, v.wake_drain);

  link.write(command::status);
  const uint8_t status = link.read(host);
  if (status != command::status_ready) {
    host.message(MessageKind::Warning, status_refusal_text(status, v.problem_wording), Buttons::Ok);
    if (v.after_status_refusal == ReopenAndDrain8) {
      open_serial_port(link, link.serial_port_number);
      link.drain(host, 8);
    } else if (v.after_status_refusal == Drain8) {
      link.drain(host, 8);
    }
    return HandshakeResult::StatusRefused;
  }

  link.write(command::status);
  if (link.read(host) != command::status_ready) {
    host.message(MessageKind::Warning, second_status_text(v.second_status_wording), Buttons::Ok);
    return HandshakeResult::SecondStatusNotReady;
  }

  link.drain(host, v.drop_before_identity);
  if (v.identity_before_version > 0) {
    link.write(command::identity);
    std::vector<uint8_t> reply(static_cast<size_t>(v.identity_before_version));
    for (auto& byte : reply) byte = link.read(host);
    link.last_identity = parse_identity(reply.data(), static_cast<int>(reply.size()));
    link.unit.unit_type = link.last_identity.unit_type;
    if (between_identity_and_version) between_identity_and_version();
  }

  link.write(command::version);
  link.unit.version_major = link.read(host);
  link.unit.version_minor = link.read(host);
  link.unit.version_number =
      static_cast<uint16_t>(link.unit.version_major * 100 + link.unit.version_minor);
  const int version = link.unit.version_number;
  if (version < v.min_version || (v.max_version >= 0 && version > v.max_version)) {
    host.message(MessageKind::Error, message::version_not_compatible, Buttons::Abort);
    link.drain(host, v.version_refusal_drain);
    if (v.reopen_after_version_refusal) open_serial_port(link, link.serial_port_number);
    return HandshakeResult::VersionRefused;
  }
  if (v.drops_version_tail) link.drain(host, 4);
  return HandshakeResult::Ok;
}

}  // namespace ardenvis::core
