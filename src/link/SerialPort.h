#pragma once
// TSerialPort: the one real serial device, over QSerialPort in blocking style.

#include <QSerialPort>
#include <memory>
#include <string>

#include "link/byte_link.h"

namespace ardenvis::serial {

class TSerialPort : public core::SerialDevice {
 public:
  TSerialPort();
  ~TSerialPort() override;

  bool open(const core::LineSettings& settings) override;
  void close() override;
  std::optional<uint8_t> try_read_byte() override;
  void write_byte(uint8_t byte) override;
  void write_bytes(const uint8_t* bytes, size_t count) override;

  // The line-settings text the last open built, e.g.
  // "COM1: baud=115200 parity=N data=8 stop=1 xon=off TO=ON".
  const std::string& settings_text() const { return settings_text_; }
  // "COM" + number + ":" of the last open.
  const std::string& device_name() const { return device_name_; }
  // The device path the COM number resolved to (empty if none).
  const std::string& device_path() const { return device_path_; }

 private:
  std::unique_ptr<QSerialPort> port_;
  std::string settings_text_;
  std::string device_name_;
  std::string device_path_;
  int read_timeout_ms_ = 50;
};

}  // namespace ardenvis::serial
