#pragma once
// How the core talks to a person. The core never shows anything itself: every
// message box, file dialog, busy cursor and progress window goes through a Host,
// so the same logic runs behind real windows, the command line and tests.

#include <chrono>
#include <optional>
#include <string>

namespace ardenvis::core {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class Buttons { Ok, Abort, YesNo, OkCancel };
enum class Answer { Ok, Abort, Yes, No, Cancel };

// A file dialog request: title, filter ("Log Data Files (*.plr)"), initial
// folder (with trailing separator) and default file name.
struct FileDialog {
  std::string title;
  std::string filter;
  std::string folder;
  std::string default_name;
};

// Something a 1-second (or other) timer ticks during long exchanges, such as
// the transfer watchdogs. The host decides where the ticks come from: a QTimer
// in the program, the wall clock on the command line, a fake clock in tests.
class Tickable {
 public:
  virtual ~Tickable() = default;
  virtual void tick() = 0;
};

// The download and decoding progress window ("Ardenvis Analysis").
enum class ProgressBar { Downloading, Processing, Formatting, LinkQuality };

class AnalysisProgress {
 public:
  virtual ~AnalysisProgress() = default;
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual void set_stage(const std::string& text) = 0;
  // position and maximum as the window's bar shows them.
  virtual void set_bar(ProgressBar bar, long position, long maximum) = 0;
  virtual void set_efficiency(const std::string& text) = 0;
};

// Progress nobody watches: the command line, scans and loads that run
// without a window.
class NullProgress : public AnalysisProgress {
 public:
  void show() override {}
  void hide() override {}
  void set_stage(const std::string&) override {}
  void set_bar(ProgressBar, long, long) override {}
  void set_efficiency(const std::string&) override {}
};

class Host {
 public:
  virtual ~Host() = default;

  // A modal message box. A '\r' or '\n' in text is a line break.
  virtual Answer message(MessageKind kind, const std::string& text, Buttons buttons) = 0;

  // Empty when the user cancels the dialog.
  virtual std::optional<std::string> open_file(const FileDialog& dialog) = 0;
  virtual std::optional<std::string> save_file(const FileDialog& dialog) = 0;

  // Let the user interface process its pending events. Called once per byte or
  // record of long work, so implementations keep it cheap.
  virtual void process_events() = 0;

  // On shows the busy cursor; off restores the default cursor (whatever number
  // of ons came before).
  virtual void busy_cursor(bool on) = 0;

  virtual AnalysisProgress& analysis_progress() = 0;

  // Start or stop ticking a timer object every interval_ms milliseconds.
  virtual void start_timer(Tickable& timer, int interval_ms) = 0;
  virtual void stop_timer(Tickable& timer) = 0;

  // The system clock (used for automatic file names).
  virtual std::chrono::system_clock::time_point now() { return std::chrono::system_clock::now(); }
};

// Runs a transfer's watchdog on a host timer and stops it on every way out
// of the transfer, also through an error trap, so no tick reaches a finished
// transfer. Watchdog: a Tickable with reset().
template <typename Watchdog>
class WatchdogRun {
 public:
  WatchdogRun(Host& host, Watchdog& watchdog, int interval_ms)
      : host_(host), watchdog_(watchdog), interval_ms_(interval_ms) {}
  ~WatchdogRun() { stop(); }
  WatchdogRun(const WatchdogRun&) = delete;
  WatchdogRun& operator=(const WatchdogRun&) = delete;
  void start() {
    watchdog_.reset();
    host_.start_timer(watchdog_, interval_ms_);
  }
  void stop() { host_.stop_timer(watchdog_); }

 private:
  Host& host_;
  Watchdog& watchdog_;
  int interval_ms_;
};

}  // namespace ardenvis::core
