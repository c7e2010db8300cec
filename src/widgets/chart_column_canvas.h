#pragma once
// Dense traces drawn as pixel columns, composed in one pass. At full view a
// trace is almost all one-pixel-wide vertical spans, and several traces
// cover the same columns nearly top to bottom; filled one by one through a
// painter, every pixel is written once per trace, row by row. Here the
// spans of all traces are painted, column by column and in their order,
// into a small buffer that stays in the cache, and each pixel of the result
// is written once; the picture is then drawn in one go.

#include <QImage>
#include <QRect>
#include <vector>

namespace ardenvis::ui {

// Rows top..bottom (inclusive) of one pixel column.
struct ColumnSpan {
  int column = 0;
  int top = 0;
  int bottom = 0;
};

// A trace's spans, filled with one opaque colour.
struct ColumnTrace {
  const std::vector<ColumnSpan>* spans = nullptr;
  QRgb colour = 0;
};

class ColumnCanvas {
 public:
  // Paints the traces in order (a later one over an earlier) on a picture of
  // `area` (in the spans' coordinates) and returns the part of the picture
  // they touch, in its own coordinates: empty when they touch nothing. In
  // that part, what no span covers is transparent.
  QRect compose(const QRect& area, const std::vector<ColumnTrace>& traces);
  const QImage& image() const { return image_; }

 private:
  QImage image_;
  std::vector<std::vector<ColumnSpan>> clipped_;
  std::vector<QRgb> tile_;
};

}  // namespace ardenvis::ui
