// "View Data" with two full-memory data sets: plot, axes, units, smoothing and
// the lap tables, driven through the window's own controls.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "files/log_file.h"
#include "gui/screens.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/ui/plotProgress.h"
#include "viewer/ui/plot_data.h"
#include "widgets/chart.h"

using namespace ardenvis;

class ViewDataTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm10> form_;
  long samples_a_ = 0;
  long samples_b_ = 0;

  template <typename T>
  T* find(const char* name) {
    auto* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  QString text(const char* name) { return find<QLabel>(name)->text(); }
  ui::Chart* chart() { return form_->plot_chart(); }
  void show_page(int right_tab) {
    find<QTabBar>("rightTabs")->setCurrentIndex(right_tab);
    QApplication::processEvents();
  }

 private slots:
  void initTestCase() {
    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(10, 3),
                                 "oulton_10hz.plr"));
    QVERIFY(testing::decode_into(state_, core::DataSetId::B, testing::viewer_session(20, 5),
                                 "oulton_20hz.plr"));
    samples_a_ = state_.data_sets[0].sample_count();
    samples_b_ = state_.data_sets[1].sample_count();
    qInfo("samples A %ld, B %ld", samples_a_, samples_b_);
    QVERIFY(samples_a_ > 400000 && samples_b_ > 500000);
    QVERIFY(state_.data_sets[0].lap_count() > 10);
    form_ = std::make_unique<ui::TForm10>(state_, host_);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }

  void opens_with_both_data_sets_plotted() {
    QCOMPARE(form_->windowTitle(), QString("View Data"));
    QVERIFY(!form_->progress_window()->isVisible());
    QCOMPARE(form_->progress_window()->windowTitle(), QString("Ardenvis Progress"));
    QCOMPARE(form_->progress_window()->progress(), 100);
    // Four channels are ticked at start; both sets share layer 1.
    QCOMPARE(chart()->point_count(1), 4 * (samples_a_ + samples_b_));
    QCOMPARE(chart()->point_count(2), 0L);
    QVERIFY(!chart()->scales_visible(2));
    // Full-range fitting: x from the first sample to 2 % past the last.
    const ui::ChartRange r = chart()->range(1);
    QCOMPARE(r.x_low, 0.05);
    QVERIFY(std::fabs(r.x_high - 1.02 * samples_a_ * 0.1) < 1e-6);
    QCOMPARE(find<QLineEdit>("nameBoxA")->text(), QString("oulton_10hz.plr"));
    QCOMPARE(find<QLineEdit>("sampleRateB")->text(), QString("20"));
    QVERIFY(find<QComboBox>("xAxisSelector")->isEnabled());
    QVERIFY(find<QCheckBox>("dataBOn2ndAxis")->isEnabled());
    QCOMPARE(find<QGroupBox>("lapPanelA")->title(), QString("Data A Lap Times: oulton_10hz.plr"));
  }

  void second_axis_takes_data_b() {
    auto captions_shown = [this] {
      return find<QLabel>("plotCaptionA")->isVisible() && find<QLabel>("plotCaptionB")->isVisible();
    };
    QVERIFY(!captions_shown());
    // "Axis2" follows selection 2: layer 1 until B has an axis of its own.
    find<QComboBox>("gridEnable")->setCurrentIndex(2);
    QCOMPARE(chart()->grid_layer(), 1);
    find<QCheckBox>("dataBOn2ndAxis")->click();
    QCOMPARE(chart()->point_count(2), 4 * samples_b_);
    QCOMPARE(chart()->point_count(1), 4 * samples_a_);
    QVERIFY(chart()->scales_visible(2));
    QCOMPARE(chart()->grid_layer(), 2);
    QVERIFY(captions_shown());
    find<QCheckBox>("dataBOn2ndAxis")->click();
    QVERIFY(!chart()->scales_visible(2));
    QCOMPARE(chart()->grid_layer(), 1);
    QVERIFY(!captions_shown());
    find<QComboBox>("gridEnable")->setCurrentIndex(1);
  }

  void units_convert_series_and_labels() {
    const double speed = state_.data_sets[0][core::Channel::Speed][1000];
    const double oil = state_.data_sets[1][core::Channel::OilPressure][1000];
    const double aux = state_.data_sets[1][core::Channel::AuxPressure][1000];
    find<QComboBox>("speedUnit")->setCurrentIndex(1);
    find<QComboBox>("pressureUnit")->setCurrentIndex(1);
    find<QComboBox>("temperatureUnit")->setCurrentIndex(1);
    QCOMPARE(state_.data_sets[0][core::Channel::Speed][1000], speed * 1.6);
    QCOMPARE(state_.data_sets[1][core::Channel::OilPressure][1000], oil * 0.06895);
    QCOMPARE(state_.data_sets[1][core::Channel::AuxPressure][1000], aux * 0.06895);
    QVERIFY(state_.unit_flags.speed_kmh && state_.unit_flags.pressure_bar);
    QCOMPARE(text("channel1Unit"), QString("(KMH)"));
    QCOMPARE(text("channel3Unit"), QString("(Bar)"));
    QCOMPARE(text("channel6Unit"), QString("(Bar)"));  // Aux follows the pressure unit
    QCOMPARE(text("channel4Unit"), QString("(degF)"));
    QVERIFY(text("lapSummaryA").contains(" KMH "));

    find<QComboBox>("xAxisSelector")->setCurrentIndex(10);  // Aux Pressure
    QCOMPARE(state_.data_sets[1][core::Channel::XAxis][7],
             state_.data_sets[1][core::Channel::AuxPressure][7]);
    find<QComboBox>("xAxisSelector")->setCurrentIndex(0);

    find<QComboBox>("distanceUnit")->setCurrentIndex(1);
    QCOMPARE(text("channel12Unit"), QString("(ft)"));
    QCOMPARE(find<QCheckBox>("odoSlipCheck")->text(), QString("Odo Slip (ft)"));
    QVERIFY(text("lapSummaryB").endsWith("(ft)"));
    find<QComboBox>("distanceUnit")->setCurrentIndex(0);
  }

  void calibration_and_smoothing() {
    const double speed = state_.data_sets[0][core::Channel::Speed][2000];
    find<QCheckBox>("calibration")->click();
    QCOMPARE(state_.data_sets[0][core::Channel::Speed][2000], speed * 0.97);
    QVERIFY(state_.speed_calibration);
    find<QCheckBox>("calibration")->click();
    QVERIFY(std::fabs(state_.data_sets[0][core::Channel::Speed][2000] - speed) < 1e-9);

    const double rpm = state_.data_sets[1][core::Channel::Rpm][1];
    find<QComboBox>("smoothChannel")->setCurrentIndex(0);  // RPM
    find<QPushButton>("smoothButton")->click();
    QCOMPARE(state_.data_sets[1][core::Channel::Rpm][1],
             state_.data_sets[1][core::Channel::Rpm][10]);
    Q_UNUSED(rpm);
  }

  void no_channel_leaves_the_plot_empty_and_the_axis_selector_off() {
    std::vector<QCheckBox*> ticked;
    for (int i = 0; i < core::kPlotChannelCount; ++i) {
      auto* box = find<QCheckBox>(qPrintable(QString("channel%1Check").arg(i)));
      if (box->isChecked()) {
        ticked.push_back(box);
        box->click();
      }
    }
    QVERIFY(!find<QComboBox>("xAxisSelector")->isEnabled());
    QCOMPARE(chart()->point_count(1), 0L);
    for (QCheckBox* box : ticked) box->click();
    QVERIFY(find<QComboBox>("xAxisSelector")->isEnabled());
    QCOMPARE(chart()->point_count(1), 4 * (samples_a_ + samples_b_));
  }

  void lap_tables_tick_and_refuse_the_end_row() {
    show_page(1);
    auto* view = find<QTableView>("lapGridA");
    QAbstractItemModel* model = view->model();
    const int laps = static_cast<int>(state_.data_sets[0].lap_count());
    QCOMPARE(model->rowCount(), laps + 1);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Sel"));
    QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QString("Avg KMH"));
    QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QString("Split 2"));
    QCOMPARE(model->data(model->index(laps, 1)).toString(), QString("End"));

    // Untick laps 1 and 3: their time cells go blank, the summary follows.
    QVERIFY(model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(model->data(model->index(0, 6)).toString(), QString());
    QVERIFY(!model->data(model->index(1, 6)).toString().isEmpty());
    QVERIFY(!model->setData(model->index(laps, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(model->data(model->index(laps, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // Segments with five splits; the options rebuild both grids.
    find<QComboBox>("splitCount")->setCurrentIndex(3);
    find<QComboBox>("splitSegment")->setCurrentIndex(1);
    QCOMPARE(model->headerData(11, Qt::Horizontal).toString(), QString("Seg 6"));
    QCOMPARE(model->headerData(12, Qt::Horizontal).toString(), QString());
    QCOMPARE(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(find<QCheckBox>("sortLaps")->isEnabled());
    find<QCheckBox>("sortLaps")->click();
    QVERIFY(find<QComboBox>("lapSelection1")->count() ==
            static_cast<int>(state_.data_sets[0].lap_count() + state_.data_sets[1].lap_count()));
    QCOMPARE(find<QComboBox>("lapSelection2")->itemText(0),
             QString("Session Log:   1  Lap:   1  Data A"));

    // The panels split the space above the bottom boxes.
    auto* a = find<QGroupBox>("lapPanelA");
    auto* b = find<QGroupBox>("lapPanelB");
    QCOMPARE(a->height(), b->height());
    QCOMPARE(b->y(), a->height() + 19);
    QVERIFY(b->geometry().bottom() <
            find<QGroupBox>("selectLapsBox")->mapTo(a->parentWidget(), QPoint(0, 0)).y());
    testing::save_grab(form_.get(), "view_data_lap_times");
  }

  void plot_page_grab() {
    show_page(0);
    find<QTabBar>("leftTabs")->setCurrentIndex(1);
    form_->plot_chart()->repaint_now();
    testing::save_grab(form_.get(), "view_data_plot");
    // Three laps of each, as a user would zoom in to read them.
    const ui::ChartRange full = chart()->range(1);
    chart()->set_range(1, {600, full.y_low, 780, full.y_high});
    chart()->repaint_now();
    testing::save_grab(form_.get(), "view_data_plot_laps");
    find<QPushButton>("plotFullButton")->click();
    QCOMPARE(chart()->range(1).x_high, full.x_high);
    find<QTabBar>("leftTabs")->setCurrentIndex(4);
    testing::save_grab(form_.get(), "view_data_options");
    find<QTabBar>("leftTabs")->setCurrentIndex(0);
    testing::save_grab(form_.get(), "view_data_file");
    find<QTabBar>("leftTabs")->setCurrentIndex(1);
  }

  void lap_overlay_without_laps_reverts() {
    core::ProgramState empty;
    QTemporaryDir preferences;  // no "default.cfg" there
    empty.file(core::FileKind::DisplayPreferences) = {preferences.path().toStdString() + "/",
                                                      "default.cfg"};
    testing::ScriptedHost host;
    ui::TForm10 form(empty, host);
    host.expect(core::MessageKind::Information, "Using Standard Display Preferences");
    form.show();
    host.expect(core::MessageKind::Information, "No Lap Data to View");
    auto* mode = form.findChild<QComboBox*>("displayMode");
    mode->setCurrentIndex(1);
    emit mode->activated(1);
    QCOMPARE(mode->currentIndex(), 0);
    QCOMPARE(host.verify(), std::string());
    QVERIFY(!form.findChild<QComboBox*>("xAxisSelector")->isEnabled() ||
            form.plot_chart()->point_count(1) == 0);
  }

  void load_data_set_b_converts_to_the_units_in_force() {
    // Slot A saved as a file, then loaded into B while KMH, Bar and degF hold.
    QTemporaryDir dir;
    const std::string path = dir.filePath("copy.plr").toStdString();
    testing::ScriptedHost files;
    state_.current_data_set = core::DataSetId::A;
    files.queue_save_file(path);
    QVERIFY(core::save_log_data(state_, files));
    host_.queue_open_file(path);
    find<QPushButton>("loadDataSetBButton")->click();
    const core::DataSet& a = state_.data_sets[0];
    const core::DataSet& b = state_.data_sets[1];
    // A saved log keeps every whole record but the very last one.
    QCOMPARE(b.sample_count(), a.sample_count() - 1);
    for (long k : {10L, 5000L, 400000L}) {
      for (core::Channel c : {core::Channel::Speed, core::Channel::OilPressure,
                              core::Channel::AuxPressure, core::Channel::WaterTemp}) {
        QVERIFY2(std::fabs(b[c][k] - a[c][k]) <= 1e-9 * std::fabs(a[c][k]) + 1e-12,
                 qPrintable(QString("channel %1 sample %2").arg(int(c)).arg(k)));
      }
    }
    QCOMPARE(find<QLineEdit>("nameBoxB")->text(), QString("copy.plr"));
    QCOMPARE(find<QGroupBox>("lapPanelB")->title(), QString("Data B Lap Times: copy.plr"));
    QCOMPARE(find<QTableView>("lapGridB")->model()->rowCount(), int(a.lap_count()) + 1);
    QCOMPARE(chart()->point_count(1), 4L * static_cast<long>(a.sample_count() + b.sample_count()));
    samples_b_ = static_cast<long>(b.sample_count());
  }

  void a_load_that_loads_nothing_converts_nothing() {
    // KMH, Bar and degF are in force; the old series must not be scaled again.
    const double speed = state_.data_sets[1][core::Channel::Speed][500];
    const double water = state_.data_sets[1][core::Channel::WaterTemp][500];
    const size_t before = host_.messages.size();
    host_.queue_open_file(std::nullopt);
    find<QPushButton>("loadDataSetBButton")->click();
    QTemporaryDir dir;
    host_.queue_open_file(dir.filePath("missing.plr").toStdString());
    find<QPushButton>("loadDataSetBButton")->click();
    QCOMPARE(host_.messages.size(), before + 2);
    QCOMPARE(host_.messages[before].text, std::string("No Data Loaded"));
    QCOMPARE(host_.messages[before + 1].text,
             std::string("Filename Does Not Exist, No Data Loaded"));
    QCOMPARE(state_.data_sets[1][core::Channel::Speed][500], speed);
    QCOMPARE(state_.data_sets[1][core::Channel::WaterTemp][500], water);
  }

  void unit_switch_rebuilds_the_x_axis_copy() {
    // Caption and values of the x-axis in the same unit after a switch.
    find<QComboBox>("xAxisSelector")->setCurrentIndex(10);  // Aux Pressure
    QCOMPARE(chart()->x_caption(1), QString("Aux Pressure(Bar)"));
    find<QComboBox>("pressureUnit")->setCurrentIndex(0);
    QCOMPARE(chart()->x_caption(1), QString("Aux Pressure(psi)"));
    QCOMPARE(state_.data_sets[1][core::Channel::XAxis][7],
             state_.data_sets[1][core::Channel::AuxPressure][7]);
    find<QComboBox>("xAxisSelector")->setCurrentIndex(3);  // Speed
    find<QComboBox>("speedUnit")->setCurrentIndex(0);
    QCOMPARE(state_.data_sets[0][core::Channel::XAxis][900],
             state_.data_sets[0][core::Channel::Speed][900]);
    find<QComboBox>("xAxisSelector")->setCurrentIndex(0);
  }

  void back_to_main_menu_leaves_and_clears() {
    QSignalSpy back(form_.get(), &ui::TForm10::back_to_main);
    find<QPushButton>("backToMainButton")->click();
    QCOMPARE(back.count(), 1);
    QVERIFY(!form_->isVisible());
    QCOMPARE(chart()->point_count(1), 0L);
  }
};

QTEST_MAIN(ViewDataTest)
#include "view_data_test.moc"
