#pragma once
// The one place a chart becomes a file: a PNG picture, an SVG drawing or a
// PDF document of a chosen size, written atomically (a failed write leaves
// any file of that name as it was). Any chart that can paint itself into a
// figure painter (Chart::figure_painter) is a figure source.

#include <QDialog>
#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "common/figure_format.h"

class QPainter;
class QSpinBox;

namespace ardenvis::ui {

class Chart;

// Paints the figure at `size` pixels into `target` of a figure painter.
using FigureSource =
    std::function<void(QPainter& painter, const QRectF& target, const QSize& size)>;
FigureSource chart_figure(Chart& chart);

// False when the file could not be written.
bool write_figure(const FigureSource& source, const QString& path, core::FigureFormat format,
                  const QSize& size);

// "Figure Size": width and height in pixels, starting at a given size.
class FigureSizeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FigureSizeDialog(const QSize& start, QWidget* parent = nullptr);
  QSize chosen() const;

 private:
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
};

// Asks for a figure's size; nullopt when the user cancels.
std::optional<QSize> ask_figure_size(const QSize& start, QWidget* parent);

}  // namespace ardenvis::ui
