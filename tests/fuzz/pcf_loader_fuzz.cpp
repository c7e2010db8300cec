// Any text as a configuration file: it loads into the staging copies or is
// refused with the format or corruption error, and decoding whatever it held
// never crashes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/config_file.h"
#include "config/config_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis::core;
  ProgramState state;
  ConfigEditor editor(state.config, state.calculator);
  const auto result = read_config_file_text(
      std::string_view(reinterpret_cast<const char*>(data), size), state.config);
  if (result == ConfigFileRead::Current || result == ConfigFileRead::Old) {
    take_staged_configuration(editor);
    process_form_data(editor);
  }
  return 0;
}
