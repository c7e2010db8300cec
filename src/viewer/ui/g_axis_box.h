#pragma once
// The G-axis corrections of the "Option" panel: per data set, swap lateral
// and longitudinal G and change either sign, for a unit mounted the wrong
// way round. Each box toggles the stored data.

#include <QGroupBox>
#include <array>

#include "logger/data_set_units.h"
#include "state/program_state.h"
#include "viewer/g_circle.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QStackedWidget;

namespace ardenvis::ui {

class GAxisBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit GAxisBox(QWidget* parent = nullptr);

  // The ticked corrections of a data set (applied when it is loaded).
  core::GAxisCorrections corrections(core::DataSetId slot) const;
  core::DataSetId chosen_data_set() const;

 signals:
  // swapLatLong / changeLatSign / changeLongSign on the chosen data set.
  void toggled(core::DataSetId slot, core::GAxisToggle toggle);

 private:
  void changeGpanel();

  QComboBox* data_set_ = nullptr;
  QStackedWidget* panels_ = nullptr;
  // Per data set: swap, lateral sign, longitudinal sign.
  std::array<std::array<QCheckBox*, 3>, 2> boxes_{};
  std::array<QLabel*, 2> notes_{};
};

}  // namespace ardenvis::ui
