#pragma once
// "Data A Notes" / "Data B Notes" page of "View Data": the notes and car setup
// that came with a data set, read-only.

#include <QGroupBox>
#include <string>
#include <vector>

#include "state/program_state.h"

class QPlainTextEdit;

namespace ardenvis::ui {

class NotesPage : public QGroupBox {
  Q_OBJECT
 public:
  NotesPage(core::DataSetId slot, QWidget* parent = nullptr);

  void show_notes(const std::vector<std::string>& lines);

 private:
  QPlainTextEdit* memo_ = nullptr;
};

}  // namespace ardenvis::ui
