#include "library/ui/session_library_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "library/season.h"
#include "library/ui/session_table_model.h"
#include "library/venues.h"
#include "widgets/chart.h"

namespace ardenvis::ui {

namespace {

constexpr qint64 kAllSessions = -1;
const QColor kBestColour(0, 0, 200);
const QColor kIdealColour(0, 150, 0);

QString text(const std::string& s) { return QString::fromStdString(s); }

// A date as a year with its fraction, for the trend chart's x-axis.
std::optional<double> year_value(const std::string& date, const std::string& time) {
  const auto days = core::date_value(date, time);
  if (!days) return std::nullopt;
  return 1970.0 + *days / 365.2425;
}

}  // namespace

SessionLibraryWindow::SessionLibraryWindow(core::SessionLibrary& library, core::Host& host,
                                           QWidget* parent)
    : PelorantWindow("Session Library", parent), library_(library), host_(host) {
  setObjectName("SessionLibrary");

  // Venues on the left.
  venues_ = new QListWidget(this);
  venues_->setObjectName("venueList");
  venues_->setMinimumWidth(170);
  venue_name_ = new QLineEdit(this);
  venue_name_->setObjectName("venueName");
  rename_ =
      make_button("Rename Venue", "Give the chosen venue this name.", "renameVenueButton", this);
  merge_into_ = new QComboBox(this);
  merge_into_->setObjectName("mergeInto");
  merge_ = make_button("Merge Into",
                       "Move every session of the chosen venue to the venue shown "
                       "beside and remove the chosen one.",
                       "mergeVenueButton", this);
  auto* venue_box = new QGroupBox("Venues", this);
  auto* venue_layout = new QGridLayout(venue_box);
  venue_layout->addWidget(venues_, 0, 0, 1, 2);
  venue_layout->addWidget(venue_name_, 1, 0);
  venue_layout->addWidget(rename_, 1, 1);
  venue_layout->addWidget(merge_into_, 2, 0);
  venue_layout->addWidget(merge_, 2, 1);

  // The sessions.
  model_ = new SessionTableModel(this);
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(SessionTableModel::kSortRole);
  proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  proxy_->setFilterKeyColumn(-1);
  table_ = new QTableView(this);
  table_->setObjectName("sessionTable");
  table_->setModel(proxy_);
  table_->setSortingEnabled(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->sortByColumn(static_cast<int>(core::LibraryColumn::Date), Qt::DescendingOrder);
  const int widths[] = {125, 110, 80, 80, 40, 70, 70, 100};
  for (int c = 0; c < 8; ++c) table_->setColumnWidth(c, widths[c]);
  filter_ = new QLineEdit(this);
  filter_->setObjectName("sessionFilter");
  filter_->setPlaceholderText("Filter: venue, driver, car, file ...");
  filter_->setClearButtonEnabled(true);

  // The chosen session: its fields, where it belongs, and opening it.
  const char* names[] = {"Driver", "Car", "Event", "Comment", "Tags"};
  auto* fields_box = new QGroupBox("Session", this);
  auto* fields_layout = new QGridLayout(fields_box);
  for (int i = 0; i < 5; ++i) {
    fields_[static_cast<size_t>(i)] = new QLineEdit(this);
    fields_[static_cast<size_t>(i)]->setObjectName(QString(names[i]).toLower() + "Field");
    fields_layout->addWidget(new QLabel(names[i], this), i / 3, (i % 3) * 2);
    fields_layout->addWidget(fields_[static_cast<size_t>(i)], i / 3, (i % 3) * 2 + 1);
  }
  save_fields_ = make_button("Save Fields", "Keep the driver, car, event, comment and tags.",
                             "saveFieldsButton", this);
  fields_layout->addWidget(save_fields_, 1, 5);
  move_to_ = new QComboBox(this);
  move_to_->setObjectName("moveTo");
  move_ = make_button("Move to Venue", "Put the chosen session at the venue shown beside.",
                      "moveSessionButton", this);
  open_a_ = make_button("Open as Data A", "Load the chosen session into View Data as data set A.",
                        "openAButton", this);
  open_b_ = make_button("Open as Data B", "Load the chosen session into View Data as data set B.",
                        "openBButton", this);
  fields_layout->addWidget(new QLabel("Venue", this), 2, 0);
  fields_layout->addWidget(move_to_, 2, 1, 1, 2);
  fields_layout->addWidget(move_, 2, 3);
  fields_layout->addWidget(open_a_, 2, 4);
  fields_layout->addWidget(open_b_, 2, 5);

  // Season figures and trend of the chosen venue.
  figures_ = new QPlainTextEdit(this);
  figures_->setObjectName("seasonFigures");
  figures_->setReadOnly(true);
  figures_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPointSize(9);
  figures_->setFont(mono);
  trend_ = new Chart(this);
  trend_->setObjectName("trendChart");
  trend_->setMinimumSize(320, 200);
  trend_->set_x_caption(1, "Date (year)");
  trend_->set_y_caption(1, "Lap Time (s)");
  trend_->set_grid(ChartGrid::Both, Qt::DotLine, QColor(200, 200, 200));
  trend_->set_mouse_mode(ChartMouseMode::None);

  // Scanning.
  scan_button_ = make_button("Scan Folder", "Add every log data file under a folder.",
                             "scanFolderButton", this);
  cancel_button_ =
      make_button("Cancel", "Stop the scan after the current file.", "cancelScanButton", this);
  cancel_button_->setEnabled(false);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("scanProgress");
  progress_->setMinimumWidth(200);
  status_ = new QLabel(this);
  status_->setObjectName("libraryStatus");
  auto* back = make_button("Back", "Back to the Tool Box.", "backButton", this);
  scan_timer_ = new QTimer(this);
  scan_timer_->setInterval(0);

  auto* sessions_column = new QVBoxLayout;
  sessions_column->addWidget(filter_);
  sessions_column->addWidget(table_, 3);
  sessions_column->addWidget(fields_box);
  auto* season_row = new QHBoxLayout;
  season_row->addWidget(figures_, 3);
  auto* trend_column = new QVBoxLayout;
  trend_column->addWidget(trend_, 1);
  auto* legend = new QLabel(QString("<span style='color:%1'>&#9632; best lap</span>&nbsp;&nbsp;"
                                    "<span style='color:%2'>&#9632; own ideal lap</span>")
                                .arg(kBestColour.name(), kIdealColour.name()),
                            this);
  legend->setObjectName("trendLegend");
  trend_column->addWidget(legend);
  season_row->addLayout(trend_column, 2);
  sessions_column->addLayout(season_row, 2);
  auto* top = new QHBoxLayout;
  top->addWidget(venue_box);
  top->addLayout(sessions_column, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(scan_button_);
  bottom->addWidget(progress_);
  bottom->addWidget(cancel_button_);
  bottom->addWidget(status_, 1);
  bottom->addWidget(back);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(bottom);
  resize(QSize(1200, 720).boundedTo(laptop_room()));

  connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
  connect(venues_, &QListWidget::currentRowChanged, this, [this] {
    show_sessions();
    show_season();
  });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { show_chosen_session(); });
  connect(table_, &QTableView::doubleClicked, this, [this] { open_chosen(core::DataSetId::A); });
  connect(save_fields_, &QPushButton::clicked, this, [this] { save_user_fields(); });
  connect(move_, &QPushButton::clicked, this, [this] { move_chosen_session(); });
  connect(rename_, &QPushButton::clicked, this, [this] { rename_venue(); });
  connect(merge_, &QPushButton::clicked, this, [this] { merge_venue(); });
  connect(open_a_, &QPushButton::clicked, this, [this] { open_chosen(core::DataSetId::A); });
  connect(open_b_, &QPushButton::clicked, this, [this] { open_chosen(core::DataSetId::B); });
  connect(scan_button_, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, "Scan Folder");
    if (!folder.isEmpty()) scan_folder(folder);
  });
  connect(cancel_button_, &QPushButton::clicked, this, [this] { cancel_scan(); });
  connect(scan_timer_, &QTimer::timeout, this, [this] { scan_step(); });
  connect(back, &QPushButton::clicked, this, &SessionLibraryWindow::back_to_toolbox);
  connect(this, &PelorantWindow::closed_by_user, this, &SessionLibraryWindow::back_to_toolbox);
  show_chosen_session();
}

