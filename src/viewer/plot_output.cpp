#include "viewer/plot_output.h"

#include "common/format.h"
#include "files/file_dialogs.h"

namespace ardenvis::core {

OutputChart output_chart(ViewPage page) {
  switch (page) {
    case ViewPage::TrackMap:
      return OutputChart::TrackMap;
    case ViewPage::GCircle:
      return OutputChart::GCircle;
    default:
      return OutputChart::Plot;
  }
}

PrintLayout print_layout(const ProgramState& state, OutputChart chart) {
  PrintLayout layout;
  switch (chart) {
    case OutputChart::TrackMap:
      layout.title = "Ardenvis Track Map Plot";
      break;
    case OutputChart::GCircle:
      layout.title = "Ardenvis G Circle Plot";
      break;
    case OutputChart::Plot:
      layout.title = "Ardenvis Data Plot";
      break;
  }
  // The data sets by the file they came from (empty for a slot without one).
  layout.data_a = format("Data A: %s", state.data_sets[0].file_name.c_str());
  layout.data_b = format("Data B: %s", state.data_sets[1].file_name.c_str());
  return layout;
}

std::string bitmap_file_name(const std::string& typed) {
  return file_extension(typed).empty() ? typed + kBitmapExtension : typed;
}

}  // namespace ardenvis::core
