// "Save Figure...": the plot, the track map and the G circle of "View Data"
// each saved as PNG, SVG and PDF at a chosen size; the files are read back
// and kept (SVG and PDF turned into pictures) beside the window grabs. And
// "Session Report...", the PDF report of data set A.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/screens.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/ui/plot_data.h"
#include "viewer/ui/view_data_files.h"
#include "widgets/chart.h"

using namespace ardenvis;
using core::MessageKind;

namespace {
QString screens_folder() { return qEnvironmentVariable("ARDENVIS_SCREENS", "screens"); }

// The share of sampled pixels that are not white: a drawn chart, not a blank page.
double inked_share(const QImage& image) {
  int inked = 0;
  int seen = 0;
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) {
      ++seen;
      if (image.pixelColor(x, y).lightness() < 240) ++inked;
    }
  }
  return seen ? static_cast<double>(inked) / seen : 0;
}
}  // namespace

class FiguresTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  QTemporaryDir dir_;
  std::unique_ptr<ui::TForm10> form_;
  std::optional<QSize> next_size_;  // what the size dialog answers
  QSize offered_size_;              // what it was offered

  template <typename T>
  T* find(const char* name) {
    auto* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  void choose(const char* combo, int index) {
    auto* box = find<QComboBox>(combo);
    box->setCurrentIndex(index);
    emit box->activated(index);
    QApplication::processEvents();
  }
  void show_page(int right_tab) {
    find<QTabBar>("rightTabs")->setCurrentIndex(right_tab);
    QApplication::processEvents();
  }
  void verify_host() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }
  QString path(const QString& name) const { return dir_.filePath(name); }

  // Saves the current page's figure under `name` and checks the answer.
  void save_figure(const QString& name, const QSize& size) {
    next_size_ = size;
    host_.queue_save_file(path(name).toStdString());
    host_.expect(MessageKind::Information, "File Saved OK");
    find<QPushButton>("saveFigureButton")->click();
    verify_host();
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(10, 3, 4),
                                 "circuit_10hz.plr"));
    QVERIFY(testing::decode_into(state_, core::DataSetId::B, testing::viewer_session(20, 5, 3),
                                 "circuit_20hz.plr"));
    state_.file(core::FileKind::Figure).folder = dir_.path().toStdString() + "/";
    form_ = std::make_unique<ui::TForm10>(state_, host_);
    host_.expect(MessageKind::Information, "Using Standard Display Preferences");
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    verify_host();
    form_->files()->figure_size_dialog = [this](const QSize& start) {
      offered_size_ = start;
      return next_size_;
    };
    // Two laps overlaid, so the track map and the G circle have a lap to show.
    const int laps_a = static_cast<int>(state_.data_sets[0].lap_count());
    choose("lapSelection1", 1);
    choose("lapSelection2", laps_a + 1);
    verify_host();
  }

  void every_chart_in_every_format() {
    struct Page {
      int tab;
      const char* name;
      const char* chart;
    };
    const Page pages[] = {
        {0, "plot", "plotChart"}, {4, "track_map", "trackChart"}, {5, "g_circle", "gCircleChart"}};
    const QSize size(900, 600);
    for (const Page& page : pages) {
      show_page(page.tab);
      testing::save_grab(form_.get(), QString("figure_window_%1").arg(page.name));
      const QString stem = QString("figure_%1").arg(page.name);

      save_figure(stem + ".png", size);
      QCOMPARE(QString::fromStdString(host_.dialogs.back().default_name),
               QString("%1.png").arg(page.name));
      QCOMPARE(offered_size_, find<ui::Chart>(page.chart)->size());
      const QImage png(path(stem + ".png"));
      QCOMPARE(png.size(), size);
      png.save(screens_folder() + "/" + stem + ".png");
      QVERIFY2(inked_share(png) > 0.01, page.name);

      save_figure(stem + ".svg", size);
      QSvgRenderer svg(path(stem + ".svg"));
      QVERIFY2(svg.isValid(), page.name);
      // Its size is given in millimetres at 96 pixels an inch, as viewers
      // take it; the drawing's own units are the figure's pixels.
      QCOMPARE(svg.viewBox(), QRect(QPoint(0, 0), size));
      QImage drawn(size, QImage::Format_ARGB32);
      drawn.fill(Qt::white);
      {
        QPainter painter(&drawn);
        svg.render(&painter);
      }
      drawn.save(screens_folder() + "/" + stem + "_svg.png");
      QVERIFY2(inked_share(drawn) > 0.01, page.name);

      // The drawing itself is kept too, for a viewer of one's choice.
      QFile::remove(screens_folder() + "/" + stem + ".svg");
      QFile::copy(path(stem + ".svg"), screens_folder() + "/" + stem + ".svg");

      save_figure(stem + ".pdf", size);
      QFile pdf(path(stem + ".pdf"));
      QVERIFY(pdf.open(QIODevice::ReadOnly));
      const QByteArray bytes = pdf.readAll();
      QVERIFY2(bytes.startsWith("%PDF-"), page.name);
      QVERIFY(bytes.trimmed().endsWith("%%EOF"));
      // Where poppler is installed, the page is kept as a picture too.
      const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
      if (!pdftoppm.isEmpty()) {
        QCOMPARE(
            QProcess::execute(pdftoppm, {"-png", "-r", "96", "-singlefile", path(stem + ".pdf"),
                                         screens_folder() + "/" + stem + "_pdf"}),
            0);
        const QImage page_picture(screens_folder() + "/" + stem + "_pdf.png");
        QCOMPARE(page_picture.size(), size);
        QVERIFY2(inked_share(page_picture) > 0.01, page.name);
      }
    }
    QCOMPARE(state_.file(core::FileKind::Figure).name, std::string("figure_g_circle.pdf"));
    show_page(0);
  }

  void names_sizes_and_failures() {
    show_page(0);
    // No extension: a PNG (the first format of the dialog).
    save_figure("bare", QSize(320, 200));
    QCOMPARE(QImage(path("bare.png")).size(), QSize(320, 200));

    host_.queue_save_file(path("plot.jpg").toStdString());
    host_.expect(MessageKind::Warning, "Invalid Filename, No Data Saved");
    find<QPushButton>("saveFigureButton")->click();
    verify_host();

    host_.queue_save_file(std::nullopt);
    host_.expect(MessageKind::Warning, "Cancelled, No Data Saved");
    find<QPushButton>("saveFigureButton")->click();
    verify_host();

    // Cancelling the size leaves no file behind.
    next_size_.reset();
    host_.queue_save_file(path("unsized.svg").toStdString());
    host_.expect(MessageKind::Warning, "Cancelled, No Data Saved");
    find<QPushButton>("saveFigureButton")->click();
    verify_host();
    QVERIFY(!QFile::exists(path("unsized.svg")));

    // An existing figure is replaced only when the user agrees.
    next_size_ = QSize(300, 300);
    host_.queue_save_file(path("bare.png").toStdString());
    host_.expect(MessageKind::Confirmation, "File Exists, Overwrite File ?", core::Answer::No);
    host_.expect(MessageKind::Warning, "No Data Saved");
    find<QPushButton>("saveFigureButton")->click();
    verify_host();
    QCOMPARE(QImage(path("bare.png")).size(), QSize(320, 200));

    host_.queue_save_file(path("nowhere/plot.pdf").toStdString());
    host_.expect(MessageKind::Error, "Problem Saving Figure File");
    find<QPushButton>("saveFigureButton")->click();
    verify_host();
  }

  void session_report_of_data_a() {
    state_.file(core::FileKind::SessionReport).folder = dir_.path().toStdString() + "/";
    state_.data_sets[0].notes = {" Filename: circuit_10hz.plr", "Dry, 18 C"};
    form_->files()->venue = [](const core::DataSet&, int) {
      return std::optional<std::string>("Oulton Park");
    };
    host_.queue_save_file(path("circuit").toStdString());
    host_.expect(MessageKind::Information, "File Saved OK");
    find<QPushButton>("sessionReportButton")->click();
    verify_host();
    QCOMPARE(QString::fromStdString(host_.dialogs.back().default_name),
             QString("circuit_10hz_report.pdf"));
    QFile pdf(path("circuit.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    // The notes take the report to a second page.
    int pages = 0;
    auto found = QRegularExpression("/Type\\s*/Page[^s]").globalMatch(QString::fromLatin1(bytes));
    for (; found.hasNext(); found.next()) ++pages;
    QCOMPARE(pages, 2);
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (!pdftoppm.isEmpty()) {
      QCOMPARE(QProcess::execute(pdftoppm, {"-png", "-r", "110", path("circuit.pdf"),
                                            screens_folder() + "/view_data_report"}),
               0);
    }
    // A file that cannot be written is said so, and nothing is remembered.
    host_.queue_save_file(path("nowhere/report.pdf").toStdString());
    host_.expect(MessageKind::Error, "Problem Saving Session Report");
    find<QPushButton>("sessionReportButton")->click();
    verify_host();
    QCOMPARE(state_.file(core::FileKind::SessionReport).name, std::string("circuit.pdf"));
  }

  void cleanupTestCase() { form_.reset(); }
};

QTEST_MAIN(FiguresTest)
#include "figures_test.moc"
