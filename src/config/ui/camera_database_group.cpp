#include "config/ui/camera_database_group.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/pelorant_window.h"

namespace ardenvis::ui {

// The "Information" memo as the camera transfers write to it.
class CameraDatabaseGroup::Memo : public core::InformationMemo {
 public:
  explicit Memo(QPlainTextEdit* text) : text_(text) {}
  void clear() override { text_->clear(); }
  void add(const std::string& line) override {
    text_->appendPlainText(QString::fromStdString(line));
  }

 private:
  QPlainTextEdit* text_;
};

namespace {

QLineEdit* read_only_field(const QString& object_name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  field->setObjectName(object_name);
  return field;
}

}  // namespace

CameraDatabaseGroup::CameraDatabaseGroup(core::ProgramState& state, core::Host& host,
                                         QWidget* parent)
    : QGroupBox("DataBase File Manager", parent), state_(state), host_(host) {
  setObjectName("cameraDatabaseGroup");
  file_ = read_only_field("cameraFileField", this);
  camera_locations_ = read_only_field("cameraLocationsField", this);
  source_version_ = read_only_field("pocketGpsVersionField", this);
  format_version_ = read_only_field("formatVersionField", this);
  for (QLineEdit* field : {camera_locations_, source_version_, format_version_}) {
    field->setMaximumWidth(90);
    field->setAlignment(Qt::AlignRight);
  }
  information_ = new QPlainTextEdit(this);
  information_->setObjectName("informationMemo");
  information_->setReadOnly(true);
  information_->setMinimumSize(260, 150);
  memo_ = std::make_unique<Memo>(information_);

  auto* load = PelorantWindow::make_button("Load from Disk", "Load a camera database file",
                                           "loadCameraButton", this);
  auto* write = PelorantWindow::make_button("Write to Dash",
                                            "Write the loaded camera database to the Pelorant",
                                            "writeCameraButton", this);
  auto* check = PelorantWindow::make_button(
      "Dash Memory Check", "Compare the Pelorant's camera database with the loaded file",
      "checkCameraButton", this);
  // The upload begins with the unit's erase: say so where the user decides.
  auto* erase_note = new QLabel(core::camera_message::upload_erases_sessions, this);
  erase_note->setObjectName("eraseNote");
  erase_note->setWordWrap(true);
  erase_note->setStyleSheet("color: #8a4b00;");

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel("File", this), 0, 0);
  fields->addWidget(file_, 0, 1, 1, 3);
  fields->addWidget(new QLabel("Camera Locations", this), 1, 0);
  fields->addWidget(camera_locations_, 1, 1);
  fields->addWidget(new QLabel("PocketGPS File Version", this), 2, 0);
  fields->addWidget(source_version_, 2, 1);
  fields->addWidget(new QLabel("Orvik Format Version", this), 3, 0);
  fields->addWidget(format_version_, 3, 1);
  fields->setColumnStretch(3, 1);

  auto* buttons = new QGridLayout;
  buttons->addWidget(load, 0, 0);
  buttons->addWidget(write, 1, 0);
  buttons->addWidget(erase_note, 1, 1);
  buttons->addWidget(check, 2, 0);
  buttons->setColumnStretch(1, 1);

  auto* left = new QVBoxLayout;
  left->addLayout(fields);
  left->addSpacing(8);
  left->addLayout(buttons);
  left->addStretch();

  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel("Information", this));
  right->addWidget(information_, 1);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 3);
  layout->addLayout(right, 2);

  connect(load, &QPushButton::clicked, this, [this] { LoadDataFromFile(); });
  connect(write, &QPushButton::clicked, this, &CameraDatabaseGroup::writeFlashData);
  connect(check, &QPushButton::clicked, this, &CameraDatabaseGroup::readFlashData);
  refresh();
}

CameraDatabaseGroup::~CameraDatabaseGroup() = default;

void CameraDatabaseGroup::refresh() {
  const core::CameraDisplay shown = core::camera_display(state_.camera);
  file_->setText(QString::fromStdString(shown.file));
  camera_locations_->setText(QString::fromStdString(shown.camera_locations));
  source_version_->setText(QString::fromStdString(shown.source_version));
  format_version_->setText(QString::fromStdString(shown.format_version));
}

void CameraDatabaseGroup::LoadDataFromFile(const std::optional<std::string>& named) {
  core::LoadDataFromFile(state_, host_, *memo_, named);
  refresh();
}

void CameraDatabaseGroup::writeFlashData() { core::writeFlashData(state_, host_, *memo_); }

void CameraDatabaseGroup::readFlashData() { core::readFlashData(state_, host_, *memo_); }

}  // namespace ardenvis::ui
