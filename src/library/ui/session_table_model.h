#pragma once
// The session list of the "Session Library" window as a table model: one row
// per catalogued session, no widget per row, so thousands of sessions show
// at once. Sorting sorts numbers as numbers (the sort role).

#include <QAbstractTableModel>
#include <vector>

#include "library/catalogue.h"

namespace ardenvis::ui {

class SessionTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kSortRole = Qt::UserRole;
  static constexpr int kIdRole = Qt::UserRole + 1;

  using QAbstractTableModel::QAbstractTableModel;

  void set_rows(std::vector<core::CataloguedSession> rows);
  // The session of a model row, or null.
  const core::CataloguedSession* session_at(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<core::CataloguedSession> rows_;
};

}  // namespace ardenvis::ui
