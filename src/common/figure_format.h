#pragma once
// What every saved figure has, whichever chart it shows: its file format and
// the sizes allowed. Shared by the rules of each chart's "Save Figure..." and
// the one place that writes a figure file.

namespace ardenvis::core {

enum class FigureFormat { Png, Svg, Pdf };

// A figure's size in pixels (at 96 per inch: PDF pages get 3/4 of a point a
// pixel). Anything outside these bounds is refused by the size dialog.
inline constexpr int kFigureMinSide = 50;
inline constexpr int kFigureMaxSide = 10000;
struct FigureSize {
  int width = 0;
  int height = 0;
};

// The size offered first: the chart's size on screen, brought within bounds.
inline FigureSize default_figure_size(int on_screen_width, int on_screen_height) {
  auto bound = [](int side) {
    return side < kFigureMinSide ? kFigureMinSide : side > kFigureMaxSide ? kFigureMaxSide : side;
  };
  return {bound(on_screen_width), bound(on_screen_height)};
}

}  // namespace ardenvis::core
