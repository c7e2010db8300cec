#include "cli/console_host.h"

#include <algorithm>
#include <cstdio>

namespace ardenvis::cli {

core::Answer ConsoleHost::message(core::MessageKind kind, const std::string& text,
                                  core::Buttons buttons) {
  messages_.push_back(text);
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), '\r', '\n');
  const char* prefix = kind == core::MessageKind::Warning ? "warning: "
                       : kind == core::MessageKind::Error ? "error: "
                                                          : "";
  std::fprintf(stderr, "%s%s\n", prefix, shown.c_str());
  switch (buttons) {
    case core::Buttons::YesNo:
      std::fprintf(stderr, "  -> %s\n", answer_yes_ ? "Yes" : "No");
      return answer_yes_ ? core::Answer::Yes : core::Answer::No;
    case core::Buttons::OkCancel:
      return answer_yes_ ? core::Answer::Ok : core::Answer::Cancel;
    case core::Buttons::Abort:
      return core::Answer::Abort;
    case core::Buttons::Ok:
      break;
  }
  return core::Answer::Ok;
}

std::optional<std::string> ConsoleHost::next_file() {
  if (files_.empty()) return std::nullopt;
  std::string name = files_.front();
  files_.pop_front();
  return name;
}

std::optional<std::string> ConsoleHost::open_file(const core::FileDialog&) { return next_file(); }
std::optional<std::string> ConsoleHost::save_file(const core::FileDialog&) { return next_file(); }

void ConsoleHost::process_events() {
  if (timers_.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  auto due = timers_;
  for (auto& t : due) {
    if (now < t.next) continue;
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& x) { return x.timer == t.timer; });
    if (it == timers_.end()) continue;
    it->next = now + it->interval;
    t.timer->tick();
  }
}

core::AnalysisProgress& ConsoleHost::analysis_progress() {
  static core::NullProgress quiet;
  return quiet;
}

void ConsoleHost::start_timer(core::Tickable& timer, int interval_ms) {
  stop_timer(timer);
  const auto interval = std::chrono::milliseconds(interval_ms);
  timers_.push_back({&timer, interval, std::chrono::steady_clock::now() + interval});
}

void ConsoleHost::stop_timer(core::Tickable& timer) {
  std::erase_if(timers_, [&](const Timer& t) { return t.timer == &timer; });
}

}  // namespace ardenvis::cli
