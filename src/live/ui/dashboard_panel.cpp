#include "live/ui/dashboard_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "widgets/dial_gauge.h"
#include "widgets/digital_readout.h"
#include "widgets/lamp.h"

namespace ardenvis::ui {

using core::DashLamp;
using core::Gauge;

namespace {

const QColor kGreen(60, 220, 90);
const QColor kYellow(255, 210, 40);
const QColor kRed(255, 55, 40);
const QColor kBlue(70, 150, 255);
const QColor kAmber(255, 150, 30);
const QColor kPanelText(210, 214, 220);

QColor band_colour(core::GaugeView::Band band) {
  switch (band) {
    case core::GaugeView::Band::Normal:
      return {46, 157, 76};
    case core::GaugeView::Band::Caution:
      return {230, 194, 41};
    case core::GaugeView::Band::Danger:
      return {216, 58, 46};
    case core::GaugeView::Band::Cold:
      return {58, 123, 213};
  }
  return {};
}

// Each unit lamp's colour, as the dashboard's own lenses are tinted.
QColor lamp_colour(DashLamp l) {
  switch (l) {
    case DashLamp::Main:
    case DashLamp::Speed:
      return kBlue;
    case DashLamp::FluidWarn:
    case DashLamp::FogLight:
      return kAmber;
    case DashLamp::Battery:
    case DashLamp::BrakeOn:
      return kRed;
    default:
      return kGreen;
  }
}

QLabel* panel_label(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setStyleSheet("color: rgb(210,214,220);");
  return label;
}

}  // namespace

DashboardPanel::DashboardPanel(QWidget* parent) : QFrame(parent) {
  setObjectName("dashboardPanel");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(22, 24, 28));
  pal.setColor(QPalette::WindowText, kPanelText);
  setPalette(pal);

  for (int l = 0; l < core::kDashLampCount; ++l) {
    const auto lamp = static_cast<DashLamp>(l);
    const bool tile = lamp == DashLamp::OilLeft || lamp == DashLamp::OilRight;
    const bool alarm = l >= static_cast<int>(DashLamp::WaterAlarm) &&
                       l <= static_cast<int>(DashLamp::BatteryAlarm);
    // A small dial's alarm lamp carries the dial's caption beneath it.
    auto* w = new Lamp(QString::fromUtf8(core::dash_lamp_caption(lamp)),
                       tile || alarm ? kRed : lamp_colour(lamp),
                       tile ? Lamp::Shape::Tile : Lamp::Shape::Round, this);
    w->set_caption_colour(kPanelText);
    w->setObjectName(QString("dashLamp%1").arg(l));
    if (alarm) w->setAccessibleName(QString::fromUtf8(core::dash_lamp_caption(lamp)) + " alarm");
    lamps_[static_cast<size_t>(l)] = w;
  }
  const core::DashboardView rest = core::resting_dashboard();
  for (int g = 0; g < core::kGaugeCount; ++g) {
    const core::GaugeView& view = rest.gauges[static_cast<size_t>(g)];
    // Only the engine speed dial is big enough to carry its caption in the face.
    const QString caption = QString::fromStdString(view.caption);
    auto* dial = new DialGauge(g == static_cast<int>(Gauge::EngineRpm) ? caption : QString(), this);
    dial->setAccessibleName(caption);
    dial->setObjectName(QString("gauge%1").arg(g));
    dial->set_sector_colours(
        {band_colour(view.bands[0]), band_colour(view.bands[1]), band_colour(view.bands[2])});
    gauges_[static_cast<size_t>(g)] = dial;
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(8);
  layout->addWidget(shift_bar(), 1);

  // The engine speed dial between the two "OIL" lamps, road speed and gear beside it.
  auto* middle = new QHBoxLayout;
  for (DashLamp oil : {DashLamp::OilLeft, DashLamp::OilRight}) {
    lamp(oil)->setMinimumHeight(44);
    lamp(oil)->setMaximumHeight(120);
  }
  middle->addWidget(lamp(DashLamp::OilLeft), 1, Qt::AlignVCenter);
  middle->addWidget(gauge(Gauge::EngineRpm), 4);
  auto* speed_gear = new QGridLayout;
  speed_ = new DigitalReadout(3, this);
  speed_->setObjectName("speedReadout");
  gear_ = new DigitalReadout(1, this);
  gear_->setObjectName("gearReadout");
  gear_->set_colour(QColor(90, 230, 110));
  for (DigitalReadout* big : {speed_, gear_}) {
    big->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    big->setMaximumHeight(170);
  }
  speed_unit_ = panel_label("MPH", this);
  speed_unit_->setObjectName("speedUnit");
  speed_gear->addWidget(speed_, 0, 0);
  speed_gear->addWidget(speed_unit_, 0, 1);
  speed_gear->addWidget(gear_, 1, 0);
  speed_gear->addWidget(panel_label("Gear", this), 1, 1);
  speed_gear->setRowStretch(0, 2);
  speed_gear->setRowStretch(1, 3);
  speed_gear->setColumnStretch(0, 1);
  middle->addLayout(speed_gear, 2);
  middle->addWidget(lamp(DashLamp::OilRight), 1, Qt::AlignVCenter);
  layout->addLayout(middle, 8);

  auto* smalls = new QHBoxLayout;
  smalls->setSpacing(6);
  smalls->addWidget(small_gauge(Gauge::WaterTemp, DashLamp::WaterAlarm));
  smalls->addWidget(small_gauge(Gauge::OilTemp, DashLamp::OilTempAlarm));
  smalls->addWidget(small_gauge(Gauge::OilPressure, DashLamp::OilPressureAlarm));
  smalls->addWidget(small_gauge(Gauge::AuxPressure, DashLamp::AuxPressureAlarm));
  smalls->addWidget(small_gauge(Gauge::FuelLevel, DashLamp::FuelAlarm));
  smalls->addWidget(small_gauge(Gauge::Battery, DashLamp::BatteryAlarm));
  layout->addLayout(smalls, 5);

  auto* unit_lamps = new QGridLayout;
  unit_lamps->setHorizontalSpacing(14);
  const DashLamp order[] = {DashLamp::Speed,     DashLamp::Neutral,  DashLamp::FluidWarn,
                            DashLamp::FogLight,  DashLamp::LoggerOn, DashLamp::AuxOn,
                            DashLamp::Indicator, DashLamp::Battery,  DashLamp::Main,
                            DashLamp::BrakeOn};
  for (int i = 0; i < 10; ++i) unit_lamps->addWidget(lamp(order[i]), i / 5, i % 5);
  layout->addLayout(unit_lamps);
  show_view(rest);
}

QWidget* DashboardPanel::shift_bar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(40, 0, 40, 0);
  row->setSpacing(6);
  // The three outer pairs in the lamp's own green, the two inner ones yellow.
  auto pair_colour = [](int k) { return k >= 3 ? kGreen : kYellow; };
  std::array<Lamp*, 5> left{}, right{};
  for (int k = 1; k <= 5; ++k) {
    left[static_cast<size_t>(k - 1)] = new Lamp({}, pair_colour(k), Lamp::Shape::Round, bar);
    right[static_cast<size_t>(k - 1)] = new Lamp({}, pair_colour(k), Lamp::Shape::Round, bar);
    left[static_cast<size_t>(k - 1)]->setObjectName(QString("shiftLeft%1").arg(k));
    right[static_cast<size_t>(k - 1)]->setObjectName(QString("shiftRight%1").arg(k));
    shift_pairs_[static_cast<size_t>(k - 1)] = {left[static_cast<size_t>(k - 1)],
                                                right[static_cast<size_t>(k - 1)]};
  }
  shift_top_ = new Lamp({}, kRed, Lamp::Shape::Round, bar);
  shift_top_->setObjectName("shiftTop");
  for (int k = 5; k >= 1; --k) row->addWidget(left[static_cast<size_t>(k - 1)]);
  row->addWidget(shift_top_);
  for (int k = 1; k <= 5; ++k) row->addWidget(right[static_cast<size_t>(k - 1)]);
  bar->setMinimumHeight(22);
  bar->setMaximumHeight(56);
  return bar;
}

