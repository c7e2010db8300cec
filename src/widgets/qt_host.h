#pragma once
// The Host behind real windows: Qt message boxes and file dialogs, the busy
// cursor, the progress window, and timers driven by QTimer.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>

#include "common/host.h"

class QTimer;
class QWidget;

namespace ardenvis::ui {

class QtHost : public QObject, public core::Host {
 public:
  explicit QtHost(QObject* parent = nullptr);
  ~QtHost() override;

  // The window message boxes and dialogs are raised over (the visible one).
  void set_dialog_parent(QWidget* parent) { dialog_parent_ = parent; }
  void set_analysis_progress(core::AnalysisProgress* progress) { progress_ = progress; }

  core::Answer message(core::MessageKind kind, const std::string& text,
                       core::Buttons buttons) override;
  std::optional<std::string> open_file(const core::FileDialog& dialog) override;
  std::optional<std::string> save_file(const core::FileDialog& dialog) override;
  void process_events() override;
  void busy_cursor(bool on) override;
  core::AnalysisProgress& analysis_progress() override;
  void start_timer(core::Tickable& timer, int interval_ms) override;
  void stop_timer(core::Tickable& timer) override;

 private:
  QWidget* active_parent() const;

  QPointer<QWidget> dialog_parent_;
  core::AnalysisProgress* progress_ = nullptr;
  qint64 last_events_ms_ = 0;  // when events were last processed
  std::map<core::Tickable*, QTimer*> timers_;
  int busy_depth_ = 0;
};

// Qt's rendering of a core message: '\r' is a line break.
QString message_text(const std::string& text);

// Qt's rendering of a file dialog filter. Filters may be written as
// "Description|patterns" pairs joined by '|' ("Pelorant Config (*.pcf)|*.pcf"),
// which Qt would read as patterns matching nothing: each pair becomes
// "Description (patterns)" and pairs are joined by ";;". A filter without '|'
// is already in Qt's form and is kept.
QString qt_file_filter(const std::string& filter);
// The extension (".svg") of a Qt filter's first pattern; empty for "*" or "*.*".
QString filter_extension(const QString& filter);

}  // namespace ardenvis::ui
