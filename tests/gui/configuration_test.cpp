// The "Configuration" window against the in-process simulated unit: every page
// built from the field table, immediate red/valid feedback, the reactions
// shown, read and write, files, the odometer password, and the grabs of all
// twelve pages.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>

#include "config/config_file.h"
#include "config/config_transfer.h"
#include "config/ui/camera_page.h"
#include "config/ui/configure.h"
#include "config/ui/odometer_password.h"
#include "gui/screens.h"
#include "sim/config_memory.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"
#include "widgets/qt_host.h"

using namespace ardenvis;
using core::FieldId;
using core::MessageKind;

class ConfigurationTest : public QObject {
  Q_OBJECT

 private:
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm3> form3_;

  template <typename T = QWidget>
  T* child(const char* name, QWidget* in = nullptr) {
    auto* w = (in ? in : form3_.get())->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
  bool red(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(Qt::red); }
  void type(const char* field, const QString& text) {
    QLineEdit* e = edit(field);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);  // the first key replaces the selection
  }
  void show_page(core::Page page) { form3_->pages()->setCurrentIndex(static_cast<int>(page)); }
  // Whether a file dialog given `filter` lists `name`: Qt takes the patterns
  // from the parentheses that end each ";;"-separated filter.
  static bool dialog_lists(const std::string& filter, const QString& name) {
    for (const QString& one : ui::qt_file_filter(filter).split(QStringLiteral(";;"))) {
      const qsizetype open = one.lastIndexOf(u'(');
      if (open < 0 || !one.endsWith(u')')) continue;
      const QStringList patterns =
          one.mid(open + 1, one.size() - open - 2).split(u' ', Qt::SkipEmptyParts);
      if (QDir::match(patterns, name)) return true;
    }
    return false;
  }

