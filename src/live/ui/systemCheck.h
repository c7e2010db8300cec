#pragma once
// TForm24: "System Check" — the installer's screen: what every input of the
// unit sees, which displays and modules are connected, the GPS fix and the
// sensor channels, polled twice a second while the window is open.

#include <QTimer>
#include <array>
#include <functional>

#include "live/live_link.h"
#include "live/system_check.h"
#include "widgets/com_port_box.h"

class QLabel;

namespace ardenvis::ui {

class DigitalReadout;
class Lamp;

class TForm24 : public UnitWindow {
  Q_OBJECT
 public:
  explicit TForm24(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  void setup_form24();   // activation
  void getSystemData();  // one poll

  DigitalReadout* readout(core::CheckReadout r) const { return readouts_[static_cast<size_t>(r)]; }
  DigitalReadout* sensor(int channel) const { return sensors_[static_cast<size_t>(channel - 1)]; }
  DigitalReadout* on_board(int channel) const {
    return on_board_[static_cast<size_t>(channel - 1)];
  }
  Lamp* lamp(core::CheckLamp l) const { return lamps_[static_cast<size_t>(l)]; }
  Lamp* com_port_ok() const { return com_port_ok_; }
  Lamp* pl2_connected() const { return pl2_connected_; }
  Lamp* no_valid_data() const { return no_valid_data_; }
  const QTimer& poll_timer() const { return poll_timer_; }
  QString speed_unit() const;
  // Called each time a poll has put a frame on the screen.
  std::function<void()> on_frame_shown;

 signals:
  void back_to_toolbox();

 protected:
  void activated() override { setup_form24(); }
  // However the window goes, its poll stops.
  void hideEvent(QHideEvent* event) override;

 private:
  void leave();
  // The link lamps of the state; when no frame is coming in, no value stays.
  void show_link(core::LiveLinkState link);
  void show_view();
  QWidget* unit_values_group();
  QWidget* lamp_group(const QString& title, core::CheckLamp first, int count);
  QWidget* sensor_group(const QString& title, int module);
  QWidget* position_group();
  QWidget* gear_module_group();
  QWidget* on_board_group();
  QWidget* control_panel();

  core::ProgramState& state_;
  core::Host& host_;
  core::SystemCheckView view_;
  std::array<DigitalReadout*, core::kCheckReadoutCount> readouts_{};
  std::array<DigitalReadout*, core::kSensorChannels> sensors_{};
  std::array<DigitalReadout*, core::kOnBoardChannels> on_board_{};
  std::array<Lamp*, core::kCheckLampCount> lamps_{};
  std::array<QLabel*, 2> speed_units_{};
  std::array<QLabel*, 2> pressure_units_{};
  std::array<QLabel*, 2> temperature_units_{};
  Lamp* com_port_ok_;
  Lamp* pl2_connected_;
  Lamp* no_valid_data_;
  QTimer poll_timer_;
  bool polling_ = false;  // a poll is reading its frame
};

}  // namespace ardenvis::ui
