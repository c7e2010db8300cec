#include "viewer/ui/view_data_widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>

#include "viewer/plot_channels.h"

namespace ardenvis::ui::view_data {

QColor to_qcolor(uint32_t value) {
  return QColor(core::colour_red(value), core::colour_green(value), core::colour_blue(value));
}

QComboBox* combo(const QStringList& items, const QString& name, QWidget* parent, int current) {
  auto* box = new QComboBox(parent);
  box->addItems(items);
  box->setObjectName(name);
  box->setCurrentIndex(current);
  return box;
}

QGroupBox* group(const QString& title, const QString& name, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  return box;
}

QGroupBox* reserved_box(const QString& title, const QString& name, QWidget* parent) {
  QGroupBox* box = group(title, name, parent);
  auto* layout = new QVBoxLayout(box);
  auto* note = new QLabel("Not available in this version", box);
  note->setEnabled(false);
  layout->addWidget(note);
  return box;
}

namespace {
QIcon swatch_icon(uint32_t value) {
  // Painted in the screen's own pixels: a swatch painted at 28 x 12 and
  // scaled up on a high-density screen has a blurred border.
  const qreal density = qApp->devicePixelRatio();
  QPixmap swatch(QSize(28, 12) * density);
  swatch.setDevicePixelRatio(density);
  swatch.fill(to_qcolor(value));
  QPainter painter(&swatch);
  painter.setPen(QPen(Qt::darkGray, 0));  // one screen pixel wide
  painter.drawRect(QRectF(0, 0, 28 - 1 / density, 12 - 1 / density));
  return QIcon(swatch);
}
}  // namespace

void select_colour(QComboBox* box, uint32_t colour) {
  int index = box->findData(static_cast<uint>(colour));
  if (index < 0) {
    box->addItem(swatch_icon(colour), "", static_cast<uint>(colour));
    index = box->count() - 1;
    box->setItemData(index, QString("Custom"), Qt::ToolTipRole);
  }
  box->setCurrentIndex(index);
}

QComboBox* colour_box(uint32_t colour, const QString& name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (const core::PaletteColour& c : core::palette()) {
    box->addItem(swatch_icon(c.value), "", static_cast<uint>(c.value));
    box->setItemData(box->count() - 1, c.name, Qt::ToolTipRole);
  }
  box->setIconSize(QSize(28, 12));
  box->setCurrentIndex(std::max(core::palette_index(colour), 0));
  box->setFixedWidth(58);
  return box;
}

}  // namespace ardenvis::ui::view_data
