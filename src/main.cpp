// Ardenvis: the desktop companion program of the Pelorant dashboard and logger.

#include <QApplication>
#include <QLocale>
#include <clocale>

#include "app/start_up.h"
#include "app/ui/application.h"
#include "link/SerialPort.h"
#include "state/program_state.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ardenvis");
  // Numbers and dates look the same whatever the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  QApplication::setQuitOnLastWindowClosed(false);

  ardenvis::core::ProgramState state;
  ardenvis::serial::TSerialPort port;
  ardenvis::ui::Application program(state, port, QApplication::applicationDirPath().toStdString());
  QObject::connect(&program, &ardenvis::ui::Application::finished, &app, &QApplication::quit);
  program.show_main_window();
  return app.exec();
}
