// A line carrying anything at all in answer to the live-data poll: both
// readers take their frames and both views are built, never a crash, a hang
// or a read outside the frame.

#include <cstddef>
#include <cstdint>

#include "link/byte_link.h"
#include "live/live_frame.h"
#include "live/system_check.h"
#include "live/virtual_display.h"
#include "state/program_state.h"
#include "support/scripted_host.h"

namespace {

// Replays the fuzz input as the unit's bytes, then falls silent (reads time out).
class ReplayLine : public ardenvis::core::SerialDevice {
 public:
  ReplayLine(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool open(const ardenvis::core::LineSettings&) override { return true; }
  void close() override {}
  std::optional<uint8_t> try_read_byte() override {
    if (at_ < size_) return data_[at_++];
    return std::nullopt;
  }
  void write_byte(uint8_t) override {}
  bool drained() const { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis;
  ReplayLine line(data, size);
  core::UnitLink link;
  link.port = &line;
  link.serial_port_open = true;
  testing::ScriptedHost host;
  core::SystemCheckView check = core::empty_system_check();
  for (int poll = 0; poll < 64 && !line.drained(); ++poll) {
    const auto reader =
        poll % 2 ? core::FrameReader::SystemCheck : core::FrameReader::VirtualDisplay;
    const auto frame = core::poll_live_frame(link, host, reader);
    if (!frame) {
      core::show_no_data(check);
      continue;
    }
    core::build_dashboard(core::dashboard_inputs(*frame));
    check = core::system_check_view(*frame);
  }
  return 0;
}
