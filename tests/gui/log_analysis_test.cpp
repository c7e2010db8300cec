// "Log Analysis" and "Download Data Menu" against the in-process simulated
// unit: the session table, paging, downloads into A and B with their labels,
// the automatic save, and the window grabs with sessions loaded.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "common/format.h"
#include "gui/screens.h"
#include "logger/decoder.h"
#include "logger/ui/log_index.h"
#include "logger/ui/logger.h"
#include "sim/simulated_port.h"
#include "sim/stored_sessions.h"
#include "support/scripted_host.h"

using namespace ardenvis;
using core::DataSetId;
using core::MessageKind;

class LogAnalysisTest : public QObject {
  Q_OBJECT

 private:
  sim::SimulatedUnit unit_;
  sim::SimulatedPort port_{unit_};
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::vector<sim::SynthesisedSession> sessions_;
  std::unique_ptr<ui::TForm2> form2_;
  std::unique_ptr<ui::TForm16> form16_;

  template <typename T = QPushButton>
  T* child(QWidget* window, const char* name) {
    auto* w = window->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  QString cell(int row, int column) { return form16_->cell(row, column)->text(); }
  static std::string processed(const std::vector<uint8_t>& bytes) {
    long c = 0;
    const long n = static_cast<long>(bytes.size());
    while (c <= n - 65) c += core::read_record_header(&bytes[static_cast<size_t>(c)]).length;
    return "Processed " + std::to_string(c) + " bytes of Data";
  }
  // The synthesised session shown as number n (1 = newest).
  const sim::SynthesisedSession& session(int n) { return sessions_[sessions_.size() - n]; }
  void download(int n, DataSetId to) {
    form16_->session_box()->setCurrentIndex(n - 1);
    form16_->to_memory_box()->setCurrentIndex(to == DataSetId::B ? 1 : 0);
    QTest::mouseClick(child(form16_.get(), "downloadButton"), Qt::LeftButton);
  }

 private slots:
  void initTestCase() {
    sessions_ = sim::store_synthesised_sessions(unit_.log_memory(), {10, 1, 0, 10});
    state_.link.port = &port_;
    state_.link.serial_port_number = 1;
    form2_ = std::make_unique<ui::TForm2>(state_, host_);
    form16_ = std::make_unique<ui::TForm16>(state_, host_);
    // As the application wires them.
    connect(form16_.get(), &ui::TForm16::download_requested, form2_.get(),
            [this](int n, DataSetId to) { form2_->get_log_dataSet(n, to); });
    form2_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form2_.get()));
  }
  void cleanup() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }

  void download_menu_reads_the_index() {
    QCOMPARE(form2_->label_field(DataSetId::A)->text(), QString("No Data"));
    testing::save_grab(form2_.get(), "log_analysis_empty");
    QSignalSpy opened(form2_.get(), &ui::TForm2::view_session_data);
    QTest::mouseClick(form2_->download_menu_button(), Qt::LeftButton);
    QCOMPARE(opened.count(), 1);
    form2_->hide();
    form16_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form16_.get()));
    QCOMPARE(form16_->windowTitle(), QString("Download Data Menu"));
    // The caption's words on one line in a button as tall as its neighbours.
    auto* clear = child(form16_.get(), "clearButton");
    QCOMPARE(clear->text(), QString("Clear All Log Sessions"));
    QCOMPARE(clear->height(), child(form16_.get(), "refreshButton")->height());
    QVERIFY(clear->width() >= clear->fontMetrics().horizontalAdvance(clear->text()));
    QCOMPARE(cell(0, 0), QString("1"));
    QCOMPARE(cell(0, 2),
             QString::fromStdString(core::format("%.2f", session(1).bytes.size() / 1000.0)));
    QCOMPARE(cell(0, 3), QString("12/05"));
    QCOMPARE(cell(0, 4), QString("18h:33m"));
    QCOMPARE(child<QLabel>(form16_.get(), "totalMemory")->text(), QString("69.21"));
    QVERIFY(!form16_->memory_full_label()->isVisible());
    testing::save_grab(form16_.get(), "download_menu");
  }

  void paging() {
    QTest::mouseClick(child(form16_.get(), "nextLogsButton"), Qt::LeftButton);
    QCOMPARE(cell(0, 0), QString("9"));
    QCOMPARE(cell(1, 0), QString("10"));
    QVERIFY(cell(1, 2) != "NA");  // the oldest of ten
    QCOMPARE(cell(2, 2), QString("NA"));
    QCOMPARE(cell(2, 3), QString("NA"));
    testing::save_grab(form16_.get(), "download_menu_page2");
    host_.expect(MessageKind::Information, "No More Sessions to View");
    QTest::mouseClick(child(form16_.get(), "nextLogsButton"), Qt::LeftButton);
    QTest::mouseClick(child(form16_.get(), "prevLogsButton"), Qt::LeftButton);
    QCOMPARE(cell(0, 0), QString("1"));
  }

  void downloads_into_a_and_b() {
    host_.expect(MessageKind::Information, processed(session(2).bytes));
    download(2, DataSetId::B);
    host_.expect(MessageKind::Information, processed(session(1).bytes));
    download(1, DataSetId::A);
    QCOMPARE(state_.data_set(DataSetId::B).raw, session(2).bytes);
    QCOMPARE(state_.data_set(DataSetId::A).raw, session(1).bytes);
    form16_->hide();
    form2_->show();
    QCOMPARE(form2_->label_field(DataSetId::A)->text(), QString("Memory A"));
    QCOMPARE(form2_->label_field(DataSetId::B)->text(), QString("Memory B"));
    testing::save_grab(form2_.get(), "log_analysis_loaded");
  }

  void automatic_save_names_the_file() {
    std::vector<std::string> names;
    state_.save_log_data = [&](core::ProgramState& s, core::Host&) {
      names.push_back(s.file(core::FileKind::LogData).name);
    };
    host_.fixed_now = std::chrono::system_clock::from_time_t(1778580000);  // in 2026
    child<QCheckBox>(form2_.get(), "autoSaveBox")->setChecked(true);
    child<QCheckBox>(form2_.get(), "logDateNameBox")->setChecked(true);
    host_.expect(MessageKind::Information, processed(session(3).bytes));
    form2_->get_log_dataSet(3, DataSetId::B);
    child<QCheckBox>(form2_.get(), "logDateNameBox")->setChecked(false);
    host_.expect(MessageKind::Information, processed(session(3).bytes));
    form2_->get_log_dataSet(3, DataSetId::B);
    QCOMPARE(names.size(), size_t{2});
    QCOMPARE(QString::fromStdString(names[0]), QString("26y12d05m_16h59m_LogID_3"));
    QCOMPARE(QString::fromStdString(names[1]), QString("LogSession_3"));
    child<QCheckBox>(form2_.get(), "autoSaveBox")->setChecked(false);
    state_.save_log_data = {};
  }

  void view_data_needs_samples() {
    QSignalSpy view(form16_.get(), &ui::TForm16::view_data);
    QTest::mouseClick(child(form16_.get(), "viewDataButton"), Qt::LeftButton);
    QCOMPARE(view.count(), 1);
  }

  void memory_full_and_clear() {
    unit_.log_memory().index()[0] |= 0x80;
    form16_->show();
    QTest::mouseClick(child(form16_.get(), "refreshButton"), Qt::LeftButton);
    QVERIFY(form16_->memory_full_label()->isVisible());
    testing::save_grab(form16_.get(), "download_menu_full");
    host_.expect(MessageKind::Warning, "Clear the Pelorant Logger Memory", core::Answer::Yes);
    host_.expect(MessageKind::Information, "Pelorant Memory Cleared");
    QTest::mouseClick(child(form16_.get(), "clearButton"), Qt::LeftButton);
    QVERIFY(!form16_->memory_full_label()->isVisible());
    QCOMPARE(cell(0, 2), QString("NA"));
    QCOMPARE(child<QLabel>(form16_.get(), "usedMemory")->text(), QString("0.00"));
  }
};

QTEST_MAIN(LogAnalysisTest)
#include "log_analysis_test.moc"
