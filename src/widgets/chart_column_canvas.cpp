#include "widgets/chart_column_canvas.h"

#include <algorithm>
#include <climits>

namespace ardenvis::ui {
namespace {

// Columns composed together: a tile of them (16 x a few hundred rows) fits
// in the first-level cache, and 16 pixels are one cache line of a row.
constexpr int kTile = 16;

}  // namespace

QRect ColumnCanvas::compose(const QRect& area, const std::vector<ColumnTrace>& traces) {
  if (area.isEmpty()) return {};
  // The spans inside the area, in its coordinates, and the box they fill.
  int x0 = INT_MAX;
  int x1 = INT_MIN;
  int y0 = INT_MAX;
  int y1 = INT_MIN;
  clipped_.resize(traces.size());
  for (size_t t = 0; t < traces.size(); ++t) {
    std::vector<ColumnSpan>& out = clipped_[t];
    out.clear();
    if (!traces[t].spans) continue;
    for (const ColumnSpan& s : *traces[t].spans) {
      const int column = s.column - area.x();
      const int top = std::max(s.top, area.top()) - area.y();
      const int bottom = std::min(s.bottom, area.bottom()) - area.y();
      if (column < 0 || column >= area.width() || top > bottom) continue;
      out.push_back({column, top, bottom});
      x0 = std::min(x0, column);
      x1 = std::max(x1, column);
      y0 = std::min(y0, top);
      y1 = std::max(y1, bottom);
    }
    // Spans come in column order along the axis; a reversed axis turns them.
    auto by_column = [](const ColumnSpan& a, const ColumnSpan& b) { return a.column < b.column; };
    if (!std::is_sorted(out.begin(), out.end(), by_column)) {
      std::stable_sort(out.begin(), out.end(), by_column);
    }
  }
  if (x0 > x1) return {};
  if (image_.width() < area.width() || image_.height() < area.height()) {
    image_ = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
  }
  const int rows = y1 - y0 + 1;
  tile_.resize(static_cast<size_t>(kTile) * static_cast<size_t>(rows));
  std::vector<size_t> next(traces.size(), 0);
  uchar* bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  for (int tx = x0; tx <= x1; tx += kTile) {
    const int width = std::min(kTile, x1 - tx + 1);
    // Column i of the tile is tile_[i * rows ...], row 0 being y0.
    std::fill_n(tile_.begin(), static_cast<size_t>(width) * static_cast<size_t>(rows), QRgb(0));
    for (size_t t = 0; t < traces.size(); ++t) {
      const std::vector<ColumnSpan>& spans = clipped_[t];
      size_t& i = next[t];
      for (; i < spans.size() && spans[i].column < tx + width; ++i) {
        const ColumnSpan& s = spans[i];
        QRgb* column =
            tile_.data() + static_cast<size_t>(s.column - tx) * static_cast<size_t>(rows);
        std::fill(column + (s.top - y0), column + (s.bottom - y0) + 1, traces[t].colour);
      }
    }
    for (int y = 0; y < rows; ++y) {
      auto* line = reinterpret_cast<QRgb*>(bits + (y0 + y) * stride) + tx;
      const QRgb* from = tile_.data() + y;
      for (int i = 0; i < width; ++i)
        line[i] = from[static_cast<size_t>(i) * static_cast<size_t>(rows)];
    }
  }
  return {x0, y0, x1 - x0 + 1, rows};
}

}  // namespace ardenvis::ui
