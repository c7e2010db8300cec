#include "math/ui/math_channels_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <tuple>

#include "math/channel_editing.h"
#include "math/channel_identifiers.h"
#include "math/formula_functions.h"

namespace ardenvis::ui {

namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MathChannelsWindow::MathChannelsWindow(const core::ProgramState& state, core::Host& host,
                                       QWidget* parent)
    : PelorantWindow("Math Channels", parent), state_(state), host_(host) {
  setObjectName("mathChannelsWindow");
  setWindowFlag(Qt::Window);
  setWindowModality(Qt::WindowModal);
  auto* layout = new QVBoxLayout(this);
  auto* splitter = new QSplitter(this);
  layout->addWidget(splitter, 1);

  auto* left = new QWidget(splitter);
  auto* edit = new QVBoxLayout(left);
  edit->setContentsMargins(0, 0, 0, 0);
  table_ = new QTableWidget(0, 3, left);
  table_->setObjectName("mathChannelsTable");
  table_->setHorizontalHeaderLabels({"Name", "Unit", "Formula"});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setVisible(false);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  edit->addWidget(table_, 1);
  connect(table_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { show_row(row); });

  auto* fields = new QGridLayout;
  name_ = new QLineEdit(left);
  name_->setObjectName("mathNameEdit");
  unit_ = new QLineEdit(left);
  unit_->setObjectName("mathUnitEdit");
  formula_ = new QLineEdit(left);
  formula_->setObjectName("mathFormulaEdit");
  formula_->setPlaceholderText("e.g. hypot(G_Lat, G_Long)");
  fields->addWidget(new QLabel("Name", left), 0, 0);
  fields->addWidget(name_, 0, 1);
  fields->addWidget(new QLabel("Unit", left), 0, 2);
  fields->addWidget(unit_, 0, 3);
  fields->addWidget(new QLabel("Formula", left), 1, 0);
  fields->addWidget(formula_, 1, 1, 1, 3);
  fields->setColumnStretch(1, 2);
  fields->setColumnStretch(3, 1);
  edit->addLayout(fields);

  auto* actions = new QHBoxLayout;
  for (auto [caption, hint, name, handler] :
       {std::tuple{"Add", "Add the channel in the fields to the list.", "mathAddButton",
                   &MathChannelsWindow::add_channel},
        std::tuple{"Change", "Put the fields in place of the channel chosen in the list.",
                   "mathChangeButton", &MathChannelsWindow::change_channel},
        std::tuple{"Remove", "Take the channel chosen in the list out of it.", "mathRemoveButton",
                   &MathChannelsWindow::remove_channel},
        std::tuple{"Check", "Check the formula in the fields against the loaded data sets.",
                   "mathCheckButton", &MathChannelsWindow::check_channel}}) {
    QPushButton* button = make_button(caption, hint, name, left);
    connect(button, &QPushButton::clicked, this, handler);
    actions->addWidget(button);
  }
  actions->addStretch();
  edit->addLayout(actions);
  status_ = new QLabel(left);
  status_->setObjectName("mathStatus");
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->setMinimumHeight(64);
  status_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  edit->addWidget(status_);

  help_ = new QTreeWidget(splitter);
  help_->setObjectName("mathFunctionList");
  help_->setHeaderLabels({"Use", "What it gives", "Example"});
  help_->setRootIsDecorated(true);
  help_->setToolTip("Double-click to put it into the formula.");
  connect(help_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item, int) { insert_into_formula(item); });
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({500, 780});

  auto* bottom = new QHBoxLayout;
  file_ = new QLabel(this);
  file_->setObjectName("mathLibraryFile");
  bottom->addWidget(file_, 1);
  QPushButton* ok = make_button("OK", "Save the channels and plot them.", "mathOkButton", this);
  QPushButton* cancel =
      make_button("Cancel", "Leave the channels as they were.", "mathCancelButton", this);
  connect(ok, &QPushButton::clicked, this, &MathChannelsWindow::accept_channels);
  connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  layout->addLayout(bottom);
  resize(1300, 640);
}

void MathChannelsWindow::edit(const std::vector<core::MathChannelDefinition>& channels,
                              const std::vector<std::string>& problems, const std::string& path) {
  channels_ = channels;
  path_ = path;
  file_->setText("Library: " + qs(path));
  fill_table();
  fill_help();
  name_->clear();
  unit_->clear();
  formula_->clear();
  QStringList lines;
  for (const std::string& problem : problems) lines << qs(problem);
  if (lines.isEmpty()) {
    show_status({}, false);
  } else {
    show_status("Lines of the library left out:\n" + lines.join("\n"), true);
  }
}

