#pragma once
// "Data A Notes" / "Data B Notes" page of "View Data": the notes and car setup
// that came with a data set, read-only.

#include <QGroupBox>
#include <array>
#include <string>
#include <vector>

#include "state/program_state.h"

class QPlainTextEdit;

namespace ardenvis::ui {

class SetupSheet;

class NotesPage : public QGroupBox {
  Q_OBJECT
 public:
  NotesPage(core::DataSetId slot, QWidget* parent = nullptr);

  void show_notes(const std::vector<std::string>& lines);
  // Setup texts 1..65 in the sheet's fields.
  void show_setup(const std::array<std::string, core::kSetupTextCount>& texts);
  SetupSheet* setup_sheet() const { return sheet_; }

 private:
  QPlainTextEdit* memo_ = nullptr;
  SetupSheet* sheet_ = nullptr;
};

}  // namespace ardenvis::ui
