#include "config/ui/configure.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_transfer.h"
#include "config/ui/alarms_page.h"
#include "config/ui/calibrate_page.h"
#include "config/ui/camera_database_group.h"
#include "config/ui/camera_page.h"
#include "config/ui/dials_page.h"
#include "config/ui/display_page.h"
#include "config/ui/field_widgets.h"
#include "config/ui/gears_page.h"
#include "config/ui/general_page.h"
#include "config/ui/lap_page.h"
#include "config/ui/logger_page.h"
#include "config/ui/odometer_password.h"
#include "config/ui/sensor_page.h"
#include "config/ui/shift_lights_page.h"
#include "config/ui/version_page.h"
#include "widgets/file_drop.h"
#include "widgets/recent_files_button.h"

namespace ardenvis::ui {

namespace {
QGroupBox* button_group(const QString& caption, const QString& hint, QWidget* parent) {
  auto* box = new QGroupBox(caption, parent);
  if (!hint.isEmpty()) box->setToolTip(hint);
  new QHBoxLayout(box);
  return box;
}
}  // namespace

TForm3::TForm3(core::ProgramState& state, core::Host& host, QWidget* parent)
    : UnitWindow("Configuration", state, host, parent), state_(state), host_(host) {
  setObjectName("TForm3");
  setAcceptDrops(true);
  editor_ = std::make_unique<core::ConfigEditor>(state.config, state.calculator);
  fields_ = new FieldControls(*editor_, this);

  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("TabControl1");
  tabs_->setToolTip("Select the required setup page.");
  pages_ = {new VersionPage(*fields_), new GeneralPage(*fields_),     new AlarmsPage(*fields_),
            new DisplayPage(*fields_), new ShiftLightsPage(*fields_), new LapPage(*fields_),
            new GearsPage(*fields_),   new SensorPage(*fields_),      new CalibratePage(*fields_),
            new LoggerPage(*fields_),  new CameraPage(*fields_),      new DialsPage(*fields_)};
  for (size_t i = 0; i < pages_.size(); ++i) {
    const auto& caption = core::config_pages()[i].caption;
    tabs_->addTab(pages_[i],
                  QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
  }
  camera_page()->set_database_group(new CameraDatabaseGroup(state_, host_, camera_page()));
  layout->addWidget(tabs_, 1);
  connect(tabs_, &QTabWidget::currentChanged, this, &TForm3::config_tab_change);

  auto* bottom = new QHBoxLayout;
  QGroupBox* unit = button_group("Pelorant Read/Write",
                                 "Write and Read the configuration on the Pelorant.", this);
  auto* write =
      make_button("Write Config", "Write the current configuration to the Pelorant from the PC.",
                  "writeConfigButton", unit);
  auto* read = make_button("Read Config", "Read the configuration from the Pelorant to the PC.",
                           "readConfigButton", unit);
  unit->layout()->addWidget(write);
  unit->layout()->addWidget(read);
  QGroupBox* files = button_group("File Save/Load", "Load and Save configurations to file.", this);
  auto* load =
      make_button("Load Config", "Load a configuration from file.", "loadConfigButton", files);
  auto* save =
      make_button("Save Config", "Save the configuration to file.", "saveConfigButton", files);
  recent_ = new RecentFilesButton("recentConfigs", files);
  static_cast<QBoxLayout*>(files->layout())->addLayout(recent_->row_with(load));
  files->layout()->addWidget(save);
  QGroupBox* port = button_group("Serial Port", {}, this);
  port->layout()->addWidget(com_port_box());
  QGroupBox* menu = button_group("Menu Control", {}, this);
  auto* main_menu = make_button("Main\nMenu", "Back to Main Menu", "mainMenuButton", menu);
  menu->layout()->addWidget(main_menu);
  for (QGroupBox* box : {unit, files, port, menu}) bottom->addWidget(box);
  bottom->addStretch();
  layout->addLayout(bottom);

  connect(write, &QPushButton::clicked, this, &TForm3::set_config_data);
  connect(read, &QPushButton::clicked, this, &TForm3::get_config_data);
  connect(load, &QPushButton::clicked, this, [this] { load_config_data(); });
  connect(recent_, &RecentFilesButton::file_chosen, this,
          [this](const QString& path) { load_config_data(path.toStdString()); });
  connect(save, &QPushButton::clicked, this, &TForm3::save_config_data);
  connect(main_menu, &QPushButton::clicked, this, &TForm3::back_to_main);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm3::back_to_main);
  auto* general = static_cast<GeneralPage*>(page(core::Page::General));
  connect(general, &GeneralPage::check_password, this, &TForm3::check_password);
  connect(static_cast<CalibratePage*>(page(core::Page::Calibrate)), &CalibratePage::gotoCalculator,
          this, &TForm3::gotoCalculator);

  // A window of its own: it must stay usable while this one is disabled.
  password_ = new TForm12(*editor_, host_);

  editor_->on_change = [this] { refresh(); };
  setup_configure_form();
  resize(sizeHint().expandedTo(QSize(980, 560)));
}

TForm3::~TForm3() {
  editor_->on_change = nullptr;
  delete password_;
}

CameraPage* TForm3::camera_page() const {
  return static_cast<CameraPage*>(page(core::Page::Camera));
}

void TForm3::activated() {
  UnitWindow::activated();
  setup_configure_form();
}

void TForm3::setup_configure_form() {
  core::setup_configure_form(*editor_);
  refresh();
}

void TForm3::config_tab_change(int tab) {
  // Each tab shows its own panel only; the tab widget does the hiding.
  if (tab >= 0 && tab < core::kPageCount) pages_[static_cast<size_t>(tab)]->refresh();
}

void TForm3::refresh() {
  fields_->sync_all();
  for (ConfigPage* p : pages_) p->refresh();
  setEnabled(editor_->notes().window_enabled);
}

void TForm3::get_config_data() {
  core::get_config_data(*editor_, state_.link, host_);
  com_port_box()->sync_from_state();
  refresh();
}

void TForm3::set_config_data() {
  core::set_config_data(*editor_, state_.link, host_);
  com_port_box()->sync_from_state();
  refresh();
}

void TForm3::save_config_data() {
  core::save_config_data(*editor_, host_, state_.file(core::FileKind::Configuration));
  refresh();
}

bool TForm3::load_config_data(const std::optional<std::string>& named) {
  const bool loaded =
      core::load_config_data(*editor_, host_, state_.file(core::FileKind::Configuration), named);
  refresh();
  if (loaded) emit config_file_loaded();
  return loaded;
}

void TForm3::load_camera_database(const std::string& path) {
  tabs_->setCurrentWidget(camera_page());
  static_cast<CameraDatabaseGroup*>(camera_page()->database_group())->LoadDataFromFile(path);
}

void TForm3::dragEnterEvent(QDragEnterEvent* event) {
  if (!dragged_file(event->mimeData(), ".pcf").isEmpty()) event->acceptProposedAction();
}

void TForm3::dropEvent(QDropEvent* event) {
  const QString path = dragged_file(event->mimeData(), ".pcf");
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  load_config_data(path.toStdString());
}

void TForm3::check_password(bool checked) {
  editor_->set_factory_set(checked);
  if (checked) {
    password_->show();
    password_->raise();
  }
  refresh();
}

}  // namespace ardenvis::ui