SessionLibraryWindow::~SessionLibraryWindow() = default;

void SessionLibraryWindow::activated() {
  // Files saved or loaded since the last look are in the catalogue already.
  if (seen_changes_ != library_.changes() || model_->rowCount() == 0) refresh();
}

core::Catalogue* SessionLibraryWindow::catalogue() {
  if (core::Catalogue* c = library_.catalogue()) return c;
  const auto& error = library_.error();
  if (!error) return nullptr;
  if (error->kind == core::CatalogueError::Kind::Damaged &&
      host_.message(core::MessageKind::Confirmation, core::rebuild_question(*error),
                    core::Buttons::YesNo) == core::Answer::Yes) {
    std::string kept;
    if (library_.rebuild(kept)) {
      status_->setText(text("The damaged library was kept as " + kept + "; scan your folders."));
      return library_.catalogue();
    }
  }
  status_->setText(text(library_.error() ? library_.error()->text : error->text));
  return nullptr;
}

void SessionLibraryWindow::refresh() {
  seen_changes_ = library_.changes();
  const qint64 keep = chosen_venue();
  core::Catalogue* c = catalogue();
  const QSignalBlocker block(venues_);
  venues_->clear();
  move_to_->clear();
  merge_into_->clear();
  auto add = [this](const QString& label, qint64 id) {
    auto* item = new QListWidgetItem(label, venues_);
    item->setData(Qt::UserRole, id);
  };
  add(QString("All Sessions (%1)").arg(c ? c->session_count() : 0), kAllSessions);
  move_to_->addItem(core::kUnassignedVenue, QVariant::fromValue<qlonglong>(0));
  if (c) {
    for (const core::Venue& v : c->venues()) {
      add(QString("%1 (%2)").arg(text(v.name)).arg(v.session_count), v.id);
      move_to_->addItem(text(v.name), QVariant::fromValue<qlonglong>(v.id));
      merge_into_->addItem(text(v.name), QVariant::fromValue<qlonglong>(v.id));
    }
  }
  add(core::kUnassignedVenue, 0);
  int row = 0;
  for (int i = 0; i < venues_->count(); ++i) {
    if (venues_->item(i)->data(Qt::UserRole).toLongLong() == keep) row = i;
  }
  venues_->setCurrentRow(row);
  show_sessions();
  show_season();
}

