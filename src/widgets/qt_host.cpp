#include "widgets/qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

namespace ardenvis::ui {

namespace {

// Stands in when no progress window was attached (never in the program).
class NullProgress : public core::AnalysisProgress {
 public:
  void show() override {}
  void hide() override {}
  void set_stage(const std::string&) override {}
  void set_bar(core::ProgressBar, long, long) override {}
  void set_efficiency(const std::string&) override {}
};

// Real event processing costs far more than a byte takes to arrive; every
// 10 ms is enough to keep windows painted and buttons and timers acting.
constexpr qint64 kEventInterval_ms = 10;

}  // namespace

QString message_text(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace('\r', '\n');
  return s;
}

QtHost::QtHost(QObject* parent) : QObject(parent) { since_events_.start(); }

QtHost::~QtHost() {
  for (auto& [tickable, timer] : timers_) delete timer;
}

QWidget* QtHost::active_parent() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return dialog_parent_;
}

core::Answer QtHost::message(core::MessageKind kind, const std::string& text,
                             core::Buttons buttons) {
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (kind) {
    case core::MessageKind::Information:
      icon = QMessageBox::Information;
      break;
    case core::MessageKind::Warning:
      icon = QMessageBox::Warning;
      break;
    case core::MessageKind::Error:
      icon = QMessageBox::Critical;
      break;
    case core::MessageKind::Confirmation:
      icon = QMessageBox::Question;
      break;
  }
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  switch (buttons) {
    case core::Buttons::Ok:
      standard = QMessageBox::Ok;
      break;
    case core::Buttons::Abort:
      standard = QMessageBox::Abort;
      break;
    case core::Buttons::YesNo:
      standard = QMessageBox::Yes | QMessageBox::No;
      break;
    case core::Buttons::OkCancel:
      standard = QMessageBox::Ok | QMessageBox::Cancel;
      break;
  }
  QMessageBox box(icon, QApplication::applicationName(), message_text(text), standard,
                  active_parent());
  // A busy cursor must not hide the box's buttons from the user.
  const bool was_busy = busy_depth_ > 0;
  if (was_busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = box.exec();
  if (was_busy) QApplication::restoreOverrideCursor();
  switch (result) {
    case QMessageBox::Yes:
      return core::Answer::Yes;
    case QMessageBox::No:
      return core::Answer::No;
    case QMessageBox::Abort:
      return core::Answer::Abort;
    case QMessageBox::Cancel:
      return core::Answer::Cancel;
    default:
      return core::Answer::Ok;
  }
}

namespace {
QString start_path(const core::FileDialog& d) {
  return QString::fromStdString(d.folder) + QString::fromStdString(d.default_name);
}
}  // namespace

std::optional<std::string> QtHost::open_file(const core::FileDialog& d) {
  QString name = QFileDialog::getOpenFileName(active_parent(), QString::fromStdString(d.title),
                                              start_path(d), QString::fromStdString(d.filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<std::string> QtHost::save_file(const core::FileDialog& d) {
  // The program asks its own "File Exists, Overwrite File ?" question.
  QString name = QFileDialog::getSaveFileName(active_parent(), QString::fromStdString(d.title),
                                              start_path(d), QString::fromStdString(d.filter),
                                              nullptr, QFileDialog::DontConfirmOverwrite);
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

void QtHost::process_events() {
  if (since_events_.elapsed() < kEventInterval_ms) return;
  since_events_.restart();
  QCoreApplication::processEvents();
}

void QtHost::busy_cursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busy_depth_;
  } else {
    // Off means "the default cursor again", however often it was set busy.
    while (busy_depth_ > 0) {
      QApplication::restoreOverrideCursor();
      --busy_depth_;
    }
  }
}

core::AnalysisProgress& QtHost::analysis_progress() {
  static NullProgress none;
  return progress_ ? *progress_ : none;
}

void QtHost::start_timer(core::Tickable& tickable, int interval_ms) {
  stop_timer(tickable);
  auto* timer = new QTimer(this);
  timer->setInterval(interval_ms);
  connect(timer, &QTimer::timeout, this, [&tickable] { tickable.tick(); });
  timers_[&tickable] = timer;
  timer->start();
}

void QtHost::stop_timer(core::Tickable& tickable) {
  auto it = timers_.find(&tickable);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();
  timers_.erase(it);
}

}  // namespace ardenvis::ui
