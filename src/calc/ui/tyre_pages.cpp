#include "calc/ui/tyre_pages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace ardenvis::ui {

namespace {

template <size_t N>
QComboBox* size_list(const std::array<int, N>& items, const QString& object_name, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(object_name);
  for (int item : items) list->addItem(QString::number(item));
  return list;
}

// Digits only, up to the entry's maximum.
QLineEdit* integer_entry(int maximum, const QString& object_name, QWidget* parent) {
  auto* entry = new QLineEdit(parent);
  entry->setObjectName(object_name);
  const int digits = QString::number(maximum).size();
  entry->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QString("[0-9]{0,%1}").arg(digits)), entry));
  entry->setFixedWidth(70);
  entry->setAlignment(Qt::AlignRight);
  return entry;
}

}  // namespace

TyreNotebook::TyreNotebook(QWidget* parent) : QStackedWidget(parent) {
  setObjectName("tyre_type_notebook");
  setToolTip("If there are no markings on the tyres then measure the circumference.");
  addWidget(road_page());
  addWidget(entry_page("Tyre Diameter", "Minimum Tyre Diameter is 200mm", 999, front_diameter_,
                       rear_diameter_, "tyre_diameter"));
  addWidget(entry_page("Tyre Circumference", "Minimum Tyre Circumference is 300mm", 9999,
                       front_circumference_, rear_circumference_, "tyre_circumference"));
  for (QLineEdit* entry :
       {front_diameter_, rear_diameter_, front_circumference_, rear_circumference_}) {
    connect(entry, &QLineEdit::textChanged, this, [this, entry](const QString& text) {
      // An emptied entry reads "0".
      if (text.isEmpty()) {
        entry->setText("0");
        return;  // the change to "0" reports itself
      }
      emit entry_changed();
    });
  }
}

QWidget* TyreNotebook::road_page() {
  auto* page = new QWidget(this);
  auto* layout = new QHBoxLayout(page);
  const char* sides[] = {"Front", "Rear"};
  for (int side = 0; side < 2; ++side) {
    auto* column = new QGroupBox(QString("%1 Tyre").arg(sides[side]), page);
    auto* form = new QFormLayout(column);
    const QString prefix = side == 0 ? "front" : "rear";
    const int base = side == 0 ? core::kFrontWidth : core::kRearWidth;
    size_lists_[base] = size_list(core::kTyreWidths_mm, prefix + "_tyre_width", column);
    size_lists_[base + 1] =
        size_list(core::kTyreProfiles_percent, prefix + "_tyre_profile", column);
    size_lists_[base + 2] = size_list(core::kWheelDiameters_in, prefix + "_wheel_diameter", column);
    form->addRow(QString("%1 Tyre Width (mm)").arg(sides[side]), size_lists_[base]);
    form->addRow(QString("%1 Tyre Profile (%)").arg(sides[side]), size_lists_[base + 1]);
    form->addRow(QString("%1 Wheel Diameter (in)").arg(sides[side]), size_lists_[base + 2]);
    for (int i = 0; i < 3; ++i) {
      connect(size_lists_[base + i], &QComboBox::activated, this, &TyreNotebook::list_clicked);
    }
    (side == 0 ? front_columns_ : rear_columns_)[core::kRoadTyres] = column;
    layout->addWidget(column);
  }
  return page;
}

QWidget* TyreNotebook::entry_page(const QString& caption, const QString& note, int maximum,
                                  QLineEdit*& front, QLineEdit*& rear,
                                  const QString& object_prefix) {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  const int type = count();  // the page is added right after this
  const char* sides[] = {"Front", "Rear"};
  for (int side = 0; side < 2; ++side) {
    auto* column = new QGroupBox(QString("%1 Tyre").arg(sides[side]), page);
    auto* form = new QFormLayout(column);
    QLineEdit* entry =
        integer_entry(maximum, QString(side == 0 ? "front_" : "rear_") + object_prefix, column);
    form->addRow(QString("%1 %2 (mm)").arg(sides[side], caption), entry);
    (side == 0 ? front : rear) = entry;
    (side == 0 ? front_columns_ : rear_columns_)[static_cast<size_t>(type)] = column;
    row->addWidget(column);
  }
  layout->addLayout(row);
  auto* note_label = new QLabel(note, page);
  note_label->setObjectName(object_prefix + "_note");
  layout->addWidget(note_label);
  layout->addStretch();
  return page;
}

void TyreNotebook::show_entries(bool front, bool rear) {
  for (QWidget* column : front_columns_) column->setVisible(front);
  for (QWidget* column : rear_columns_) column->setVisible(rear);
}

void TyreNotebook::read_into(core::CalculatorControls& c) const {
  for (size_t i = 0; i < size_lists_.size(); ++i) {
    c.tyre_size_positions[i] = size_lists_[i]->currentIndex();
  }
  c.front_tyre_diameter = front_diameter_->text().toStdString();
  c.rear_tyre_diameter = rear_diameter_->text().toStdString();
  c.front_tyre_circumference = front_circumference_->text().toStdString();
  c.rear_tyre_circumference = rear_circumference_->text().toStdString();
}

void TyreNotebook::load_from(const core::CalculatorControls& c) {
  for (size_t i = 0; i < size_lists_.size(); ++i) {
    size_lists_[i]->setCurrentIndex(c.tyre_size_positions[i]);
  }
  front_diameter_->setText(QString::fromStdString(c.front_tyre_diameter));
  rear_diameter_->setText(QString::fromStdString(c.rear_tyre_diameter));
  front_circumference_->setText(QString::fromStdString(c.front_tyre_circumference));
  rear_circumference_->setText(QString::fromStdString(c.rear_tyre_circumference));
}

}  // namespace ardenvis::ui
