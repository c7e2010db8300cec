#include "app/ui/desktop_settings.h"

#include <QSettings>
#include <string>
#include <vector>

#include "app/desktop_memory.h"

namespace ardenvis::ui {

namespace {
QString key(const char* group, core::FileKind kind) {
  return QString("%1/%2").arg(group, QString::fromUtf8(core::file_kind_key(kind)));
}

std::vector<std::string> to_paths(const QStringList& list) {
  std::vector<std::string> paths;
  for (const QString& p : list) paths.push_back(p.toStdString());
  return paths;
}

QStringList to_list(const std::vector<std::string>& paths) {
  QStringList list;
  for (const std::string& p : paths) list << QString::fromStdString(p);
  return list;
}
}  // namespace

DesktopSettings::DesktopSettings()
    : settings_(std::make_unique<QSettings>("Ardenvis", "Ardenvis")) {}

DesktopSettings::DesktopSettings(const QString& file)
    : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

DesktopSettings::~DesktopSettings() = default;

uint8_t DesktopSettings::com_port() const {
  bool number = false;
  const long long stored = settings_->value("Link/ComPort").toLongLong(&number);
  if (!number) return 1;
  return core::usable_com_port(stored).value_or(1);
}

void DesktopSettings::set_com_port(uint8_t number) { settings_->setValue("Link/ComPort", number); }

void DesktopSettings::restore_folders(core::ProgramState& state) const {
  for (int i = 0; i < core::kFileKindCount; ++i) {
    const auto kind = static_cast<core::FileKind>(i);
    const auto folder =
        core::usable_folder(settings_->value(key("Folders", kind)).toString().toStdString());
    if (folder) state.file(kind).folder = *folder;
  }
}

void DesktopSettings::save_folders(const core::ProgramState& state) {
  for (int i = 0; i < core::kFileKindCount; ++i) {
    const auto kind = static_cast<core::FileKind>(i);
    settings_->setValue(key("Folders", kind),
                        QString::fromStdString(state.files[static_cast<size_t>(i)].folder));
  }
}

QStringList DesktopSettings::recent_files(core::FileKind kind) const {
  if (!core::keeps_recent_files(kind)) return {};
  return to_list(
      core::usable_recent_files(to_paths(settings_->value(key("Recent", kind)).toStringList())));
}

QStringList DesktopSettings::add_recent_file(core::FileKind kind, const QString& path) {
  if (!core::keeps_recent_files(kind)) return {};
  std::vector<std::string> recent = to_paths(recent_files(kind));
  core::add_recent_file(recent, path.toStdString());
  const QStringList list = to_list(recent);
  settings_->setValue(key("Recent", kind), list);
  return list;
}

QByteArray DesktopSettings::placement(const QString& window) const {
  return settings_->value("Windows/" + window).toByteArray();
}

void DesktopSettings::set_placement(const QString& window, const QByteArray& geometry) {
  if (!geometry.isEmpty()) settings_->setValue("Windows/" + window, geometry);
}

void DesktopSettings::sync() { settings_->sync(); }

}  // namespace ardenvis::ui
