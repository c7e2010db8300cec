#pragma once
// The dashboard face of the "Virtual Display": the shift-light bar, the
// engine speed dial with road speed and gear, the two large "OIL" lamps, six
// small dials each with its alarm lamp, and the unit's lamps. It shows a
// DashboardView; what is lit and where the needles point is decided there.

#include <QFrame>
#include <array>

class QLabel;

#include "live/virtual_display.h"

namespace ardenvis::ui {

class DialGauge;
class DigitalReadout;
class Lamp;

class DashboardPanel : public QFrame {
  Q_OBJECT
 public:
  explicit DashboardPanel(QWidget* parent = nullptr);

  void show_view(const core::DashboardView& view);
  // "Max Reset": every dial's markers back to its needle.
  void reset_markers();

  DialGauge* gauge(core::Gauge g) const { return gauges_[static_cast<size_t>(g)]; }
  Lamp* lamp(core::DashLamp l) const { return lamps_[static_cast<size_t>(l)]; }
  Lamp* shift_top() const { return shift_top_; }
  // Pair k (1 innermost .. 5 outermost): its left and right lamp.
  std::pair<Lamp*, Lamp*> shift_pair(int k) const {
    return shift_pairs_[static_cast<size_t>(k - 1)];
  }
  DigitalReadout* speed_readout() const { return speed_; }
  DigitalReadout* gear_readout() const { return gear_; }
  const QString& speed_unit() const;

 private:
  QWidget* shift_bar();
  QWidget* small_gauge(core::Gauge g, core::DashLamp alarm);

  std::array<DialGauge*, core::kGaugeCount> gauges_{};
  std::array<Lamp*, core::kDashLampCount> lamps_{};
  Lamp* shift_top_ = nullptr;
  std::array<std::pair<Lamp*, Lamp*>, 5> shift_pairs_{};
  DigitalReadout* speed_ = nullptr;
  DigitalReadout* gear_ = nullptr;
  QLabel* speed_unit_ = nullptr;
  QString speed_unit_text_;
};

}  // namespace ardenvis::ui
