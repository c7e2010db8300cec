// Ardenvis: the desktop companion program of the Pelorant dashboard and logger.
// `ardenvis [FILE.plr [FILE2.plr] | FILE.pcf]` opens the files given.

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <clocale>

#include "app/start_up.h"
#include "app/ui/application.h"
#include "app/ui/desktop_settings.h"
#include "link/SerialPort.h"
#include "state/program_state.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ardenvis");
  QApplication::setOrganizationName("Ardenvis");
  // Numbers and dates look the same whatever the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  QApplication::setQuitOnLastWindowClosed(false);

  ardenvis::core::ProgramState state;
  ardenvis::serial::TSerialPort port;
  ardenvis::ui::DesktopSettings settings;
  // File dialogs open in the user's home until a kind has a folder of its own
  // (never in the folder the program happens to be started from).
  ardenvis::ui::Application program(state, port, QDir::homePath().toStdString(), &settings);
  QObject::connect(&program, &ardenvis::ui::Application::finished, &app, &QApplication::quit);
  program.start(QApplication::arguments().mid(1));
  return app.exec();
}
