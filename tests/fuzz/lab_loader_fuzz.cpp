// Any text as a label file: labels are read or the file is refused, never a
// crash, and the table and counter stay within their 20 labels.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "viewer/plot_labels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis::core;
  const auto file = read_labels(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!file) return 0;
  int counter = 1;
  PlotLabels labels(counter);
  labels.take(*file);
  if (counter < 1 || counter > kPlotLabelCount + 1) std::abort();
  if (file->labels_found > kPlotLabelCount) std::abort();
  return 0;
}
