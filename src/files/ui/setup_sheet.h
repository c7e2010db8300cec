#pragma once
// The setup sheet as the "Setup Notes" window lays it out: a block per wheel
// and a general block, with a field for each of setup texts 1..65. The
// viewer's notes pages show the same sheet read-only.

#include <QGroupBox>
#include <array>
#include <string>

#include "files/setup_notes.h"

class QLineEdit;

namespace ardenvis::ui {

class SetupSheet : public QGroupBox {
  Q_OBJECT
 public:
  // Editable fields take at most their field's length; read-only ones show
  // whatever a file brought.
  SetupSheet(const QString& title, bool editable, QWidget* parent = nullptr);

  // The field of setup text k = 1..65.
  QLineEdit* field(int k) const { return fields_[static_cast<size_t>(k - 1)]; }
  // Setup texts 1..65 into their fields.
  void show_texts(const std::array<std::string, core::kSetupTextCount>& texts);

 private:
  QWidget* make_block(core::SetupBlockId id, bool editable);

  std::array<QLineEdit*, core::kSetupFieldCount> fields_{};
};

}  // namespace ardenvis::ui
