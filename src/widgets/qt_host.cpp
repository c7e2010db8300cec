#include "widgets/qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <ctime>

namespace ardenvis::ui {

namespace {

// Real event processing costs far more than a byte takes to arrive; every
// 10 ms is enough to keep windows painted and buttons and timers acting.
constexpr qint64 kEventInterval_ms = 10;

// Decoding asks once per record, over a million times for a full log memory:
// the coarse clock answers in a few nanoseconds where the precise one takes
// several times that, and its few milliseconds of grain are plenty here.
qint64 event_clock_ms() {
#if defined(CLOCK_MONOTONIC_COARSE)
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) {
    return static_cast<qint64>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  }
#endif
  static const QElapsedTimer since_start = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return since_start.elapsed();
}

}  // namespace

QString message_text(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace('\r', '\n');
  return s;
}

QtHost::QtHost(QObject* parent) : QObject(parent), last_events_ms_(event_clock_ms()) {}

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

QString qt_file_filter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  if (parts.size() < 2) return parts.value(0);
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    if (i + 1 >= parts.size()) {  // a description without patterns: kept as written
      filters << description;
      break;
    }
    // The patterns shown in the description are replaced by the pair's own.
    const qsizetype open = description.lastIndexOf(u'(');
    if (open > 0 && description.endsWith(u')')) description = description.left(open).trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(u';', u' ');
    filters << description + QStringLiteral(" (") + patterns + u')';
  }
  return filters.join(QStringLiteral(";;"));
}

namespace {
QString start_path(const core::FileDialog& d) {
  // A dialog of no particular folder opens at home, never in whatever folder
  // the program was started from.
  const QString folder =
      d.folder.empty() ? QDir::homePath() + "/" : QString::fromStdString(d.folder);
  return folder + QString::fromStdString(d.default_name);
}
}  // namespace

QString filter_extension(const QString& filter) {
  const qsizetype star = filter.indexOf(QStringLiteral("*."));
  if (star < 0) return {};
  qsizetype end = star + 1;
  while (end < filter.size() && filter[end] != u' ' && filter[end] != u')' && filter[end] != u';') {
    ++end;
  }
  const QString extension = filter.mid(star + 1, end - star - 1);
  return extension.contains(u'*') ? QString() : extension;
}

std::optional<std::string> QtHost::open_file(const core::FileDialog& d) {
  QString name = QFileDialog::getOpenFileName(active_parent(), QString::fromStdString(d.title),
                                              start_path(d), qt_file_filter(d.filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<std::string> QtHost::save_file(const core::FileDialog& d) {
  // The program asks its own "File Exists, Overwrite File ?" question.
  const QString filters = qt_file_filter(d.filter);
  QString selected;
  QString name =
      QFileDialog::getSaveFileName(active_parent(), QString::fromStdString(d.title), start_path(d),
                                   filters, &selected, QFileDialog::DontConfirmOverwrite);
  if (name.isEmpty()) return std::nullopt;
  // Where a kind has several formats, a name typed without extension takes
  // the one of the filter the user picked.
  if (filters.contains(QStringLiteral(";;")) && QFileInfo(name).suffix().isEmpty()) {
    name += filter_extension(selected);
  }
  return name.toStdString();
}

void QtHost::process_events() {
  const qint64 now = event_clock_ms();
  if (now - last_events_ms_ < kEventInterval_ms) return;
  last_events_ms_ = now;
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
  static core::NullProgress none;
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
