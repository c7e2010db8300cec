#include "calc/ui/calculator.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <utility>

#include "calc/ui/tyre_pages.h"

namespace ardenvis::ui {

namespace {

QGroupBox* radio_group(const QString& caption, const QStringList& items, QButtonGroup*& buttons,
                       const QString& object_name, QWidget* parent) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(object_name);
  buttons = new QButtonGroup(group);
  auto* layout = new QVBoxLayout(group);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], group);
    radio->setObjectName(QString("%1_%2").arg(object_name).arg(i));
    buttons->addButton(radio, i);
    layout->addWidget(radio);
  }
  return group;
}

QLineEdit* read_only(const QString& object_name, QWidget* parent, int width = 80) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(object_name);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  field->setMaximumWidth(width);
  field->setAlignment(Qt::AlignRight);
  return field;
}

QLineEdit* teeth_entry(const QString& object_name, QWidget* parent) {
  auto* entry = new QLineEdit(parent);
  entry->setObjectName(object_name);
  entry->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), entry));
  entry->setMaximumWidth(60);
  entry->setAlignment(Qt::AlignRight);
  return entry;
}

// Yellow for a number or an empty (neutral) result, red for "Error".
void show_result(QLineEdit* field, const core::ResultField& result) {
  field->setText(QString::fromStdString(result.text));
  field->setStyleSheet(result.error ? "QLineEdit { background: #ff4040; color: white; }"
                                    : "QLineEdit { background: #ffff80; color: black; }");
}

}  // namespace

TForm4::TForm4(core::ProgramState& state, core::Host& host, QWidget* parent)
    : PelorantWindow("Calculator", parent), state_(state), host_(host) {
  setObjectName("TForm4");

  auto* help =
      make_button("Help", "Help just in case you are having problems !", "helpButton", this);
  auto* to_configuration =
      make_button("Goto\nConfiguration", "Goto the configuration section with these values.",
                  "gotoConfigurationButton", this);
  auto* to_toolbox =
      make_button("Back to ToolBox", "Back to the Main Menu.", "backToToolboxButton", this);

  auto* left = new QVBoxLayout;
  left->addWidget(make_drive_sensor_group());
  left->addWidget(make_tyre_type_group());
  tyre_notebook_ = new TyreNotebook(this);
  auto* tyres = new QGroupBox("Tyre Size", this);
  (new QVBoxLayout(tyres))->addWidget(tyre_notebook_);
  left->addWidget(tyres, 1);

  auto* right = new QVBoxLayout;
  right->addWidget(make_final_drive_group());
  right->addWidget(sprocket_group_);
  right->addWidget(diff_group_);
  right->addWidget(make_results_group());
  right->addWidget(make_tyre_information_group());
  right->addStretch();

  // The two-line caption sets the height of the whole row.
  for (QPushButton* b : {help, to_toolbox}) {
    b->setMinimumHeight(to_configuration->sizeHint().height());
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(to_configuration);
  buttons->addWidget(to_toolbox);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);

  connect(tyre_type_, &QButtonGroup::idClicked, this, [this] { Tyre_type_buttonsClick(); });
  connect(drive_sensor_, &QButtonGroup::idClicked, this, [this] { Drive_Sensor_ButtonsClick(); });
  connect(final_drive_, &QButtonGroup::idClicked, this, [this] { changeFinalDriveType(); });
  connect(engine_teeth_, &QLineEdit::textChanged, this, [this] { calculateSprocketRatio(); });
  connect(axle_teeth_, &QLineEdit::textChanged, this, [this] { calculateSprocketRatio(); });
  connect(sprocket_ratio_, &QLineEdit::textChanged, this, [this] { clear_displays(); });
  connect(diff_ratio_, &QLineEdit::textEdited, this, [this] { update_diff_display(); });
  connect(tyre_notebook_, &TyreNotebook::list_clicked, this, [this] { clear_displays(); });
  connect(tyre_notebook_, &TyreNotebook::entry_changed, this, [this] { recalculate(); });
  connect(help, &QPushButton::clicked, this, [this] {
    in_help_ = true;
    emit view_help();
  });
  connect(to_configuration, &QPushButton::clicked, this, [this] { sendToConfigure(); });
  connect(to_toolbox, &QPushButton::clicked, this, [this] { back_to_toolbox_clicked(); });
  // The close box leaves without storing the controls.
  connect(this, &PelorantWindow::closed_by_user, this, &TForm4::back_to_toolbox);

  setup_form4();
  adjustSize();
}

