#pragma once
// What the program remembers between runs, kept with QSettings in the usual
// place for the user (or in a given file): the windows' places and sizes, the
// last folder of each file kind, the recent files of the kinds that keep them,
// and the chosen COM port. The rules (which kinds, how lists grow, which
// stored values may be used) are in core's desktop memory.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "state/program_state.h"

class QSettings;

namespace ardenvis::ui {

class DesktopSettings {
 public:
  // The user's own settings.
  DesktopSettings();
  // Settings kept in `file` (an INI file), for a scratch place.
  explicit DesktopSettings(const QString& file);
  ~DesktopSettings();

  // The remembered COM port (0 none, 1..9), or COM1 on a first start.
  uint8_t com_port() const;
  void set_com_port(uint8_t number);

  // Sets each kind's folder to its remembered one where that still exists.
  void restore_folders(core::ProgramState& state) const;
  void save_folders(const core::ProgramState& state);

  QStringList recent_files(core::FileKind kind) const;
  // Adds a file just loaded to its kind's list; returns the new list.
  QStringList add_recent_file(core::FileKind kind, const QString& path);

  // A window's saved geometry by its object name; empty when never saved.
  QByteArray placement(const QString& window) const;
  void set_placement(const QString& window, const QByteArray& geometry);

  void sync();

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace ardenvis::ui
