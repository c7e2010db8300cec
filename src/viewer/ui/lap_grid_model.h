#pragma once
// Table model of one lap grid: the rows and cells come from the core lap
// panel on demand, so even a log with thousands of laps builds instantly.

#include <QAbstractTableModel>
#include <functional>

#include "viewer/lap_times.h"

namespace ardenvis::ui {

class LapGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  LapGridModel(const core::ProgramState& state, const core::LapTimesPanel& panel,
               QObject* parent = nullptr);

  // The tick box of a row was changed by the user: (row 1.., ticked). The
  // handler answers whether the tick stands.
  std::function<bool(int row, bool ticked)> on_tick;

  // The panel was rebuilt or its cells changed.
  void refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  const core::ProgramState& state_;
  const core::LapTimesPanel& panel_;
};

}  // namespace ardenvis::ui
