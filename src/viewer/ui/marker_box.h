#pragma once
// "Markers" box of the "Marker" panel: markers on or off, "Reset Markers",
// the six "Marker Data" fields and whether the readout shows on the plot.

#include <QGroupBox>
#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ardenvis::ui {

class MarkerBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit MarkerBox(QWidget* parent = nullptr);

  bool markers_on() const;
  // Sets the selector without running its handler.
  void set_markers_on(bool on);
  bool readout_on_plot() const;
  // On: yellow fields; off: grey and empty.
  void show_fields_enabled(bool on);
  void show_fields(const std::array<std::string, 6>& fields);

 signals:
  void markers_changed();  // cursorControl
  void reset_clicked();    // clear_markers
  void readout_toggled();  // enable_on_plot_cursor_pos

 private:
  QComboBox* markers_ = nullptr;
  QPushButton* reset_ = nullptr;
  QCheckBox* readout_ = nullptr;
  std::array<QLineEdit*, 6> fields_{};
};

}  // namespace ardenvis::ui