QWidget* DashboardPanel::small_gauge(Gauge g, DashLamp alarm) {
  auto* box = new QWidget(this);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(gauge(g), 1);
  column->addWidget(lamp(alarm), 0, Qt::AlignHCenter);
  return box;
}

const QString& DashboardPanel::speed_unit() const { return speed_unit_text_; }

void DashboardPanel::show_view(const core::DashboardView& view) {
  for (int g = 0; g < core::kGaugeCount; ++g) {
    const core::GaugeView& v = view.gauges[static_cast<size_t>(g)];
    DialGauge* dial = gauges_[static_cast<size_t>(g)];
    dial->set_scale(v.minimum, v.maximum);
    dial->set_sectors(v.sector1_end, v.sector2_end);
    dial->set_unit(QString::fromStdString(v.unit));
    dial->set_readout(QString::fromStdString(v.readout));
    dial->set_value(v.value);
  }
  speed_->set_text(QString::fromStdString(view.speed_text));
  speed_unit_text_ = QString::fromStdString(view.speed_unit);
  speed_unit_->setText(speed_unit_text_);
  gear_->set_text(QString::fromStdString(view.gear_text));
  shift_top_->set_lit(view.shift_top);
  for (int k = 1; k <= 5; ++k) {
    const bool lit = view.shift_pairs[static_cast<size_t>(k - 1)];
    shift_pairs_[static_cast<size_t>(k - 1)].first->set_lit(lit);
    shift_pairs_[static_cast<size_t>(k - 1)].second->set_lit(lit);
  }
  for (int l = 0; l < core::kDashLampCount; ++l) {
    lamps_[static_cast<size_t>(l)]->set_lit(view.lamps[static_cast<size_t>(l)]);
  }
}

void DashboardPanel::reset_markers() {
  for (DialGauge* dial : gauges_) dial->reset_markers();
}

}  // namespace ardenvis::ui
