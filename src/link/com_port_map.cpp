#include "link/com_port_map.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "link/port_directory.h"

namespace ardenvis::serial {

std::optional<std::string> resolve_com_port(int port_number) {
  if (port_number < 1 || port_number > 9) return std::nullopt;
#ifdef Q_OS_WIN
  return "COM" + std::to_string(port_number);
#else
  QFileInfo pinned(QString::fromStdString(core::pinned_port_path(port_number)));
  if (pinned.isSymLink() || pinned.exists()) {
    // A dangling link (its device unplugged) means the port is missing; it
    // does not fall through to another device.
    if (!pinned.exists()) return std::nullopt;
    return pinned.canonicalFilePath().toStdString();
  }
  auto ports = QSerialPortInfo::availablePorts();
  auto is_usb = [](const QSerialPortInfo& info) {
    return info.hasVendorIdentifier() || info.portName().startsWith("ttyUSB") ||
           info.portName().startsWith("ttyACM");
  };
  std::stable_sort(ports.begin(), ports.end(),
                   [&](const auto& a, const auto& b) { return is_usb(a) && !is_usb(b); });
  if (port_number > ports.size()) return std::nullopt;
  return ports[port_number - 1].systemLocation().toStdString();
#endif
}

}  // namespace ardenvis::serial
