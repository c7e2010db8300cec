#pragma once
// A Host for tests: "expect, then verify". A test queues the messages it
// expects with their answers; an unexpected message is recorded as a failure
// and answered with the box's negative default. process_events() advances a fake
// clock and ticks the timers that fall due, so watchdogs run deterministically.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/host.h"

namespace ardenvis::testing {

using core::Answer;
using core::Buttons;
using core::MessageKind;

struct RecordedMessage {
  MessageKind kind;
  std::string text;
  Buttons buttons;
  bool busy_cursor = false;  // the busy cursor showed while the box was up
};

// Fake time in milliseconds, advanced by the host and by simulated silence.
struct FakeClock {
  long long now_ms = 0;
  void advance(long long ms) { now_ms += ms; }
};

class RecordingProgress : public core::AnalysisProgress {
 public:
  void show() override {
    visible = true;
    ++shows;
  }
  void hide() override { visible = false; }
  void set_stage(const std::string& text) override { stages.push_back(text); }
  void set_bar(core::ProgressBar bar, long position, long maximum) override {
    bars[bar] = {position, maximum};
    ++bar_updates[bar];
  }
  void set_efficiency(const std::string& text) override { efficiency = text; }

  bool visible = false;
  int shows = 0;
  std::vector<std::string> stages;
  std::map<core::ProgressBar, std::pair<long, long>> bars;
  std::map<core::ProgressBar, int> bar_updates;
  std::string efficiency;
};

class ScriptedHost : public core::Host {
 public:
  // Expect a message whose text is exactly `text`, answered with `answer`.
  void expect(const std::string& text, Answer answer = Answer::Ok);
  // Expect a message of a given kind too.
  void expect(MessageKind kind, const std::string& text, Answer answer = Answer::Ok);
  // Queue the result of the next file dialog (nullopt = cancelled).
  void queue_open_file(std::optional<std::string> name) { open_files_.push_back(std::move(name)); }
  void queue_save_file(std::optional<std::string> name) { save_files_.push_back(std::move(name)); }

  // Empty when every expected message came, in order, and nothing else did;
  // otherwise a description of what went wrong.
  std::string verify() const;

  Answer message(MessageKind kind, const std::string& text, Buttons buttons) override;
  std::optional<std::string> open_file(const core::FileDialog& dialog) override;
  std::optional<std::string> save_file(const core::FileDialog& dialog) override;
  void process_events() override;
  void busy_cursor(bool on) override;
  core::AnalysisProgress& analysis_progress() override { return progress; }
  void start_timer(core::Tickable& timer, int interval_ms) override;
  void stop_timer(core::Tickable& timer) override;
  std::chrono::system_clock::time_point now() override { return fixed_now; }

  std::vector<RecordedMessage> messages;
  std::vector<core::FileDialog> dialogs;
  RecordingProgress progress;
  FakeClock clock;
  long long ms_per_event = 0;  // fake time each process_events() call takes
  long process_event_calls = 0;
  int busy_depth = 0;  // > 0 while the busy cursor shows
  bool busy_ever = false;
  std::function<void()> on_process_events;  // runs inside each process_events()
  std::chrono::system_clock::time_point fixed_now{};

 private:
  struct Expected {
    bool check_kind;
    MessageKind kind;
    std::string text;
    Answer answer;
  };
  struct Timer {
    core::Tickable* timer;
    int interval_ms;
    long long next_ms;
  };
  void tick_due_timers();

  std::deque<Expected> expected_;
  std::vector<std::string> failures_;
  std::deque<std::optional<std::string>> open_files_;
  std::deque<std::optional<std::string>> save_files_;
  std::vector<Timer> timers_;
};

}  // namespace ardenvis::testing
