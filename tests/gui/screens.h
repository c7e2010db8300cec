#pragma once
// Saves window grabs under build/screens/ so a person can look at them.

#include <QDir>
#include <QWidget>

namespace ardenvis::testing {

inline QString save_grab(QWidget* window, const QString& name) {
  QString folder = qEnvironmentVariable("ARDENVIS_SCREENS", "screens");
  QDir().mkpath(folder);
  QString path = folder + "/" + name + ".png";
  window->grab().save(path);
  return path;
}

}  // namespace ardenvis::testing