 private slots:
  void initTestCase() {
    state_.link.port = &port_;
    state_.link.serial_port_number = 1;
    sim::set_firmware_version(unit_.options(), 422);
    form3_ = std::make_unique<ui::TForm3>(state_, host_);
    form3_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form3_.get()));
  }

  void opens_on_the_version_page_with_twelve_tabs() {
    QTabWidget* tabs = form3_->pages();
    QCOMPARE(tabs->count(), 12);
    QCOMPARE(tabs->currentIndex(), 0);
    const QStringList captions{"Version",     "General",  "Alarms", "Display",
                               "Shift Light", "Lap/Hill", "Gears",  "Sensor",
                               "Calibrate",   "Logger",   "Camera", "Dials"};
    for (int i = 0; i < 12; ++i) QCOMPARE(tabs->tabText(i), captions[i]);
    QCOMPARE(child<QPlainTextEdit>("modulesMemo")->toPlainText(),
             QString("Read the Pelorant Config to obtain CAN module Revisions"));
    QCOMPARE(child<QPushButton>("mainMenuButton")->text(), QString("Main\nMenu"));
    QCOMPARE(child<QPushButton>("gotoCalculatorButton")->text(), QString("Goto\nCalculator"));
    // Every field of the table has its control.
    for (const auto& meta : core::config_fields()) {
      QVERIFY2(form3_->findChild<QWidget*>(QString::fromUtf8(meta.name.data(), meta.name.size())),
               meta.name.data());
    }
  }

  void typing_gives_immediate_red_or_valid() {
    show_page(core::Page::Alarms);
    type("rpm_oil_psi_value", "2050");
    QVERIFY(red(edit("rpm_oil_psi_value")));
    QCOMPARE(state_.config.range_error, uint8_t{1});
    type("rpm_oil_psi_value", "2100");
    QVERIFY(!red(edit("rpm_oil_psi_value")));
    // Only digits get in.
    type("water_temp_value", "1a0-");
    QCOMPARE(edit("water_temp_value")->text(), QString("10"));
    type("water_temp_value", "105");
  }

  void gear_count_hides_gears() {
    show_page(core::Page::Gears);
    type("num_gear_value", "4");
    QVERIFY(!edit("gear_5_value")->isVisible());
    QVERIFY(edit("gear_4_value")->isVisible());
    QCOMPARE(edit("gear_6_value")->text(), QString("1.500"));
    type("gear_3_value", "3.500");
    QVERIFY(child<QLabel>("ratioProblem")->isVisible());
    QVERIFY(red(edit("gear_1_value")));
    testing::save_grab(form3_.get(), "configuration_gears_problem");
    type("gear_3_value", "2.000");
    QVERIFY(!child<QLabel>("ratioProblem")->isVisible());
    type("num_gear_value", "6");
  }

  void lap_timing_and_splits() {
    show_page(core::Page::Lap);
    child<QRadioButton>("", child("RadioGroup6"));  // the group exists
    auto radios = child("RadioGroup6")->findChildren<QRadioButton*>();
    QTest::mouseClick(radios[1], Qt::LeftButton);
    QVERIFY(child("split_1_distance")->isVisible());
    type("split_1_distance", "500");
    type("split_2_distance", "500");
    QCOMPARE(child<QLabel>("splitNote")->text(),
             QString("Error (Split 2 > Split 1) and (Split 3 > Split 2)"));
    QVERIFY(red(edit("split_2_distance")));
    type("split_2_distance", "1000");
    QCOMPARE(child<QLabel>("splitNote")->text(), QString("Split Timer Function Enabled"));
    auto modes = child("RadioGroup19")->findChildren<QRadioButton*>();
    QTest::mouseClick(modes[1], Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("CheckBox17"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("lapRow0")->text(), QString("Finish"));
    QVERIFY(child("AbNumEdit1")->isEnabled());
    QVERIFY(!child("AbNumEdit3")->isEnabled());
    testing::save_grab(form3_.get(), "configuration_lap_gps_sprint");
    QTest::mouseClick(child<QCheckBox>("CheckBox17"), Qt::LeftButton);
    QTest::mouseClick(modes[0], Qt::LeftButton);
    QTest::mouseClick(radios[0], Qt::LeftButton);
  }

  void model_tab_changes_captions() {
    show_page(core::Page::Display);
    auto* tabs = child<QTabBar>("TabControl2");
    QCOMPARE(child<QCheckBox>("CheckBox29")->text(), QString("18: GPS Heading"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QCOMPARE(child<QCheckBox>("CheckBox20")->text(), QString("1:  Oil Pressure and Temp"));
    QVERIFY(!child<QCheckBox>("CheckBox12")->isEnabled());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(child<QCheckBox>("CheckBox29")->text(), QString("18: GPS Direction"));
    // Page 1 stays on; page 5 follows page 4.
    QTest::mouseClick(child<QCheckBox>("CheckBox20"), Qt::LeftButton);
    QVERIFY(child<QCheckBox>("CheckBox20")->isChecked());
    QTest::mouseClick(child<QCheckBox>("lapfuncena"), Qt::LeftButton);
    QVERIFY(!child<QCheckBox>("CheckBox23")->isChecked());
    QTest::mouseClick(child<QCheckBox>("lapfuncena"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("CheckBox23"), Qt::LeftButton);
    QVERIFY(child<QCheckBox>("CheckBox23")->isChecked());
  }

  void odometer_password_unlocks_the_odometer() {
    show_page(core::Page::General);
    QVERIFY(edit("odometer_value")->isReadOnly());
    QTest::mouseClick(child<QCheckBox>("factorySet"), Qt::LeftButton);
    ui::TForm12* password = form3_->password_window();
    QVERIFY(password->isVisible());
    QVERIFY(!form3_->isEnabled());
    testing::save_grab(password, "odometer_password");
    host_.expect(MessageKind::Error, "Incorrect Password");
    QTest::keyClicks(password->entry(), "secret");
    QTest::mouseClick(child<QPushButton>("enterButton", password), Qt::LeftButton);
    QVERIFY(!password->isVisible());
    QVERIFY(form3_->isEnabled());
    QVERIFY(!child<QCheckBox>("factorySet")->isChecked());
    QVERIFY(edit("odometer_value")->isReadOnly());

    QTest::mouseClick(child<QCheckBox>("factorySet"), Qt::LeftButton);
    host_.expect(MessageKind::Information, "Pelorant Odometer Overwrite Enabled");
    QTest::keyClicks(password->entry(), "fenbox");
    QTest::mouseClick(child<QPushButton>("enterButton", password), Qt::LeftButton);
    QVERIFY(!edit("odometer_value")->isReadOnly());
    QVERIFY(state_.config.odometer_overwrite);
    QTest::mouseClick(child<QCheckBox>("factorySet"), Qt::LeftButton);
    QVERIFY(edit("odometer_value")->isReadOnly());
    QCOMPARE(QString::fromStdString(host_.verify()), QString());
  }

  void read_then_write_with_the_unit() {
    host_.expect(MessageKind::Information, "Pelorant2 Config Downloaded OK");
    QTest::mouseClick(child<QPushButton>("readConfigButton"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(host_.verify()), QString());
    QCOMPARE(child<QLineEdit>("verField")->text(), QString("4"));
    QCOMPARE(child<QLineEdit>("revField")->text(), QString("22"));
    QCOMPARE(child<QLineEdit>("mbitsField")->text(), QString("69.2"));
    QVERIFY(child<QPlainTextEdit>("modulesMemo")->toPlainText().contains("(M: Position)"));
    QCOMPARE(edit("veh_weight")->text(), QString("874"));
    QCOMPARE(child<QLabel>("accelNote")->text(), QString("Accel Test Selected"));
    type("veh_weight", "900");
    host_.expect(MessageKind::Information, "Pelorant2 Config Uploaded OK");
    QTest::mouseClick(child<QPushButton>("writeConfigButton"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(host_.verify()), QString());
    QCOMPARE(int(unit_.config_memory().eeprom()[4] | (unit_.config_memory().eeprom()[5] << 8)),
             900);

    type("veh_weight", "3000");  // out of range: the write is refused
    host_.expect(MessageKind::Warning, "Config Data not in Range, Cannot Upload");
    QTest::mouseClick(child<QPushButton>("writeConfigButton"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(host_.verify()), QString());
    type("veh_weight", "900");
  }

  void save_and_load_files() {
    const std::string dir = std::filesystem::temp_directory_path() / "ardenvis-gui-pcf";
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/car.pcf";
    std::filesystem::remove(file);
    host_.queue_save_file(dir + "/car");
    host_.expect(MessageKind::Information, "Config Saved OK");
    QTest::mouseClick(child<QPushButton>("saveConfigButton"), Qt::LeftButton);
    type("veh_weight", "1000");
    host_.queue_open_file(file);
    host_.expect(MessageKind::Information, "Config Loaded OK");
    QTest::mouseClick(child<QPushButton>("loadConfigButton"), Qt::LeftButton);
    QCOMPARE(edit("veh_weight")->text(), QString("900"));
    QCOMPARE(child<QLineEdit>("verField")->text(), QString());
    QCOMPARE(QString::fromStdString(host_.verify()), QString());
    std::filesystem::remove_all(dir);
    // Both dialogs list the file just saved ("Pelorant Config (*.pcf)|*.pcf" once
    // reached Qt as three patterns that matched nothing).
    QVERIFY(host_.dialogs.size() >= 2);
    for (const core::FileDialog& d : host_.dialogs) QVERIFY(dialog_lists(d.filter, "car.pcf"));
  }

  void out_of_range_values_read_are_shown_in_full() {
    // A value read from a file or the unit is shown whole (cut to "1234" it looked
    // valid, so a refused write could not be understood); the length limits typing.
    const std::string kept = form3_->editor().text(FieldId::speedo_cal_value);
    form3_->editor().set_text(FieldId::speedo_cal_value, "12345");
    QCOMPARE(edit("speedo_cal_value")->text(), QString("12345"));
    QVERIFY(red(edit("speedo_cal_value")));
    type("speedo_cal_value", "987654");
    QCOMPARE(edit("speedo_cal_value")->text(), QString("9876"));
    form3_->editor().set_text(FieldId::display_brightness, "100");
    QCOMPARE(edit("display_brightness")->text(), QString("100"));
    QVERIFY(red(edit("display_brightness")));
    type("display_brightness", "123");
    QCOMPARE(edit("display_brightness")->text(), QString("12"));
    form3_->editor().set_text(FieldId::display_brightness, "15");
    form3_->editor().set_text(FieldId::speedo_cal_value, kept);
  }

  void accel_note_has_room_for_its_texts() {
    show_page(core::Page::General);
    auto* note = child<QLabel>("accelNote");
    const std::string start = form3_->editor().text(FieldId::accel_start_speed);
    const std::string stop = form3_->editor().text(FieldId::accel_stop_speed);
    for (const auto& [from, to] : {std::pair{"0", "60"}, {"60", "0"}, {"0", "0"}}) {
      form3_->editor().set_text(FieldId::accel_start_speed, from);
      form3_->editor().set_text(FieldId::accel_stop_speed, to);
      QTest::qWait(1);
      const int needed = note->fontMetrics().horizontalAdvance(note->text()) +
                         2 * note->frameWidth() + 2 * note->margin();
      QVERIFY2(note->contentsRect().width() >= needed - 2 * note->frameWidth(),
               qPrintable(note->text()));
      QVERIFY2(note->parentWidget()->rect().contains(note->geometry()), qPrintable(note->text()));
    }
    form3_->editor().set_text(FieldId::accel_start_speed, start);
    form3_->editor().set_text(FieldId::accel_stop_speed, stop);
  }

  void every_file_filter_lists_files_of_its_kind() {
    const struct {
      const char* filter;
      const char* file;
    } cases[] = {{"Pelorant Config (*.pcf)|*.pcf", "car.pcf"},
                 {"Camera Database files (*.cam)", "cams.cam"},
                 {"Display Preference files (*.cfg)", "prefs.cfg"},
                 {"Ardenvis Label Files (*.lab)", "labels.lab"},
                 {"Comma Seperated Variable files (*.csv)", "lap.csv"},
                 {"Setup files (*.psu)", "car.psu"},
                 {"Pelorant files (*.plr)", "Session1.plr"},
                 {"Logs (*.plr)|*.plr|Exports|*.csv;*.txt", "out.txt"}};
    for (const auto& c : cases) {
      QVERIFY2(dialog_lists(c.filter, c.file), c.filter);
      QVERIFY2(!dialog_lists(c.filter, "other.xyz"), c.filter);
    }
    QCOMPARE(ui::qt_file_filter("Pelorant Config (*.pcf)|*.pcf"),
             QString("Pelorant Config (*.pcf)"));
  }

  void camera_page_holds_the_database_group() {
    auto* group = form3_->findChild<QGroupBox*>("cameraDatabaseGroup");
    QVERIFY(group);
    QCOMPARE(form3_->camera_page()->database_group(), group);
    QVERIFY(!form3_->findChild<QGroupBox*>("databaseGroup"));  // the empty place is gone
  }

  void grabs_of_every_page() {
    // Alternator pickup shown on the calibration page, with its warning.
    show_page(core::Page::Calibrate);
    QTest::mouseClick(child("RadioGroup20")->findChildren<QRadioButton*>()[1], Qt::LeftButton);
    form3_->editor().set_value(FieldId::AbNumSpin3, 2.4);
    QVERIFY(child<QLabel>("pulleyWarning")->isVisible());
    for (int i = 0; i < 12; ++i) {
      form3_->pages()->setCurrentIndex(i);
      QTest::qWait(1);
      if (i == static_cast<int>(core::Page::Camera)) {
        // The camera database group has its place on the Camera page.
        auto* database = form3_->findChild<QGroupBox*>("cameraDatabaseGroup");
        QVERIFY(database);
        QVERIFY(database->isVisible());
      }
      const auto& panel = core::config_pages()[static_cast<size_t>(i)].panel;
      testing::save_grab(form3_.get(), QString("configuration_%1_%2")
                                           .arg(i, 2, 10, QChar('0'))
                                           .arg(QString::fromUtf8(panel.data(), panel.size())));
    }
  }
};

QTEST_MAIN(ConfigurationTest)
#include "configuration_test.moc"
