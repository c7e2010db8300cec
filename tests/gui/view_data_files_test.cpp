// "View Data" files and output through the window's own controls: display
// preferences (automatic and by button), plot labels, the lap export, the
// bitmap, clipboard and printed page, the background logo.

#include "viewer/ui/view_data_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "common/format.h"
#include "files/log_file.h"
#include "gui/screens.h"
#include "support/scripted_host.h"
#include "support/viewer_data_sets.h"
#include "viewer/display_preferences.h"
#include "viewer/ui/plot_data.h"
#include "widgets/chart.h"

using namespace ardenvis;
using core::MessageKind;

namespace {
std::string read_file(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}
}  // namespace

class ViewDataFilesTest : public QObject {
  Q_OBJECT

 private:
  core::ProgramState state_;
  testing::ScriptedHost host_;
  QTemporaryDir dir_;
  std::unique_ptr<ui::TForm10> form_;

  template <typename T>
  T* find(const char* name) {
    auto* w = form_->findChild<T*>(name);
    if (!w) qFatal("no widget %s", name);
    return w;
  }
  QString path(const QString& name) const { return dir_.filePath(name); }
  void click(const char* button) { find<QPushButton>(button)->click(); }
  void verify_host() { QCOMPARE(QString::fromStdString(host_.verify()), QString()); }
  ui::Chart* chart() { return form_->plot_chart(); }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(testing::decode_into(state_, core::DataSetId::A, testing::viewer_session(10, 3, 4),
                                 "brands_a.plr"));
    QVERIFY(testing::decode_into(state_, core::DataSetId::B, testing::viewer_session(20, 5, 3),
                                 "brands_b.plr"));
    for (core::FileKind kind : {core::FileKind::DisplayPreferences, core::FileKind::ChannelLabels,
                                core::FileKind::LapExport, core::FileKind::PlotPicture}) {
      state_.file(kind).folder = dir_.path().toStdString() + "/";
    }
    // A default.cfg that ticks Gear, draws A as points and shows km/h.
    core::DisplayPreferences preferences = core::DisplayPreferences::defaults();
    preferences.shown[static_cast<size_t>(core::plot_channel_row(core::Channel::Gear))] = true;
    preferences.line_a = 2;
    preferences.units.speed_kmh = true;
    {
      core::AtomicTextWriter out;
      QVERIFY(out.open(path("default.cfg").toStdString()));
      core::write_preferences(out, preferences);
      QVERIFY(out.commit());
    }
    core::DataSet& b = state_.data_sets[1];
    b.notes = {"Brands Indy, dry, 18 C", "New front pads"};
    b.setup_texts[0] = "92";       // front left tyre temperature, outside
    b.setup_texts[64] = "Locked";  // the last field of the sheet
    b.setup_texts[70] = "not on the sheet";
    const double speed = state_.data_sets[0][core::Channel::Speed][100];
    form_ = std::make_unique<ui::TForm10>(state_, host_);
    form_->show();  // loads default.cfg without a word
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    verify_host();
    QVERIFY(find<QCheckBox>("channel2Check")->isChecked());
    QCOMPARE(find<QComboBox>("dataALine")->currentIndex(), 2);
    QCOMPARE(find<QComboBox>("speedUnit")->currentIndex(), 1);
    QVERIFY(state_.unit_flags.speed_kmh);
    QCOMPARE(state_.data_sets[0][core::Channel::Speed][100], speed * 1.6);
    // The lap tables and the unit labels follow the loaded unit.
    QCOMPARE(find<QLabel>("channel1Unit")->text(), QString("(KMH)"));
  }

  void preference_file_of_an_older_layout_loads_as_far_as_it_goes() {
    // Saved from the controls, then cut after line 45: colours and ticks only.
    find<QCheckBox>("channel0Check")->setChecked(false);  // RPM off
    host_.queue_save_file(path("mine.cfg").toStdString());
    host_.expect(MessageKind::Information, "File Saved OK");
    click("savePreferencesButton");
    verify_host();
    const auto lines = crlf_lines(read_file(path("mine.cfg")));
    QCOMPARE(lines.size(), size_t{70});
    QCOMPARE(lines[30], std::string("FALSE"));  // RPM shown
    QCOMPARE(lines[49], std::string("1"));      // KMH
    std::string cut;
    for (size_t i = 0; i < 45; ++i) cut += lines[i] + "\r\n";
    std::ofstream(path("old.cfg").toStdString(), std::ios::binary) << cut;

    find<QCheckBox>("channel0Check")->setChecked(true);
    find<QComboBox>("speedUnit")->setCurrentIndex(0);  // MPH again
    host_.queue_open_file(path("old.cfg").toStdString());
    host_.expect(MessageKind::Information, "Display Preferences Loaded");
    host_.expect(MessageKind::Warning, "Old Preference File Format, Please Re-Save to Update");
    click("loadPreferencesButton");
    verify_host();
    QVERIFY(!find<QCheckBox>("channel0Check")->isChecked());    // from the file
    QCOMPARE(find<QComboBox>("speedUnit")->currentIndex(), 0);  // line 50 not in it
    QVERIFY(!state_.unit_flags.speed_kmh);
    find<QCheckBox>("channel0Check")->setChecked(true);
  }

  void labels_placed_cleared_saved_and_loaded() {
    find<QTabBar>("leftTabs")->setCurrentIndex(3);  // "Marker"
    auto* mode = find<QComboBox>("labelMode");
    const ui::ChartRange r = chart()->range(1);
    const double x = r.x_low + (r.x_high - r.x_low) * 0.3;
    const double y = r.y_low + (r.y_high - r.y_low) * 0.7;
    emit chart()->clicked(x, y);  // "Off": nothing
    QCOMPARE(state_.label_counter, 1);
    mode->setCurrentIndex(2);  // "Set Label"
    emit chart()->clicked(x, y);
    QCOMPARE(state_.label_counter, 2);
    QVERIFY(chart()->label_caption(1).contains('\n'));  // a two-line readout
    QVERIFY(chart()->label_visible(1));
    mode->setCurrentIndex(3);  // "Set Text"
    find<QLineEdit>("labelFreeText")->setText("Braking point");
    emit chart()->clicked(x + (r.x_high - r.x_low) * 0.2, y);
    QCOMPARE(chart()->label_caption(2), QString("Braking point"));
    emit chart()->clicked(x, r.y_low + (r.y_high - r.y_low) * 0.2);
    chart()->repaint_now();
    testing::save_grab(form_.get(), "view_data_labels");

    click("clearLastLabelButton");
    QCOMPARE(state_.label_counter, 3);
    QCOMPARE(chart()->label_caption(3), QString());
    host_.queue_save_file(path("corner").toStdString());
    host_.expect(MessageKind::Information, "File Saved OK");
    click("saveLabelsButton");
    verify_host();
    const auto lines = crlf_lines(read_file(path("corner.lab")));
    QCOMPARE(lines.size(), size_t{7});
    QCOMPARE(lines[0], std::string("2"));
    QVERIFY(lines[3].find('?') != std::string::npos);  // the readout's line feed

    click("clearAllLabelsButton");
    QCOMPARE(state_.label_counter, 1);
    QCOMPARE(chart()->label_caption(1), QString());
    mode->setCurrentIndex(0);
    QVERIFY(!chart()->label_visible(1));
    host_.queue_open_file(path("corner.lab").toStdString());
    host_.expect(MessageKind::Information, "Label File Loaded");
    click("loadLabelsButton");
    verify_host();
    QCOMPARE(mode->currentText(), QString("View"));
    QVERIFY(chart()->label_visible(1));
    QCOMPARE(chart()->label_caption(2), QString("Braking point"));
    QVERIFY(chart()->label_caption(1).contains('\n'));

    // Drawing the plot afresh (here a new x-axis) takes every label away.
    find<QComboBox>("xAxisSelector")->setCurrentIndex(1);
    QCOMPARE(state_.label_counter, 1);
    QCOMPARE(chart()->label_caption(2), QString());
    find<QComboBox>("xAxisSelector")->setCurrentIndex(0);
    host_.expect(MessageKind::Warning, "No Labels to Save");
    click("saveLabelsButton");
    verify_host();
    mode->setCurrentIndex(0);
  }

  void lap_export_takes_the_chosen_selection() {
    find<QTabBar>("leftTabs")->setCurrentIndex(0);  // "File"
    host_.expect(MessageKind::Information, "No Valid Lap Data Selected");
    click("exportLapButton");  // no selection chosen
    verify_host();
    auto* choice = find<QComboBox>("lapExportSelection");
    choice->setCurrentIndex(1);  // "Lap Selection 2", nothing in "Selection 2:"
    host_.expect(MessageKind::Information, "No Valid Lap Data Selected");
    click("exportLapButton");
    verify_host();

    // "Selection 2:" on B's second lap.
    const int laps_a = static_cast<int>(state_.data_sets[0].lap_count());
    auto* selector = find<QComboBox>("lapSelection2");
    selector->setCurrentIndex(laps_a + 1);
    emit selector->activated(laps_a + 1);
    host_.queue_save_file(path("b_lap").toStdString());
    host_.expect(MessageKind::Information, "File Saved OK");
    click("exportLapButton");
    verify_host();
    const core::LapEntry& lap = state_.data_sets[1].laps[1];
    QCOMPARE(host_.dialogs.back().default_name,
             core::format("Session_%d_Lap_%d.csv", lap.session, lap.lap_number));
    const auto lines = crlf_lines(read_file(path("b_lap.csv")));
    QVERIFY(lines.size() > 17 + 100);
    QCOMPARE(lines[8], std::string("Sample Rate,20"));
    // Kilometres and km/h whatever the window shows.
    QCOMPARE(lines[14], std::string("sec,km,rpm,G,G,km/h,"));
  }

  void bitmap_clipboard_and_logo() {
    host_.queue_save_file(std::nullopt);
    host_.expect(MessageKind::Warning, "Plot not Saved to BitMap File");
    click("bitmapButton");
    verify_host();
    host_.queue_save_file(path("plot").toStdString());
    click("bitmapButton");
    verify_host();
    QCOMPARE(host_.dialogs.back().title, std::string("Save Plot Bitmap File"));
    QImage bitmap(path("plot.bmp"));
    QVERIFY(!bitmap.isNull());
    QCOMPARE(bitmap.size(), chart()->size());
    // Kept beside the window grabs, as an image viewer would show it.
    bitmap.save(QString(qEnvironmentVariable("ARDENVIS_SCREENS", "screens")) +
                "/view_data_bitmap.png");
    QVERIFY(bitmap.pixelColor(bitmap.width() / 2, bitmap.height() / 2).isValid());
    int coloured = 0;  // traces, not a blank picture
    for (int px = 0; px < bitmap.width(); px += 4) {
      const QColor c = bitmap.pixelColor(px, bitmap.height() / 2);
      coloured += c.saturation() > 100 ? 1 : 0;
    }
    QVERIFY(coloured > 0);
    QCOMPARE(state_.file(core::FileKind::PlotPicture).name, std::string());
    host_.queue_save_file(path("nowhere/plot.bmp").toStdString());
    host_.expect(MessageKind::Error, "Problem Saving BitMap File");
    click("bitmapButton");
    verify_host();

    host_.expect(MessageKind::Information, "Plot Saved to ClipBoard");
    click("clipboardButton");
    verify_host();

    // No your_logo.bmp beside the test program: ticking the box says so.
    auto* logo = find<QCheckBox>("logoOn");
    logo->click();  // off
    host_.expect(MessageKind::Warning,
                 "Cannot Find your_logo.bmp in Application Directory Folder!");
    logo->click();  // on
    verify_host();
  }

  void notes_pages_show_the_notes_and_setup_read_only() {
    find<QTabBar>("rightTabs")->setCurrentIndex(3);  // "Data B Notes"
    QCOMPARE(find<QPlainTextEdit>("notesB")->toPlainText(),
             QString("Brands Indy, dry, 18 C\nNew front pads"));
    auto* sheet = find<QGroupBox>("setupSheetB");
    auto* first = sheet->findChild<QLineEdit*>("setupField1");
    auto* last = sheet->findChild<QLineEdit*>("setupField65");
    QVERIFY(first && last);
    QCOMPARE(first->text(), QString("92"));
    QCOMPARE(last->text(), QString("Locked"));
    QVERIFY(first->isReadOnly());
    QCOMPARE(sheet->findChildren<QLineEdit*>().size(), 65);
    QCOMPARE(find<QGroupBox>("setupSheetA")->findChild<QLineEdit*>("setupField1")->text(),
             QString());
    testing::save_grab(form_.get(), "view_data_notes_b");
    find<QTabBar>("rightTabs")->setCurrentIndex(0);
  }

  void printing_from_lap_times_prints_the_plot() {
    find<QTabBar>("rightTabs")->setCurrentIndex(1);  // "Lap Times"
    QString pdf = path("printout.pdf");
    form_->files()->print_dialog = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    };
    click("printButton");
    QVERIFY(QFileInfo(pdf).size() > 1000);

    // The same page painted onto a 300 dpi A4 image: the preview.
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    {
      QPainter painter(&page);
      form_->files()->paint_print_page(painter, page);
    }
    page.scaled(page.width() / 3, page.height() / 3, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .save(QString(qEnvironmentVariable("ARDENVIS_SCREENS", "screens")) +
              "/view_data_print_preview.png");
    // The plot chart's picture starts at (300, 1100): 0.8 of its screen size
    // scaled to 300 dpi, or narrower where that would run off the page.
    const double scale =
        std::min(0.8 * 300.0 / chart()->logicalDpiX(), (2480.0 - 600) / chart()->width());
    QVERIFY(page.pixelColor(299, 1099) == QColor(Qt::white));
    const QRect area(300, 1100, static_cast<int>(chart()->width() * scale),
                     static_cast<int>(chart()->height() * scale));
    int coloured = 0;
    for (int px = area.left(); px < area.right(); px += 8) {
      coloured += page.pixelColor(px, area.center().y()).saturation() > 100 ? 1 : 0;
    }
    QVERIFY(coloured > 0);
    QVERIFY(page.pixelColor(area.right() + 20, area.center().y()) == QColor(Qt::white));
    find<QTabBar>("rightTabs")->setCurrentIndex(0);
  }

  void refilled_lap_selectors_drop_the_chosen_laps() {
    // Each refill of the selectors (the window shown again, a slot loaded)
    // empties them; the laps they held must not live on behind them.
    const int laps_a = static_cast<int>(state_.data_sets[0].lap_count());
    auto choose_lap = [this](const char* selector, int position) {
      auto* box = find<QComboBox>(selector);
      box->setCurrentIndex(position);
      emit box->activated(position);
    };
    auto export_refused = [this](int lap_selection) {
      find<QComboBox>("lapExportSelection")->setCurrentIndex(lap_selection);
      const size_t dialogs = host_.dialogs.size();
      host_.expect(MessageKind::Information, "No Valid Lap Data Selected");
      click("exportLapButton");
      verify_host();
      QCOMPARE(host_.dialogs.size(), dialogs);
    };
    auto* track_map_lap = find<QComboBox>("trackMapLap");

    choose_lap("lapSelection1", 0);
    choose_lap("lapSelection2", laps_a + 1);
    QVERIFY(track_map_lap->isEnabled());
    auto* beacon = find<QSpinBox>("beaconDistance");
    beacon->setValue(30);  // selection 1 slid 30 m
    form_->hide();
    form_->show();  // default.cfg again, without a word
    QApplication::processEvents();
    verify_host();
    QCOMPARE(find<QComboBox>("lapSelection2")->currentIndex(), -1);
    export_refused(1);
    export_refused(0);
    QVERIFY(!track_map_lap->isEnabled());
    QCOMPARE(track_map_lap->currentIndex(), -1);
    QCOMPARE(beacon->value(), 0);

    // A lap of A in "Selection 1:", then a file loaded into B.
    choose_lap("lapSelection1", 1);
    QTemporaryDir files;
    const std::string copy = files.filePath("copy.plr").toStdString();
    testing::ScriptedHost saver;
    state_.current_data_set = core::DataSetId::A;
    saver.queue_save_file(copy);
    QVERIFY(core::save_log_data(state_, saver));
    // The load's own report, as a load of the same file elsewhere gives it.
    core::ProgramState elsewhere;
    elsewhere.current_data_set = core::DataSetId::B;
    saver.queue_open_file(copy);
    QVERIFY(core::load_log_data(elsewhere, saver));
    host_.queue_open_file(copy);
    host_.expect(MessageKind::Information, saver.messages.back().text);
    find<QTabBar>("leftTabs")->setCurrentIndex(0);
    click("loadDataSetBButton");
    verify_host();
    QCOMPARE(find<QComboBox>("lapSelection1")->currentIndex(), -1);
    export_refused(0);

    // "Lap Overlay" with no lap chosen draws no lap and names none.
    auto* mode = find<QComboBox>("displayMode");
    mode->setCurrentIndex(1);
    emit mode->activated(1);
    verify_host();
    QCOMPARE(find<QLabel>("plotModeCaption")->text(), QString("Lap Overlay"));
    QCOMPARE(chart()->point_count(1), 0L);
    QCOMPARE(find<QLabel>("channelHeadingA")->text(), QString("No Lap"));
    QCOMPARE(find<QLabel>("channelHeadingB")->text(), QString("No Lap"));
    QCOMPARE(find<QGroupBox>("dataALineBox")->title(), QString("No Lap Selected"));
    QVERIFY(!find<QCheckBox>("odoSlipCheck")->isEnabled());
  }
};

QTEST_MAIN(ViewDataFilesTest)
#include "view_data_files_test.moc"
