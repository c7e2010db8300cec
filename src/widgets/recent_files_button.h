#pragma once
// The small drop-down button beside a load button that offers the files of
// that kind loaded last, newest first. Choosing one loads it as if it had been
// chosen in the load button's dialog.

#include <QToolButton>

class QBoxLayout;
class QMenu;
class QPushButton;

namespace ardenvis::ui {

class RecentFilesButton : public QToolButton {
  Q_OBJECT
 public:
  explicit RecentFilesButton(const QString& object_name, QWidget* parent = nullptr);

  // Newest first; the button is disabled while there are none.
  void set_files(const QStringList& paths);
  QStringList files() const { return files_; }
  // The list the button pops up, one entry a file.
  QMenu* list() const { return list_; }

  // A row of `load` (taking the room) and this button, for a layout that held
  // the load button alone.
  QBoxLayout* row_with(QPushButton* load);

 signals:
  void file_chosen(const QString& path);

 private:
  QStringList files_;
  QMenu* list_;
};

}  // namespace ardenvis::ui
