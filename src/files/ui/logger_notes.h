#pragma once
// TForm11: "Setup Notes". Edits the general notes and the setup sheet of the
// current data set; saves and loads setup templates.

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "common/host.h"
#include "files/setup_notes.h"
#include "files/ui/setup_sheet.h"
#include "state/program_state.h"
#include "widgets/pelorant_window.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

namespace ardenvis::ui {

class TForm11 : public PelorantWindow {
  Q_OBJECT
 public:
  TForm11(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);

  // The field of setup text k = 1..65.
  QLineEdit* field(int k) const { return sheet_->field(k); }
  QPlainTextEdit* notes_memo(core::DataSetId slot) const {
    return memos_[slot == core::DataSetId::B ? 1 : 0];
  }
  QGroupBox* sheet_group() const { return sheet_; }

  // Shows the current data set: its memo only, the sheet's caption, the fields.
  void set_Edit_Objects();
  // Stores the fields into the current data set's setup texts.
  void set_session_array();
  // "Load Template" with a file `named` (given on the command line): no dialog.
  void load_setup_file(const std::optional<std::string>& named);

 signals:
  // "Back", after the fields were stored.
  void back_to_logger();
  // "Cancel" and the close box: the field edits are dropped.
  void cancel_loggernotes();

 protected:
  void activated() override { set_Edit_Objects(); }

 private:
  void save_changes();
  void clear_form_data();
  void save_setup_data();
  void load_setup_data();
  // The memo is the notes text itself: every edit is kept at once.
  void memo_edited(core::DataSetId slot);

  core::ProgramState& state_;
  core::Host& host_;
  std::array<QPlainTextEdit*, 2> memos_{};
  SetupSheet* sheet_;
  bool refreshing_ = false;
  // Per memo: the most the user may type it up to (the typing limit, or the
  // length of longer notes as they came), and where the last edit inserted.
  std::array<int, 2> notes_ceiling_{core::kMaxNotesCharacters, core::kMaxNotesCharacters};
  std::array<std::pair<int, int>, 2> last_insert_{};
};

}  // namespace ardenvis::ui
