#include "widgets/figure_file.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSpinBox>
#include <QSvgGenerator>
#include <memory>

#include "widgets/chart.h"

namespace ardenvis::ui {

namespace {

// Figures are laid out in pixels of 1/96 inch, as on screen; SVG and PDF get
// the same resolution so fonts given in points come out the size they have
// on screen.
constexpr int kFigureDpi = 96;
constexpr double kPointsPerPixel = 72.0 / kFigureDpi;

// Paints the figure on `device`, its `size` pixels mapped onto the whole
// device whatever the device's own units.
bool paint_on(QPaintDevice* device, const FigureSource& source, const QSize& size) {
  Chart::FigurePainter painter = Chart::figure_painter(device);
  if (!painter) return false;
  painter->setViewport(0, 0, device->width(), device->height());
  painter->setWindow(0, 0, size.width(), size.height());
  painter->fillRect(QRect(QPoint(0, 0), size), Qt::white);
  source(*painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
  return painter->end();
}

}  // namespace

FigureSource chart_figure(Chart& chart) {
  return [&chart](QPainter& painter, const QRectF& target, const QSize& size) {
    chart.paint_figure(painter, target, size);
  };
}

bool write_figure(const FigureSource& source, const QString& path, core::FigureFormat format,
                  const QSize& size) {
  if (size.isEmpty()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  bool painted = false;
  switch (format) {
    case core::FigureFormat::Png: {
      QImage image(size, QImage::Format_ARGB32_Premultiplied);
      painted = paint_on(&image, source, size) && image.save(&file, "PNG");
      break;
    }
    case core::FigureFormat::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setResolution(kFigureDpi);
      svg.setTitle(QStringLiteral("Ardenvis figure"));
      painted = paint_on(&svg, source, size);
      break;
    }
    case core::FigureFormat::Pdf: {
      QPdfWriter pdf(&file);
      pdf.setTitle(QStringLiteral("Ardenvis figure"));
      pdf.setCreator(QStringLiteral("Ardenvis"));
      pdf.setPageSize(QPageSize(QSizeF(size) * kPointsPerPixel, QPageSize::Point, QString(),
                                QPageSize::ExactMatch));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setResolution(kFigureDpi);
      painted = paint_on(&pdf, source, size);
      break;
    }
  }
  if (!painted) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

FigureSizeDialog::FigureSizeDialog(const QSize& start, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Figure Size");
  setObjectName("figureSizeDialog");
  auto* layout = new QFormLayout(this);
  auto side = [this](const char* name, int value) {
    auto* box = new QSpinBox(this);
    box->setObjectName(name);
    box->setRange(core::kFigureMinSide, core::kFigureMaxSide);
    box->setSuffix(" px");
    box->setValue(value);
    return box;
  };
  width_ = side("figureWidth", start.width());
  height_ = side("figureHeight", start.height());
  layout->addRow("Width", width_);
  layout->addRow("Height", height_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QSize FigureSizeDialog::chosen() const { return {width_->value(), height_->value()}; }

std::optional<QSize> ask_figure_size(const QSize& start, QWidget* parent) {
  FigureSizeDialog dialog(start, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

}  // namespace ardenvis::ui
