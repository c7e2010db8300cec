// "Virtual Display" and "System Check": against the in-process simulated unit
// (frames, silence, leaving in the middle of a frame, playback of data set A)
// and against pelorant-sim on a pseudo-terminal through the real serial port,
// where the poll's processor time and the frame-to-screen latency are measured.

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <thread>

#include "e2e/sim_process.h"
#include "gui/screens.h"
#include "link/SerialPort.h"
#include "link/commands.h"
#include "link/unit_session.h"
#include "live/ui/dashboard_panel.h"
#include "live/ui/dyno.h"
#include "live/ui/systemCheck.h"
#include "sim/live_frames.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "widgets/dial_gauge.h"
#include "widgets/digital_readout.h"
#include "widgets/lamp.h"

using namespace ardenvis;
using core::CheckLamp;
using core::CheckReadout;
using core::DashLamp;
using core::Gauge;

namespace {

// Processor time this process has used, in seconds.
double cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The real port, noting when each byte was read so a frame's last byte can be
// timed against the repaint that shows it.
class TimedPort : public core::SerialDevice {
 public:
  bool open(const core::LineSettings& s) override { return port_.open(s); }
  void close() override { port_.close(); }
  std::optional<uint8_t> try_read_byte() override {
    const std::optional<uint8_t> b = port_.try_read_byte();
    last_read_ns = clock.nsecsElapsed();
    return b;
  }
  void write_byte(uint8_t b) override { port_.write_byte(b); }
  QElapsedTimer clock;
  qint64 last_read_ns = 0;

 private:
  serial::TSerialPort port_;
};

// Times from a frame's last byte to the next paint of a widget.
class PaintLatency : public QObject {
 public:
  PaintLatency(QWidget* watched, TimedPort& port) : port_(port) {
    watched->installEventFilter(this);
  }
  void frame_shown() { pending_ = port_.last_read_ns; }
  std::vector<double> latencies_ms;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && pending_ >= 0) {
      // The paint handler runs after this filter; count it in.
      QTimer::singleShot(0, [this, since = pending_] {
        latencies_ms.push_back((port_.clock.nsecsElapsed() - since) / 1e6);
      });
      pending_ = -1;
    }
    return false;
  }

 private:
  TimedPort& port_;
  qint64 pending_ = -1;
};

QString median_and_max(std::vector<double> v) {
  if (v.empty()) return "none";
  std::sort(v.begin(), v.end());
  return QString("median %1 ms, max %2 ms over %3 frames")
      .arg(v[v.size() / 2], 0, 'f', 2)
      .arg(v.back(), 0, 'f', 2)
      .arg(v.size());
}

}  // namespace

class LiveWindowsTest : public QObject {
  Q_OBJECT

 private:
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm23> form23_;
  std::unique_ptr<ui::TForm24> form24_;
  double sim_time_ = 30;

  template <typename T = QPushButton>
  T* child(QWidget* window, const char* name) {
    auto* w = window->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  ui::DashboardPanel* dash() { return form23_->dashboard(); }
  QString gauge_readout(Gauge g) { return dash()->gauge(g)->readout(); }
  void show(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
  }
  int polls() { return unit_.command_count(core::command::live_poll); }
  // The user picks an item of the window's COM port box.
  void choose_port(ui::UnitWindow* window, int item) {
    window->com_port_box()->setCurrentIndex(item);
    window->com_port_box()->change_serial_port();
  }
  // The system check shows no value and no lamp of a frame.
  void expect_nothing_received() {
    for (int r = 0; r < core::kCheckReadoutCount; ++r) {
      QCOMPARE(form24_->readout(static_cast<CheckReadout>(r))->text(), QString("NA"));
    }
    for (int c = 1; c <= core::kSensorChannels; ++c) QCOMPARE(form24_->sensor(c)->text(), "NA");
    for (int c = 1; c <= core::kOnBoardChannels; ++c) {
      QCOMPARE(form24_->on_board(c)->text(), QString("NA"));
    }
    for (int l = 0; l < core::kCheckLampCount; ++l) {
      QVERIFY2(!form24_->lamp(static_cast<CheckLamp>(l))->lit(),
               core::check_lamp_name(static_cast<CheckLamp>(l)));
    }
  }

 private slots:
  void initTestCase() {
    state_.link.port = &port_;
    state_.link.serial_port_number = 1;
    unit_.live_frames().set_clock([this] { return sim_time_; });
    form23_ = std::make_unique<ui::TForm23>(state_, host_);
    form24_ = std::make_unique<ui::TForm24>(state_, host_);
  }
  void cleanup() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }

