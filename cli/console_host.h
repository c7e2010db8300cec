#pragma once
// The Host of the command-line tool: messages go to stderr, questions are
// answered from the command line (--yes answers Yes, otherwise No), file
// dialogs return the names the command was given, timers tick by the wall
// clock.

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "common/host.h"

namespace ardenvis::cli {

class ConsoleHost : public core::Host {
 public:
  explicit ConsoleHost(bool answer_yes) : answer_yes_(answer_yes) {}

  // The next file dialog returns this name.
  void queue_file(std::string name) { files_.push_back(std::move(name)); }

  // Texts of every message shown, in order (the exit status looks at them).
  const std::vector<std::string>& messages() const { return messages_; }

  core::Answer message(core::MessageKind kind, const std::string& text,
                       core::Buttons buttons) override;
  std::optional<std::string> open_file(const core::FileDialog& dialog) override;
  std::optional<std::string> save_file(const core::FileDialog& dialog) override;
  void process_events() override;
  void busy_cursor(bool) override {}
  core::AnalysisProgress& analysis_progress() override;
  void start_timer(core::Tickable& timer, int interval_ms) override;
  void stop_timer(core::Tickable& timer) override;

 private:
  struct Timer {
    core::Tickable* timer;
    std::chrono::milliseconds interval;
    std::chrono::steady_clock::time_point next;
  };
  std::optional<std::string> next_file();

  bool answer_yes_;
  std::deque<std::string> files_;
  std::vector<std::string> messages_;
  std::vector<Timer> timers_;
};

}  // namespace ardenvis::cli
