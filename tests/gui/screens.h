#pragma once
// Saves window grabs under build/screens/ so a person can look at them.

#include <QDir>
#include <QSize>
#include <QWidget>

namespace ardenvis::testing {

// The smallest screen the program is made for: a 1366 x 768 laptop. A window
// shares it with its own title bar and borders and with the desktop's task
// bar, which leaves this much for the window's contents.
inline constexpr QSize kLaptopScreen(1366, 768);
inline QSize laptop_room() {
  constexpr int kBorder = 8, kTitleBar = 32, kTaskBar = 48;
  return {kLaptopScreen.width() - 2 * kBorder,
          kLaptopScreen.height() - kTitleBar - kTaskBar - kBorder};
}

inline QString save_grab(QWidget* window, const QString& name) {
  QString folder = qEnvironmentVariable("ARDENVIS_SCREENS", "screens");
  QDir().mkpath(folder);
  QString path = folder + "/" + name + ".png";
  window->grab().save(path);
  return path;
}

}  // namespace ardenvis::testing
