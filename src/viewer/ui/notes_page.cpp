#include "viewer/ui/notes_page.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "files/ui/setup_sheet.h"

namespace ardenvis::ui {

NotesPage::NotesPage(core::DataSetId slot, QWidget* parent) : QGroupBox(parent) {
  const bool a = slot == core::DataSetId::A;
  setTitle(a ? "Data A Notes and Car Setup" : "Data B Notes and Car Setup");
  setObjectName(a ? "notesAArea" : "notesBArea");
  auto* layout = new QVBoxLayout(this);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(a ? "notesA" : "notesB");
  memo_->setReadOnly(true);
  memo_->setToolTip("Add notes into your data files.");
  layout->addWidget(memo_, 1);
  // Under the same headings as the "Setup Notes" window, read-only here.
  sheet_ = new SetupSheet(a ? "Data A Car Setup" : "Data B Car Setup", false, this);
  sheet_->setObjectName(a ? "setupSheetA" : "setupSheetB");
  layout->addWidget(sheet_);
}

void NotesPage::show_notes(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  memo_->setPlainText(text.join('\n'));
}

void NotesPage::show_setup(const std::array<std::string, core::kSetupTextCount>& texts) {
  sheet_->show_texts(texts);
}

}  // namespace ardenvis::ui
