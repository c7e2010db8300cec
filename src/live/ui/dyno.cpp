#include "live/ui/dyno.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "common/format.h"
#include "files/log_file.h"
#include "link/unit_session.h"
#include "live/live_frame.h"
#include "live/ui/dashboard_panel.h"
#include "logger/data_set_units.h"
#include "widgets/digital_readout.h"
#include "widgets/lamp.h"

namespace ardenvis::ui {

namespace {
constexpr int kPollInterval_ms = 200;
constexpr int kMarkerResetInterval_ms = 5000;

void set_caption(QPushButton* button, const QString& caption, const QColor& colour) {
  button->setText(caption);
  button->setStyleSheet(
      QString("QPushButton { color: %1; font-weight: bold; }").arg(colour.name()));
}
const QColor kGo(0, 128, 0);
const QColor kStop(200, 0, 0);
}  // namespace

TForm23::TForm23(core::ProgramState& state, core::Host& host, QWidget* parent)
    : UnitWindow("Virtual Display", state, host, parent),
      state_(state),
      host_(host),
      dashboard_(new DashboardPanel(this)),
      com_port_ok_(new Lamp("COM Port OK", QColor(40, 200, 70), Lamp::Shape::Round, this)),
      pl2_connected_(new Lamp("PL2 Connected", QColor(40, 200, 70), Lamp::Shape::Round, this)),
      no_valid_data_(new Lamp("No Valid Data", QColor(230, 40, 30), Lamp::Shape::Round, this)),
      connect_button_(make_button("Connect", "Poll the unit's live data five times a second",
                                  "connectButton", this)),
      play_button_(
          make_button("Play File", "Play data set A back through the display", "playButton", this)),
      run_time_(new DigitalReadout(12, this)) {
  setObjectName("TForm23");
  auto* load = make_button("Load File", "Load a log data file into data set A", "loadButton", this);
  auto* max_reset = make_button("Max Reset", "Markers back to the needles", "maxResetButton", this);
  auto* time_reset =
      make_button("Time Reset", "Session Run Time from zero", "timeResetButton", this);
  auto* exit = make_button("Exit", "Back to the tool box", "exitButton", this);
  run_time_->setObjectName("sessionRunTime");
  set_caption(connect_button_, "Connect", kGo);
  set_caption(play_button_, "Play File", kGo);

  auto* controls = new QVBoxLayout;
  auto* link = new QGroupBox("Link", this);
  auto* link_layout = new QVBoxLayout(link);
  link_layout->addWidget(com_port_row());
  for (Lamp* l : {com_port_ok_, pl2_connected_, no_valid_data_}) link_layout->addWidget(l);
  link_layout->addWidget(connect_button_);
  controls->addWidget(link);
  auto* playback = new QGroupBox("Data Set A", this);
  auto* playback_layout = new QVBoxLayout(playback);
  playback_layout->addWidget(load);
  playback_layout->addWidget(play_button_);
  controls->addWidget(playback);
  auto* timing = new QGroupBox("Session Run Time", this);
  auto* timing_layout = new QVBoxLayout(timing);
  timing_layout->addWidget(run_time_);
  timing_layout->addWidget(time_reset);
  controls->addWidget(timing);
  controls->addWidget(max_reset);
  controls->addStretch();
  controls->addWidget(exit);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(dashboard_, 1);
  layout->addLayout(controls);
  resize(QSize(1060, 720).boundedTo(laptop_room()));

  poll_timer_.setInterval(kPollInterval_ms);
  marker_timer_.setInterval(kMarkerResetInterval_ms);
  clock_timer_.setInterval(500);
  QObject::connect(&poll_timer_, &QTimer::timeout, this, &TForm23::getDynoData);
  QObject::connect(&playback_timer_, &QTimer::timeout, this, &TForm23::plotDemoMode);
  QObject::connect(&marker_timer_, &QTimer::timeout, this, &TForm23::resetMaxMin);
  QObject::connect(&clock_timer_, &QTimer::timeout, this, &TForm23::show_run_time);
  QObject::connect(connect_button_, &QPushButton::clicked, this, &TForm23::connect_unit);
  QObject::connect(play_button_, &QPushButton::clicked, this, &TForm23::startDemoA);
  QObject::connect(load, &QPushButton::clicked, this, &TForm23::loadDataFileA);
  QObject::connect(max_reset, &QPushButton::clicked, this, &TForm23::resetMaxMin);
  QObject::connect(time_reset, &QPushButton::clicked, this, &TForm23::resetTime);
  QObject::connect(exit, &QPushButton::clicked, this, &TForm23::leave);
  QObject::connect(this, &PelorantWindow::closed_by_user, this, &TForm23::leave);
  QObject::connect(com_port_box(), &ComPortBox::port_changed, this, [this](bool open) {
    if (open) {
      com_port_ok_->set_lit(true);  // "PL2 Connected" waits for the next frame
      return;
    }
    show_link_lamps(core::LiveLinkState::NoPort);
    // Playback feeds the display by itself; only the poll's values go stale.
    if (poll_timer_.isActive()) resetDynoData();
  });
  // The counter runs from program start, whichever window shows.
  run_clock_.start();
  show_run_time();
}

void TForm23::activated() { setup_form23(); }

void TForm23::hideEvent(QHideEvent* event) {
  UnitWindow::hideEvent(event);
  if (event->spontaneous()) return;  // minimised: the window is still in use
  poll_timer_.stop();
  playback_timer_.stop();
  marker_timer_.stop();
  clock_timer_.stop();
}

void TForm23::setup_form23() {
  com_port_box()->sync_from_state();
  stop_poll();
  resetDynoData();
  resetMaxMin();
  for (Lamp* l : {com_port_ok_, pl2_connected_, no_valid_data_}) l->set_lit(false);
  clock_timer_.start();
  com_port_box()->change_serial_port();  // lights "COM Port OK" when the port opens
}

void TForm23::resetDynoData() { dashboard_->show_view(core::resting_dashboard()); }

void TForm23::resetMaxMin() { dashboard_->reset_markers(); }

void TForm23::resetTime() {
  run_time_zero_ms_ = run_clock_.elapsed();
  show_run_time();
}

QString TForm23::session_run_time() const {
  const qint64 seconds = (run_clock_.elapsed() - run_time_zero_ms_) / 1000;
  return QString::fromStdString(
      core::format("%03lldh %02lldm %02llds", seconds / 3600, seconds / 60 % 60, seconds % 60));
}

void TForm23::show_run_time() { run_time_->set_text(session_run_time()); }

void TForm23::stop_poll() {
  const bool was_polling = poll_timer_.isActive();
  poll_timer_.stop();
  set_caption(connect_button_, "Connect", kGo);
  show_link_lamps(core::LiveLinkState::NotPolling);
  if (was_polling) resetDynoData();
}

void TForm23::show_link_lamps(core::LiveLinkState link) {
  const core::LinkLamps lamps = core::link_lamps(link, state_.link.serial_port_open);
  com_port_ok_->set_lit(lamps.com_port_ok);
  pl2_connected_->set_lit(lamps.pl2_connected);
  no_valid_data_->set_lit(lamps.no_valid_data);
}

void TForm23::stop_playback(const QString& caption) {
  playback_timer_.stop();
  marker_timer_.stop();
  set_caption(play_button_, caption, kGo);
}

void TForm23::connect_unit() {
  if (playback_timer_.isActive()) stop_playback("Play");
  if (poll_timer_.isActive()) {
    stop_poll();
  } else if (state_.link.serial_port_open) {
    poll_timer_.start();
    set_caption(connect_button_, "Disconnect", kStop);
  } else {
    host_.message(core::MessageKind::Information, "Select a Valid Serial COM Port!...",
                  core::Buttons::Ok);
  }
}

void TForm23::getDynoData() {
  // A slow or silent line can keep one poll reading past the next tick; the
  // tick then waits for the next one rather than start a second exchange.
  if (polling_) return;
  std::optional<core::LiveFrame> frame;
  if (state_.link.serial_port_open) {
    com_port_ok_->set_lit(true);
    polling_ = true;
    frame = core::poll_live_frame(state_.link, host_, core::FrameReader::VirtualDisplay);
    polling_ = false;
    // Left or disconnected while the frame came in: it is read, not shown.
    if (!poll_timer_.isActive()) return;
  }
  const core::LiveLinkState link =
      core::poll_state(state_.link.serial_port_open, frame.has_value());
  show_link_lamps(link);
  if (core::values_are_live(link)) {
    show_dashboard(core::build_dashboard(core::dashboard_inputs(*frame)));
  } else {
    resetDynoData();
  }
}

void TForm23::show_dashboard(const core::DashboardView& view) {
  dashboard_->show_view(view);
  if (on_frame_shown) on_frame_shown();
}

void TForm23::startDemoA() {
  stop_poll();
  const core::DataSet& a = state_.data_set(core::DataSetId::A);
  if (a.loaded == core::kNotLoaded) {
    host_.message(core::MessageKind::Information, "Load a File First!...", core::Buttons::Ok);
    return;
  }
  playback_timer_.setInterval(core::playback_interval_ms(a));
  position_ = 0;
  if (playback_timer_.isActive()) {
    stop_playback("Play");
    return;
  }
  playback_shift_point_ = core::playback_shift_point(a);
  playback_timer_.start();
  marker_timer_.start();
  set_caption(play_button_, "Stop", kStop);
}

void TForm23::plotDemoMode() {
  const core::DataSet& a = state_.data_set(core::DataSetId::A);
  position_ = core::next_playback_position(a, position_);
  show_dashboard(core::build_dashboard(
      core::playback_inputs(a, position_, playback_shift_point_, state_.unit_flags)));
}

void TForm23::loadDataFileA() {
  // Playing a slot while it is replaced would read a half-built data set.
  if (playback_timer_.isActive()) stop_playback("Play");
  state_.current_data_set = core::DataSetId::A;
  if (core::load_log_data(state_, host_)) {
    core::change_loaded_units(state_, core::DataSetId::A, {});
  }
}

void TForm23::leave() {
  position_ = 0;
  resetDynoData();
  resetMaxMin();
  poll_timer_.stop();
  playback_timer_.stop();
  marker_timer_.stop();
  clock_timer_.stop();
  set_caption(connect_button_, "Connect", kGo);
  set_caption(play_button_, "Play", kGo);
  emit back_to_main();
}

}  // namespace ardenvis::ui
