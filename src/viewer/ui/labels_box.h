#pragma once
// The "Labels" box of the "Marker" panel of "View Data": how a click on the
// plot pins a label (the "Labels" mode), the free text, clearing, and the
// label file buttons.

#include <QGroupBox>
#include <string>

#include "viewer/plot_labels.h"

class QComboBox;
class QLineEdit;

namespace ardenvis::ui {

class LabelsBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit LabelsBox(QWidget* parent = nullptr);

  core::LabelMode mode() const;
  // Sets the mode as the user would, running its handler.
  void set_mode(core::LabelMode mode);
  std::string free_text() const;

 signals:
  void mode_changed();  // change_cursor_mode
  void clear_all_clicked();
  void clear_last_clicked();
  void save_clicked();
  void load_clicked();

 private:
  QComboBox* mode_ = nullptr;
  QLineEdit* free_text_ = nullptr;
};

}  // namespace ardenvis::ui