QGroupBox* TForm4::make_drive_sensor_group() {
  return radio_group(
      "Drive and Sensor Position ",
      {"Front Wheel Drive, Front Wheel Sensor", "Front Wheel Drive, Rear Wheel Sensor",
       "Rear Wheel Drive, Front Wheel Sensor", "Rear Wheel Drive, Propshaft Sensor",
       "Rear Wheel Drive, Rear Wheel Sensor"},
      drive_sensor_, "Drive_Sensor_Buttons", this);
}

QGroupBox* TForm4::make_tyre_type_group() {
  QGroupBox* group = radio_group("Type of Tyres", {"Road Tyres", "Slick Tyres", "Unknown Tyres"},
                                 tyre_type_, "Tyre_type_buttons", this);
  group->setToolTip("If there are no markings on the tyres then measure the circumference.");
  return group;
}

QGroupBox* TForm4::make_final_drive_group() {
  QGroupBox* group =
      radio_group("Final Drive Type", {"Sprocket", "Gear Diff"}, final_drive_, "RadioGroup1", this);

  sprocket_group_ = new QGroupBox("Sprocket Calculator", this);
  sprocket_group_->setObjectName("sprocketGroup");
  engine_teeth_ = teeth_entry("NumIO1", sprocket_group_);
  axle_teeth_ = teeth_entry("NumIO2", sprocket_group_);
  sprocket_ratio_ = read_only("Edit1", sprocket_group_, 60);
  auto* sprocket = new QGridLayout(sprocket_group_);
  sprocket->addWidget(new QLabel("Engine Teeth", sprocket_group_), 0, 0);
  sprocket->addWidget(engine_teeth_, 0, 1);
  sprocket->addWidget(new QLabel("Axle Teeth", sprocket_group_), 1, 0);
  sprocket->addWidget(axle_teeth_, 1, 1);
  sprocket->addWidget(new QLabel("Sprocket Ratio", sprocket_group_), 2, 0);
  sprocket->addWidget(sprocket_ratio_, 2, 1);
  sprocket->addWidget(new QLabel(":1", sprocket_group_), 2, 2);
  sprocket->setColumnStretch(3, 1);

  diff_group_ = new QGroupBox("Gear Driven Diff", this);
  diff_group_->setObjectName("diffGroup");
  diff_ratio_ = new QLineEdit(diff_group_);
  diff_ratio_->setObjectName("diff_ratio_value");
  diff_ratio_->setInputMask("0.00");
  diff_ratio_->setMaximumWidth(60);
  diff_ratio_->setAlignment(Qt::AlignRight);
  auto* diff = new QGridLayout(diff_group_);
  diff->addWidget(new QLabel("Differential Ratio", diff_group_), 0, 0);
  diff->addWidget(diff_ratio_, 0, 1);
  diff->addWidget(new QLabel(":1", diff_group_), 0, 2);
  diff->setColumnStretch(3, 1);
  return group;
}

QGroupBox* TForm4::make_results_group() {
  auto* group = new QGroupBox("Results", this);
  group->setObjectName("resultsGroup");
  group->setToolTip("Results should be entered into your Pelorant configuration");
  speedo_cal_ = read_only("speedoCalResult", group);
  gear_cal_ = read_only("gearCalResult", group);
  auto* layout = new QGridLayout(group);
  layout->addWidget(new QLabel("Speedo Cal", group), 0, 0);
  layout->addWidget(speedo_cal_, 0, 1);
  layout->addWidget(new QLabel("Gear Cal", group), 1, 0);
  layout->addWidget(gear_cal_, 1, 1);
  layout->setColumnStretch(2, 1);
  return group;
}

QGroupBox* TForm4::make_tyre_information_group() {
  auto* group = new QGroupBox("Tyre Information (mm)", this);
  front_circumference_ = read_only("frontCircumference", group, 70);
  rear_circumference_ = read_only("rearCircumference", group, 70);
  front_radius_ = read_only("frontRadius", group, 70);
  rear_radius_ = read_only("rearRadius", group, 70);
  auto* layout = new QGridLayout(group);
  layout->addWidget(new QLabel("Front Tyre", group), 0, 1, Qt::AlignHCenter);
  layout->addWidget(new QLabel("Rear Tyre", group), 0, 2, Qt::AlignHCenter);
  layout->addWidget(new QLabel("Circumference", group), 1, 0);
  layout->addWidget(front_circumference_, 1, 1);
  layout->addWidget(rear_circumference_, 1, 2);
  layout->addWidget(new QLabel("RR", group), 2, 0);
  layout->addWidget(front_radius_, 2, 1);
  layout->addWidget(rear_radius_, 2, 2);
  layout->setColumnStretch(3, 1);
  return group;
}

