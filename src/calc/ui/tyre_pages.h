#pragma once
// The calculator's tyre notebook (tyre_type_notebook): one page per tyre type
// ("Road Tyres" by size marking, "Slick Tyres" by diameter, "Unknown Tyres"
// by measured circumference), each with front and rear entries.

#include <QStackedWidget>
#include <array>

#include "calc/gearing.h"

class QComboBox;
class QLineEdit;

namespace ardenvis::ui {

class TyreNotebook : public QStackedWidget {
  Q_OBJECT
 public:
  explicit TyreNotebook(QWidget* parent = nullptr);

  // Front and rear entries of every page shown or hidden; values are kept.
  void show_entries(bool front, bool rear);

  // Reads the lists and entries into controls / sets them from controls.
  void read_into(core::CalculatorControls& controls) const;
  void load_from(const core::CalculatorControls& controls);

 signals:
  // A size list was clicked (the results are cleared and recalculated).
  void list_clicked();
  // A diameter or circumference entry changed.
  void entry_changed();

 private:
  QWidget* road_page();
  QWidget* entry_page(const QString& caption, const QString& note, int maximum, QLineEdit*& front,
                      QLineEdit*& rear, const QString& object_prefix);

  std::array<QComboBox*, 6> size_lists_{};  // in the order of core::TyreSizeList
  QLineEdit* front_diameter_ = nullptr;
  QLineEdit* rear_diameter_ = nullptr;
  QLineEdit* front_circumference_ = nullptr;
  QLineEdit* rear_circumference_ = nullptr;
  std::array<QWidget*, 3> front_columns_{};
  std::array<QWidget*, 3> rear_columns_{};
};

}  // namespace ardenvis::ui
