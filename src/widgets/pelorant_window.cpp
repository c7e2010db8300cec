#include "widgets/pelorant_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace ardenvis::ui {

PelorantWindow::PelorantWindow(const QString& caption, QWidget* parent) : QWidget(parent) {
  setWindowTitle(caption);
}

void PelorantWindow::centre_on_screen() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize frame = frameGeometry().size().isValid() && isVisible() ? frameGeometry().size()
                                                                      : size();
  move(area.x() + (area.width() - frame.width()) / 2,
       area.y() + (area.height() - frame.height()) / 2);
}

QPushButton* PelorantWindow::make_button(const QString& caption, const QString& hint,
                                         const QString& object_name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  if (!hint.isEmpty()) button->setToolTip(hint);
  button->setObjectName(object_name);
  return button;
}

void PelorantWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  centre_on_screen();
  activated();
}

void PelorantWindow::closeEvent(QCloseEvent* event) {
  event->accept();  // hides; the window lives on
  emit closed_by_user();
}

}  // namespace ardenvis::ui
