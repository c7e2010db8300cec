// Every window on a 1366 x 768 laptop screen: it opens no larger than the room
// left by a title bar and a task bar, its layout can shrink that far, and it
// never opens below its own minimum (which would clip its contents). Each
// window is grabbed as it opens there, every page of a paged window too.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ui/Toolbox.h"
#include "app/ui/about.h"
#include "app/ui/logxfer_MAIN.h"
#include "calc/ui/calculator.h"
#include "calc/ui/help_calculator.h"
#include "config/ui/configure.h"
#include "config/ui/odometer_password.h"
#include "files/ui/logger_notes.h"
#include "gui/screens.h"
#include "live/ui/dyno.h"
#include "live/ui/systemCheck.h"
#include "logger/ui/downloadProgress.h"
#include "logger/ui/log_index.h"
#include "logger/ui/logger.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/ui/plotProgress.h"
#include "viewer/ui/plot_data.h"

using namespace ardenvis;

class WindowFitTest : public QObject {
  Q_OBJECT

 private:
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  core::ProgramState state_;
  testing::ScriptedHost host_;  // messages are not this test's subject

  // Shows the window as the program does, grabs it and checks that it fits.
  void open_and_check(QWidget* window, const QString& name) {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QApplication::processEvents();
    check_fits(window, name);
  }
  void check_fits(QWidget* window, const QString& name) {
    // A box that grows asks its scroll column to widen, which asks the window
    // to lay out again: let the posted layout requests settle.
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    testing::save_grab(window, "laptop_" + name);
    const QSize room = testing::laptop_room();
    const QSize size = window->size();
    const QSize minimum = window->minimumSizeHint().expandedTo(window->minimumSize());
    qInfo("%-28s opens %4d x %3d, minimum %4d x %3d", qPrintable(name), size.width(), size.height(),
          minimum.width(), minimum.height());
    QVERIFY2(size.width() <= room.width() && size.height() <= room.height(),
             qPrintable(QString("%1 opens %2 x %3, the laptop has room for %4 x %5")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(room.width())
                            .arg(room.height())));
    QVERIFY2(minimum.width() <= room.width() && minimum.height() <= room.height(),
             qPrintable(QString("%1 cannot shrink below %2 x %3")
                            .arg(name)
                            .arg(minimum.width())
                            .arg(minimum.height())));
    QVERIFY2(size.width() >= minimum.width() && size.height() >= minimum.height(),
             qPrintable(QString("%1 opens below its minimum %2 x %3")
                            .arg(name)
                            .arg(minimum.width())
                            .arg(minimum.height())));
    // A column that scrolls only up and down shows its page's full width.
    for (QScrollArea* area : window->findChildren<QScrollArea*>()) {
      if (!area->isVisibleTo(window) || !area->widget()) continue;
      if (area->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) continue;
      QVERIFY2(area->widget()->width() <= area->viewport()->width(),
               qPrintable(QString("%1: a column %2 wide shows %3 of it")
                              .arg(name)
                              .arg(area->widget()->width())
                              .arg(area->viewport()->width())));
    }
    // No box is squeezed below what its captions and fields need (a scroll
    // area may hide part of one, never cut it).
    for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
      if (!box->isVisibleTo(window)) continue;
      QVERIFY2(box->width() >= box->minimumSizeHint().width() &&
                   box->height() >= box->minimumSizeHint().height(),
               qPrintable(QString("%1: \"%2\" is %3 x %4, it needs %5 x %6")
                              .arg(name, box->title())
                              .arg(box->width())
                              .arg(box->height())
                              .arg(box->minimumSizeHint().width())
                              .arg(box->minimumSizeHint().height())));
    }
  }
  // Each page of a tab bar in turn.
  void check_pages(QWidget* window, QTabBar* tabs, const QString& name) {
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setCurrentIndex(i);
      QApplication::processEvents();
      check_fits(window, QString("%1_%2").arg(name).arg(i));
    }
  }

 private slots:
  void initTestCase() {
    QCOMPARE(QGuiApplication::primaryScreen()->size(), testing::kLaptopScreen);
    state_.link.port = &port_;
    state_.link.serial_port_number = 1;
  }

  void small_windows() {
    ui::TForm1 main;
    open_and_check(&main, "main_window");
    ui::TForm21 tool_box;
    open_and_check(&tool_box, "tool_box");
    ui::TForm6 about;
    open_and_check(&about, "about");
    ui::TForm9 help;
    open_and_check(&help, "calculator_help");
    ui::TForm17 progress;
    open_and_check(&progress, "analysis_progress");
    ui::TForm20 plot_progress;
    open_and_check(&plot_progress, "plot_progress");
  }

  void logger_windows() {
    ui::TForm2 log_analysis(state_, host_);
    open_and_check(&log_analysis, "log_analysis");
    ui::TForm16 download_menu(state_, host_);
    open_and_check(&download_menu, "download_menu");
    ui::TForm11 setup_notes(state_, host_);
    open_and_check(&setup_notes, "setup_notes");
  }

  void configuration_and_calculator() {
    ui::TForm3 configuration(state_, host_);
    open_and_check(&configuration, "configuration");
    check_pages(&configuration, configuration.pages()->tabBar(), "configuration_page");
    open_and_check(configuration.password_window(), "odometer_password");
    ui::TForm4 calculator(state_, host_);
    open_and_check(&calculator, "calculator");
  }

  void live_windows() {
    ui::TForm23 virtual_display(state_, host_);
    open_and_check(&virtual_display, "virtual_display");
    virtual_display.close();
    ui::TForm24 system_check(state_, host_);
    open_and_check(&system_check, "system_check");
    system_check.close();
  }

  void view_data_with_two_data_sets() {
    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(10, 3, 12),
                                 "oulton_10hz.plr"));
    QVERIFY(testing::decode_into(state_, core::DataSetId::B, testing::viewer_session(20, 5, 9),
                                 "oulton_20hz.plr"));
    ui::TForm10 view_data(state_, host_);
    open_and_check(&view_data, "view_data");
    check_pages(&view_data, view_data.findChild<QTabBar*>("leftTabs"), "view_data_left");
    check_pages(&view_data, view_data.findChild<QTabBar*>("rightTabs"), "view_data_right");
    // Two laps overlaid: the line type boxes are captioned with their laps.
    view_data.findChild<QTabBar*>("rightTabs")->setCurrentIndex(0);
    view_data.findChild<QTabBar*>("leftTabs")->setCurrentIndex(1);
    const int laps_a = static_cast<int>(state_.data_sets[0].lap_count());
    for (auto [selector, item] : {std::pair{"lapSelection1", 1}, {"lapSelection2", laps_a + 1}}) {
      auto* box = view_data.findChild<QComboBox*>(selector);
      box->setCurrentIndex(item);
      emit box->activated(item);
    }
    QApplication::processEvents();
    check_fits(&view_data, "view_data_overlay");
    view_data.close();
  }
};

int main(int argc, char** argv) {
  // The offscreen platform's screen is made a laptop's: 1366 x 768.
  QTemporaryDir folder;
  const QString config = folder.filePath("laptop_screen.json");
  if (qEnvironmentVariable("QT_QPA_PLATFORM") == "offscreen") {
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(QString(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": %1,
                           "height": %2, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})")
                   .arg(testing::kLaptopScreen.width())
                   .arg(testing::kLaptopScreen.height())
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
  }
  QApplication app(argc, argv);
  WindowFitTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_fit_test.moc"
