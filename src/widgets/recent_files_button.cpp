#include "widgets/recent_files_button.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace ardenvis::ui {

RecentFilesButton::RecentFilesButton(const QString& object_name, QWidget* parent)
    : QToolButton(parent) {
  setObjectName(object_name);
  setToolTip("Recent files");
  setArrowType(Qt::DownArrow);
  // As tall as the load button beside it.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  // The list pops up on a click; as the button's own menu it would add a
  // second arrow beside the first.
  list_ = new QMenu(this);
  connect(this, &QToolButton::clicked, this,
          [this] { list_->popup(mapToGlobal(rect().bottomLeft())); });
  setEnabled(false);
}

void RecentFilesButton::set_files(const QStringList& paths) {
  files_ = paths;
  QMenu* list = list_;
  list->clear();
  for (const QString& path : paths) {
    // The name first, so files of the same name in different folders differ
    // at a glance; the whole path follows.
    QAction* entry = list->addAction(QFileInfo(path).fileName() + "  —  " + path);
    entry->setData(path);
    connect(entry, &QAction::triggered, this, [this, path] { emit file_chosen(path); });
  }
  setEnabled(!paths.isEmpty());
}

QBoxLayout* RecentFilesButton::row_with(QPushButton* load) {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(load, 1);
  row->addWidget(this);
  setFixedWidth(20);
  return row;
}

}  // namespace ardenvis::ui
