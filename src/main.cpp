// Ardenvis: the desktop companion program of the Pelorant dashboard and logger.

#include <QApplication>
#include <QLocale>
#include <clocale>
#include <string>

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

  // --library PATH: another session library than the default one.
  std::string library_path;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == "--library") library_path = arguments[i + 1].toStdString();
  }

  ardenvis::core::ProgramState state;
  ardenvis::serial::TSerialPort port;
  ardenvis::ui::Application program(state, port, QApplication::applicationDirPath().toStdString(),
                                    library_path);
  QObject::connect(&program, &ardenvis::ui::Application::finished, &app, &QApplication::quit);
  program.show_main_window();
  return app.exec();
}