qint64 SessionLibraryWindow::chosen_venue() const {
  const QListWidgetItem* item = venues_->currentItem();
  return item ? item->data(Qt::UserRole).toLongLong() : kAllSessions;
}

void SessionLibraryWindow::choose_venue(qint64 venue_id) {
  for (int i = 0; i < venues_->count(); ++i) {
    if (venues_->item(i)->data(Qt::UserRole).toLongLong() == venue_id) {
      venues_->setCurrentRow(i);
      return;
    }
  }
}

bool SessionLibraryWindow::choose_session(qint64 session_id) {
  for (int r = 0; r < proxy_->rowCount(); ++r) {
    const QModelIndex index = proxy_->index(r, 0);
    if (proxy_->data(index, SessionTableModel::kIdRole).toLongLong() == session_id) {
      table_->setCurrentIndex(index);
      table_->selectRow(r);
      return true;
    }
  }
  return false;
}

const core::CataloguedSession* SessionLibraryWindow::chosen_session() const {
  const QModelIndex index = table_->currentIndex();
  if (!index.isValid()) return nullptr;
  return model_->session_at(proxy_->mapToSource(index).row());
}

void SessionLibraryWindow::show_sessions() {
  core::Catalogue* c = library_.catalogue();
  core::SessionFilter filter;
  const qint64 venue = chosen_venue();
  if (venue != kAllSessions) filter.venue_id = venue;
  model_->set_rows(c ? c->list_sessions(filter) : std::vector<core::CataloguedSession>{});
  show_chosen_session();
}

void SessionLibraryWindow::show_season() {
  figures_->clear();
  trend_->clear();
  core::Catalogue* c = library_.catalogue();
  const qint64 venue = chosen_venue();
  const bool real_venue = c && venue != kAllSessions && venue != 0;
  rename_->setEnabled(real_venue);
  merge_->setEnabled(real_venue && merge_into_->count() > 1);
  if (real_venue) {
    if (const auto v = c->venue(venue)) venue_name_->setText(text(v->name));
  } else {
    venue_name_->clear();
  }
  if (!c || venue == kAllSessions) {
    figures_->setPlainText("Choose a venue for its season figures.");
    trend_->repaint_now();
    return;
  }
  const auto season = core::venue_season(*c, venue);
  if (!season) return;
  QStringList lines;
  for (const std::string& line : core::season_lines(*season)) lines << text(line);
  figures_->setPlainText(lines.join('\n'));

  // Best lap and own ideal lap against date.
  const auto points = core::season_trend(*season);
  auto draw = [&](const QColor& colour, auto value_of) {
    trend_->set_pen(colour, ChartPen::Solid, 2);
    bool first = true;
    for (const core::TrendPoint& p : points) {
      const auto x = year_value(p.date, p.time);
      const std::optional<double> y = value_of(p);
      if (!x || !y) continue;
      if (first) {
        trend_->move_to(1, *x, *y);
        first = false;
      } else {
        trend_->draw_to(*x, *y);
      }
      trend_->mark_at(1, *x, *y, 1);
    }
  };
  draw(kBestColour, [](const core::TrendPoint& p) { return p.best; });
  draw(kIdealColour, [](const core::TrendPoint& p) { return p.own_ideal; });
  if (auto range = trend_->fit_range(1)) {
    const double dx = std::max(0.02, (range->x_high - range->x_low) * 0.05);
    const double dy = std::max(0.2, (range->y_high - range->y_low) * 0.1);
    trend_->set_range(
        1, {range->x_low - dx, range->y_low - dy, range->x_high + dx, range->y_high + dy});
  }
  trend_->repaint_now();
}

