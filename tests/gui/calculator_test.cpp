// The "Calculator" window: the three tyre pages, which entries each sensor
// position shows, the final drive groups, the result colours, the hand-over
// to the configuration and what is kept when the window is left.

#include "calc/ui/calculator.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

#include "gui/screens.h"
#include "support/scripted_host.h"

using namespace ardenvis;

class CalculatorTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm4> window_;

  template <typename T>
  T* find(const char* name) {
    auto* w = window_->findChild<T*>(name);
    if (!w) qFatal("no %s", name);
    return w;
  }
  QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
  void click(const char* name) {
    auto* button = window_->findChild<QAbstractButton*>(name);
    if (!button) qFatal("no %s", name);
    // A radio button takes clicks on its indicator and caption only.
    if (qobject_cast<QRadioButton*>(button)) {
      button->click();
    } else {
      QTest::mouseClick(button, Qt::LeftButton);
    }
  }
  void type(const char* name, const QString& text) {
    QLineEdit* f = field(name);
    f->selectAll();
    QTest::keyClicks(f, text);
  }
  void reopen() {
    window_->hide();
    window_->show();
  }
  bool is_red(QLineEdit* f) { return f->styleSheet().contains("#ff4040"); }

 private slots:
  void init() {
    state_ = core::ProgramState{};
    host_ = testing::ScriptedHost{};
    window_ = std::make_unique<ui::TForm4>(state_, host_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() {
    QCOMPARE(QString::fromStdString(host_.verify()), QString());
    window_.reset();
  }

  void start_values_and_road_page() {
    QCOMPARE(window_->windowTitle(), QString("Calculator"));
    QCOMPARE(field("speedoCalResult")->text(), QString("3564"));
    QCOMPARE(field("gearCalResult")->text(), QString("1000"));
    QCOMPARE(field("rearCircumference")->text(), QString("2898"));
    QCOMPARE(field("rearRadius")->text(), QString("461"));
    QCOMPARE(field("frontCircumference")->text(), QString());
    QVERIFY(!is_red(field("speedoCalResult")));
    QCOMPARE(find<QStackedWidget>("tyre_type_notebook")->currentIndex(), 0);
    // Propshaft sensor: only the rear entries.
    QVERIFY(!find<QWidget>("front_tyre_width")->isVisible());
    QVERIFY(find<QWidget>("rear_tyre_width")->isVisible());
    QVERIFY(find<QGroupBox>("diffGroup")->isVisible());
    QVERIFY(!find<QGroupBox>("sprocketGroup")->isVisible());
    QCOMPARE(field("diff_ratio_value")->displayText(), QString("3.21"));
    click("Drive_Sensor_Buttons_1");  // front and rear
    QVERIFY(find<QWidget>("front_tyre_width")->isVisible());
    testing::save_grab(window_.get(), "calculator_road_tyres");
  }

  void slick_page_and_visibility() {
    click("Tyre_type_buttons_1");
    click("Drive_Sensor_Buttons_4");
    type("rear_tyre_diameter", "550");
    QCOMPARE(find<QStackedWidget>("tyre_type_notebook")->currentIndex(), 1);
    QCOMPARE(field("speedoCalResult")->text(), QString("1862"));
    QCOMPARE(field("rearCircumference")->text(), QString("1728"));
    click("Drive_Sensor_Buttons_0");  // front only: rear entries hidden, values kept
    QVERIFY(!field("rear_tyre_diameter")->isVisible());
    QVERIFY(field("front_tyre_diameter")->isVisible());
    QCOMPARE(field("rear_tyre_diameter")->text(), QString("550"));
    click("Drive_Sensor_Buttons_2");
    testing::save_grab(window_.get(), "calculator_slick_tyres");
  }

  void unknown_page_error_and_refused_hand_over() {
    click("Tyre_type_buttons_2");
    click("Drive_Sensor_Buttons_0");
    type("front_tyre_circumference", "300");
    QCOMPARE(field("speedoCalResult")->text(), QString("Error"));
    QVERIFY(is_red(field("speedoCalResult")));
    testing::save_grab(window_.get(), "calculator_unknown_tyres");
    host_.expect(core::MessageKind::Error, "Calibration Values not Valid!");
    QSignalSpy gone(window_.get(), &ui::TForm4::goto_configuration);
    click("gotoConfigurationButton");
    QCOMPARE(gone.count(), 0);
    // An emptied entry reads "0".
    field("front_tyre_circumference")->clear();
    QCOMPARE(field("front_tyre_circumference")->text(), QString("0"));
    QCOMPARE(field("speedoCalResult")->text(), QString("Error"));
  }

  void sprocket_drive() {
    click("RadioGroup1_0");
    QVERIFY(find<QGroupBox>("sprocketGroup")->isVisible());
    QVERIFY(!find<QGroupBox>("diffGroup")->isVisible());
    QCOMPARE(field("Edit1")->text(), QString("2.93"));
    field("NumIO1")->clear();
    QCOMPARE(field("Edit1")->text(), QString("0.00"));
    type("NumIO1", "0");  // an engine count of 0 keeps the text
    QCOMPARE(field("Edit1")->text(), QString("0.00"));
    type("NumIO1", "11");
    type("NumIO2", "33");
    QCOMPARE(field("Edit1")->text(), QString("3.00"));
    QCOMPARE(field("gearCalResult")->text(), QString("1000"));    // propshaft
    QCOMPARE(field("speedoCalResult")->text(), QString("3331"));  // 3218 x 3 / 2.8984
  }

  void hand_over_stores_and_goes_to_configuration() {
    std::string speedo, gear;
    window_->set_calibration_target([&](const std::string& s, const std::string& g) {
      speedo = s;
      gear = g;
    });
    click("Drive_Sensor_Buttons_4");
    QSignalSpy gone(window_.get(), &ui::TForm4::goto_configuration);
    click("gotoConfigurationButton");
    QCOMPARE(gone.count(), 1);
    QCOMPARE(speedo, std::string("1110"));
    QCOMPARE(gear, std::string("3210"));
    QCOMPARE(state_.calculator.drive_and_sensor_position, 4);
  }

  // Help and back is a look at the instructions, not a new visit: the user's
  // unsaved entries stay, and the hand-over sends their factors.
  void help_and_back_keeps_the_entries() {
    std::string speedo, gear;
    window_->set_calibration_target([&](const std::string& s, const std::string& g) {
      speedo = s;
      gear = g;
    });
    click("Tyre_type_buttons_1");
    click("Drive_Sensor_Buttons_4");
    type("rear_tyre_diameter", "584");
    type("diff_ratio_value", "390");
    QCOMPARE(field("speedoCalResult")->text(), QString("1754"));
    QSignalSpy help(window_.get(), &ui::TForm4::view_help);
    click("helpButton");
    QCOMPARE(help.count(), 1);
    reopen();  // back from "Calcultor Help"
    QCOMPARE(find<QStackedWidget>("tyre_type_notebook")->currentIndex(), 1);
    QCOMPARE(field("rear_tyre_diameter")->text(), QString("584"));
    QCOMPARE(field("diff_ratio_value")->displayText(), QString("3.90"));
    QCOMPARE(field("speedoCalResult")->text(), QString("1754"));
    QCOMPARE(field("gearCalResult")->text(), QString("3900"));
    click("gotoConfigurationButton");
    QCOMPARE(speedo, std::string("1754"));
    QCOMPARE(gear, std::string("3900"));
    // Help does not store: the next visit from elsewhere reloads the stored set.
    QCOMPARE(state_.calculator.tyre_type, 1);
    reopen();
    QCOMPARE(field("rear_tyre_diameter")->text(), QString("584"));
  }

  void close_box_keeps_the_stored_values() {
    click("Tyre_type_buttons_2");
    click("Drive_Sensor_Buttons_4");
    type("rear_tyre_circumference", "1800");
    QSignalSpy back(window_.get(), &ui::TForm4::back_to_toolbox);
    click("backToToolboxButton");
    QCOMPARE(back.count(), 1);
    QCOMPARE(state_.calculator.rear_tyre_circumference_mm, 1800);
    reopen();
    QCOMPARE(field("speedoCalResult")->text(), QString("1788"));
    QCOMPARE(field("gearCalResult")->text(), QString("3210"));
    QCOMPARE(field("rearRadius")->text(), QString("286"));
    // Edited, then left by the close box: not stored.
    type("rear_tyre_circumference", "2000");
    click("Drive_Sensor_Buttons_3");
    window_->close();
    QCOMPARE(back.count(), 2);
    reopen();
    QCOMPARE(field("rear_tyre_circumference")->text(), QString("1800"));
    QCOMPARE(field("speedoCalResult")->text(), QString("1788"));
  }
};

QTEST_MAIN(CalculatorTest)
#include "calculator_test.moc"
