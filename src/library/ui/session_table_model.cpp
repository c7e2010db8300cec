#include "library/ui/session_table_model.h"

#include "library/session_library.h"

namespace ardenvis::ui {

using core::LibraryColumn;

void SessionTableModel::set_rows(std::vector<core::CataloguedSession> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

const core::CataloguedSession* SessionTableModel::session_at(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
  return &rows_[static_cast<size_t>(row)];
}

int SessionTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SessionTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : core::kLibraryColumnCount;
}

namespace {
QVariant number_or_none(const std::optional<double>& value) {
  // Sessions without the figure sort after every session with one.
  return value ? QVariant(*value) : QVariant(1e300);
}
}  // namespace

QVariant SessionTableModel::data(const QModelIndex& index, int role) const {
  const core::CataloguedSession* s = session_at(index.row());
  if (!s) return {};
  const auto column = static_cast<LibraryColumn>(index.column());
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    return QString::fromStdString(core::library_cell(*s, column));
  }
  if (role == kIdRole) return QVariant::fromValue<qlonglong>(s->id);
  if (role == Qt::TextAlignmentRole) {
    switch (column) {
      case LibraryColumn::Laps:
      case LibraryColumn::BestLap:
      case LibraryColumn::IdealLap:
      case LibraryColumn::Consistency:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      default:
        return {};
    }
  }
  if (role == kSortRole) {
    switch (column) {
      case LibraryColumn::Laps:
        return s->figures.lap_count;
      case LibraryColumn::BestLap:
        return number_or_none(s->figures.best_lap);
      case LibraryColumn::IdealLap:
        return number_or_none(s->figures.ideal_lap);
      case LibraryColumn::Consistency:
        return number_or_none(s->figures.std_dev);
      default:
        return QString::fromStdString(core::library_cell(*s, column));
    }
  }
  return {};
}

QVariant SessionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return QString(core::library_column_title(static_cast<LibraryColumn>(section)));
}

}  // namespace ardenvis::ui
