// Plot output: the chart each page hands to the clipboard, bitmap and printer,
// and the printed page's texts.

#include <gtest/gtest.h>

#include "viewer/plot_output.h"

namespace ardenvis::core {
namespace {

TEST(PlotOutput, PagesWithoutAChartGiveThePlotChart) {
  struct Case {
    ViewPage page;
    OutputChart chart;
    const char* title;
  };
  ProgramState state;
  state.data_sets[0].file_name = "brands.plr";
  for (const Case& c : {Case{ViewPage::PlotData, OutputChart::Plot, "Ardenvis Data Plot"},
                        Case{ViewPage::LapTimes, OutputChart::Plot, "Ardenvis Data Plot"},
                        Case{ViewPage::DataANotes, OutputChart::Plot, "Ardenvis Data Plot"},
                        Case{ViewPage::DataBNotes, OutputChart::Plot, "Ardenvis Data Plot"},
                        Case{ViewPage::TrackMap, OutputChart::TrackMap, "Ardenvis Track Map Plot"},
                        Case{ViewPage::GCircle, OutputChart::GCircle, "Ardenvis G Circle Plot"}}) {
    EXPECT_EQ(output_chart(c.page), c.chart) << static_cast<int>(c.page);
    const PrintLayout layout = print_layout(state, output_chart(c.page));
    EXPECT_EQ(layout.title, c.title);
    EXPECT_EQ(layout.data_a, "Data A: brands.plr");
    EXPECT_EQ(layout.data_b, "Data B: ");
  }
  EXPECT_EQ(bitmap_file_name("/tmp/plot"), "/tmp/plot.bmp");
  EXPECT_EQ(bitmap_file_name("/tmp/plot.bmp"), "/tmp/plot.bmp");
  EXPECT_EQ(bitmap_file_name("/tmp/a.b/plot"), "/tmp/a.b/plot.bmp");
}

}  // namespace
}  // namespace ardenvis::core
