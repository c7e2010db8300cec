#pragma once
// TForm23: "Virtual Display" — the unit's dashboard on the screen, fed by the
// live-data poll five times a second, or by playing back data set A.

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "live/live_link.h"
#include "live/virtual_display.h"
#include "widgets/com_port_box.h"

class QLabel;
class QPushButton;

namespace ardenvis::ui {

class DashboardPanel;
class DigitalReadout;
class Lamp;

class TForm23 : public UnitWindow {
  Q_OBJECT
 public:
  explicit TForm23(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  // Handlers.
  void setup_form23();   // activation
  void connect_unit();   // "Connect" / "Disconnect"
  void getDynoData();    // one poll
  void startDemoA();     // "Play File" / "Stop"
  void plotDemoMode();   // one playback step
  void loadDataFileA();  // "Load File"
  void resetMaxMin();    // "Max Reset", and every 5 s of playback
  void resetTime();      // "Time Reset"
  void resetDynoData();  // readouts to zero, gear "C", every lamp out

  DashboardPanel* dashboard() const { return dashboard_; }
  Lamp* com_port_ok() const { return com_port_ok_; }
  Lamp* pl2_connected() const { return pl2_connected_; }
  Lamp* no_valid_data() const { return no_valid_data_; }
  QPushButton* connect_button() const { return connect_button_; }
  QPushButton* play_button() const { return play_button_; }
  const QTimer& poll_timer() const { return poll_timer_; }
  const QTimer& playback_timer() const { return playback_timer_; }
  const QTimer& marker_timer() const { return marker_timer_; }
  long playback_position() const { return position_; }
  QString session_run_time() const;
  // Called with the frame's view each time a poll has put it on the screen.
  std::function<void()> on_frame_shown;

 signals:
  void back_to_main();

 protected:
  void activated() override;
  // However the window goes (its buttons, the close box, the program ending),
  // no timer of it runs on.
  void hideEvent(QHideEvent* event) override;

 private:
  // "Exit" and the close box: playback position 0, display and markers reset,
  // all three timers stopped, buttons back to "Connect" and "Play".
  void leave();
  // Stops the poll; what it showed is no longer coming in, so the gauges rest.
  void stop_poll();
  void show_link_lamps(core::LiveLinkState link);
  void stop_playback(const QString& caption);
  void show_dashboard(const core::DashboardView& view);
  void show_run_time();

  core::ProgramState& state_;
  core::Host& host_;
  DashboardPanel* dashboard_;
  Lamp* com_port_ok_;
  Lamp* pl2_connected_;
  Lamp* no_valid_data_;
  QPushButton* connect_button_;
  QPushButton* play_button_;
  DigitalReadout* run_time_;
  QTimer poll_timer_;
  QTimer playback_timer_;
  QTimer marker_timer_;
  QTimer clock_timer_;  // repaints "Session Run Time" while the window shows
  QElapsedTimer run_clock_;
  qint64 run_time_zero_ms_ = 0;
  long position_ = 0;
  int playback_shift_point_ = 0;
  bool polling_ = false;  // a poll is reading its frame
};

}  // namespace ardenvis::ui
