#include "support/scripted_host.h"

#include <algorithm>

namespace ardenvis::testing {

namespace {
Answer negative_default(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::Abort:
      return Answer::Abort;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::OkCancel:
      return Answer::Cancel;
  }
  return Answer::Ok;
}

std::string printable(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? std::string("\\r") : std::string(1, c);
  return out;
}
}  // namespace

void ScriptedHost::expect(const std::string& text, Answer answer) {
  expected_.push_back({false, MessageKind::Information, text, answer});
}

void ScriptedHost::expect(MessageKind kind, const std::string& text, Answer answer) {
  expected_.push_back({true, kind, text, answer});
}

std::string ScriptedHost::verify() const {
  std::string report;
  for (const auto& f : failures_) report += f + "\n";
  for (const auto& e : expected_)
    report += "expected message never came: \"" + printable(e.text) + "\"\n";
  return report;
}

Answer ScriptedHost::message(MessageKind kind, const std::string& text, Buttons buttons) {
  messages.push_back({kind, text, buttons, busy_depth > 0});
  if (expected_.empty()) {
    failures_.push_back("unexpected message: \"" + printable(text) + "\"");
    return negative_default(buttons);
  }
  Expected e = expected_.front();
  expected_.pop_front();
  if (e.text != text || (e.check_kind && e.kind != kind)) {
    failures_.push_back("expected \"" + printable(e.text) + "\" but got \"" + printable(text) +
                        "\"");
    return negative_default(buttons);
  }
  return e.answer;
}

std::optional<std::string> ScriptedHost::open_file(const core::FileDialog& dialog) {
  dialogs.push_back(dialog);
  if (open_files_.empty()) return std::nullopt;
  auto name = open_files_.front();
  open_files_.pop_front();
  return name;
}

std::optional<std::string> ScriptedHost::save_file(const core::FileDialog& dialog) {
  dialogs.push_back(dialog);
  if (save_files_.empty()) return std::nullopt;
  auto name = save_files_.front();
  save_files_.pop_front();
  return name;
}

void ScriptedHost::process_events() {
  ++process_event_calls;
  clock.advance(ms_per_event);
  tick_due_timers();
  if (on_process_events) on_process_events();
}

void ScriptedHost::busy_cursor(bool on) {
  // Off means "the default cursor again", however often it was set busy.
  busy_depth = on ? busy_depth + 1 : 0;
  if (on) busy_ever = true;
}

void ScriptedHost::start_timer(core::Tickable& timer, int interval_ms) {
  stop_timer(timer);
  timers_.push_back({&timer, interval_ms, clock.now_ms + interval_ms});
}

void ScriptedHost::stop_timer(core::Tickable& timer) {
  std::erase_if(timers_, [&](const Timer& t) { return t.timer == &timer; });
}

void ScriptedHost::tick_due_timers() {
  // Copy: a tick may stop its own timer.
  auto due = timers_;
  for (auto& t : due) {
    while (t.next_ms <= clock.now_ms) {
      auto it = std::find_if(timers_.begin(), timers_.end(),
                             [&](const Timer& x) { return x.timer == t.timer; });
      if (it == timers_.end()) break;
      it->next_ms += it->interval_ms;
      t.next_ms = it->next_ms;
      t.timer->tick();
    }
  }
}

}  // namespace ardenvis::testing
