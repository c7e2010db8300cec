// Math channels in "View Data": the library read at start (a bad line left
// out), the "Math Channels" window adding, checking and saving a channel, and
// the channel plotted, as x-axis, in the statistics and in the readout.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "gui/screens.h"
#include "math/ui/math_channels_window.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/ui/plot_data.h"
#include "widgets/chart.h"

using namespace ardenvis;

class ViewDataMathTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir config_;
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm10> form_;
  long samples_a_ = 0;
  long samples_b_ = 0;

  template <typename T>
  T* find(QWidget* in, const char* name) {
    auto* w = in->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  template <typename T>
  T* find(const char* name) {
    return find<T>(form_.get(), name);
  }
  ui::MathChannelsWindow* window() { return form_->math_channels_window(); }
  void click_in_window(const char* name) { find<QPushButton>(window(), name)->click(); }
  QString status() { return find<QLabel>(window(), "mathStatus")->text(); }
  QString library_path() const { return config_.path() + "/ardenvis/math_channels.txt"; }
  ui::Chart* chart() { return form_->plot_chart(); }

 private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    QDir().mkpath(config_.path() + "/ardenvis");
    QFile file(library_path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# test library\nDouble speed [MPH] = Speed * 2\nno formula here\n");
    file.close();

    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(10, 3, 4),
                                 "a.plr"));
    QVERIFY(testing::decode_into(state_, core::DataSetId::B, testing::viewer_session(20, 5, 3),
                                 "b.plr"));
    samples_a_ = state_.data_sets[0].sample_count();
    samples_b_ = state_.data_sets[1].sample_count();
    form_ = std::make_unique<ui::TForm10>(state_, host_);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }

  void library_read_when_the_window_opens() {
    auto* tabs = find<QTabWidget>("channelTabs");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QString("Standard"));
    QCOMPARE(tabs->tabText(1), QString("Math"));
    QCOMPARE(find<QCheckBox>("mathChannel0Check")->text(), QString("Double speed"));
    QCOMPARE(find<QLabel>("mathChannel0Unit")->text(), QString("(MPH)"));
    QVERIFY(!form_->findChild<QCheckBox*>("mathChannel1Check"));
    // Worked out for both data sets already.
    QCOMPARE(state_.data_sets[1].math.size(), size_t{1});
    QCOMPARE(state_.data_sets[1].math[0].values[100],
             2 * state_.data_sets[1][core::Channel::Speed][100]);
  }

  void window_adds_checks_and_saves_a_channel() {
    find<QTabWidget>("channelTabs")->setCurrentIndex(1);
    find<QPushButton>("mathChannelsButton")->click();
    QVERIFY(window() && window()->isVisible());
    QCOMPARE(window()->windowTitle(), QString("Math Channels"));
    QCOMPARE(status(), QString("Lines of the library left out:\nLine 3: no \"=\" between the "
                               "name and the formula"));
    QCOMPARE(find<QTableWidget>(window(), "mathChannelsTable")->rowCount(), 1);

    find<QLineEdit>(window(), "mathNameEdit")->setText("Combined G");
    find<QLineEdit>(window(), "mathUnitEdit")->setText("g");
    find<QLineEdit>(window(), "mathFormulaEdit")->setText("hypot(G_Lat, G_Lng)");
    click_in_window("mathCheckButton");
    QCOMPARE(status(), QString("Formula \"hypot(G_Lat, G_Lng)\": unknown channel \"G_Lng\" at "
                               "position 14"));
    click_in_window("mathAddButton");
    QCOMPARE(find<QTableWidget>(window(), "mathChannelsTable")->rowCount(), 1);

    find<QLineEdit>(window(), "mathFormulaEdit")->setText("hypot(G_Lat, G_Long)");
    click_in_window("mathCheckButton");
    QCOMPARE(status(), QString("The formula is OK.\nData A: a value at %1 of %1 samples\nData B: "
                               "a value at %2 of %2 samples")
                           .arg(samples_a_)
                           .arg(samples_b_));
    click_in_window("mathAddButton");
    QCOMPARE(find<QTableWidget>(window(), "mathChannelsTable")->rowCount(), 2);
    QCOMPARE(status(), QString("Added \"Combined G\"."));
    testing::save_grab(window(), "math_channels");

    click_in_window("mathOkButton");
    QVERIFY(!window()->isVisible());
    QFile saved(library_path());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()),
             QString("# Ardenvis math channels: one channel a line, \"Name [unit] = formula\".\r\n"
                     "Double speed [MPH] = Speed * 2\r\n"
                     "Combined G [g] = hypot(G_Lat, G_Long)\r\n"));
    QCOMPARE(find<QCheckBox>("mathChannel1Check")->text(), QString("Combined G"));
  }

  void added_channel_is_plotted() {
    for (int i = 0; i < core::kPlotChannelCount; ++i) {
      find<QCheckBox>(QString("channel%1Check").arg(i).toUtf8().constData())->setChecked(false);
    }
    QCOMPARE(chart()->point_count(1), 0L);
    find<QCheckBox>("mathChannel1Check")->setChecked(true);
    QCOMPARE(chart()->point_count(1), samples_a_ + samples_b_);
    const core::DataSet& a = state_.data_sets[0];
    const long k = samples_a_ / 2;
    QCOMPARE(a.math[1].values[k],
             std::hypot(a[core::Channel::GLat][k] / 10, a[core::Channel::GLong][k] / 10));
    // The fitted range holds the channel's values (a few g at most).
    const ui::ChartRange r = chart()->range(1);
    QVERIFY(r.y_high > 0.1 && r.y_high < 5);
    chart()->repaint_now();
    QApplication::processEvents();
    testing::save_grab(form_.get(), "view_data_math_channel");
  }

  void readout_and_statistics_show_it() {
    emit chart()->cursor_moved(true, 10.0, 0.5);
    const QString readout = find<QLabel>("plotReadout")->text();
    const core::DataSet& a = state_.data_sets[0];
    const core::DataSet& b = state_.data_sets[1];
    QVERIFY2(readout.endsWith(QString("\nCombined G: A %1  B %2")
                                  .arg(a.math[1].values[100], 0, 'f', 2)
                                  .arg(b.math[1].values[200], 0, 'f', 2)),
             qPrintable(readout));

    find<QTabBar>("leftTabs")->setCurrentIndex(3);  // "Marker"
    auto* channel = find<QComboBox>("statisticsChannel");
    QCOMPARE(channel->count(), 14);
    QCOMPARE(channel->itemText(13), QString("Combined G"));
    channel->setCurrentIndex(13);
    emit channel->activated(13);
    double largest = 0;
    for (long k = 1; k <= samples_a_; ++k) largest = std::max(largest, a.math[1].values[k]);
    QCOMPARE(find<QLineEdit>("statsResultA")->text(), QString::asprintf("%.2f", largest));
    find<QTabBar>("leftTabs")->setCurrentIndex(1);  // "Data"
  }

  void channel_as_x_axis() {
    auto* axis = find<QComboBox>("xAxisSelector");
    QCOMPARE(axis->count(), core::kXAxisChoiceCount + 2);
    QCOMPARE(axis->itemText(core::kXAxisChoiceCount), QString("Double speed"));
    axis->setCurrentIndex(core::kXAxisChoiceCount);
    const core::DataSet& a = state_.data_sets[0];
    QCOMPARE(a[core::Channel::XAxis][50], a.math[0].values[50]);
    QCOMPARE(chart()->point_count(1), samples_a_ + samples_b_);
    axis->setCurrentIndex(core::kXAxisTime);
    QCOMPARE(a[core::Channel::XAxis][50], a[core::Channel::PeloTime][50]);
  }
};

QTEST_MAIN(ViewDataMathTest)
#include "view_data_math_test.moc"
