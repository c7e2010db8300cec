#include "viewer/ui/lap_grid_model.h"

namespace ardenvis::ui {

LapGridModel::LapGridModel(const core::ProgramState& state, const core::LapTimesPanel& panel,
                           QObject* parent)
    : QAbstractTableModel(parent), state_(state), panel_(panel) {}

void LapGridModel::refresh() {
  beginResetModel();
  endResetModel();
}

int LapGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : panel_.row_count();
}

int LapGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : core::kLapGridColumns;
}

QVariant LapGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1;
  const int column = index.column() + 1;
  if (column == 1) {
    if (role == Qt::CheckStateRole) {
      return panel_.ticked(state_, row) ? Qt::Checked : Qt::Unchecked;
    }
    return {};
  }
  if (role == Qt::DisplayRole) return QString::fromStdString(panel_.cell(state_, row, column));
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(column <= 3 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant LapGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return QString::fromStdString(panel_.header(state_, section + 1));
}

Qt::ItemFlags LapGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (index.column() == 0) return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool LapGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  const bool ticked = value.toInt() == Qt::Checked;
  const bool accepted = on_tick && on_tick(index.row() + 1, ticked);
  // A refused tick (the "End" row) is cleared at once; an accepted one moves
  // the reference distance, so every row's times may change.
  emit dataChanged(this->index(0, 0), this->index(rowCount() - 1, columnCount() - 1));
  return accepted;
}

}  // namespace ardenvis::ui
