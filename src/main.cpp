// Ardenvis: the desktop companion program of the Pelorant dashboard and logger.
// `ardenvis [FILE.plr [FILE2.plr] | FILE.pcf]` opens the files given.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QWindow>
#include <clocale>
#include <cstdio>
#include <string>

#include "app/start_up.h"
#include "app/ui/application.h"
#include "app/ui/desktop_settings.h"
#include "app/ui/logxfer_MAIN.h"
#include "link/SerialPort.h"
#include "state/program_state.h"

namespace {

// With ARDENVIS_STARTUP_PROBE set to the launch time (nanoseconds since the
// epoch, `date +%s%N`), prints the seconds from launch until the first window
// is on the screen, and ends the program: tests/bench/startup_time.sh.
class StartupProbe : public QObject {
 public:
  StartupProbe(QWidget* window, qint64 launched_ns) : launched_ns_(launched_ns) {
    window->winId();  // the native window, to watch it being exposed
    window->windowHandle()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = static_cast<QWindow*>(watched);
    if (event->type() == QEvent::Expose && window->isExposed() && !done_) {
      done_ = true;
      const qint64 now_ns = QDateTime::currentMSecsSinceEpoch() * 1000000;
      std::printf("%.3f\n", static_cast<double>(now_ns - launched_ns_) / 1e9);
      std::fflush(stdout);
      QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  qint64 launched_ns_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ardenvis");
  QApplication::setOrganizationName("Ardenvis");
  // Numbers and dates look the same whatever the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  QApplication::setQuitOnLastWindowClosed(false);

  // --library PATH: another session library than the default one; every
  // other argument is a file to open.
  std::string library_path;
  QStringList files;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--library" && i + 1 < arguments.size()) {
      library_path = arguments[++i].toStdString();
    } else {
      files << arguments[i];
    }
  }

  ardenvis::core::ProgramState state;
  ardenvis::serial::TSerialPort port;
  ardenvis::ui::DesktopSettings settings;
  // File dialogs open in the user's home until a kind has a folder of its own
  // (never in the folder the program happens to be started from).
  ardenvis::ui::Application program(state, port, QDir::homePath().toStdString(), &settings,
                                    library_path);
  QObject::connect(&program, &ardenvis::ui::Application::finished, &app, &QApplication::quit);
  std::unique_ptr<StartupProbe> probe;
  if (qEnvironmentVariableIsSet("ARDENVIS_STARTUP_PROBE")) {
    probe = std::make_unique<StartupProbe>(
        program.main_window(), qEnvironmentVariable("ARDENVIS_STARTUP_PROBE").toLongLong());
  }
  program.start(files);
  return app.exec();
}
