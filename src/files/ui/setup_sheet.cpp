#include "files/ui/setup_sheet.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace ardenvis::ui {

namespace {
constexpr int kWidestField = 6;  // characters
}  // namespace

SetupSheet::SetupSheet(const QString& title, bool editable, QWidget* parent)
    : QGroupBox(title, parent) {
  auto* layout = new QGridLayout(this);
  layout->addWidget(make_block(core::SetupBlockId::FrontLeft, editable), 0, 0);
  layout->addWidget(make_block(core::SetupBlockId::RearLeft, editable), 1, 0);
  layout->addWidget(make_block(core::SetupBlockId::General, editable), 0, 1, 2, 1);
  layout->addWidget(make_block(core::SetupBlockId::FrontRight, editable), 0, 2);
  layout->addWidget(make_block(core::SetupBlockId::RearRight, editable), 1, 2);
}

QWidget* SetupSheet::make_block(core::SetupBlockId id, bool editable) {
  const core::SetupBlock& block = core::setup_block(id);
  auto* group = new QGroupBox(block.heading, this);
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(3);
  const int char_width = fontMetrics().horizontalAdvance('8');
  int row = 0;
  if (block.temperature_columns) {
    // The letters of the caption, each centred over its own column.
    const QStringList letters = QString(block.temperature_columns).split(' ', Qt::SkipEmptyParts);
    for (int i = 0; i < letters.size(); ++i) {
      grid->addWidget(new QLabel(letters[i], group), row, 1 + i, Qt::AlignCenter);
    }
    ++row;
  } else if (id == core::SetupBlockId::General) {
    // The wing rows carry two values; their column labels sit above the first.
    grid->addWidget(new QLabel(core::kWingAngleLabel, group), row, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(core::kWingHeightLabel, group), row++, 2, Qt::AlignCenter);
  }
  for (const core::SetupRow& r : block.rows) {
    grid->addWidget(new QLabel(r.label, group), row, 0);
    int column = 1;
    for (int k : r.texts) {
      if (k == 0) break;
      auto* edit = new QLineEdit(group);
      edit->setObjectName(QString("setupField%1").arg(k));
      if (editable) {
        edit->setMaxLength(r.max_length);
      } else {
        edit->setReadOnly(true);
      }
      // One width for every field, so the columns line up.
      edit->setFixedWidth(char_width * (kWidestField + 2) + 8);
      edit->setAlignment(Qt::AlignCenter);
      fields_[static_cast<size_t>(k - 1)] = edit;
      grid->addWidget(edit, row, column++);
    }
    ++row;
  }
  if (id == core::SetupBlockId::General) {
    // Keep the wing labels above their columns, not the first rows.
    grid->setRowStretch(row, 1);
  }
  grid->setColumnStretch(4, 1);
  return group;
}

void SetupSheet::show_texts(const std::array<std::string, core::kSetupTextCount>& texts) {
  for (int k = 1; k <= core::kSetupFieldCount; ++k) {
    field(k)->setText(QString::fromStdString(texts[static_cast<size_t>(k - 1)]));
  }
}

}  // namespace ardenvis::ui
