// The program shell: main window, tool box, about and help windows, navigation.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/ui/Toolbox.h"
#include "app/ui/about.h"
#include "app/ui/application.h"
#include "app/ui/logxfer_MAIN.h"
#include "calc/ui/calculator.h"
#include "calc/ui/help_calculator.h"
#include "config/ui/configure.h"
#include "files/ui/logger_notes.h"
#include "gui/screens.h"
#include "live/ui/dyno.h"
#include "live/ui/systemCheck.h"
#include "logger/ui/downloadProgress.h"
#include "logger/ui/log_index.h"
#include "logger/ui/logger.h"
#include "sim/simulated_port.h"
#include "viewer/ui/plot_data.h"

using namespace ardenvis;

class ShellTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  std::unique_ptr<ui::Application> app_;

  QPushButton* button(QWidget* window, const char* name) {
    auto* b = window->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", name);
    return b;
  }
  // Only `expected` of the program's windows is visible.
  void expect_only_visible(QWidget* expected) {
    const QList<QWidget*> windows = {
        app_->main_window(), app_->log_analysis(),    app_->configuration(),
        app_->calculator(),  app_->about(),           app_->calculator_help(),
        app_->view_data(),   app_->setup_notes(),     app_->download_menu(),
        app_->tool_box(),    app_->virtual_display(), app_->system_check()};
    for (QWidget* w : windows) {
      QCOMPARE(w->isVisible(), w == expected);
    }
  }

 private slots:
  void initTestCase() {
    app_ = std::make_unique<ui::Application>(state_, port_, "/opt/ardenvis");
    app_->show_main_window();
    QVERIFY(QTest::qWaitForWindowExposed(app_->main_window()));
  }

  void start_up_state() {
    QCOMPARE(state_.link.serial_port_number, 1);
    QVERIFY(state_.link.serial_port_open);  // the simulated unit is on COM1
    QCOMPARE(state_.file(core::FileKind::LogData).folder, std::string("/opt/ardenvis/"));
    QCOMPARE(state_.file(core::FileKind::LapExport).name, std::string("default.lab"));
    QCOMPARE(state_.file(core::FileKind::Video).name, std::string("default.avi"));
    QCOMPARE(state_.calculator.differential_ratio, 3210);
    QVERIFY(state_.current_data_set == core::DataSetId::A);
  }

  void main_window_caption_and_size() {
    ui::TForm1* main = app_->main_window();
    QCOMPARE(main->windowTitle(), QString("Pelorant Tools 4.24 Lite Edition "));
    QCOMPARE(main->size(), QSize(385, 321));
    QCOMPARE(main->maximumSize(), QSize(385, 321));
    QCOMPARE(main->logger_button()->text(), QString("Pelorant Logger "));
    QCOMPARE(main->logger_button()->toolTip(),
             QString("Download the logged data from the Pelorant."));
    QCOMPARE(main->exit_button()->toolTip(), QString("Exit the Pelorant tools."));
    testing::save_grab(main, "main_window");
  }

  void tool_box_round_trip() {
    QTest::mouseClick(app_->main_window()->toolbox_button(), Qt::LeftButton);
    expect_only_visible(app_->tool_box());
    QCOMPARE(app_->tool_box()->windowTitle(), QString("Pelorant Tool Box"));
    QVERIFY(!button(app_->tool_box(), "tyreAnalysisButton")->isEnabled());
    QVERIFY(!button(app_->tool_box(), "gearRatioButton")->isEnabled());
    testing::save_grab(app_->tool_box(), "tool_box");
    QTest::mouseClick(button(app_->tool_box(), "mainMenuButton"), Qt::LeftButton);
    expect_only_visible(app_->main_window());

    // The close box returns to the main window, not to the program's end.
    QTest::mouseClick(app_->main_window()->toolbox_button(), Qt::LeftButton);
    app_->tool_box()->close();
    expect_only_visible(app_->main_window());
  }

  void calculator_and_help() {
    QTest::mouseClick(app_->main_window()->toolbox_button(), Qt::LeftButton);
    QTest::mouseClick(button(app_->tool_box(), "calculatorButton"), Qt::LeftButton);
    expect_only_visible(app_->calculator());
    QTest::mouseClick(button(app_->calculator(), "helpButton"), Qt::LeftButton);
    expect_only_visible(app_->calculator_help());
    QCOMPARE(app_->calculator_help()->windowTitle(), QString("Calcultor Help"));
    testing::save_grab(app_->calculator_help(), "calculator_help");
    app_->calculator_help()->close();
    expect_only_visible(app_->calculator());
    QTest::mouseClick(button(app_->calculator(), "backToToolboxButton"), Qt::LeftButton);
    expect_only_visible(app_->tool_box());
    // Valid start values: the hand-over leads to the configuration window.
    QTest::mouseClick(button(app_->tool_box(), "calculatorButton"), Qt::LeftButton);
    QTest::mouseClick(button(app_->calculator(), "gotoConfigurationButton"), Qt::LeftButton);
    expect_only_visible(app_->configuration());
    QTest::mouseClick(button(app_->configuration(), "mainMenuButton"), Qt::LeftButton);
    expect_only_visible(app_->main_window());
  }

  void about_and_back() {
    QTest::mouseClick(app_->main_window()->about_button(), Qt::LeftButton);
    expect_only_visible(app_->about());
    QCOMPARE(app_->about()->windowTitle(), QString("About Pelorant Tools"));
    QCOMPARE(app_->about()->version_text(), QString("Pelorant Tools Version 4.24.16 Lite Edition"));
    testing::save_grab(app_->about(), "about");
    QTest::mouseClick(button(app_->about(), "backButton"), Qt::LeftButton);
    expect_only_visible(app_->main_window());
  }

  void every_window_reachable_and_returns() {
    struct Trip {
      QPushButton* from_main;
      QWidget* target;
      const char* back;
      const char* grab;
    };
    QTest::mouseClick(app_->main_window()->logger_button(), Qt::LeftButton);
    expect_only_visible(app_->log_analysis());
    testing::save_grab(app_->log_analysis(), "log_analysis");
    QTest::mouseClick(button(app_->log_analysis(), "downloadMenuButton"), Qt::LeftButton);
    expect_only_visible(app_->download_menu());
    QTest::mouseClick(button(app_->download_menu(), "backButton"), Qt::LeftButton);
    expect_only_visible(app_->log_analysis());
    app_->log_analysis()->close();
    expect_only_visible(app_->main_window());

    QTest::mouseClick(app_->main_window()->configure_button(), Qt::LeftButton);
    expect_only_visible(app_->configuration());
    testing::save_grab(app_->configuration(), "configuration");
    QTest::mouseClick(button(app_->configuration(), "mainMenuButton"), Qt::LeftButton);
    expect_only_visible(app_->main_window());

    QTest::mouseClick(app_->main_window()->toolbox_button(), Qt::LeftButton);
    QTest::mouseClick(button(app_->tool_box(), "virtualDisplayButton"), Qt::LeftButton);
    expect_only_visible(app_->virtual_display());
    QTest::mouseClick(button(app_->virtual_display(), "exitButton"), Qt::LeftButton);
    expect_only_visible(app_->tool_box());
    QTest::mouseClick(button(app_->tool_box(), "systemCheckButton"), Qt::LeftButton);
    expect_only_visible(app_->system_check());
    app_->system_check()->close();
    expect_only_visible(app_->tool_box());
    // No "default.cfg" in the program's folder: the viewer says it uses its
    // own start-up preferences.
    QString said;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        said = box->text();
        box->accept();
      }
    });
    answer.start(20);
    QTest::mouseClick(button(app_->tool_box(), "plotDataButton"), Qt::LeftButton);
    answer.stop();
    QCOMPARE(said, QString("Using Standard Display Preferences"));
    expect_only_visible(app_->view_data());
    QTest::mouseClick(button(app_->view_data(), "backToMainButton"), Qt::LeftButton);
    expect_only_visible(app_->main_window());
  }

  void com_port_box_shows_state_on_activation() {
    QTest::mouseClick(app_->main_window()->logger_button(), Qt::LeftButton);
    auto* box = app_->log_analysis()->com_port_box();
    QCOMPARE(box->count(), 10);
    QCOMPARE(box->itemText(0), QString("None"));
    QCOMPARE(box->itemText(9), QString("COM9"));
    QCOMPARE(box->currentText(), QString("COM1"));
    state_.link.serial_port_number = 0;
    QTest::mouseClick(button(app_->log_analysis(), "mainMenuButton"), Qt::LeftButton);
    QTest::mouseClick(app_->main_window()->logger_button(), Qt::LeftButton);
    QCOMPARE(box->currentText(), QString("None"));
    state_.link.serial_port_number = 1;
    QTest::mouseClick(button(app_->log_analysis(), "mainMenuButton"), Qt::LeftButton);
  }

  void progress_window() {
    ui::TForm17* progress = app_->analysis_progress();
    progress->show();
    progress->set_stage("Downloading");
    progress->set_bar(core::ProgressBar::Downloading, 150, 300);
    progress->set_bar(core::ProgressBar::LinkQuality, 7, 10);
    progress->set_efficiency("85.00%");
    testing::save_grab(progress, "analysis_progress");
    state_.log_cancel = false;
    QTest::mouseClick(button(progress, "cancelButton"), Qt::LeftButton);
    QVERIFY(state_.log_cancel);
    state_.log_cancel = false;
    progress->close();  // the close box cancels too
    QVERIFY(state_.log_cancel);
    state_.log_cancel = false;
  }

  void exit_closes_the_port() {
    QSignalSpy finished(app_.get(), &ui::Application::finished);
    QTest::mouseClick(app_->main_window()->exit_button(), Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!state_.link.serial_port_open);
    QVERIFY(!port_.is_open());
  }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
