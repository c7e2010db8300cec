#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <set>

#include "widgets/chart_impl.h"

namespace ardenvis::ui {

void Chart::copy_to_clipboard() {
  QGuiApplication::clipboard()->setPixmap(impl_->plot->toPixmap());
}

bool Chart::save_bitmap(const QString& path) { return impl_->plot->saveBmp(path); }

void Chart::render_into(QPainter& painter, const QPoint& origin, double scale) {
  const QPixmap picture = impl_->plot->toPixmap();
  painter.drawPixmap(QRectF(origin, QSizeF(picture.size()) * scale), picture, picture.rect());
}

namespace {
// The painters figure_painter made and has not yet seen deleted: only they
// are QCustomPlot's own painters, which a chart needs to paint into.
std::set<const QPainter*>& figure_painters() {
  static std::set<const QPainter*> painters;
  return painters;
}
void delete_figure_painter(QPainter* painter) {
  figure_painters().erase(painter);
  delete static_cast<QCPPainter*>(painter);
}
}  // namespace

Chart::FigurePainter Chart::figure_painter(QPaintDevice* device) {
  auto* made = new QCPPainter(device);
  figure_painters().insert(made);
  FigurePainter painter(made, &delete_figure_painter);
  if (!painter->isActive()) return FigurePainter(nullptr, &delete_figure_painter);
  const int type = device->devType();
  if (type != QInternal::Image && type != QInternal::Pixmap) {
    // Vectorised: traces go to the file as lines, not as pixel columns.
    made->setMode(QCPPainter::pmVectorized);
  }
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setRenderHint(QPainter::TextAntialiasing);
  return painter;
}

void Chart::paint_figure(QPainter& painter, const QRectF& target, const QSize& size) {
  if (!figure_painters().contains(&painter) || size.isEmpty()) return;
  auto* figure = static_cast<QCPPainter*>(&painter);
  QCustomPlot* plot = impl_->plot;
  figure->save();
  figure->translate(target.topLeft());
  figure->scale(target.width() / size.width(), target.height() / size.height());
  // toPainter lays the chart out at the figure's size (the envelopes follow
  // its pixel columns) and puts the screen's layout back afterwards.
  plot->toPainter(figure, size.width(), size.height());
  figure->restore();
  plot->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace ardenvis::ui
