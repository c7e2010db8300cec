// The "Session Library" window: a folder of saved sessions scanned with
// progress, the sessions and venues listed, a venue's season figures and
// trend, the user's fields kept, and a session opened as data set A through
// "View Data"'s own load (its messages included); a file gone since shows the
// load's own message. The tool box reaches the window with one button.

#include "library/session_library.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/ui/Toolbox.h"
#include "app/ui/application.h"
#include "common/text_file.h"
#include "files/log_file.h"
#include "gui/screens.h"
#include "library/ui/session_library_window.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"
#include "support/session_files.h"
#include "viewer/display_preferences.h"
#include "viewer/ui/plot_data.h"
#include "widgets/chart.h"

using namespace ardenvis;

class SessionLibraryTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<core::SessionLibrary> library_;
  std::unique_ptr<ui::SessionLibraryWindow> window_;
  std::unique_ptr<ui::TForm10> view_data_;

  std::string path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  void verify_host() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }
  template <typename T>
  T* find(QWidget* in, const char* name) {
    auto* w = in->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  // The load's own closing message for a file, from a load elsewhere.
  std::string processed_message(const std::string& file) {
    core::ProgramState other;
    testing::ScriptedHost probe;
    probe.queue_open_file(file);
    core::load_log_data(other, probe);
    return probe.messages.empty() ? std::string() : probe.messages.back().text;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    sim::SessionOptions spring;
    spring.laps = 5;
    sim::SessionOptions autumn = spring;
    autumn.seed = 2;
    autumn.pace = 1.01;
    QVERIFY(
        testing::write_session_file(path("logs/" + testing::automatic_name(2026, 4, 12, 10, 5, 1)),
                                    sim::synthesise_session(spring), {"Soft rear springs"}));
    QVERIFY(
        testing::write_session_file(path("logs/" + testing::automatic_name(2026, 9, 20, 14, 30, 2)),
                                    sim::synthesise_session(autumn), {"Hard rear springs"}));
    std::ofstream(path("logs/broken.plr")) << "// Filename: broken.plr\r\n1\r\n03 1E\r\n";

    state_.file(core::FileKind::DisplayPreferences).folder = dir_.path().toStdString() + "/";
    core::AtomicTextWriter out;
    QVERIFY(out.open(path("default.cfg")));
    core::write_preferences(out, core::DisplayPreferences::defaults());
    QVERIFY(out.commit());

    library_ = std::make_unique<core::SessionLibrary>(path("library.sqlite"));
    state_.session_files = library_.get();
    window_ = std::make_unique<ui::SessionLibraryWindow>(*library_, host_);
    view_data_ = std::make_unique<ui::TForm10>(state_, host_);
    connect(window_.get(), &ui::SessionLibraryWindow::open_in_view_data, view_data_.get(),
            [this](core::DataSetId slot, const std::string& file) {
              view_data_->show();
              view_data_->load_data_set(slot, file);
            });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void scan_shows_sessions_venue_and_figures() {
    window_->scan_folder(QString::fromStdString(path("logs")));
    QVERIFY(window_->scanning());
    QTRY_VERIFY_WITH_TIMEOUT(!window_->scanning(), 20000);
    QCOMPARE(window_->status()->text(),
             QString("added 2, updated 0, unchanged 0, missing 0, failed 1"));
    QVERIFY(window_->figures()->toPlainText().contains(
        "broken.plr: File not Compatible with Ardenvis Version, No Data Loaded"));
    QCOMPARE(window_->table()->model()->rowCount(), 2);

    // Both sessions at one venue, named from the first date until renamed.
    core::Catalogue& catalogue = *library_->catalogue();
    const auto venues = catalogue.venues();
    QCOMPARE(venues.size(), size_t{1});
    window_->choose_venue(venues[0].id);
    find<QLineEdit>(window_.get(), "venueName")->setText("Kirkby");
    find<QPushButton>(window_.get(), "renameVenueButton")->click();
    QCOMPARE(catalogue.venues()[0].name, std::string("Kirkby"));
    QVERIFY(window_->venue_list()->currentItem()->text().startsWith("Kirkby (2)"));

    // The figures are the core's, for the window and the command line alike.
    const auto season = core::venue_season(catalogue, venues[0].id);
    QVERIFY(season && season->overall_best);
    const QString figures = window_->figures()->toPlainText();
    QVERIFY2(figures.contains(QString::asprintf("Best lap %.2f", season->overall_best->lap_time)),
             qPrintable(figures));
    QVERIFY(figures.contains("Soft rear springs"));
    QVERIFY(figures.contains("Ideal lap"));
    QCOMPARE(window_->trend_chart()->point_count(1) > 0, true);

    // Sorted by best lap, then filtered.
    window_->table()->sortByColumn(static_cast<int>(core::LibraryColumn::BestLap),
                                   Qt::AscendingOrder);
    const QString first_best = window_->proxy()->index(0, 5).data().toString();
    QCOMPARE(first_best, QString::asprintf("%.2f", season->overall_best->lap_time));
    find<QLineEdit>(window_.get(), "sessionFilter")->setText("26y20d09m");
    QCOMPARE(window_->proxy()->rowCount(), 1);
    find<QLineEdit>(window_.get(), "sessionFilter")->clear();
    QCOMPARE(window_->proxy()->rowCount(), 2);
    testing::save_grab(window_.get(), "session_library");
    verify_host();
  }

  void user_fields_are_kept() {
    const std::string spring = path("logs/" + testing::automatic_name(2026, 4, 12, 10, 5, 1));
    const auto id = library_->catalogue()->session_by_path(spring)->id;
    QVERIFY(window_->choose_session(id));
    find<QLineEdit>(window_.get(), "driverField")->setText("Ann Other");
    find<QLineEdit>(window_.get(), "carField")->setText("Escort Mk2");
    find<QPushButton>(window_.get(), "saveFieldsButton")->click();
    QCOMPARE(library_->catalogue()->session(id)->user.driver, std::string("Ann Other"));
    QVERIFY(window_->choose_session(id));
    QCOMPARE(window_->proxy()->index(window_->table()->currentIndex().row(), 2).data().toString(),
             QString("Ann Other"));
  }

  void opening_as_data_a_loads_it_in_view_data_window() {
    const std::string spring = path("logs/" + testing::automatic_name(2026, 4, 12, 10, 5, 1));
    QVERIFY(window_->choose_session(library_->catalogue()->session_by_path(spring)->id));
    host_.expect(core::MessageKind::Information, processed_message(spring));
    find<QPushButton>(window_.get(), "openAButton")->click();
    verify_host();
    const core::DataSet& a = state_.data_set(core::DataSetId::A);
    QVERIFY(a.has_data());
    QCOMPARE(a.file_name, testing::automatic_name(2026, 4, 12, 10, 5, 1));
    QCOMPARE(find<QLineEdit>(view_data_.get(), "loadedFromA")->text(),
             QString::fromStdString(a.file_name));
    QVERIFY(QTest::qWaitForWindowExposed(view_data_.get()));
    testing::save_grab(view_data_.get(), "session_library_open_as_a");
    // Loading it told the library, which found it unchanged.
    QCOMPARE(library_->last_cataloguing_problem(), std::string());
  }

  void a_file_gone_gives_the_loads_own_message() {
    const std::string autumn = path("logs/" + testing::automatic_name(2026, 9, 20, 14, 30, 2));
    const auto id = library_->catalogue()->session_by_path(autumn)->id;
    std::filesystem::remove(autumn);
    window_->show();
    QVERIFY(window_->choose_session(id));
    host_.expect(core::MessageKind::Warning, "Filename Does Not Exist, No Data Loaded");
    find<QPushButton>(window_.get(), "openBButton")->click();
    verify_host();
    QVERIFY(!state_.data_set(core::DataSetId::B).has_data());
  }

  void tool_box_reaches_the_library() {
    core::ProgramState state;
    sim::SimulatedUnit unit;
    sim::SimulatedPort port(unit);
    ui::Application app(state, port, dir_.path().toStdString(), nullptr, path("app-library.sqlite"));
    app.tool_box()->show();
    find<QPushButton>(app.tool_box(), "sessionLibraryButton")->click();
    QVERIFY(app.session_library()->isVisible());
    QVERIFY(!app.tool_box()->isVisible());
    QCOMPARE(state.session_files, static_cast<core::SessionFileListener*>(&app.library()));
    find<QPushButton>(app.session_library(), "backButton")->click();
    QVERIFY(app.tool_box()->isVisible());
    testing::save_grab(app.tool_box(), "tool_box_with_library");
  }

  void cleanupTestCase() {
    state_.session_files = nullptr;
    view_data_.reset();
    window_.reset();
  }
};

QTEST_MAIN(SessionLibraryTest)
#include "session_library_test.moc"
