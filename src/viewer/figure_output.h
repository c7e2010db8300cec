#pragma once
// "Save Figure...": a chart saved as a PNG picture, an SVG drawing or a PDF
// document at a size the user picks (the chart's size on screen to start
// with). Which format a name asks for, the dialog's texts and the sizes
// allowed are decided here; the drawing itself is the windows' business.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/figure_format.h"
#include "common/host.h"
#include "files/file_dialogs.h"
#include "state/program_state.h"
#include "viewer/plot_output.h"

namespace ardenvis::core {

inline constexpr const char* kFigureTitle = "Save Figure";
// The first filter's format is the one a name without extension gets.
inline constexpr const char* kFigureFilter =
    "PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";
inline constexpr std::string_view kFigureExtensions[] = {".png", ".svg", ".pdf"};

namespace figure_message {
inline constexpr const char* problem = "Problem Saving Figure File";
}  // namespace figure_message

// The format a file name's extension names; nullopt for any other.
std::optional<FigureFormat> figure_format(std::string_view path);

// The default name of a figure of a chart: "plot.png", "track_map.png",
// "g_circle.png" in the remembered figure folder.
std::string figure_default_name(OutputChart chart);

// The save dialog of a figure in the remembered figure folder (cancel, bad
// name and overwrite reported here); the caller remembers the file once it
// is written.
std::optional<ChosenFile> choose_figure_file(const ProgramState& state, Host& host,
                                             OutputChart chart);

}  // namespace ardenvis::core
