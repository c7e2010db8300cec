// The habits of a desktop program: files named on the command line, files
// dropped on the windows, recent files beside the load buttons, and what is
// remembered from one run to the next (kept in a scratch settings file here,
// never the user's).

#include <QComboBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <memory>

#include "app/ui/application.h"
#include "app/ui/desktop_settings.h"
#include "app/ui/logxfer_MAIN.h"
#include "calc/ui/calculator.h"
#include "common/format.h"
#include "config/camera_database.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/ui/configure.h"
#include "files/log_file.h"
#include "files/setup_notes.h"
#include "gui/dialog_driver.h"
#include "gui/screens.h"
#include "logger/decoder.h"
#include "logger/ui/logger.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "unit/camera_fixture.h"
#include "viewer/ui/file_panel.h"
#include "viewer/ui/plot_data.h"
#include "widgets/com_port_box.h"
#include "widgets/recent_files_button.h"

using namespace ardenvis;
using core::DataSetId;
using core::FileKind;

// One run of the program: its state, a simulated unit on COM1 and COM3, and
// the settings file every run of a test shares.
struct Run {
  explicit Run(const QString& settings_file, const QString& home)
      : settings(settings_file),
        app(std::make_unique<ui::Application>(state, port, home.toStdString(), &settings)) {}
  core::ProgramState state;
  sim::SimulatedUnit unit;
  sim::SimulatedPort port = [this] {
    sim::SimulatedPort p(unit);
    p.available_ports = {1, 3};
    return p;
  }();
  ui::DesktopSettings settings;
  std::unique_ptr<ui::Application> app;
};

class DesktopHabitsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  // Bytes of data each log data file holds, for its "Processed ..." message.
  std::map<QString, int> framed_;

  QString path(const QString& name) const { return dir_.path() + "/" + name; }
  QString home() const { return path("home"); }
  QString processed(const QString& file) const {
    return QString::fromStdString(core::format(core::message::processed_bytes, framed_.at(file)));
  }

  // A log data file of a synthesised session, written as "Save Data Set" writes it.
  void write_log_file(const QString& file, uint32_t seed) {
    core::ProgramState state;
    QVERIFY(testing::decode_into(state, DataSetId::A, testing::viewer_session(10, seed, 3),
                                 file.toStdString()));
    const core::DataSet& set = state.data_set(DataSetId::A);
    testing::ScriptedHost quiet;
    core::AtomicTextWriter out;
    QVERIFY(out.open(path(file).toStdString()));
    QVERIFY(core::write_log_file(out, set, state.identity, state.unit_flags, file.toStdString(),
                                 quiet));
    QVERIFY(out.commit());
    framed_[file] = static_cast<int>(set.info.raw_byte_count);
  }

  static void drop(QWidget* window, const QString& file, QPoint at, bool expect_accepted) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QCOMPARE(enter.isAccepted(), expect_accepted);
    if (!expect_accepted) return;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &dropped);
  }

  // "View Data" is shown: without a preference file at the preferences'
  // folder it says so each time.
  static void show_view_data(ui::TForm10* view, testing::DialogDriver& driver) {
    driver.message("Using Standard Display Preferences");
    view->show();
    expect_done(driver);
  }

  static void choose_recent(ui::RecentFilesButton* button, int entry) {
    QVERIFY(button->isEnabled());
    button->list()->actions().at(entry)->trigger();
  }

  static void expect_done(testing::DialogDriver& driver) {
    QTRY_VERIFY2(driver.done(), "a dialog the test expected never came");
    QVERIFY2(driver.failures.isEmpty(), qPrintable(driver.failures.join("\n")));
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir().mkpath(home());
    QDir().mkpath(path("logs"));
    write_log_file("logs/a.plr", 11);
    write_log_file("logs/b.plr", 12);
    // A configuration file as "Save Config" writes the editor's defaults.
    core::ProgramState state;
    core::ConfigEditor editor(state.config, state.calculator);
    core::setup_configure_form(editor);
    testing::ScriptedHost host;
    host.queue_save_file(path("car.pcf").toStdString());
    host.expect(core::config_file_message::saved);
    core::FileLocation location{"", "default.pcf"};
    QVERIFY(core::save_config_data(editor, host, location));
    QVERIFY(host.verify().empty());
    // A camera database and a set-up template.
    QFile cam(path("uk.cam"));
    QVERIFY(cam.open(QIODevice::WriteOnly));
    cam.write(QByteArray::fromStdString(testing::CamFile(16).text()));
    cam.close();
    core::DataSet notes;
    notes.notes = {" Filename: a.plr", "Soft rear bar"};
    core::AtomicTextWriter psu;
    QVERIFY(psu.open(path("setup.psu").toStdString()));
    core::write_setup_template(psu, notes);
    QVERIFY(psu.commit());
  }

  void a_first_start_keeps_the_defaults_and_opens_dialogs_at_home() {
    Run run(path("first.ini"), home());
    QCOMPARE(run.state.link.serial_port_number, 1);
    for (FileKind kind : {FileKind::LogData, FileKind::Configuration, FileKind::LapExport}) {
      QCOMPARE(QString::fromStdString(run.state.file(kind).folder), home() + "/");
    }
    QCOMPARE(run.state.file(FileKind::LogData).name, std::string("default.plr"));
    QVERIFY(!run.app->view_data()->file_panel()->recent_files(0)->isEnabled());
    QVERIFY(!run.app->configuration()->recent_files()->isEnabled());
    run.app->start({});
    QVERIFY(run.app->main_window()->isVisible());

    // The real dialogs open at home: a kind's first folder, and the camera
    // database's, which has none of its own.
    ui::TForm3* config = run.app->configuration();
    run.app->main_window()->hide();
    config->show();
    testing::DialogDriver driver;
    driver.file(path("car.pcf"));
    driver.message(core::config_file_message::loaded);
    driver.file(path("uk.cam"));
    driver.message(core::camera_message::data_loaded_ok);
    QTest::mouseClick(config->findChild<QPushButton*>("loadConfigButton"), Qt::LeftButton);
    QTest::mouseClick(config->findChild<QPushButton*>("loadCameraButton"), Qt::LeftButton);
    expect_done(driver);
    QCOMPARE(driver.folders, QStringList({home(), QDir::homePath()}));
  }

  void files_named_at_start_open_in_view_data_as_a_and_b() {
    Run run(path("command_line.ini"), home());
    testing::DialogDriver driver;
    driver.message("Using Standard Display Preferences");
    driver.message(processed("logs/a.plr"));
    driver.message(processed("logs/b.plr"));
    // Relative to the folder the program is started from.
    QDir::setCurrent(path("logs"));
    run.app->start({"a.plr", path("logs/b.plr")});
    expect_done(driver);
    QDir::setCurrent(dir_.path());
    ui::TForm10* view = run.app->view_data();
    QVERIFY(view->isVisible());
    QVERIFY(!run.app->main_window()->isVisible());
    QCOMPARE(run.state.data_set(DataSetId::A).file_name, std::string("a.plr"));
    QCOMPARE(run.state.data_set(DataSetId::B).file_name, std::string("b.plr"));
    QCOMPARE(view->findChild<QLineEdit*>("loadedFromA")->text(), QString("a.plr"));
    QCOMPARE(view->findChild<QLineEdit*>("loadedFromB")->text(), QString("b.plr"));
    QCOMPARE(view->file_panel()->recent_files(0)->files(),
             QStringList({path("logs/b.plr"), path("logs/a.plr")}));
    testing::save_grab(view, "desktop_command_line");

    // A file that is not there is refused as the dialog refuses it.
    driver.message("Filename Does Not Exist, No Data Loaded");
    run.app->start({path("logs/gone.plr")});
    expect_done(driver);
  }

  void other_kinds_named_at_start_open_where_they_are_loaded() {
    struct Case {
      QString file;
      QString message;  // empty: the load says nothing when it succeeds
      QString window;
      std::function<bool(core::ProgramState&)> loaded;
    };
    const Case cases[] = {
        {"car.pcf", core::config_file_message::loaded, "TForm3",
         [](core::ProgramState& s) { return s.file(FileKind::Configuration).name == "car.pcf"; }},
        {"uk.cam", core::camera_message::data_loaded_ok, "TForm3",
         [](core::ProgramState& s) { return s.camera.file_name == "uk.cam"; }},
        {"setup.psu", "", "TForm11", [](core::ProgramState& s) {
           return s.data_set(DataSetId::A).notes.back() == "Soft rear bar";
         }}};
    for (const Case& c : cases) {
      Run run(path("kinds.ini"), home());
      testing::DialogDriver driver;
      if (!c.message.isEmpty()) driver.message(c.message);
      run.app->start({path(c.file)});
      expect_done(driver);
      // Loads that say nothing have run too once the window's events are done.
      QTest::qWait(50);
      QVERIFY2(driver.failures.isEmpty(), qPrintable(driver.failures.join("\n")));
      QWidget* window = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == c.window) window = w;
      }
      QVERIFY2(window, qPrintable(c.file));
      QVERIFY2(c.loaded(run.state), qPrintable(c.file));
      QVERIFY(!run.app->main_window()->isVisible());
    }
  }

  void dropped_files_load_where_they_land() {
    Run run(path("drops.ini"), home());
    ui::TForm10* view = run.app->view_data();
    testing::DialogDriver driver;
    show_view_data(view, driver);
    driver.message(processed("logs/b.plr"));
    drop(view, path("logs/b.plr"), QPoint(20, view->height() / 2), true);
    expect_done(driver);
    QCOMPARE(run.state.data_set(DataSetId::A).file_name, std::string("b.plr"));
    QVERIFY(!run.state.data_set(DataSetId::B).has_data());

    driver.message(processed("logs/a.plr"));
    drop(view, path("logs/a.plr"), QPoint(view->width() - 20, view->height() / 2), true);
    expect_done(driver);
    QCOMPARE(run.state.data_set(DataSetId::B).file_name, std::string("a.plr"));
    QCOMPARE(run.state.data_set(DataSetId::A).file_name, std::string("b.plr"));

    // Other kinds are refused where they cannot be loaded.
    drop(view, path("car.pcf"), QPoint(20, 20), false);
    drop(view, path("logs/a.PLR"), QPoint(20, 20), false);

    ui::TForm3* config = run.app->configuration();
    view->hide();
    config->show();
    drop(config, path("logs/a.plr"), QPoint(20, 20), false);
    driver.message(core::config_file_message::loaded);
    drop(config, path("car.pcf"), QPoint(config->width() / 2, config->height() / 2), true);
    expect_done(driver);
    QCOMPARE(QString::fromStdString(run.state.file(FileKind::Configuration).folder),
             dir_.path() + "/");
    QCOMPARE(config->recent_files()->files(), QStringList({path("car.pcf")}));
  }

  void recent_files_folders_port_and_places_last_into_the_next_run() {
    const QString settings = path("runs.ini");
    QPoint moved;
    {
      Run first(settings, home());
      first.app->start({});
      ui::TForm2* logger = first.app->log_analysis();
      first.app->main_window()->hide();
      logger->show();
      // The user chooses COM3 in one window's box.
      ui::ComPortBox* box = logger->com_port_box();
      box->setCurrentIndex(3);
      box->change_serial_port();
      QCOMPARE(first.state.link.serial_port_number, 3);

      testing::DialogDriver driver;
      ui::TForm10* view = first.app->view_data();
      logger->hide();
      show_view_data(view, driver);
      driver.message(processed("logs/a.plr"));
      driver.message(processed("logs/b.plr"));
      drop(view, path("logs/a.plr"), QPoint(20, 20), true);
      drop(view, path("logs/b.plr"), QPoint(20, 20), true);
      expect_done(driver);
      moved = view->pos() + QPoint(37, 23);
      view->move(moved);
      moved = view->pos();
      view->hide();
      // The recent list is shared by every load button of the kind.
      QCOMPARE(logger->recent_files(DataSetId::B)->files(),
               QStringList({path("logs/b.plr"), path("logs/a.plr")}));
      QTest::mouseClick(first.app->main_window()->findChild<QPushButton*>("exitButton"),
                        Qt::LeftButton);
    }

    Run second(settings, home());
    QCOMPARE(second.state.link.serial_port_number, 3);
    QVERIFY(second.state.link.serial_port_open);
    QCOMPARE(QString::fromStdString(second.state.file(FileKind::LogData).folder),
             path("logs") + "/");
    // Kinds never used still open at home, with their own default names.
    QCOMPARE(QString::fromStdString(second.state.file(FileKind::LapExport).folder), home() + "/");
    QCOMPARE(second.state.file(FileKind::LogData).name, std::string("default.plr"));

    ui::TForm2* logger = second.app->log_analysis();
    QCOMPARE(logger->recent_files(DataSetId::A)->files(),
             QStringList({path("logs/b.plr"), path("logs/a.plr")}));
    logger->show();
    testing::save_grab(logger, "desktop_recent_files");
    testing::DialogDriver driver;
    driver.message(processed("logs/a.plr"));
    choose_recent(logger->recent_files(DataSetId::B), 1);
    expect_done(driver);
    QCOMPARE(logger->label_field(DataSetId::B)->text(), QString("a.plr"));
    QCOMPARE(logger->recent_files(DataSetId::A)->files().front(), path("logs/a.plr"));

    ui::TForm10* view = second.app->view_data();
    logger->hide();
    show_view_data(view, driver);
    QCOMPARE(view->pos(), moved);
    // A window never moved in any run still opens centred.
    ui::TForm4* calculator = second.app->calculator();
    view->hide();
    calculator->show();
    const QRect screen = calculator->screen()->geometry();
    QCOMPARE(calculator->pos().x(), (screen.width() - calculator->frameGeometry().width()) / 2);
  }
};

QTEST_MAIN(DesktopHabitsTest)
#include "desktop_habits_test.moc"
