#pragma once
// Plot output: which chart the clipboard, bitmap and printer take (the one on
// the page the user looks at; the "Lap Times" and notes pages have none, so the
// plot chart stands in), the messages, and the printed page's layout in the
// printer's own units.

#include <string>

#include "state/program_state.h"
#include "viewer/zoom_keys.h"

namespace ardenvis::core {

namespace plot_output_message {
inline constexpr const char* clipboard_done = "Plot Saved to ClipBoard";
inline constexpr const char* bitmap_cancelled = "Plot not Saved to BitMap File";
inline constexpr const char* bitmap_problem = "Problem Saving BitMap File";
inline constexpr const char* logo_missing =
    "Cannot Find your_logo.bmp in Application Directory Folder!";
}  // namespace plot_output_message

inline constexpr const char* kLogoFile = "your_logo.bmp";
inline constexpr const char* kBitmapTitle = "Save Plot Bitmap File";
inline constexpr const char* kBitmapFilter = "BitMap files (*.bmp)";
inline constexpr const char* kBitmapExtension = ".bmp";

enum class OutputChart { Plot, TrackMap, GCircle };
OutputChart output_chart(ViewPage page);

// The printed page: three lines of text, then the chart.
struct PrintLayout {
  std::string title;   // at (300, 300)
  std::string data_a;  // at (300, 500)
  std::string data_b;  // at (300, 700)
};
inline constexpr int kPrintLeft = 300;
inline constexpr int kPrintTitleTop = 300;
inline constexpr int kPrintDataATop = 500;
inline constexpr int kPrintDataBTop = 700;
inline constexpr int kPrintChartTop = 1100;
inline constexpr double kPrintChartScale = 0.8;
PrintLayout print_layout(const ProgramState& state, OutputChart chart);

// A bitmap file name as typed: the ".bmp" added when it has no extension.
std::string bitmap_file_name(const std::string& typed);

}  // namespace ardenvis::core
