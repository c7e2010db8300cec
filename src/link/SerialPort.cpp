#include "link/SerialPort.h"

#include <QElapsedTimer>
#include <QThread>
#include <charconv>
#include <sstream>

#include "link/com_port_map.h"

namespace ardenvis::serial {

namespace {

// Reads the settings text back the way the platform's parser would, so the
// device is configured from the same text the user could see.
struct ParsedSettings {
  int baud = 0;
  char parity = 'N';
  int data_bits = 0;
  int stop_bits = 0;
  bool xon = false;
  bool ok = false;
};

ParsedSettings parse_settings(const std::string& text) {
  ParsedSettings p;
  std::istringstream in(text);
  std::string token;
  bool have_baud = false, have_data = false, have_stop = false;
  while (in >> token) {
    auto eq = token.find('=');
    if (eq == std::string::npos) continue;  // the "COMn:" prefix
    std::string key = token.substr(0, eq), value = token.substr(eq + 1);
    int number = 0;
    bool numeric =
        std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc{};
    if (key == "baud" && numeric && number > 0) {
      p.baud = number;
      have_baud = true;
    } else if (key == "parity" && value.size() == 1) {
      p.parity = value[0];
    } else if (key == "data" && numeric && number >= 5 && number <= 8) {
      p.data_bits = number;
      have_data = true;
    } else if (key == "stop" && numeric && (number == 1 || number == 2)) {
      p.stop_bits = number;
      have_stop = true;
    } else if (key == "xon") {
      p.xon = value == "on";
    }
  }
  p.ok = have_baud && have_data && have_stop;
  return p;
}

}  // namespace

TSerialPort::TSerialPort() = default;
TSerialPort::~TSerialPort() { close(); }

bool TSerialPort::open(const core::LineSettings& settings) {
  settings_text_ = core::line_settings_text(settings);
  device_name_ = "COM" + std::to_string(settings.port) + ":";
  read_timeout_ms_ = settings.read_timeout_ms;
  close();

  const ParsedSettings parsed = parse_settings(settings_text_);
  if (!parsed.ok) return false;

  auto path = resolve_com_port(settings.port);
  device_path_ = path.value_or("");
  if (!path) return false;

  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(QString::fromStdString(*path));
  if (!port_->open(QIODevice::ReadWrite)) {
    // Nothing is left behind that could block the next open.
    port_.reset();
    return false;
  }
  bool applied =
      port_->setBaudRate(parsed.baud) &&
      port_->setParity(parsed.parity == 'Y' ? QSerialPort::EvenParity : QSerialPort::NoParity) &&
      port_->setDataBits(static_cast<QSerialPort::DataBits>(parsed.data_bits)) &&
      port_->setStopBits(parsed.stop_bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
      port_->setFlowControl(parsed.xon ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl);
  // A pseudo-terminal has no modem lines and refuses DTR; that is harmless.
  port_->setDataTerminalReady(settings.dtr);
  port_->clearError();
  if (!applied) {
    port_->close();
    port_.reset();
    return false;
  }
  port_->clear(QSerialPort::AllDirections);
  return true;
}

void TSerialPort::close() {
  if (port_) {
    if (port_->isOpen()) port_->close();
    port_.reset();
  }
}

std::optional<uint8_t> TSerialPort::try_read_byte() {
  char byte = 0;
  // Bytes already in the port's buffer cost no system call.
  if (port_ && port_->isOpen() && port_->bytesAvailable() > 0 && port_->getChar(&byte)) {
    return static_cast<uint8_t>(byte);
  }
  QElapsedTimer waited;
  waited.start();
  if (port_ && port_->isOpen()) {
    if (port_->waitForReadyRead(read_timeout_ms_) && port_->getChar(&byte)) {
      return static_cast<uint8_t>(byte);
    }
    port_->clearError();  // a time-out is silence, not an error
  }
  // Silence always costs the time-out, also when the device went away (an
  // unplugged adapter fails at once): callers read in loops and must not spin.
  const qint64 left = read_timeout_ms_ - waited.elapsed();
  if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
  return std::nullopt;
}

void TSerialPort::write_byte(uint8_t byte) { write_bytes(&byte, 1); }

void TSerialPort::write_bytes(const uint8_t* bytes, size_t count) {
  if (!port_ || !port_->isOpen() || count == 0) return;
  port_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(count));
  port_->flush();
}

}  // namespace ardenvis::serial
