// The data file buttons of the "Log Analysis" window, driven through the real
// dialogs: save data set A, load it into B, edit B's notes and save them as a
// template, then export B for a spreadsheet.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <fstream>

#include "app/ui/application.h"
#include "files/ui/logger_notes.h"
#include "gui/dialog_driver.h"
#include "gui/screens.h"
#include "logger/decoder.h"
#include "logger/ui/logger.h"
#include "sim/session_synth.h"
#include "sim/simulated_port.h"
#include "support/scripted_host.h"

using namespace ardenvis;
using core::DataSetId;

class DataFilesTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  std::unique_ptr<ui::Application> app_;
  QTemporaryDir dir_;
  QString path(const QString& name) { return dir_.path() + "/" + name; }
  QPushButton* button(QWidget* window, const char* name) {
    auto* b = window->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", name);
    return b;
  }

 private slots:
  void initTestCase() {
    app_ = std::make_unique<ui::Application>(state_, port_, dir_.path().toStdString());
    // Data set A as a download leaves it.
    const auto session = sim::synthesise_session({});
    core::DataSet& a = state_.data_set(DataSetId::A);
    a.raw = session.bytes;
    a.held_byte_count = static_cast<uint32_t>(a.raw.size());
    a.info.raw_byte_count = a.held_byte_count;
    a.info.sample_rate = session.sample_rate;
    a.info.firmware_major = 4;
    a.info.firmware_minor = 22;
    a.info.label = "Memory A";
    a.download_state = 1;
    state_.identity.distance_factor = 1000;
    a.unit = state_.identity;
    testing::ScriptedHost quiet;
    core::process_data_packets(state_, quiet);
    QCOMPARE(a.loaded, core::kDecoded);
    app_->log_analysis()->show();
  }

  void save_load_notes_template_and_export() {
    ui::TForm2* logger = app_->log_analysis();
    testing::DialogDriver driver;
    driver.file(path("a.plr"));
    driver.message("File Saved OK");
    QTest::mouseClick(logger->data_set_button(DataSetId::A, "save"), Qt::LeftButton);
    QCOMPARE(logger->label_field(DataSetId::A)->text(), QString("a.plr"));

    const size_t framed = state_.data_set(DataSetId::A).info.raw_byte_count;
    driver.file(path("a.plr"));
    driver.message(QString("Processed %1 bytes of Data").arg(framed));
    QTest::mouseClick(logger->data_set_button(DataSetId::B, "load"), Qt::LeftButton);
    QVERIFY2(driver.failures.isEmpty(), qPrintable(driver.failures.join("\n")));
    QVERIFY(state_.current_data_set == DataSetId::B);
    QCOMPARE(state_.data_set(DataSetId::B).loaded, core::kDecoded);
    QCOMPARE(logger->label_field(DataSetId::B)->text(), QString("a.plr"));
    testing::save_grab(logger, "log_analysis_loaded");

    QTest::mouseClick(logger->data_set_button(DataSetId::B, "notes"), Qt::LeftButton);
    ui::TForm11* notes = app_->setup_notes();
    QVERIFY(notes->isVisible());
    QVERIFY(!logger->isVisible());
    QCOMPARE(notes->notes_memo(DataSetId::B)->toPlainText(), QString(" Filename: a.plr"));
    notes->notes_memo(DataSetId::B)->appendPlainText("Soft rear bar");
    notes->field(17)->setFocus();
    QTest::keyClicks(notes->field(17), "3");
    driver.file(path("setup.psu"));
    driver.message("File Saved OK");
    QTest::mouseClick(button(notes, "saveTemplateButton"), Qt::LeftButton);
    QTest::mouseClick(button(notes, "backButton"), Qt::LeftButton);
    QVERIFY(logger->isVisible());
    QCOMPARE(state_.data_set(DataSetId::B).setup_texts[16], std::string("3"));

    driver.message("Load Display Preference File for Sensor Module Channel IDs?", QMessageBox::No);
    driver.file(path("b.csv"));
    driver.message("File Saved OK");
    QTest::mouseClick(logger->data_set_button(DataSetId::B, "excel"), Qt::LeftButton);

    QVERIFY(driver.done());
    QVERIFY2(driver.failures.isEmpty(), qPrintable(driver.failures.join("\n")));
    std::ifstream csv(path("b.csv").toStdString());
    std::string line;
    std::getline(csv, line);
    QCOMPARE(QString::fromStdString(line), QString("// Pelorant2 Data File:\r"));
    std::ifstream psu(path("setup.psu").toStdString());
    std::getline(psu, line);
    QCOMPARE(QString::fromStdString(line), QString("// Filename: a.plr\r"));
    std::getline(psu, line);
    QCOMPARE(QString::fromStdString(line), QString("//Soft rear bar\r"));
  }
};

QTEST_MAIN(DataFilesTest)
#include "data_files_test.moc"
