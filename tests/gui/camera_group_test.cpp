// The camera page's "DataBase File Manager" group: load a file, write it to
// the simulated unit and check it, as a user would with the buttons.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>
#include <fstream>

#include "config/ui/camera_database_group.h"
#include "gui/screens.h"
#include "link/unit_session.h"
#include "sim/camera_flash.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"
#include "unit/camera_fixture.h"

using namespace ardenvis;

class CameraGroupTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  QWidget page_;
  ui::CameraDatabaseGroup* group_ = nullptr;
  QTemporaryDir dir_;

  QLineEdit* field(const char* name) { return group_->findChild<QLineEdit*>(name); }
  void click(const char* name) {
    auto* b = group_->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", name);
    QTest::mouseClick(b, Qt::LeftButton);
  }

 private slots:
  void initTestCase() {
    sim::set_firmware_version(unit_.options(), 424);
    state_.link.port = &port_;
    state_.link.serial_port_number = 1;
    core::open_serial_port(state_.link, 1);
    port_.on_silence = [this](int ms) { host_.clock.advance(ms); };
    group_ = new ui::CameraDatabaseGroup(state_, host_, &page_);
    (new QVBoxLayout(&page_))->addWidget(group_);
    page_.resize(720, 330);
    page_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page_));
  }
  void cleanup() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }

  void nothing_loaded() {
    QCOMPARE(group_->title(), QString("DataBase File Manager"));
    QCOMPARE(field("cameraFileField")->text(), QString("None"));
    QCOMPARE(field("cameraLocationsField")->text(), QString("0"));
    QCOMPARE(field("pocketGpsVersionField")->text(), QString("-.---"));
    QCOMPARE(field("formatVersionField")->text(), QString("-.---"));
    QVERIFY(group_->findChild<QLabel*>("eraseNote")->text().contains("erases the sessions"));
    testing::save_grab(&page_, "camera_group_empty");
    host_.expect(core::MessageKind::Information, "No Data to Upload");
    click("writeCameraButton");
    QCOMPARE(unit_.command_count('z'), 0);
  }

  void load_write_and_check() {
    const std::string path = dir_.filePath("uk_cameras.cam").toStdString();
    std::ofstream(path, std::ios::binary) << testing::CamFile(3000).text();
    host_.queue_open_file(path);
    host_.expect("Data Loaded OK");
    click("loadCameraButton");
    QCOMPARE(field("cameraFileField")->text(), QString("uk_cameras.cam"));
    QCOMPARE(field("cameraLocationsField")->text(), QString("3"));
    QCOMPARE(field("pocketGpsVersionField")->text(), QString("2.500"));
    QCOMPARE(field("formatVersionField")->text(), QString("1.050"));

    // "Yes": download the logged sessions first; nothing is sent.
    host_.expect(core::MessageKind::Warning,
                 "The unit's logged sessions will be erased. Download them first?",
                 core::Answer::Yes);
    click("writeCameraButton");
    QCOMPARE(unit_.command_count('z'), 0);
    host_.expect(core::MessageKind::Warning,
                 "The unit's logged sessions will be erased. Download them first?",
                 core::Answer::No);
    host_.expect(core::MessageKind::Information, "Data Upload OK");
    click("writeCameraButton");
    QCOMPARE(unit_.command_count('z'), 1);
    host_.expect(core::MessageKind::Information, "Database Test Passed OK");
    click("checkCameraButton");
    const QString memo = group_->findChild<QPlainTextEdit*>("informationMemo")->toPlainText();
    QVERIFY2(memo.startsWith("Checking Dash Version...\nVer: 4.24\nMemory: 69.20 Mbits"),
             qPrintable(memo));
    QVERIFY2(memo.endsWith("Checking 3036 bytes of data...\nTest Passed..."), qPrintable(memo));
    testing::save_grab(&page_, "camera_group_checked");
  }

  // An acceptance corrupted into a rejection has block 1 stored twice: the
  // read-back after the upload finds it, and the memo says to write again.
  void a_block_stored_twice_is_no_upload_ok() {
    unit_.camera_flash().options().garbled_accepts[1] = {0};
    host_.expect(core::MessageKind::Warning,
                 "The unit's logged sessions will be erased. Download them first?",
                 core::Answer::No);
    host_.expect(core::MessageKind::Warning, "Ardenvis Upload Problem [508,3036]");
    click("writeCameraButton");
    const QString memo = group_->findChild<QPlainTextEdit*>("informationMemo")->toPlainText();
    QVERIFY2(
        memo.endsWith("Checking Uploaded Data...\nUpload Check Failed!!! Write to Dash again..."),
        qPrintable(memo));
    testing::save_grab(&page_, "camera_group_upload_problem");
  }

  void failed_load_empties_the_fields() {
    const std::string path = dir_.filePath("broken.cam").toStdString();
    testing::CamFile file(40);
    file.trailer = {"256"};
    std::ofstream(path, std::ios::binary) << file.text();
    host_.queue_open_file(path);
    host_.expect(core::MessageKind::Error, "File Format Error, No Data Loaded");
    click("loadCameraButton");
    QCOMPARE(field("cameraFileField")->text(), QString("None"));
    host_.expect(core::MessageKind::Information, "No File Loaded to Check with Dash");
    click("checkCameraButton");
  }
};

QTEST_MAIN(CameraGroupTest)
#include "camera_group_test.moc"