core::CalculatorControls TForm4::controls() const {
  core::CalculatorControls c;
  c.tyre_type = tyre_type_->checkedId();
  c.final_drive_type = final_drive_->checkedId();
  c.drive_and_sensor_position = drive_sensor_->checkedId();
  tyre_notebook_->read_into(c);
  c.diff_ratio = diff_ratio_->displayText().toStdString();
  c.engine_teeth = engine_teeth_->text().toStdString();
  c.axle_teeth = axle_teeth_->text().toStdString();
  c.sprocket_ratio = sprocket_ratio_->text().toStdString();
  return c;
}

void TForm4::setup_form4() {
  if (std::exchange(in_help_, false)) return;
  getCalculatorParams();
  Tyre_type_buttonsClick();
  Drive_Sensor_ButtonsClick();
  changeFinalDriveType();
}

void TForm4::getCalculatorParams() {
  const core::CalculatorControls c = core::getCalculatorParams(state_.calculator);
  loading_ = true;
  tyre_type_->button(c.tyre_type)->setChecked(true);
  final_drive_->button(c.final_drive_type)->setChecked(true);
  drive_sensor_->button(c.drive_and_sensor_position)->setChecked(true);
  tyre_notebook_->load_from(c);
  diff_ratio_->setText(QString::fromStdString(c.diff_ratio));
  engine_teeth_->setText(QString::fromStdString(c.engine_teeth));
  axle_teeth_->setText(QString::fromStdString(c.axle_teeth));
  sprocket_ratio_->setText(QString::fromStdString(c.sprocket_ratio));
  loading_ = false;
}

void TForm4::Tyre_type_buttonsClick() {
  tyre_notebook_->setCurrentIndex(tyre_type_->checkedId());
  clear_displays();
}

void TForm4::Drive_Sensor_ButtonsClick() {
  const core::TyreEntryVisibility shown = core::tyre_entry_visibility(drive_sensor_->checkedId());
  tyre_notebook_->show_entries(shown.front, shown.rear);
  clear_displays();
}

void TForm4::changeFinalDriveType() {
  const bool sprocket = final_drive_->checkedId() == core::kSprocket;
  sprocket_group_->setVisible(sprocket);
  diff_group_->setVisible(!sprocket);
  if (sprocket) calculateSprocketRatio();
  recalculate();
}

void TForm4::calculateSprocketRatio() {
  if (loading_) return;
  sprocket_ratio_->setText(QString::fromStdString(core::sprocket_ratio_text(
      engine_teeth_->text().toStdString(), axle_teeth_->text().toStdString(),
      sprocket_ratio_->text().toStdString())));
}

void TForm4::update_diff_display() {
  const int cursor = diff_ratio_->cursorPosition();
  diff_ratio_->setText(QString::fromStdString(
      core::normalised_diff_ratio(diff_ratio_->displayText().toStdString())));
  diff_ratio_->setCursorPosition(cursor);
  recalculate();
}

void TForm4::clear_displays() {
  show_result(speedo_cal_, {});
  show_result(gear_cal_, {});
  recalculate();
}

void TForm4::recalculate() {
  if (loading_) return;
  shown_ = core::calculate(controls());
  show_result(speedo_cal_, shown_.speedo_cal);
  show_result(gear_cal_, shown_.gear_cal);
  front_circumference_->setText(QString::fromStdString(shown_.front_circumference));
  front_radius_->setText(QString::fromStdString(shown_.front_radius));
  rear_circumference_->setText(QString::fromStdString(shown_.rear_circumference));
  rear_radius_->setText(QString::fromStdString(shown_.rear_radius));
}

void TForm4::sendToConfigure() {
  if (core::sendToConfigure(controls(), shown_, state_.calculator, host_, target_)) {
    emit goto_configuration();
  }
}

void TForm4::back_to_toolbox_clicked() {
  core::setCalculatorParams(controls(), state_.calculator);
  emit back_to_toolbox();
}

}  // namespace ardenvis::ui
