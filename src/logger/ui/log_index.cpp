#include "logger/ui/log_index.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "logger/log_index.h"

namespace ardenvis::ui {

namespace {
QLabel* value_label(QWidget* parent, Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter) {
  auto* label = new QLabel(parent);
  label->setAlignment(align);
  label->setMinimumWidth(72);
  return label;
}
}  // namespace

TForm16::TForm16(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("Download Data Menu", parent), state_(state), host_(host) {
  setObjectName("TForm16");

  // The session table: eight rows of number, duration, size, date and time.
  auto* sessions = new QGroupBox("Logged Sessions", this);
  auto* table = new QGridLayout(sessions);
  table->setHorizontalSpacing(16);
  const char* headings[5] = {"Session", "Duration (min)", "Size (kBytes)", "Date", "Time"};
  for (int c = 0; c < 5; ++c) {
    auto* heading = new QLabel(headings[c], sessions);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setAlignment(c == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    table->addWidget(heading, 0, c);
  }
  for (int r = 0; r < core::kRowsPerPage; ++r) {
    for (int c = 0; c < 5; ++c) {
      QLabel* label =
          value_label(sessions, c == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
      label->setObjectName(QString("cell%1_%2").arg(r).arg(c));
      cells_[static_cast<size_t>(r)][static_cast<size_t>(c)] = label;
      table->addWidget(label, r + 1, c);
    }
  }

  // Memory figures.
  auto* memory = new QGroupBox("Logger Memory", this);
  auto* figures = new QGridLayout(memory);
  total_ = value_label(memory);
  total_->setObjectName("totalMemory");
  used_ = value_label(memory);
  used_->setObjectName("usedMemory");
  free_ = value_label(memory);
  free_->setObjectName("freeMemory");
  figures->addWidget(new QLabel("Total (Mbit)", memory), 0, 0);
  figures->addWidget(total_, 0, 1);
  figures->addWidget(new QLabel("Used (Mbit)", memory), 1, 0);
  figures->addWidget(used_, 1, 1);
  figures->addWidget(new QLabel("Free (%)", memory), 2, 0);
  figures->addWidget(free_, 2, 1);
  memory_full_ = new QLabel("Memory Full", memory);
  memory_full_->setObjectName("memoryFullLabel");
  memory_full_->setStyleSheet("color: #c00000; font-weight: bold;");
  memory_full_->setAlignment(Qt::AlignCenter);
  // The label's place is kept, so the window does not jump when it shows.
  QSizePolicy keep = memory_full_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  memory_full_->setSizePolicy(keep);
  memory_full_->setVisible(false);
  figures->addWidget(memory_full_, 3, 0, 1, 2);
  figures->setRowStretch(4, 1);

  // The download: which session, into which data set.
  auto* download = new QGroupBox("Download", this);
  auto* download_layout = new QGridLayout(download);
  session_box_ = new QComboBox(download);
  session_box_->setObjectName("sessionBox");
  for (int n = 1; n <= core::kSessionSlots; ++n) session_box_->addItem(QString::number(n));
  to_memory_box_ = new QComboBox(download);
  to_memory_box_->setObjectName("toMemoryBox");
  to_memory_box_->addItems({"A", "B"});
  auto* download_button =
      make_button("Download", "Download the chosen session", "downloadButton", download);
  download_layout->addWidget(new QLabel("Session", download), 0, 0);
  download_layout->addWidget(session_box_, 0, 1);
  download_layout->addWidget(new QLabel("to Memory", download), 1, 0);
  download_layout->addWidget(to_memory_box_, 1, 1);
  download_layout->addWidget(download_button, 2, 0, 1, 2);

  auto* prev = make_button("Prev Logs", "Sessions 1 to 8", "prevLogsButton", this);
  auto* next = make_button("Next Logs", "Sessions 9 to 16", "nextLogsButton", this);
  auto* refresh = make_button("Refresh", "Read the unit's index again", "refreshButton", this);
  clear_ = make_button("Clear", "Clear every session from the unit's memory", "clearButton", this);
  auto* view = make_button("View Data", {}, "viewDataButton", this);
  auto* back = make_button("Back to Log Analysis", {}, "backButton", this);

  auto* side = new QVBoxLayout;
  side->addWidget(memory);
  side->addWidget(download);
  side->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(sessions, 1);
  top->addLayout(side);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(prev);
  buttons->addWidget(next);
  buttons->addWidget(refresh);
  buttons->addWidget(clear_);
  buttons->addStretch();
  buttons->addWidget(view);
  buttons->addWidget(back);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  connect(download_button, &QPushButton::clicked, this, [this] { downloadLogSession(); });
  connect(refresh, &QPushButton::clicked, this, [this] { refreshLog(); });
  connect(next, &QPushButton::clicked, this, [this] {
    core::gotoNextLogPage(state_, host_);
    refreshDataScreen();
  });
  connect(prev, &QPushButton::clicked, this, [this] {
    core::gotoPrevLogPage(state_, host_);
    refreshDataScreen();
  });
  connect(clear_, &QPushButton::clicked, this, [this] {
    core::clearLogPointers(state_, host_);
    refreshDataScreen();
  });
  connect(view, &QPushButton::clicked, this, [this] {
    if (core::viewData(state_, host_)) emit view_data();
  });
  connect(back, &QPushButton::clicked, this, &TForm16::back_to_log_analysis);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm16::back_to_log_analysis);

  refreshDataScreen();
  adjustSize();
}

QLabel* TForm16::cell(int row, int column) const {
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void TForm16::activated() {
  // The caption's line breaks were for a narrow button; the button is given the
  // room instead, so it stands one line high beside its neighbours.
  clear_->setText("Clear All Log Sessions");
  // The lite logger keeps one recording and no index to clear.
  clear_->setEnabled(!state_.log_index.is_lite());
  refreshDataScreen();
}

void TForm16::refreshDataScreen() {
  const core::IndexScreen& screen = state_.log_index.screen;
  for (int r = 0; r < core::kRowsPerPage; ++r) {
    const core::SessionRow& row = screen.rows[static_cast<size_t>(r)];
    const std::string* texts[5] = {&row.number, &row.duration, &row.size, &row.date, &row.time};
    for (int c = 0; c < 5; ++c) {
      // Dates and times carry the unit's leading spaces; the column aligns them.
      cell(r, c)->setText(QString::fromStdString(*texts[c]).trimmed());
    }
  }
  total_->setText(QString::fromStdString(screen.total));
  used_->setText(QString::fromStdString(screen.used));
  free_->setText(QString::fromStdString(screen.free));
  memory_full_->setVisible(screen.memory_full);
}

void TForm16::refreshLog() {
  core::getLogIndex(state_, host_);
  refreshDataScreen();
}

void TForm16::downloadLogSession() {
  const int session = session_box_->currentIndex() + 1;
  const core::DataSetId target =
      to_memory_box_->currentIndex() == 1 ? core::DataSetId::B : core::DataSetId::A;
  emit download_requested(session, target);
}

}  // namespace ardenvis::ui
