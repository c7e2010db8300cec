#include "files/ui/logger_notes.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "files/setup_notes.h"
#include "files/ui/setup_sheet.h"

namespace ardenvis::ui {

using core::DataSetId;

namespace {
constexpr DataSetId kSlots[] = {DataSetId::A, DataSetId::B};

QString memo_text(const std::vector<std::string>& notes) {
  QStringList lines;
  for (const std::string& line : notes) lines << QString::fromStdString(line);
  return lines.join('\n');
}

std::vector<std::string> memo_lines(const QString& text) {
  std::vector<std::string> notes;
  if (text.isEmpty()) return notes;
  for (const QString& line : text.split('\n')) notes.push_back(line.toStdString());
  return notes;
}
}  // namespace

TForm11::TForm11(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("Setup Notes", parent), state_(state), host_(host) {
  setObjectName("TForm11");

  auto* notes_group = new QGroupBox("General Notes", this);
  notes_group->setToolTip("General notes on the logging session.");
  auto* notes_layout = new QVBoxLayout(notes_group);
  for (DataSetId slot : kSlots) {
    auto* memo = new QPlainTextEdit(notes_group);
    memo->setObjectName(slot == DataSetId::A ? "notesMemoA" : "notesMemoB");
    memo->setToolTip("Add notes into your data files.");
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 5 + 12);
    // Where the last edit put its text, so a limit can trim just that.
    connect(memo->document(), &QTextDocument::contentsChange, this,
            [this, slot](int position, int, int added) {
              last_insert_[slot == DataSetId::B ? 1 : 0] = {position, added};
            });
    connect(memo, &QPlainTextEdit::textChanged, this, [this, slot] { memo_edited(slot); });
    notes_layout->addWidget(memo);
    memos_[slot == DataSetId::B ? 1 : 0] = memo;
  }

  sheet_ =
      new SetupSheet(QString::fromStdString(core::setup_sheet_caption(DataSetId::A)), true, this);
  sheet_->setObjectName("setupSheet");
  sheet_->setToolTip("Enter all your vehicle setup details.");

  auto* control = new QGroupBox("Control", this);
  control->setToolTip("Save, Load or Clear the setup.");
  auto* control_layout = new QHBoxLayout(control);
  struct ButtonSpec {
    const char* caption;
    const char* hint;
    const char* name;
    void (TForm11::*handler)();
  };
  const ButtonSpec buttons[] = {
      {"Save", "Save changes to the data file.", "saveButton", &TForm11::save_changes},
      {"Clear", "Clear the entire setup sheet.", "clearButton", &TForm11::clear_form_data},
      {"Save Template", "Save your setup to disc as a template for future sessions.",
       "saveTemplateButton", &TForm11::save_setup_data},
      {"Load Template", "Load a setup from disc for the current data set.", "loadTemplateButton",
       &TForm11::load_setup_data},
  };
  for (const ButtonSpec& b : buttons) {
    QPushButton* button = make_button(b.caption, b.hint, b.name, control);
    connect(button, &QPushButton::clicked, this, b.handler);
    control_layout->addWidget(button);
  }
  control_layout->addStretch();
  QPushButton* cancel = make_button("Cancel", {}, "cancelButton", control);
  QPushButton* back =
      make_button("Back", "Back to the data logger analysis.", "backButton", control);
  control_layout->addWidget(cancel);
  control_layout->addWidget(back);
  connect(cancel, &QPushButton::clicked, this, &TForm11::cancel_loggernotes);
  connect(back, &QPushButton::clicked, this, [this] {
    set_session_array();
    emit back_to_logger();
  });
  connect(this, &PelorantWindow::closed_by_user, this, &TForm11::cancel_loggernotes);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(notes_group);
  // The sheet scrolls where the screen is not tall enough for all of it.
  layout->addWidget(scrolled(sheet_, this, Scroll::Column), 1);
  layout->addWidget(control);
  set_Edit_Objects();
  adjustSize();
  resize(width(), laptop_room().height());
}

void TForm11::set_Edit_Objects() {
  refreshing_ = true;
  const DataSetId current = state_.current_data_set;
  for (DataSetId slot : kSlots) {
    QPlainTextEdit* memo = notes_memo(slot);
    memo->setVisible(slot == current);
    const QString text = memo_text(state_.data_set(slot).notes);
    if (memo->toPlainText() != text) memo->setPlainText(text);
  }
  sheet_->setTitle(QString::fromStdString(core::setup_sheet_caption(current)));
  sheet_->show_texts(state_.current().setup_texts);
  refreshing_ = false;
}

void TForm11::set_session_array() {
  auto& texts = state_.current().setup_texts;
  for (int k = 1; k <= core::kSetupFieldCount; ++k) {
    // A field shows at most its length; a longer text from a file is only
    // replaced when the user edits the field.
    if (field(k)->isModified()) {
      texts[static_cast<size_t>(k - 1)] = field(k)->text().toStdString();
      field(k)->setModified(false);
    }
  }
}

void TForm11::memo_edited(DataSetId slot) {
  const size_t i = slot == DataSetId::B ? 1 : 0;
  QPlainTextEdit* memo = notes_memo(slot);
  QString text = memo->toPlainText();
  if (refreshing_) {
    notes_ceiling_[i] = std::max(core::kMaxNotesCharacters, static_cast<int>(text.size()));
    return;
  }
  // The limit is on what the user types or pastes: notes that are already
  // longer (templates, file names added by saves and loads) stay whole, and an
  // insertion keeps as much of itself as fits.
  const int excess = static_cast<int>(text.size()) - notes_ceiling_[i];
  if (excess > 0) {
    const auto [position, added] = last_insert_[i];
    const int end = std::clamp(position + added, 0, static_cast<int>(text.size()));
    const int start = std::max(0, end - excess);
    refreshing_ = true;
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    memo->setTextCursor(cursor);
    refreshing_ = false;
    text = memo->toPlainText();
  }
  state_.data_set(slot).notes = memo_lines(text);
}

void TForm11::save_changes() {
  set_session_array();
  core::save_changes(state_, host_);
}

void TForm11::clear_form_data() {
  core::clear_setup(state_.current());
  set_Edit_Objects();
}

void TForm11::save_setup_data() {
  set_session_array();
  core::save_setup_data(state_, host_);
}

void TForm11::load_setup_data() { load_setup_file(std::nullopt); }

void TForm11::load_setup_file(const std::optional<std::string>& named) {
  core::load_setup_data(state_, host_, named);
  // Whatever was read stays, even after a format error.
  set_Edit_Objects();
}

}  // namespace ardenvis::ui
