// The "Setup Notes" window: which data set it shows, what Back, Cancel and
// Clear keep, the memo as the notes text, and the template buttons.

#include "files/setup_notes.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "files/ui/logger_notes.h"
#include "gui/screens.h"
#include "support/scripted_host.h"

using namespace ardenvis;
using core::DataSetId;

class SetupNotesTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  std::unique_ptr<ui::TForm11> window_;
  QTemporaryDir dir_;

  QPushButton* button(const char* name) {
    auto* b = window_->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", name);
    return b;
  }
  void open_for(DataSetId slot) {
    window_->hide();
    state_.current_data_set = slot;
    window_->show();
  }
  void type(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
  }
  std::string text(DataSetId slot, int k) {
    return state_.data_set(slot).setup_texts[static_cast<size_t>(k - 1)];
  }

 private slots:
  void init() {
    state_ = core::ProgramState{};
    host_ = testing::ScriptedHost{};
    state_.file(core::FileKind::SetupNotes) = {dir_.path().toStdString() + "/", "default.psu"};
    window_ = std::make_unique<ui::TForm11>(state_, host_);
  }
  void cleanup() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }

  void shows_the_current_data_set() {
    state_.data_set(DataSetId::A).setup_texts[0] = "81";
    state_.data_set(DataSetId::B).setup_texts[0] = "92";
    state_.data_set(DataSetId::B).setup_texts[64] = "Locked";
    state_.data_set(DataSetId::B).notes = {"Wet", "Rain tyres"};
    open_for(DataSetId::B);
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QCOMPARE(window_->windowTitle(), QString("Setup Notes"));
    QCOMPARE(window_->sheet_group()->title(), QString("Data B Notes"));
    QVERIFY(window_->notes_memo(DataSetId::B)->isVisible());
    QVERIFY(!window_->notes_memo(DataSetId::A)->isVisible());
    QCOMPARE(window_->notes_memo(DataSetId::B)->toPlainText(), QString("Wet\nRain tyres"));
    QCOMPARE(window_->field(1)->text(), QString("92"));
    QCOMPARE(window_->field(65)->text(), QString("Locked"));
    QCOMPARE(window_->field(1)->maxLength(), 4);
    QCOMPARE(window_->field(12)->maxLength(), 5);
    QCOMPARE(window_->field(65)->maxLength(), 6);
    QCOMPARE(button("saveTemplateButton")->toolTip(),
             QString("Save your setup to disc as a template for future sessions."));
    QVERIFY(window_->findChild<QGroupBox*>()->title() == QString("General Notes"));
    testing::save_grab(window_.get(), "setup_notes");

    open_for(DataSetId::A);
    QCOMPARE(window_->sheet_group()->title(), QString("Data A Notes"));
    QCOMPARE(window_->field(1)->text(), QString("81"));
    QVERIFY(window_->notes_memo(DataSetId::A)->isVisible());
    QVERIFY(!window_->notes_memo(DataSetId::B)->isVisible());
  }

  void cancel_drops_and_back_keeps_field_edits() {
    state_.data_set(DataSetId::A).setup_texts[8] = "-1.5";
    open_for(DataSetId::A);
    QSignalSpy cancelled(window_.get(), &ui::TForm11::cancel_loggernotes);
    QSignalSpy back(window_.get(), &ui::TForm11::back_to_logger);
    type(window_->field(9), "-2.0");
    QTest::mouseClick(button("cancelButton"), Qt::LeftButton);
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(text(DataSetId::A, 9), std::string("-1.5"));
    open_for(DataSetId::A);
    QCOMPARE(window_->field(9)->text(), QString("-1.5"));

    type(window_->field(9), "-2.255");  // one character over the field's length
    QTest::mouseClick(button("backButton"), Qt::LeftButton);
    QCOMPARE(back.count(), 1);
    QCOMPARE(text(DataSetId::A, 9), std::string("-2.25"));
    QCOMPARE(text(DataSetId::B, 9), std::string());
  }

  void memo_is_the_notes_text() {
    open_for(DataSetId::B);
    QPlainTextEdit* memo = window_->notes_memo(DataSetId::B);
    memo->setFocus();
    QTest::keyClicks(memo, "Soft front");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "Hard rear");
    QCOMPARE(state_.data_set(DataSetId::B).notes,
             (std::vector<std::string>{"Soft front", "Hard rear"}));
    memo->setPlainText(QString(2100, 'x'));
    QCOMPARE(state_.data_set(DataSetId::B).notes.front().size(), size_t{2000});
    QVERIFY(state_.data_set(DataSetId::A).notes.empty());
  }

  void typing_never_cuts_longer_notes() {
    // Templates and the file name lines of saves make notes longer than the
    // typing limit; an edit must not cut them.
    std::vector<std::string> lines;
    for (int i = 0; i < 60; ++i) lines.push_back(std::string(46, static_cast<char>('a' + i % 26)));
    state_.data_set(DataSetId::A).notes = lines;
    open_for(DataSetId::A);
    QPlainTextEdit* memo = window_->notes_memo(DataSetId::A);
    memo->setFocus();
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClick(memo, Qt::Key_Delete);
    QTest::keyClicks(memo, "Z");
    lines.front().front() = 'Z';
    QCOMPARE(state_.data_set(DataSetId::A).notes, lines);
    QTest::keyClicks(memo, "Y");  // beyond the notes as they came: refused
    QCOMPARE(state_.data_set(DataSetId::A).notes, lines);
  }

  void clear_empties_the_current_data_set_only() {
    for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
      state_.data_set(slot).setup_texts[3] = "28";
      state_.data_set(slot).setup_texts[72] = "kept?";
      state_.data_set(slot).notes = {"note"};
    }
    open_for(DataSetId::A);
    QTest::mouseClick(button("clearButton"), Qt::LeftButton);
    QCOMPARE(window_->field(4)->text(), QString());
    QCOMPARE(window_->notes_memo(DataSetId::A)->toPlainText(), QString());
    QCOMPARE(text(DataSetId::A, 73), std::string());
    QVERIFY(state_.data_set(DataSetId::A).notes.empty());
    QCOMPARE(text(DataSetId::B, 4), std::string("28"));
    QCOMPARE(state_.data_set(DataSetId::B).notes, std::vector<std::string>{"note"});
  }

  void save_needs_decoded_data() {
    open_for(DataSetId::A);
    type(window_->field(16), "640");
    host_.expect(core::MessageKind::Information, "No Valid Data Loaded to Save Setup With");
    QTest::mouseClick(button("saveButton"), Qt::LeftButton);
    QCOMPARE(text(DataSetId::A, 16), std::string("640"));  // stored before the check
  }

  void template_round_trip() {
    open_for(DataSetId::A);
    type(window_->field(31), "34");
    state_.data_set(DataSetId::A).setup_texts[77] = "hidden";
    const std::string path = dir_.path().toStdString() + "/baseline.psu";
    host_.expect(core::MessageKind::Information, "File Saved OK");
    host_.queue_save_file(path);
    QTest::mouseClick(button("saveTemplateButton"), Qt::LeftButton);

    open_for(DataSetId::B);
    host_.queue_open_file(path);
    QTest::mouseClick(button("loadTemplateButton"), Qt::LeftButton);
    QCOMPARE(window_->field(31)->text(), QString("34"));
    QCOMPARE(text(DataSetId::B, 78), std::string("hidden"));
    QCOMPARE(state_.file(core::FileKind::SetupNotes).name, std::string("baseline.psu"));
  }
};

QTEST_MAIN(SetupNotesTest)
#include "setup_notes_test.moc"
