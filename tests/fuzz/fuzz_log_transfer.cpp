// A unit that answers anything at all: the index read, the session table and
// a download (flash or lite, whichever the replies make it) end in one of
// their messages, never a crash, a hang or a write outside a buffer.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "link/byte_link.h"
#include "logger/download.h"
#include "logger/log_index.h"
#include "state/program_state.h"
#include "support/scripted_host.h"

namespace {

// The unit is ready and of an accepted version, so every exchange gets past
// its handshake; every other reply comes from the fuzz input in order,
// whatever was asked. After the input the unit is silent (reads time out).
class ReplayDevice : public ardenvis::core::SerialDevice {
 public:
  ReplayDevice(const uint8_t* data, size_t size, uint8_t minor)
      : data_(data), size_(size), minor_(minor) {}
  bool open(const ardenvis::core::LineSettings&) override {
    queued_.clear();
    return true;
  }
  void close() override {}
  std::optional<uint8_t> try_read_byte() override {
    if (!queued_.empty()) {
      const uint8_t byte = queued_.front();
      queued_.pop_front();
      return byte;
    }
    if (at_ < size_) return data_[at_++];
    return std::nullopt;
  }
  void write_byte(uint8_t byte) override {
    if (byte == 'p') queued_.push_back(85);
    if (byte == 'x') queued_.insert(queued_.end(), {4, minor_});
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  uint8_t minor_;
  std::deque<uint8_t> queued_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis;
  if (size < 3) return 0;
  ReplayDevice device(data + 3, size - 3, static_cast<uint8_t>(data[2] % 31));
  core::ProgramState state;
  state.link.port = &device;
  state.link.serial_port_number = 1;
  testing::ScriptedHost host;
  host.ms_per_event = 1;  // so the watchdog can fire
  if (!core::view_session_data(state, host)) return 0;
  const int session = data[0] % 16 + 1;
  const auto target = (data[1] & 1) ? core::DataSetId::B : core::DataSetId::A;
  core::downloadLogSession(state, host, {session, target, (data[1] & 2) != 0, true});
  return 0;
}
