#include <QPalette>
#include <QPixmap>

#include "widgets/chart_impl.h"

namespace ardenvis::ui {

void Chart::Impl::make_labels() {
  // Labels are read on top of the traces, never under them.
  plot->addLayer("labels", plot->layer("main"), QCustomPlot::limAbove);
  for (int i = 0; i < kLabels; ++i) {
    auto* label = new QCPItemText(plot);
    label->setLayer("labels");
    label->position->setType(QCPItemPosition::ptPlotCoords);
    label->position->setAxes(plot->xAxis, plot->yAxis);
    label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextAlignment(Qt::AlignLeft);
    label->setPadding(QMargins(3, 2, 3, 2));
    label->setClipToAxisRect(true);
    label->position->setCoords(1e8, 1e8);
    label->setVisible(false);
    labels[static_cast<size_t>(i)] = label;
  }
}

void Chart::Impl::make_markers() {
  // Markers and dots live on a layer of their own with its own paint buffer,
  // so dragging a marker repaints that layer, not every trace under it.
  plot->addLayer("markers", plot->layer("main"), QCustomPlot::limAbove);
  plot->layer("markers")->setMode(QCPLayer::lmBuffered);
  for (auto& m : markers) {
    m.vertical = new QCPItemStraightLine(plot);
    m.horizontal = new QCPItemStraightLine(plot);
    for (QCPItemStraightLine* line : {m.vertical, m.horizontal}) {
      line->setLayer("markers");
      line->setClipToAxisRect(true);
      line->setVisible(false);
      line->setSelectable(false);
    }
    place_marker(m);
  }
}

void Chart::set_dot(int tag, bool shown, double x, double y, const QColor& colour) {
  if (tag < 1 || tag > 2) return;
  QCPItemTracer*& dot = impl_->dots[static_cast<size_t>(tag - 1)];
  if (!dot) {
    dot = new QCPItemTracer(impl_->plot);
    dot->setLayer("markers");
    dot->setStyle(QCPItemTracer::tsCircle);
    dot->setSize(9);
    dot->position->setType(QCPItemPosition::ptPlotCoords);
    dot->position->setAxes(impl_->x(1), impl_->y(1));
    dot->setClipToAxisRect(true);
  }
  dot->position->setCoords(x, y);
  dot->setPen(QPen(colour));
  dot->setBrush(QBrush(colour));
  dot->setVisible(shown);
}

void Chart::repaint_markers() {
  if (!isVisible()) return;
  impl_->plot->layer("markers")->replot();
}

void Chart::set_marker_visible(int marker, bool visible, const QColor& colour) {
  if (marker < 1 || marker > 2) return;
  auto& m = impl_->markers[static_cast<size_t>(marker - 1)];
  for (QCPItemStraightLine* line : {m.vertical, m.horizontal}) {
    line->setPen(QPen(colour, 1));
    line->setVisible(visible);
  }
}

bool Chart::marker_visible(int marker) const {
  if (marker < 1 || marker > 2) return false;
  return impl_->markers[static_cast<size_t>(marker - 1)].vertical->visible();
}

void Chart::set_marker_position(int marker, double x, double y) {
  if (marker < 1 || marker > 2) return;
  auto& m = impl_->markers[static_cast<size_t>(marker - 1)];
  m.x = x;
  m.y = y;
  impl_->place_marker(m);
}

QPointF Chart::marker_position(int marker) const {
  if (marker < 1 || marker > 2) return {};
  const auto& m = impl_->markers[static_cast<size_t>(marker - 1)];
  return {m.x, m.y};
}

void Chart::text_at(double x, double y, const QString& caption, const QColor& colour) {
  auto* text = new QCPItemText(impl_->plot);
  text->position->setType(QCPItemPosition::ptPlotCoords);
  text->position->setAxes(impl_->x(1), impl_->y(1));
  text->position->setCoords(x, y);
  text->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  text->setColor(colour);
  text->setText(caption);
  text->setClipToAxisRect(true);
  impl_->texts.push_back(text);
}

void Chart::set_label(int label, double x, double y, const QString& caption) {
  if (label < 1 || label > kLabels) return;
  QCPItemText* item = impl_->labels[static_cast<size_t>(label - 1)];
  item->position->setCoords(x, y);
  item->setText(caption);
}

void Chart::set_label_visible(int label, bool visible) {
  if (label < 1 || label > kLabels) return;
  impl_->labels[static_cast<size_t>(label - 1)]->setVisible(visible);
}

void Chart::set_labels_style(const QColor& text, const QColor& background, bool shadowed) {
  for (QCPItemText* item : impl_->labels) {
    item->setColor(text);
    item->setBrush(QBrush(background));
    item->setPen(shadowed ? QPen(QColor(96, 96, 96)) : QPen(Qt::NoPen));
  }
}

QString Chart::label_caption(int label) const {
  if (label < 1 || label > kLabels) return {};
  return impl_->labels[static_cast<size_t>(label - 1)]->text();
}

QPointF Chart::label_position(int label) const {
  if (label < 1 || label > kLabels) return {};
  return impl_->labels[static_cast<size_t>(label - 1)]->position->coords();
}

bool Chart::label_visible(int label) const {
  if (label < 1 || label > kLabels) return false;
  return impl_->labels[static_cast<size_t>(label - 1)]->visible();
}

bool Chart::set_background_image(const QString& path) {
  QPixmap picture;
  if (!picture.load(path)) return false;
  impl_->plot->setBackground(picture, true, Qt::KeepAspectRatio);
  return true;
}

void Chart::clear_background_image() {
  impl_->plot->setBackground(QPixmap());
  impl_->plot->setBackground(QBrush(Qt::white));
}

}  // namespace ardenvis::ui
