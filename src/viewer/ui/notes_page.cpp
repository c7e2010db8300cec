#include "viewer/ui/notes_page.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

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
}

void NotesPage::show_notes(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  memo_->setPlainText(text.join('\n'));
}

}  // namespace ardenvis::ui
