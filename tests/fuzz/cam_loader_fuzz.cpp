// Any text as a camera database file: it loads, or the load ends in one of its
// messages, never a crash, a hang or a write past the image.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/camera_database.h"

namespace {

class NullHost : public ardenvis::core::Host {
 public:
  ardenvis::core::Answer message(ardenvis::core::MessageKind, const std::string&,
                                 ardenvis::core::Buttons) override {
    return ardenvis::core::Answer::Ok;
  }
  std::optional<std::string> open_file(const ardenvis::core::FileDialog&) override { return {}; }
  std::optional<std::string> save_file(const ardenvis::core::FileDialog&) override { return {}; }
  void process_events() override {}
  void busy_cursor(bool) override {}
  ardenvis::core::AnalysisProgress& analysis_progress() override { return progress; }
  void start_timer(ardenvis::core::Tickable&, int) override {}
  void stop_timer(ardenvis::core::Tickable&) override {}
  ardenvis::core::NullProgress progress;
};

class NullMemo : public ardenvis::core::InformationMemo {
 public:
  void clear() override {}
  void add(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NullHost host;
  NullMemo memo;
  ardenvis::core::TCameraFlashData camera;
  bool cancel = false;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ardenvis::core::load_camera_database(camera, text, "fuzz.cam", host, memo, cancel);
  if (camera.total_length != 0 && camera.data.size() != camera.total_length) __builtin_trap();
  return 0;
}
