// Window grabs on a screen of device scale 2 (QT_SCALE_FACTOR=2): what the
// program paints itself must be painted in the screen's pixels, not painted at
// scale 1 and enlarged (a blurred picture).

#include <QComboBox>
#include <QtTest>

#include "app/ui/logxfer_MAIN.h"
#include "gui/screens.h"
#include "viewer/ui/view_data_widgets.h"

using namespace ardenvis;

class HighDensityTest : public QObject {
  Q_OBJECT

 private slots:
  void the_screen_has_scale_2() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

  void colour_swatches_keep_a_sharp_border() {
    const uint32_t red = 0x0000FF;  // stored blue-green-red
    QComboBox* box = ui::view_data::colour_box(red, "colour", nullptr);
    box->resize(box->sizeHint());
    const QImage grab = box->grab().toImage();
    testing::save_grab(box, "high_density_colour_box");
    const QColor fill = ui::view_data::to_qcolor(red);
    QCOMPARE(grab.devicePixelRatio(), 2.0);
    // Across the middle of the swatch: its border meets its colour with no
    // blend between them.
    const int y = grab.height() / 2;
    int first = -1;
    for (int x = 0; x < grab.width() && first < 0; ++x) {
      if (grab.pixelColor(x, y) == fill) first = x;
    }
    QVERIFY(first > 0);
    QCOMPARE(grab.pixelColor(first - 1, y), QColor(Qt::darkGray));
    delete box;
  }

  void window_grabs_at_scale_2() {
    ui::TForm1 main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(main.grab().size(), main.size() * 2);
    testing::save_grab(&main, "high_density_main_window");
  }
};

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  HighDensityTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "high_density_test.moc"
