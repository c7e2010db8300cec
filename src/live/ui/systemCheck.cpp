#include "live/ui/systemCheck.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "live/live_frame.h"
#include "widgets/digital_readout.h"
#include "widgets/lamp.h"

namespace ardenvis::ui {

using core::CheckLamp;
using core::CheckReadout;

namespace {
constexpr int kPollInterval_ms = 500;
const QColor kInputColour(40, 200, 70);
const QColor kAlarmColour(230, 40, 30);

bool is_alarm(CheckLamp l) {
  return static_cast<int>(l) <= static_cast<int>(CheckLamp::BatteryAlarm);
}

// Readout widths in characters, as their formats give them.
int columns_of(CheckReadout r) {
  switch (r) {
    case CheckReadout::Latitude:
    case CheckReadout::Longitude:
      return 11;
    case CheckReadout::Time:
      return 11;
    case CheckReadout::Date:
      return 8;
    case CheckReadout::Rpm:
    case CheckReadout::Altitude:
      return 5;
    case CheckReadout::GFirst:
    case CheckReadout::GSecond:
      return 5;
    case CheckReadout::Gear:
    case CheckReadout::GearModule:
      return 2;
    default:
      return 4;
  }
}
}  // namespace

TForm24::TForm24(core::ProgramState& state, core::Host& host, QWidget* parent)
    : UnitWindow("System Check", state, host, parent),
      state_(state),
      host_(host),
      view_(core::empty_system_check()),
      com_port_ok_(new Lamp("COM Port OK", kInputColour, Lamp::Shape::Round, this)),
      pl2_connected_(new Lamp("PL2 Connected", kInputColour, Lamp::Shape::Round, this)),
      no_valid_data_(new Lamp("No Valid Data", kAlarmColour, Lamp::Shape::Round, this)) {
  setObjectName("TForm24");
  // Thirty-odd readouts stacked in columns: a little lower than the
  // dashboard's, so the whole screen fits a laptop.
  const int readout_height = QFontMetrics(font()).height() + 8;
  auto readout = [&](int columns, const QString& name) {
    auto* w = new DigitalReadout(columns, this);
    w->setObjectName(name);
    w->setFixedHeight(readout_height);
    return w;
  };
  for (int r = 0; r < core::kCheckReadoutCount; ++r) {
    readouts_[static_cast<size_t>(r)] =
        readout(columns_of(static_cast<CheckReadout>(r)), QString("readout%1").arg(r));
  }
  for (int c = 0; c < core::kSensorChannels; ++c) {
    sensors_[static_cast<size_t>(c)] = readout(4, QString("sensor%1").arg(c + 1));
  }
  for (int c = 0; c < core::kOnBoardChannels; ++c) {
    on_board_[static_cast<size_t>(c)] = readout(4, QString("onBoard%1").arg(c + 1));
  }
  for (int l = 0; l < core::kCheckLampCount; ++l) {
    const auto lamp = static_cast<CheckLamp>(l);
    auto* w = new Lamp(QString::fromUtf8(core::check_lamp_caption(lamp)),
                       is_alarm(lamp) ? kAlarmColour : kInputColour, Lamp::Shape::Round, this);
    w->setObjectName(QString("checkLamp%1").arg(l));
    w->setAccessibleName(QString::fromUtf8(core::check_lamp_name(lamp)));
    lamps_[static_cast<size_t>(l)] = w;
  }
  for (auto* units : {&speed_units_, &pressure_units_, &temperature_units_}) {
    for (QLabel*& label : *units) label = new QLabel(this);
  }

  auto* screen = new QGroupBox("System Check Screen", this);
  auto* grid = new QGridLayout(screen);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  auto* inputs = new QVBoxLayout;
  inputs->addWidget(lamp_group("Dash Light Input Check", CheckLamp::DashBattery, 8));
  inputs->addWidget(lamp_group("External Input Check", CheckLamp::SpeedTrigger, 4));
  inputs->addWidget(lamp_group("Displays Connected", CheckLamp::MainDisplay, 3));
  inputs->addStretch();
  auto* modules = new QVBoxLayout;
  modules->addWidget(gear_module_group());
  modules->addWidget(on_board_group());
  modules->addStretch();
  grid->addWidget(unit_values_group(), 0, 0);
  grid->addLayout(inputs, 0, 1);
  grid->addWidget(position_group(), 0, 2);
  grid->addWidget(sensor_group("Sensor Module 1", 1), 1, 0);
  grid->addWidget(sensor_group("Sensor Module 2", 2), 1, 1);
  grid->addLayout(modules, 1, 2);
  grid->addWidget(control_panel(), 2, 0, 1, 3);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(screen);
  adjustSize();

  poll_timer_.setInterval(kPollInterval_ms);
  QObject::connect(&poll_timer_, &QTimer::timeout, this, &TForm24::getSystemData);
  QObject::connect(this, &PelorantWindow::closed_by_user, this, &TForm24::leave);
  QObject::connect(com_port_box(), &ComPortBox::port_changed, this, [this](bool open) {
    if (open) {
      com_port_ok_->set_lit(true);  // "PL2 Connected" waits for the next frame
    } else {
      show_link(core::LiveLinkState::NoPort);
    }
  });
  show_view();
}

QWidget* TForm24::unit_values_group() {
  auto* box = new QGroupBox("Unit Values", this);
  auto* g = new QGridLayout(box);
  int row = 0;
  auto add = [&](QWidget* label, CheckReadout r, QLabel* unit) {
    g->addWidget(label, row, 0);
    g->addWidget(readout(r), row, 1);
    if (unit) g->addWidget(unit, row, 2);
    ++row;
  };
  add(lamp(CheckLamp::WaterAlarm), CheckReadout::WaterTemp, temperature_units_[0]);
  add(lamp(CheckLamp::OilTempAlarm), CheckReadout::OilTemp, temperature_units_[1]);
  add(lamp(CheckLamp::OilPressureAlarm), CheckReadout::OilPressure, pressure_units_[0]);
  add(lamp(CheckLamp::AuxAlarm), CheckReadout::AuxPressure, pressure_units_[1]);
  add(lamp(CheckLamp::FuelAlarm), CheckReadout::Fuel, nullptr);
  add(lamp(CheckLamp::BatteryAlarm), CheckReadout::Battery, nullptr);
  add(new QLabel("Speed", box), CheckReadout::Speed, speed_units_[0]);
  add(new QLabel("RPM", box), CheckReadout::Rpm, nullptr);
  add(new QLabel("Gear Position", box), CheckReadout::Gear, nullptr);
  g->addWidget(new QLabel("G Meter", box), row, 0);
  g->addWidget(readout(CheckReadout::GFirst), row, 1);
  g->addWidget(readout(CheckReadout::GSecond), row, 2);
  g->setColumnStretch(1, 1);
  return box;
}

QWidget* TForm24::lamp_group(const QString& title, CheckLamp first, int count) {
  auto* box = new QGroupBox(title, this);
  auto* g = new QGridLayout(box);
  const int per_column = (count + 1) / 2;  // two columns keep the groups low
  for (int i = 0; i < count; ++i) {
    g->addWidget(lamp(static_cast<CheckLamp>(static_cast<int>(first) + i)), i % per_column,
                 i / per_column);
  }
  return box;
}

QWidget* TForm24::sensor_group(const QString& title, int module) {
  auto* box = new QGroupBox(title, this);
  auto* g = new QGridLayout(box);
  const int first = module == 1 ? 1 : 9;
  for (int i = 0; i < 8; ++i) {
    g->addWidget(new QLabel(QString("Ch%1").arg(first + i), box), i % 4, (i / 4) * 2);
    g->addWidget(sensor(first + i), i % 4, (i / 4) * 2 + 1);
  }
  g->addWidget(lamp(module == 1 ? CheckLamp::FirstSensorModule : CheckLamp::SecondSensorModule), 0,
               4);
  const CheckLamp speed = module == 1 ? CheckLamp::SpeedCh1 : CheckLamp::SpeedCh3;
  g->addWidget(lamp(speed), 1, 4);
  g->addWidget(lamp(static_cast<CheckLamp>(static_cast<int>(speed) + 1)), 2, 4);
  auto* note = new QLabel("Values shown are %\nof full channel scale.", box);
  note->setStyleSheet("color: #505050;");
  g->addWidget(note, 3, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  return box;
}

QWidget* TForm24::position_group() {
  auto* box = new QGroupBox("Position Module", this);
  auto* g = new QGridLayout(box);
  const std::pair<const char*, CheckReadout> rows[] = {
      {"Lat", CheckReadout::Latitude},    {"Long", CheckReadout::Longitude},
      {"Time", CheckReadout::Time},       {"Date", CheckReadout::Date},
      {"Sats", CheckReadout::Satellites}, {"Altitude", CheckReadout::Altitude},
      {"Speed", CheckReadout::GpsSpeed}};
  int row = 0;
  for (auto [caption, r] : rows) {
    g->addWidget(new QLabel(caption, box), row, 0);
    g->addWidget(readout(r), row, 1);
    ++row;
  }
  g->addWidget(speed_units_[1], row - 1, 2);
  int lamp_row = 0;
  for (CheckLamp l : {CheckLamp::GpsModule, CheckLamp::GpsDataValid, CheckLamp::SatAcquired,
                      CheckLamp::PlCompatible, CheckLamp::GpsConnected}) {
    g->addWidget(lamp(l), row + lamp_row / 2, lamp_row % 2 * 2, 1, 2);
    ++lamp_row;
  }
  g->setColumnStretch(1, 1);
  return box;
}

QWidget* TForm24::gear_module_group() {
  auto* box = new QGroupBox("Gear Module", this);
  auto* g = new QGridLayout(box);
  g->addWidget(new QLabel("Gear Position", box), 0, 0);
  g->addWidget(readout(CheckReadout::GearModule), 0, 1);
  g->addWidget(lamp(CheckLamp::GearModule), 1, 0, 1, 2);
  return box;
}

QWidget* TForm24::on_board_group() {
  auto* box = new QGroupBox("On-Board Channels", this);
  auto* g = new QGridLayout(box);
  for (int c = 1; c <= core::kOnBoardChannels; ++c) {
    g->addWidget(new QLabel(QString("Ch%1").arg(c), box), (c - 1) / 2, (c - 1) % 2 * 2);
    g->addWidget(on_board(c), (c - 1) / 2, (c - 1) % 2 * 2 + 1);
  }
  return box;
}

QWidget* TForm24::control_panel() {
  // One row along the foot of the screen.
  auto* box = new QGroupBox("Control Panel", this);
  auto* row = new QHBoxLayout(box);
  row->addWidget(com_port_row());
  for (Lamp* l : {com_port_ok_, pl2_connected_, no_valid_data_}) row->addWidget(l);
  row->addStretch();
  auto* exit = make_button("Exit", "Back to the tool box", "exitButton", box);
  QObject::connect(exit, &QPushButton::clicked, this, &TForm24::leave);
  row->addWidget(exit);
  return box;
}

QString TForm24::speed_unit() const { return speed_units_[0]->text(); }

void TForm24::setup_form24() {
  com_port_box()->sync_from_state();
  poll_timer_.start();
  com_port_ok_->set_lit(false);
  show_link(core::LiveLinkState::NotPolling);  // nothing of the last visit shows
  com_port_box()->change_serial_port();        // lights "COM Port OK" when the port opens
}

void TForm24::getSystemData() {
  // A slow or silent line can keep one poll reading past the next tick.
  if (polling_) return;
  std::optional<core::LiveFrame> frame;
  if (state_.link.serial_port_open) {
    com_port_ok_->set_lit(true);
    polling_ = true;
    frame = core::poll_live_frame(state_.link, host_, core::FrameReader::SystemCheck);
    polling_ = false;
    if (!poll_timer_.isActive()) return;  // left while the frame came in
  }
  if (frame) view_ = core::system_check_view(*frame);
  show_link(core::poll_state(state_.link.serial_port_open, frame.has_value()));
  if (frame && on_frame_shown) on_frame_shown();
}

void TForm24::show_link(core::LiveLinkState link) {
  const core::LinkLamps lamps = core::link_lamps(link, state_.link.serial_port_open);
  com_port_ok_->set_lit(lamps.com_port_ok);
  pl2_connected_->set_lit(lamps.pl2_connected);
  no_valid_data_->set_lit(lamps.no_valid_data);
  if (!core::values_are_live(link)) core::show_no_data(view_);
  show_view();
}

void TForm24::show_view() {
  for (int r = 0; r < core::kCheckReadoutCount; ++r) {
    readouts_[static_cast<size_t>(r)]->set_text(
        QString::fromStdString(view_.readouts[static_cast<size_t>(r)]));
  }
  for (int c = 0; c < core::kSensorChannels; ++c) {
    sensors_[static_cast<size_t>(c)]->set_text(
        QString::fromStdString(view_.sensors[static_cast<size_t>(c)]));
  }
  for (int c = 0; c < core::kOnBoardChannels; ++c) {
    on_board_[static_cast<size_t>(c)]->set_text(
        QString::fromStdString(view_.on_board[static_cast<size_t>(c)]));
  }
  for (int l = 0; l < core::kCheckLampCount; ++l) {
    lamps_[static_cast<size_t>(l)]->set_lit(view_.lamps[static_cast<size_t>(l)]);
  }
  for (QLabel* label : speed_units_) label->setText(QString::fromStdString(view_.speed_unit));
  for (QLabel* label : pressure_units_) label->setText(QString::fromStdString(view_.pressure_unit));
  for (QLabel* label : temperature_units_) {
    label->setText(QString::fromStdString(view_.temperature_unit));
  }
}

void TForm24::hideEvent(QHideEvent* event) {
  UnitWindow::hideEvent(event);
  if (event->spontaneous()) return;  // minimised: the window is still in use
  poll_timer_.stop();
}

void TForm24::leave() {
  poll_timer_.stop();
  emit back_to_toolbox();
}

}  // namespace ardenvis::ui
