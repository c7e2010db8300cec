#pragma once
// Drives the real modal dialogs of the program in window tests.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <deque>

namespace ardenvis::testing {

// Answers the modal dialogs as they come up: a file dialog gets the next
// queued path, a message box must show the next queued text and is answered
// with its button.
class DialogDriver : public QObject {
 public:
  struct Step {
    QString text;  // the message, or the file path for a file dialog
    bool file_dialog = false;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
  };
  DialogDriver() {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &DialogDriver::poll);
    timer_.start();
  }
  void file(const QString& path) { steps_.push_back({path, true}); }
  void message(const QString& text, QMessageBox::StandardButton answer = QMessageBox::Ok) {
    steps_.push_back({text, false, answer});
  }
  bool done() const { return steps_.empty(); }
  QStringList failures;
  // The folder each file dialog opened in, in order.
  QStringList folders;

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    // Only dialogs are answered; the progress window is modal too.
    if (!qobject_cast<QFileDialog*>(modal) && !qobject_cast<QMessageBox*>(modal)) return;
    if (steps_.empty()) {
      failures << "unexpected dialog: " + modal->windowTitle();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) failures << box->text();
      modal->close();
      return;
    }
    const Step step = steps_.front();
    steps_.pop_front();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      folders << dialog->directory().absolutePath();
      if (!step.file_dialog) failures << "file dialog instead of \"" + step.text + "\"";
      // Typed into the dialog's name box, as a user would.
      if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(step.text);
      QMetaObject::invokeMethod(dialog, "accept");
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      if (step.file_dialog || box->text() != step.text) {
        failures << "message \"" + box->text() + "\" instead of \"" + step.text + "\"";
      }
      box->button(step.file_dialog ? QMessageBox::Ok : step.answer)->click();
    }
  }

  QTimer timer_;
  std::deque<Step> steps_;
};

}  // namespace ardenvis::testing