  void virtual_display_opens_at_rest() {
    show(form23_.get());
    QVERIFY(state_.link.serial_port_open);
    QVERIFY(form23_->com_port_ok()->lit());
    QVERIFY(!form23_->pl2_connected()->lit() && !form23_->no_valid_data()->lit());
    QVERIFY(!form23_->poll_timer().isActive());
    QCOMPARE(dash()->gear_readout()->text(), QString("C"));
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString("    0"));
    QCOMPARE(form23_->connect_button()->text(), QString("Connect"));
    QCOMPARE(form23_->play_button()->text(), QString("Play File"));
    QVERIFY(form23_->session_run_time().contains(QRegularExpression("^\\d{3}h \\d{2}m \\d{2}s$")));
    testing::save_grab(form23_.get(), "virtual_display_at_rest");
  }

  void virtual_display_shows_a_running_car() {
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    QVERIFY(form23_->poll_timer().isActive());
    QCOMPARE(form23_->poll_timer().interval(), 200);
    QCOMPARE(form23_->connect_button()->text(), QString("Disconnect"));
    const int before = polls();
    QTRY_VERIFY_WITH_TIMEOUT(polls() >= before + 2, 2000);
    QVERIFY(form23_->pl2_connected()->lit());
    QVERIFY(!form23_->no_valid_data()->lit());
    // The frame at this moment of the simulated car, as the display shows it.
    const auto frame = unit_.live_frames().frame_at(sim_time_);
    const int rpm = frame[2] | (frame[3] << 8);
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString::asprintf("%5d", rpm));
    QCOMPARE(dash()->gauge(Gauge::EngineRpm)->value(), rpm / 100.0);
    QCOMPARE(dash()->speed_readout()->text(), QString::asprintf("%3.0f", frame[1] * 1.0));
    QCOMPARE(dash()->gear_readout()->text(), QString::number(frame[4]));
    QVERIFY(dash()->lamp(DashLamp::LoggerOn)->lit());
    QVERIFY(dash()->lamp(DashLamp::Main)->lit());
    QCOMPARE(dash()->gauge(Gauge::EngineRpm)->second_sector_end(), 480);  // shift point 72
    // Let the car run a few seconds of its own time for the grab.
    for (int i = 0; i < 8; ++i) {
      sim_time_ += 0.2;
      form23_->getDynoData();
    }
    testing::save_grab(form23_.get(), "virtual_display_live");
    // In bar, degF and km/h as the unit reports them.
    unit_.live_frames().options().display_units = 0x1C;
    form23_->getDynoData();
    QCOMPARE(dash()->gauge(Gauge::OilPressure)->unit(), QString("Bar"));
    QCOMPARE(dash()->gauge(Gauge::WaterTemp)->scale_maximum(), 302.0);
    QCOMPARE(dash()->speed_unit(), QString("KMH"));
    testing::save_grab(form23_.get(), "virtual_display_live_metric");
    unit_.live_frames().options().display_units = 0;
  }

  void max_reset_brings_the_markers_to_the_needles() {
    ui::DialGauge* rpm = dash()->gauge(Gauge::EngineRpm);
    QVERIFY(rpm->maximum_marker() > rpm->minimum_marker());
    QTest::mouseClick(child(form23_.get(), "maxResetButton"), Qt::LeftButton);
    QCOMPARE(rpm->maximum_marker(), rpm->value());
    QCOMPARE(rpm->minimum_marker(), rpm->value());
  }

  void a_silent_unit_lights_no_valid_data_and_polling_goes_on() {
    unit_.live_frames().options().silent_after = unit_.live_frames().polls();
    form23_->getDynoData();
    QVERIFY(form23_->no_valid_data()->lit());
    QVERIFY(!form23_->pl2_connected()->lit());
    QVERIFY(form23_->poll_timer().isActive());
    // Nothing is coming in: the gauges rest, no value of the last frame stays.
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString("    0"));
    QCOMPARE(dash()->gauge(Gauge::EngineRpm)->value(), 0.0);
    QVERIFY(!dash()->lamp(DashLamp::LoggerOn)->lit());
    unit_.live_frames().options().silent_after = -1;
    form23_->getDynoData();
    QVERIFY(!form23_->no_valid_data()->lit());
    QVERIFY(gauge_readout(Gauge::EngineRpm) != "    0");
  }

  // A length byte that said 22 where 66 followed: the bytes after the frame
  // show it was not one frame (no data), and left 43 on the line; polling
  // again, or Disconnect and Connect, starts from a silent line.
  void bytes_left_by_a_frame_are_dropped_before_the_next_poll() {
    unit_.live_frames().options().announced_length = 22;
    form23_->getDynoData();
    QVERIFY(!form23_->pl2_connected()->lit());
    QVERIFY(form23_->no_valid_data()->lit());
    unit_.live_frames().options().announced_length = -1;
    QCOMPARE(unit_.pending_output(), size_t{43});
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);  // Disconnect
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);  // Connect
    sim_time_ += 3;
    form23_->getDynoData();
    QVERIFY(form23_->pl2_connected()->lit());
    QVERIFY(!form23_->no_valid_data()->lit());
    const auto frame = unit_.live_frames().frame_at(sim_time_);
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString::asprintf("%5d", frame[2] | (frame[3] << 8)));
    QVERIFY(!unit_.has_output());
  }

  void disconnect_and_no_port() {
    QVERIFY(gauge_readout(Gauge::EngineRpm) != "    0");
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    QVERIFY(!form23_->poll_timer().isActive());
    QCOMPARE(form23_->connect_button()->text(), QString("Connect"));
    QVERIFY(!form23_->pl2_connected()->lit());
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString("    0"));
    QCOMPARE(dash()->speed_readout()->text(), QString("  0"));
    testing::save_grab(form23_.get(), "virtual_display_disconnected");

    // The port set to "None" while polling: the link lamps go out and the
    // gauges rest.
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    form23_->getDynoData();
    QVERIFY(form23_->pl2_connected()->lit());
    QVERIFY(gauge_readout(Gauge::EngineRpm) != "    0");
    choose_port(form23_.get(), 0);
    QVERIFY(!state_.link.serial_port_open);
    form23_->getDynoData();
    QVERIFY(!form23_->com_port_ok()->lit());
    QVERIFY(!form23_->pl2_connected()->lit());
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString("    0"));
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    choose_port(form23_.get(), 1);
    core::close_serial_port(state_.link);
    host_.expect(core::MessageKind::Information, "Select a Valid Serial COM Port!...");
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    QVERIFY(!form23_->poll_timer().isActive());
    core::open_serial_port(state_.link, 1);
  }

  void leaving_in_the_middle_of_a_frame_reads_it_but_shows_nothing_more() {
    QSignalSpy left(form23_.get(), &ui::TForm23::back_to_main);
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    form23_->getDynoData();
    const QString shown = gauge_readout(Gauge::EngineRpm);
    sim_time_ += 7;  // a different frame from the one on show
    int reads = 0;
    host_.on_process_events = [&] {
      if (++reads == 10) form23_->close();
    };
    form23_->getDynoData();
    host_.on_process_events = nullptr;
    QCOMPARE(left.count(), 1);
    QVERIFY(!form23_->isVisible());
    QVERIFY(!unit_.has_output());  // the frame was read to its end
    QVERIFY(!form23_->poll_timer().isActive());
    QVERIFY(!form23_->playback_timer().isActive());
    QVERIFY(!form23_->marker_timer().isActive());
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString("    0"));  // reset on leaving
    QVERIFY(shown != "    0");
    const int after = polls();
    QTest::qWait(700);
    QCOMPARE(polls(), after);
    QCOMPARE(form23_->connect_button()->text(), QString("Connect"));
  }

  void playback_needs_data_set_a() {
    show(form23_.get());
    host_.expect(core::MessageKind::Information, "Load a File First!...");
    QTest::mouseClick(form23_->play_button(), Qt::LeftButton);
    QVERIFY(!form23_->playback_timer().isActive());
  }

  void playback_runs_data_set_a_through_the_gauges() {
    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(20, 7, 1),
                                 "track_day.plr"));
    const core::DataSet& a = state_.data_set(core::DataSetId::A);
    // Polling stops when playback starts.
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    QTest::mouseClick(form23_->play_button(), Qt::LeftButton);
    QVERIFY(!form23_->poll_timer().isActive());
    QCOMPARE(form23_->connect_button()->text(), QString("Connect"));
    QVERIFY(form23_->playback_timer().isActive());
    QCOMPARE(form23_->playback_timer().interval(), 50);  // 20 samples a second
    QVERIFY(form23_->marker_timer().isActive());
    QCOMPARE(form23_->marker_timer().interval(), 5000);
    QCOMPARE(form23_->play_button()->text(), QString("Stop"));
    QTRY_VERIFY_WITH_TIMEOUT(form23_->playback_position() >= 3, 2000);
    form23_->playback_timer().isActive();
    // Step by hand to a moment at speed.
    const int polls_before = polls();
    long target = 1;
    for (long k = 1; k < a[core::Channel::Speed].size(); ++k) {
      if (a[core::Channel::Rpm][k] > a[core::Channel::Rpm][target]) target = k;
    }
    target = std::max(1L, target - 3);
    while (form23_->playback_position() != target) form23_->plotDemoMode();
    const long k = target;
    QCOMPARE(dash()->speed_readout()->text(),
             QString::asprintf("%3.0f", a[core::Channel::Speed][k]));
    const int rpm = static_cast<int>(std::nearbyint(a[core::Channel::Rpm][k] * 100 / 5) * 5);
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString::asprintf("%5d", rpm));
    QCOMPARE(dash()->gear_readout()->text(),
             QString::fromStdString(core::gear_text(
                 static_cast<int>(std::nearbyint(a[core::Channel::Gear][k] / 10)))));
    QVERIFY(dash()->shift_top()->lit() || dash()->shift_pair(5).first->lit());
    QVERIFY(!dash()->lamp(DashLamp::LoggerOn)->lit());
    QCOMPARE(polls(), polls_before);  // nothing is asked of the unit
    testing::save_grab(form23_.get(), "virtual_display_playback");

    // The end of the log: one all-zero step, then from the start again.
    const long n = a[core::Channel::Speed].size();
    while (form23_->playback_position() != n - 1) form23_->plotDemoMode();
    form23_->plotDemoMode();
    QCOMPARE(form23_->playback_position(), 0L);
    QCOMPARE(gauge_readout(Gauge::EngineRpm), QString("    0"));
    form23_->plotDemoMode();
    QCOMPARE(form23_->playback_position(), 1L);

    QTest::mouseClick(form23_->play_button(), Qt::LeftButton);
    QVERIFY(!form23_->playback_timer().isActive());
    QVERIFY(!form23_->marker_timer().isActive());
    QCOMPARE(form23_->play_button()->text(), QString("Play"));

    // Playing again, then leaving, stops every timer.
    QTest::mouseClick(form23_->play_button(), Qt::LeftButton);
    QVERIFY(form23_->playback_timer().isActive());
    QTest::mouseClick(child(form23_.get(), "exitButton"), Qt::LeftButton);
    QVERIFY(!form23_->playback_timer().isActive() && !form23_->marker_timer().isActive());
    QCOMPARE(form23_->playback_position(), 0L);
    form23_->hide();
  }

  void system_check_polls_while_open() {
    unit_.live_frames().options().model = sim::LiveModel::OnBoard;
    sim_time_ = 12;
    show(form24_.get());
    QVERIFY(form24_->poll_timer().isActive());
    QCOMPARE(form24_->poll_timer().interval(), 500);
    QVERIFY(form24_->com_port_ok()->lit());
    form24_->getSystemData();
    QVERIFY(form24_->pl2_connected()->lit());
    QVERIFY(!form24_->no_valid_data()->lit());
    const auto frame = unit_.live_frames().frame_at(sim_time_);
    QCOMPARE(form24_->readout(CheckReadout::Rpm)->text(),
             QString::asprintf("%5d", frame[2] | (frame[3] << 8)));
    QVERIFY(form24_->lamp(CheckLamp::GpsDataValid)->lit());
    QVERIFY(form24_->readout(CheckReadout::Latitude)->text().startsWith("52.07"));
    QCOMPARE(form24_->readout(CheckReadout::Date)->text(), QString("10/12/26"));
    QVERIFY(form24_->lamp(CheckLamp::MainDisplay)->lit());
    QVERIFY(form24_->lamp(CheckLamp::SecondSensorModule)->lit());
    QVERIFY(form24_->sensor(9)->text() != "NA");
    QVERIFY(form24_->on_board(1)->text() != "NA");
    QCOMPARE(form24_->speed_unit(), QString("(MPH)"));
    testing::save_grab(form24_.get(), "system_check_live");

    // Without a fix the position reads NA; a logger has no on-board channels.
    sim_time_ = 42;
    unit_.live_frames().options().model = sim::LiveModel::Logger;
    form24_->getSystemData();
    QVERIFY(!form24_->lamp(CheckLamp::GpsDataValid)->lit());
    QVERIFY(form24_->lamp(CheckLamp::GpsConnected)->lit());
    QCOMPARE(form24_->readout(CheckReadout::Time)->text(), QString("NA"));
    QCOMPARE(form24_->on_board(1)->text(), QString("NA"));
    QCOMPARE(form24_->sensor(9)->text(), QString("NA"));
    testing::save_grab(form24_.get(), "system_check_no_fix");

    // Silence: nothing of the last frame stays on show as if it were live.
    QVERIFY(form24_->sensor(1)->text() != "NA");
    QVERIFY(form24_->lamp(CheckLamp::FirstSensorModule)->lit());
    unit_.live_frames().options().silent_after = unit_.live_frames().polls();
    form24_->getSystemData();
    QVERIFY(form24_->no_valid_data()->lit());
    QVERIFY(!form24_->pl2_connected()->lit());
    expect_nothing_received();
    QVERIFY(form24_->poll_timer().isActive());
    testing::save_grab(form24_.get(), "system_check_silent");
    unit_.live_frames().options().silent_after = -1;

    // The port set to "None": the link lamps and every value go out.
    form24_->getSystemData();
    QVERIFY(form24_->pl2_connected()->lit());
    QVERIFY(form24_->lamp(CheckLamp::FirstSensorModule)->lit());
    choose_port(form24_.get(), 0);
    QVERIFY(!state_.link.serial_port_open);
    form24_->getSystemData();
    QVERIFY(!form24_->com_port_ok()->lit());
    QVERIFY(!form24_->pl2_connected()->lit());
    QVERIFY(!form24_->no_valid_data()->lit());
    expect_nothing_received();
    choose_port(form24_.get(), 1);

    QSignalSpy left(form24_.get(), &ui::TForm24::back_to_toolbox);
    form24_->close();
    QCOMPARE(left.count(), 1);
    QVERIFY(!form24_->poll_timer().isActive());
    const int after = polls();
    QTest::qWait(1100);
    QCOMPARE(polls(), after);
    unit_.live_frames().options().model = sim::LiveModel::OnBoard;

    // Hidden by the program (its main window closing), no poll runs on.
    show(form24_.get());
    QVERIFY(form24_->poll_timer().isActive());
    form24_->hide();
    QVERIFY(!form24_->poll_timer().isActive());
    show(form23_.get());
    QTest::mouseClick(form23_->connect_button(), Qt::LeftButton);
    form23_->hide();
    QVERIFY(!form23_->poll_timer().isActive());
  }

  // Both windows against pelorant-sim through the real serial port, paced at
  // 115200 baud: a running car, the poll's processor time and the time from a
  // frame's last byte to the repaint that shows it.
  void both_windows_against_the_simulator_on_a_pty() {
    const QString sim_path = QCoreApplication::applicationDirPath() + "/pelorant-sim";
    if (!QFile::exists(sim_path)) QSKIP("pelorant-sim is not built");
    testing::use_private_port_directory();
    testing::SimProcess sim(3, {}, sim_path.toStdString());
    TimedPort port;
    port.clock.start();
    core::ProgramState state;
    state.link.port = &port;
    state.link.serial_port_number = 3;
    testing::ScriptedHost host;
    ui::TForm23 display(state, host);
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));
    QVERIFY(state.link.serial_port_open);
    PaintLatency latency(display.dashboard()->gauge(Gauge::EngineRpm), port);
    display.on_frame_shown = [&] { latency.frame_shown(); };
    QTest::mouseClick(display.connect_button(), Qt::LeftButton);
    const double cpu0 = cpu_seconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(4000);
    const double display_cpu = (cpu_seconds() - cpu0) / (wall.elapsed() / 1000.0) * 100;
    QVERIFY(display.pl2_connected()->lit());
    QVERIFY(!display.no_valid_data()->lit());
    QVERIFY(latency.latencies_ms.size() >= 15);
    QVERIFY(display.dashboard()->gauge(Gauge::EngineRpm)->value() > 20);
    testing::save_grab(&display, "virtual_display_pty");
    qInfo(
        "virtual display over the pty: %.2f %% of one core while polling 5 frames/s; "
        "frame to screen %s",
        display_cpu, qPrintable(median_and_max(latency.latencies_ms)));
    display.close();
    QVERIFY(!display.poll_timer().isActive());

    ui::TForm24 check(state, host);
    check.show();
    QVERIFY(QTest::qWaitForWindowExposed(&check));
    PaintLatency check_latency(check.readout(CheckReadout::Rpm), port);
    check.on_frame_shown = [&] { check_latency.frame_shown(); };
    const double cpu1 = cpu_seconds();
    wall.restart();
    QTest::qWait(3000);
    const double check_cpu = (cpu_seconds() - cpu1) / (wall.elapsed() / 1000.0) * 100;
    QVERIFY(check.pl2_connected()->lit());
    QVERIFY(check.lamp(CheckLamp::GpsModule)->lit());
    QVERIFY(check.on_board(1)->text() != "NA");
    QVERIFY(check_latency.latencies_ms.size() >= 4);
    testing::save_grab(&check, "system_check_pty");
    qInfo(
        "system check over the pty: %.2f %% of one core while polling 2 frames/s; "
        "frame to screen %s",
        check_cpu, qPrintable(median_and_max(check_latency.latencies_ms)));
    check.close();
    QVERIFY(!check.poll_timer().isActive());
    core::close_serial_port(state.link);
    QCOMPARE(QString::fromStdString(host.verify()), QString());
  }

  void cleanupTestCase() {
    form23_.reset();
    form24_.reset();
  }
};

QTEST_MAIN(LiveWindowsTest)
#include "live_windows_test.moc"
