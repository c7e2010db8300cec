#include "viewer/figure_output.h"

namespace ardenvis::core {

std::optional<FigureFormat> figure_format(std::string_view path) {
  const std::string_view extension = file_extension(path);
  if (extension == ".png") return FigureFormat::Png;
  if (extension == ".svg") return FigureFormat::Svg;
  if (extension == ".pdf") return FigureFormat::Pdf;
  return std::nullopt;
}

std::string figure_default_name(OutputChart chart) {
  switch (chart) {
    case OutputChart::TrackMap:
      return "track_map.png";
    case OutputChart::GCircle:
      return "g_circle.png";
    case OutputChart::Plot:
      break;
  }
  return "plot.png";
}

std::optional<ChosenFile> choose_figure_file(const ProgramState& state, Host& host,
                                             OutputChart chart) {
  FileLocation location = state.file(FileKind::Figure);
  location.name = figure_default_name(chart);
  return choose_file_to_save(host, location, kFigureTitle, kFigureFilter, kFigureExtensions);
}

}  // namespace ardenvis::core
