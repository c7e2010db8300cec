// Any text as a setup template: the notes and the 80 setup texts are read or
// the format error is reported, never a crash.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/setup_notes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ardenvis::core::DataSet set;
  ardenvis::core::read_setup_template(set,
                                      std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
