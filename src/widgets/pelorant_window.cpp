#include "widgets/pelorant_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace ardenvis::ui {

PelorantWindow::PelorantWindow(const QString& caption, QWidget* parent) : QWidget(parent) {
  setWindowTitle(caption);
}

void PelorantWindow::centre_on_screen() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize frame =
      frameGeometry().size().isValid() && isVisible() ? frameGeometry().size() : size();
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

QSize PelorantWindow::laptop_room() {
  constexpr int kBorder = 8, kTitleBar = 32, kTaskBar = 48;
  return {1366 - 2 * kBorder, 768 - kTitleBar - kTaskBar - kBorder};
}

namespace {

// Keeps a column's scroll area as wide as its page needs, also when the page's
// needs change (a caption that grows with the data shown).
class ColumnWidth : public QObject {
 public:
  ColumnWidth(QScrollArea* area, QWidget* page) : QObject(area), area_(area), page_(page) {
    page->installEventFilter(this);
    fit();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A page that needs more room than it has is first given it by the scroll
    // area, off to the side: either event tells the column to widen.
    if (watched == page_ &&
        (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)) {
      fit();
    }
    return false;
  }

 private:
  void fit() {
    const int page_width = std::max(page_->minimumSizeHint().width(), page_->minimumWidth());
    area_->setFixedWidth(page_width +
                         area_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area_));
  }
  QScrollArea* area_;
  QWidget* page_;
};

}  // namespace

QWidget* PelorantWindow::scrolled(QWidget* page, QWidget* parent, Scroll scroll) {
  auto* area = new QScrollArea(parent);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setWidget(page);
  if (scroll == Scroll::Column) {
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    new ColumnWidth(area, page);
  }
  return area;
}

void PelorantWindow::keep_placement(const QByteArray& saved) {
  keeps_placement_ = true;
  placement_ = saved;
}

QByteArray PelorantWindow::placement() const {
  return keeps_placement_ && isVisible() ? saveGeometry() : placement_;
}

void PelorantWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placement_.isEmpty() || !restoreGeometry(placement_)) centre_on_screen();
  activated();
}

void PelorantWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (keeps_placement_) placement_ = saveGeometry();
}

void PelorantWindow::closeEvent(QCloseEvent* event) {
  event->accept();  // hides; the window lives on
  emit closed_by_user();
}

WindowShell::WindowShell(PelorantWindow* window, const QString& description, QWidget* top_row)
    : window_(window) {
  auto* layout = new QVBoxLayout(window);
  if (top_row) layout->addWidget(top_row);
  auto* about = new QLabel(description, window);
  about->setWordWrap(true);
  layout->addWidget(about, 1);
  buttons_ = new QHBoxLayout;
  buttons_->addStretch();
  layout->addLayout(buttons_);
  window->resize(480, 240);
}

QPushButton* WindowShell::add_button(const QString& caption, const QString& hint,
                                     const QString& object_name) {
  QPushButton* button = PelorantWindow::make_button(caption, hint, object_name, window_);
  buttons_->addWidget(button);
  return button;
}

}  // namespace ardenvis::ui
