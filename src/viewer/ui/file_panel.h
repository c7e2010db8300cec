#pragma once
// "File" panel of "View Data" ("Load and Print Data"): loading data sets A
// and B, where each came from and its sample rate, the background logo.

#include <QGroupBox>
#include <array>

#include "state/program_state.h"

class QCheckBox;
class QLineEdit;

namespace ardenvis::ui {

class FilePanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit FilePanel(QWidget* parent = nullptr);

  // Shows what slot A (0) or B (1) holds; empty texts for an empty slot.
  void show_slot(size_t slot, const QString& loaded_from, const QString& sample_rate);
  bool logo_on() const;

 signals:
  void load_requested(core::DataSetId slot);

 private:
  std::array<QLineEdit*, 2> loaded_from_{};
  std::array<QLineEdit*, 2> sample_rate_{};
  QCheckBox* logo_on_ = nullptr;
};

}  // namespace ardenvis::ui