void MathChannelsWindow::fill_table() {
  const QSignalBlocker block(table_);
  table_->setRowCount(static_cast<int>(channels_.size()));
  for (size_t i = 0; i < channels_.size(); ++i) {
    const auto& c = channels_[i];
    const int row = static_cast<int>(i);
    table_->setItem(row, 0, new QTableWidgetItem(qs(c.name)));
    table_->setItem(row, 1, new QTableWidgetItem(qs(c.unit)));
    table_->setItem(row, 2, new QTableWidgetItem(qs(c.formula)));
  }
  table_->resizeColumnToContents(0);
  table_->resizeColumnToContents(1);
}

void MathChannelsWindow::fill_help() {
  help_->clear();
  auto* functions = new QTreeWidgetItem(help_, {"Functions"});
  auto* operators = new QTreeWidgetItem(help_, {"Operators and constants"});
  for (auto [parent, list] : {std::pair{functions, core::formula_functions()},
                              std::pair{operators, core::formula_operators()}}) {
    for (const core::FormulaHelp& help : list) {
      auto* item =
          new QTreeWidgetItem(parent, {qs(help.usage), qs(help.description), qs(help.example)});
      for (int column = 0; column < 3; ++column) item->setToolTip(column, item->text(column));
      item->setData(0, Qt::UserRole, qs(help.example));
    }
  }
  auto* channels = new QTreeWidgetItem(help_, {"Channels"});
  for (const core::ChannelIdentifier& id : core::channel_identifiers()) {
    const std::string_view unit = core::channel_unit(id.channel, state_.unit_flags);
    QString what = qs(id.description);
    if (!unit.empty()) what += " (" + qs(unit) + ")";
    auto* item = new QTreeWidgetItem(channels, {qs(id.name), what, QString()});
    item->setData(0, Qt::UserRole, qs(id.name));
  }
  help_->expandAll();
  help_->setColumnWidth(0, 170);
  help_->setColumnWidth(1, 340);
}

void MathChannelsWindow::insert_into_formula(QTreeWidgetItem* item) {
  const QString text = item->data(0, Qt::UserRole).toString();
  if (text.isEmpty()) return;
  formula_->insert(text);
  formula_->setFocus();
}

core::MathChannelDefinition MathChannelsWindow::entered() const {
  return {name_->text().trimmed().toStdString(), unit_->text().trimmed().toStdString(),
          formula_->text().trimmed().toStdString(), 0};
}

int MathChannelsWindow::selected_row() const {
  const int row = table_->currentRow();
  return row >= 0 && row < static_cast<int>(channels_.size()) ? row : -1;
}

void MathChannelsWindow::show_row(int row) {
  if (row < 0 || row >= static_cast<int>(channels_.size())) return;
  const auto& c = channels_[static_cast<size_t>(row)];
  name_->setText(qs(c.name));
  unit_->setText(qs(c.unit));
  formula_->setText(qs(c.formula));
}

void MathChannelsWindow::show_status(const QString& text, bool problem) {
  status_->setText(text);
  status_->setStyleSheet(problem ? "color: #b00000;" : "");
}

void MathChannelsWindow::add_channel() {
  const core::MathChannelDefinition channel = entered();
  if (auto problem = core::channel_problem(channels_, channel)) {
    show_status(qs(*problem), true);
    return;
  }
  channels_.push_back(channel);
  fill_table();
  table_->setCurrentCell(static_cast<int>(channels_.size()) - 1, 0);
  show_status("Added \"" + qs(channel.name) + "\".", false);
}

void MathChannelsWindow::change_channel() {
  const int row = selected_row();
  if (row < 0) {
    show_status("Choose the channel to change in the list.", true);
    return;
  }
  const core::MathChannelDefinition channel = entered();
  if (auto problem = core::channel_problem(channels_, channel, static_cast<size_t>(row))) {
    show_status(qs(*problem), true);
    return;
  }
  channels_[static_cast<size_t>(row)] = channel;
  fill_table();
  table_->setCurrentCell(row, 0);
  show_status("Changed \"" + qs(channel.name) + "\".", false);
}

void MathChannelsWindow::remove_channel() {
  const int row = selected_row();
  if (row < 0) {
    show_status("Choose the channel to remove in the list.", true);
    return;
  }
  const std::string name = channels_[static_cast<size_t>(row)].name;
  channels_.erase(channels_.begin() + row);
  fill_table();
  show_status("Removed \"" + qs(name) + "\".", false);
}

void MathChannelsWindow::check_channel() {
  const core::MathChannelDefinition channel = entered();
  const core::ChannelCheck check = core::channel_check_report(channel, state_);
  show_status(qs(check.report), !check.formula_ok);
}

void MathChannelsWindow::accept_channels() {
  if (!core::save_channel_library(path_, channels_)) {
    host_.message(core::MessageKind::Warning, "Cannot save the math channels to " + path_,
                  core::Buttons::Ok);
    return;
  }
  hide();
  emit applied(channels_);
}

}  // namespace ardenvis::ui