void SessionLibraryWindow::show_chosen_session() {
  const core::CataloguedSession* s = chosen_session();
  const bool chosen = s != nullptr;
  for (QWidget* w :
       std::initializer_list<QWidget*>{save_fields_, move_, move_to_, open_a_, open_b_})
    w->setEnabled(chosen);
  for (QLineEdit* field : fields_) field->setEnabled(chosen);
  if (!s) {
    for (QLineEdit* field : fields_) field->clear();
    return;
  }
  const std::string values[] = {s->user.driver, s->user.car, s->user.event, s->user.comment,
                                s->user.tags};
  for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(text(values[i]));
  // An unassigned session offers the venue its lap distance matches.
  int choice = move_to_->findData(QVariant::fromValue<qlonglong>(s->venue_id));
  if (s->venue_id == 0) {
    if (core::Catalogue* c = library_.catalogue()) {
      if (const auto full = c->session(s->id); full && full->suggested_venue_id != 0) {
        choice = move_to_->findData(QVariant::fromValue<qlonglong>(full->suggested_venue_id));
        status_->setText(QString("Offered venue for this session (lap distance): %1")
                             .arg(move_to_->itemText(choice)));
      }
    }
  }
  move_to_->setCurrentIndex(std::max(0, choice));
}

void SessionLibraryWindow::save_user_fields() {
  const core::CataloguedSession* s = chosen_session();
  core::Catalogue* c = library_.catalogue();
  if (!s || !c) return;
  const qint64 id = s->id;
  const core::UserFields fields{fields_[0]->text().toStdString(), fields_[1]->text().toStdString(),
                                fields_[2]->text().toStdString(), fields_[3]->text().toStdString(),
                                fields_[4]->text().toStdString()};
  if (!c->set_user_fields(id, fields)) {
    status_->setText(text(c->last_error()));
    return;
  }
  show_sessions();
  choose_session(id);
}

void SessionLibraryWindow::move_chosen_session() {
  const core::CataloguedSession* s = chosen_session();
  core::Catalogue* c = library_.catalogue();
  if (!s || !c) return;
  const qint64 id = s->id;
  if (!c->move_session(id, move_to_->currentData().toLongLong())) {
    status_->setText(text(c->last_error()));
    return;
  }
  refresh();
  choose_session(id);
}

void SessionLibraryWindow::rename_venue() {
  core::Catalogue* c = library_.catalogue();
  const qint64 venue = chosen_venue();
  if (!c || venue <= 0) return;
  if (!c->rename_venue(venue, venue_name_->text().trimmed().toStdString())) {
    status_->setText(text("Venue not renamed: " + c->last_error()));
    return;
  }
  status_->clear();
  refresh();
}

void SessionLibraryWindow::merge_venue() {
  core::Catalogue* c = library_.catalogue();
  const qint64 from = chosen_venue();
  const qint64 into = merge_into_->currentData().toLongLong();
  if (!c || from <= 0 || into <= 0 || from == into) return;
  if (!c->merge_venues(from, into)) {
    status_->setText(text(c->last_error()));
    return;
  }
  refresh();
  choose_venue(into);
}

void SessionLibraryWindow::open_chosen(core::DataSetId slot) {
  if (const core::CataloguedSession* s = chosen_session()) emit open_in_view_data(slot, s->path);
}

bool SessionLibraryWindow::scanning() const { return scan_ != nullptr; }

void SessionLibraryWindow::scan_folder(const QString& folder) {
  core::Catalogue* c = catalogue();
  if (!c || scan_) return;
  scan_ = std::make_unique<core::FolderScan>(*c, std::vector<std::string>{folder.toStdString()});
  progress_->setRange(0, static_cast<int>(scan_->total()));
  progress_->setValue(0);
  scan_button_->setEnabled(false);
  cancel_button_->setEnabled(true);
  status_->setText(QString("Scanning %1 ...").arg(folder));
  scan_timer_->start();
}

void SessionLibraryWindow::scan_step() {
  if (!scan_) return;
  const bool more = scan_->step();
  progress_->setValue(static_cast<int>(scan_->done()));
  if (!more) finish_scan();
}

void SessionLibraryWindow::cancel_scan() {
  if (!scan_) return;
  scan_->cancel();
  finish_scan();
}

void SessionLibraryWindow::finish_scan() {
  scan_timer_->stop();
  const core::ScanResult result = scan_->result();
  scan_.reset();
  scan_button_->setEnabled(true);
  cancel_button_->setEnabled(false);
  refresh();
  QString summary = text(core::scan_summary(result));
  if (result.cancelled) summary += " (cancelled)";
  status_->setText(summary);
  if (!result.failures.empty()) {
    QStringList lines{"Files that could not be read:"};
    for (const core::FailedFile& f : result.failures) lines << text(f.path + ": " + f.reason);
    figures_->setPlainText(lines.join('\n'));
  }
}

}  // namespace ardenvis::ui
