#pragma once
// SessionLibraryWindow: "Session Library". Every catalogued session in a
// sortable, filterable table, the venues, the chosen venue's season figures
// and trend chart, the user's fields, "Open as Data A" / "Open as Data B"
// (through "View Data"'s own load) and "Scan Folder" with progress and
// Cancel. The scan runs one file per event-loop turn, so the window never
// freezes. The rules live in core (library/).

#include <array>
#include <memory>

#include "common/host.h"
#include "library/session_library.h"
#include "widgets/pelorant_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace ardenvis::ui {

class Chart;
class SessionTableModel;

class SessionLibraryWindow : public PelorantWindow {
  Q_OBJECT
 public:
  SessionLibraryWindow(core::SessionLibrary& library, core::Host& host, QWidget* parent = nullptr);
  ~SessionLibraryWindow() override;

  // Reads the catalogue again: venues, sessions, figures.
  void refresh();
  // Starts a scan of `folder` (the button asks for it first).
  void scan_folder(const QString& folder);
  void cancel_scan();
  bool scanning() const;
  // Selects the venue (-1: all sessions, 0: unassigned) and the session.
  void choose_venue(qint64 venue_id);
  bool choose_session(qint64 session_id);

  QTableView* table() const { return table_; }
  QSortFilterProxyModel* proxy() const { return proxy_; }
  QListWidget* venue_list() const { return venues_; }
  QPlainTextEdit* figures() const { return figures_; }
  Chart* trend_chart() const { return trend_; }
  QLabel* status() const { return status_; }

 signals:
  // "Open as Data A" / "Open as Data B".
  void open_in_view_data(core::DataSetId slot, const std::string& path);
  void back_to_toolbox();

 protected:
  void activated() override;

 private:
  core::Catalogue* catalogue();
  qint64 chosen_venue() const;
  const core::CataloguedSession* chosen_session() const;
  void show_sessions();
  void show_season();
  void show_chosen_session();
  void save_user_fields();
  void move_chosen_session();
  void rename_venue();
  void merge_venue();
  void open_chosen(core::DataSetId slot);
  void scan_step();
  void finish_scan();

  core::SessionLibrary& library_;
  core::Host& host_;
  int seen_changes_ = -1;

  SessionTableModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
  QTableView* table_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QListWidget* venues_ = nullptr;
  QPlainTextEdit* figures_ = nullptr;
  Chart* trend_ = nullptr;
  std::array<QLineEdit*, 5> fields_{};  // driver, car, event, comment, tags
  QPushButton* save_fields_ = nullptr;
  QComboBox* move_to_ = nullptr;
  QPushButton* move_ = nullptr;
  QLineEdit* venue_name_ = nullptr;
  QPushButton* rename_ = nullptr;
  QComboBox* merge_into_ = nullptr;
  QPushButton* merge_ = nullptr;
  QPushButton* open_a_ = nullptr;
  QPushButton* open_b_ = nullptr;
  QPushButton* scan_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* scan_timer_ = nullptr;
  std::unique_ptr<core::FolderScan> scan_;
};

}  // namespace ardenvis::ui
