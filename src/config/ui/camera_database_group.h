#pragma once
// The "DataBase File Manager" group of the configuration window's "Camera"
// page: load a camera database from a file, write it to the unit, and check
// the unit's copy against it.

#include <QGroupBox>
#include <memory>
#include <optional>
#include <string>

#include "config/camera_database.h"
#include "state/program_state.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ardenvis::ui {

class CameraDatabaseGroup : public QGroupBox {
  Q_OBJECT
 public:
  CameraDatabaseGroup(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);
  ~CameraDatabaseGroup() override;

  // Shows the loaded database's fields (or "None", "0", "-.---").
  void refresh();

  // The three buttons' handlers.
  // "Load from Disk"; a file `named` is loaded without the dialog.
  void LoadDataFromFile(const std::optional<std::string>& named = std::nullopt);
  void writeFlashData();  // "Write to Dash"
  void readFlashData();   // "Dash Memory Check"

 private:
  class Memo;

  core::ProgramState& state_;
  core::Host& host_;
  QLineEdit* file_;
  QLineEdit* camera_locations_;
  QLineEdit* source_version_;
  QLineEdit* format_version_;
  QPlainTextEdit* information_;
  std::unique_ptr<Memo> memo_;
};

}  // namespace ardenvis::ui
