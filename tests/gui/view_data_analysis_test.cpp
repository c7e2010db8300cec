// "View Data" analysis: two laps overlaid with their slips, the track map in
// its three colourings and from GPS, the G circle, markers, statistics and
// the function keys, driven through the window's own controls.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QtTest>

#include "gui/screens.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/ui/plot_data.h"
#include "viewer/zoom_keys.h"
#include "widgets/chart.h"

using namespace ardenvis;

class ViewDataAnalysisTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm10> form_;

  template <typename T>
  T* find(const char* name) {
    auto* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  ui::Chart* chart(const char* name) { return find<ui::Chart>(name); }
  void show_page(int right_tab) {
    find<QTabBar>("rightTabs")->setCurrentIndex(right_tab);
    QApplication::processEvents();
  }
  void choose(const char* combo, int index) {
    auto* box = find<QComboBox>(combo);
    box->setCurrentIndex(index);
    emit box->activated(index);
    QApplication::processEvents();
  }
  void grab(const char* name) {
    QApplication::processEvents();
    testing::save_grab(form_.get(), name);
  }

 private slots:
  void initTestCase() {
    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(10, 3, 4),
                                 "circuit_10hz.plr"));
    QVERIFY(testing::decode_into(state_, core::DataSetId::B, testing::viewer_session(20, 5, 4),
                                 "circuit_20hz.plr"));
    QVERIFY(state_.data_sets[0].lap_count() >= 4);
    form_ = std::make_unique<ui::TForm10>(state_, host_);
    // No preference file in the (empty) preference folder.
    host_.expect(core::MessageKind::Information, "Using Standard Display Preferences");
    form_->show();
    QApplication::processEvents();
    QCOMPARE(host_.verify(), std::string());
  }

  void track_map_lap_without_a_lap_goes_to_none() {
    auto* track_map_lap = find<QComboBox>("trackMapLap");
    QVERIFY(!track_map_lap->isEnabled());  // until a lap is chosen
    host_.expect(core::MessageKind::Information, "Load Lap in Lap Area to View Selection");
    choose("trackMapLap", 0);
    QCOMPARE(host_.verify(), std::string());
    QCOMPARE(track_map_lap->currentIndex(), -1);
  }

  void overlay_of_two_laps_with_slips() {
    const int laps_a = static_cast<int>(state_.data_sets[0].lap_count());
    choose("lapSelection1", 1);           // lap 2 of A
    choose("lapSelection2", laps_a + 1);  // lap 2 of B
    QCOMPARE(host_.verify(), std::string());
    QCOMPARE(find<QLabel>("plotModeCaption")->text(), QString("Lap Overlay"));
    QCOMPARE(find<QComboBox>("displayMode")->currentIndex(), 1);
    // "Selection 2:" chose the track map lap.
    QCOMPARE(find<QComboBox>("trackMapLap")->currentIndex(), 1);
    QVERIFY(find<QComboBox>("trackMapLap")->isEnabled());
    QCOMPARE(find<QLabel>("channelHeadingA")->text(), QString("Selection 1"));
    QCOMPARE(find<QLabel>("statsCaptionB")->text(), QString("Selection 2"));
    // On time the odo slip may be drawn, the time slip not.
    auto* odo = find<QCheckBox>("odoSlipCheck");
    QVERIFY(odo->isEnabled());
    QVERIFY(!find<QCheckBox>("timeSlipCheck")->isEnabled());
    const long before = chart("plotChart")->point_count(1);
    odo->setChecked(true);
    QApplication::processEvents();
    QVERIFY(chart("plotChart")->point_count(1) > before);
    // Both laps start at 0 s.
    const auto fitted = chart("plotChart")->fit_range(1);
    QVERIFY(fitted.has_value());
    QVERIFY(std::abs(fitted->x_low) < 1e-9);
    show_page(0);
    grab("view_data_overlay");
  }

  void track_map_in_three_colourings_and_from_gps() {
    show_page(4);
    QCOMPARE(find<QLabel>("trackLapNum")->text(), QString("2"));
    QCOMPARE(find<QLabel>("trackDataSet")->text(), QString("B"));
    QVERIFY(find<QLabel>("trackLapTime")->text().endsWith("s"));
    QVERIFY(!find<QLabel>("trackNote")->isVisible());
    QVERIFY(chart("trackChart")->drawn_points(1).size() > 100);
    grab("view_data_track_g_long");
    choose("trackAnalysis", 1);
    grab("view_data_track_g_lat");
    choose("trackAnalysis", 2);
    QCOMPARE(host_.verify(), std::string());
    QVERIFY(find<QGroupBox>("trackLegend")->isVisible());
    QVERIFY(!find<QCheckBox>("viewBraking")->isEnabled());
    grab("view_data_track_delta");
    choose("trackAnalysis", 0);
    choose("trackSource", 1);
    QVERIFY(!find<QSlider>("trackRotate")->isEnabled());
    grab("view_data_track_gps");
    choose("trackSource", 0);
    // Track map lap back to selection 1.
    choose("trackMapLap", 0);
    QCOMPARE(find<QLabel>("trackSelection")->text(), QString("1"));
    QCOMPARE(find<QLabel>("trackDataSet")->text(), QString("A"));
    grab("view_data_track_selection_1");
  }

  void marker_choice_and_g_circle_key_are_readable() {
    // "On (Drag from left axis)" shown whole.
    find<QTabBar>("leftTabs")->setCurrentIndex(3);  // "Marker"
    QApplication::processEvents();
    auto* markers = find<QComboBox>("markersSelector");
    markers->setCurrentIndex(1);
    QVERIFY2(markers->width() >= markers->sizeHint().width(),
             qPrintable(QString("%1 < %2").arg(markers->width()).arg(markers->sizeHint().width())));
    grab("view_data_marker_panel");
    markers->setCurrentIndex(0);
    find<QTabBar>("leftTabs")->setCurrentIndex(1);

    // Each key line's text against its own background: at least 4.5:1.
    show_page(5);
    auto luminance = [](QColor c) {
      auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
      };
      return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
             0.0722 * channel(c.blueF());
    };
    for (const char* name : {"gKeyA", "gKeyB", "gKeyBrakingA", "gKeyBrakingB"}) {
      auto* label = find<QLabel>(name);
      const QImage image = label->grab().toImage();
      const QColor background = image.pixelColor(1, 1);
      double contrast = 1;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const double a = luminance(background);
          const double b = luminance(image.pixelColor(x, y));
          contrast = std::max(contrast, (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05));
        }
      }
      QVERIFY2(contrast >= 4.5, qPrintable(QString("%1: %2").arg(name).arg(contrast)));
    }
    QCOMPARE(find<QLabel>("gKeyBrakingB")->text(), QString("Braking Activated"));
  }

  void g_circle_of_both_laps() {
    show_page(5);
    QCOMPARE(find<QLabel>("gCircleModeCaption")->text(), QString("Lap Overlay"));
    QVERIFY(chart("gCircleChart")->point_count(1) > 50);
    QVERIFY(find<QLabel>("gKeyA")->text().startsWith("Log:"));
    grab("view_data_g_circle");
  }

  void markers_fields_and_dots() {
    show_page(0);
    choose("markersSelector", 1);
    ui::Chart* plot = chart("plotChart");
    QVERIFY(plot->marker_visible(1));
    plot->set_marker_position(1, 20, 50);
    plot->set_marker_position(2, 30, 40);
    emit plot->marker_moved(2, 30, 40);
    QCOMPARE(find<QLineEdit>("markerX1")->text(), QString("20.00"));
    QCOMPARE(find<QLineEdit>("markerDeltaX")->text(), QString("-10.00"));
    QCOMPARE(find<QLineEdit>("markerDeltaY")->text(), QString("10.00"));
    // A marker left of the window snaps to X low.
    plot->set_marker_position(2, -1000, 40);
    emit plot->marker_moved(2, -1000, 40);
    QCOMPARE(plot->marker_position(2).x(), plot->range(1).x_low);
    grab("view_data_markers");
    choose("markersSelector", 0);
    QVERIFY(!plot->marker_visible(1));
    QCOMPARE(find<QLineEdit>("markerX1")->text(), QString());
  }

  void x_axis_change_takes_the_markers_and_their_labels_away() {
    show_page(0);
    choose("markersSelector", 1);
    ui::Chart* plot = chart("plotChart");
    plot->set_marker_position(1, 20, 50);
    emit plot->marker_moved(1, 20, 50);
    const ui::ChartRange r = plot->range(1);
    emit plot->cursor_moved(true, (r.x_low + r.x_high) / 2, (r.y_low + r.y_high) / 2);
    auto* y_label = find<QLabel>("cursorYLabel");
    auto* x_label = find<QLabel>("cursorXLabel");
    QVERIFY(y_label->isVisible() && x_label->isVisible());
    QVERIFY(!find<QLineEdit>("markerX1")->text().isEmpty());
    QVERIFY(find<QLabel>("plotReadout")->isVisible());
    grab("view_data_markers_before_axis_change");

    choose("xAxisSelector", 2);  // "RPM/100": the old positions mean nothing
    QCOMPARE(find<QComboBox>("markersSelector")->currentIndex(), 0);
    QVERIFY(!plot->marker_visible(1) && !plot->marker_visible(2));
    QCOMPARE(find<QLineEdit>("markerX1")->text(), QString());
    QVERIFY(!y_label->isVisible());
    QVERIFY(!x_label->isVisible());
    QVERIFY(!find<QLabel>("plotReadout")->isVisible());  // read on the old axis
    grab("view_data_markers_after_axis_change");
    choose("xAxisSelector", 0);
  }

  void statistics_follow_the_time_axis() {
    QVERIFY(!find<QLineEdit>("statsResultA")->text().isEmpty());
    choose("xAxisSelector", 1);  // "Distance"
    QVERIFY(!find<QComboBox>("statisticsChannel")->isEnabled());
    QCOMPARE(find<QLineEdit>("statsResultA")->text(), QString());
    choose("xAxisSelector", 0);
    QVERIFY(find<QComboBox>("statisticsChannel")->isEnabled());
  }

  void statistics_start_again_when_the_x_axis_is_rebuilt() {
    auto* channel = find<QComboBox>("statisticsChannel");
    auto* result = find<QLineEdit>("statsResultA");
    const QString rpm = result->text();
    choose("statisticsChannel", 1);  // "Speed"
    QVERIFY(result->text() != rpm);
    // A unit switch rebuilds the x-axis copy; the axis stays "Time".
    find<QComboBox>("temperatureUnit")->setCurrentIndex(1);
    QCOMPARE(channel->currentText(), QString("RPM"));
    QCOMPARE(result->text(), rpm);
    find<QComboBox>("temperatureUnit")->setCurrentIndex(0);
  }

  void function_keys() {
    ui::Chart* plot = chart("plotChart");
    show_page(1);  // "Lap Times": F2 does nothing, and blocks until released
    QTest::keyPress(form_.get(), Qt::Key_F2);
    QCOMPARE(plot->mouse_mode(), ui::ChartMouseMode::CrossHairDrag);
    show_page(0);
    const ui::ChartRange before = plot->range(1);
    QTest::keyPress(form_.get(), Qt::Key_F5);
    QCOMPARE(plot->range(1).x_high, before.x_high);
    QTest::keyRelease(form_.get(), Qt::Key_F2);
    QTest::keyPress(form_.get(), Qt::Key_F5);
    QVERIFY(plot->range(1).x_high < before.x_high);
    QTest::keyRelease(form_.get(), Qt::Key_F5);
    QTest::keyPress(form_.get(), Qt::Key_F4);
    QTest::keyRelease(form_.get(), Qt::Key_F4);
    QVERIFY(std::abs(plot->range(1).x_high - before.x_high) <
            1e-3 * std::abs(before.x_high) + 1e-3);
    host_.expect(core::MessageKind::Information, core::kFunctionKeyGuide);
    QTest::keyPress(form_.get(), Qt::Key_F1);
    QTest::keyRelease(form_.get(), Qt::Key_F1);
    QCOMPARE(host_.verify(), std::string());
  }

  void leaving_the_overlay() {
    choose("displayMode", 0);
    QCOMPARE(find<QLabel>("plotModeCaption")->text(), QString("Plot All"));
    QVERIFY(!find<QLabel>("trackNote")->isHidden());
    QCOMPARE(find<QLabel>("trackSelection")->text(), QString("NA"));
    QCOMPARE(find<QLabel>("channelHeadingA")->text(), QString("Data A"));
  }

  void shown_again_the_window_says_all_plot_data_everywhere() {
    // The window opens on "All Plot Data"; what was captioned for the
    // overlay before must not stay.
    const int laps_a = static_cast<int>(state_.data_sets[0].lap_count());
    choose("lapSelection1", 1);
    choose("lapSelection2", laps_a + 1);
    QCOMPARE(find<QLabel>("plotModeCaption")->text(), QString("Lap Overlay"));
    form_->hide();
    host_.expect(core::MessageKind::Information, "Using Standard Display Preferences");
    form_->show();
    QApplication::processEvents();
    QCOMPARE(host_.verify(), std::string());
    QCOMPARE(find<QComboBox>("displayMode")->currentText(), QString("All Plot Data"));
    QCOMPARE(find<QLabel>("plotModeCaption")->text(), QString("Plot All"));
    QCOMPARE(find<QLabel>("gCircleModeCaption")->text(), QString("Plot All"));
    QCOMPARE(find<QLabel>("channelHeadingA")->text(), QString("Data A"));
    QCOMPARE(find<QGroupBox>("dataALineBox")->title(), QString("Data A Line Type"));
    QCOMPARE(find<QLabel>("statsCaptionB")->text(), QString("Data B:"));
    QVERIFY(!find<QLabel>("trackNote")->isHidden());
    QCOMPARE(find<QLabel>("trackSelection")->text(), QString("NA"));
    QVERIFY(!find<QSpinBox>("beaconDistance")->isEnabled());
    show_page(0);
    grab("view_data_shown_again");
  }
};

QTEST_MAIN(ViewDataAnalysisTest)
#include "view_data_analysis_test.moc"
