#include "calc/ui/help_calculator.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ardenvis::ui {

TForm9::TForm9(QWidget* parent) : PelorantWindow("Calcultor Help", parent) {
  setObjectName("TForm9");
  auto* text = new QPlainTextEdit(this);
  text->setReadOnly(true);
  text->setObjectName("helpText");
  text->setPlainText(
      "The speedometer and gear calibration values depend on where the speed sensor sits, on "
      "the tyre size and on the differential ratio. Proceed in four steps:\n\n"
      "1) Select the driven wheels and the position of the speed sensor.\n\n"
      "2) Select the tyre type: road, slick or unknown.\n\n"
      "3) Enter the tyre sizes (front, rear or both, depending on the sensor position), or "
      "the measured circumference when the tyres carry no usable markings.\n\n"
      "4) Use the resulting Speedo Cal and Gear Cal values in the unit's setup mode, or in "
      "the configuration window.");
  auto* back = make_button("Back", {}, "backButton", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(back, 0, Qt::AlignRight);
  resize(420, 340);
  connect(back, &QPushButton::clicked, this, &TForm9::back_to_calculator);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm9::back_to_calculator);
}

}  // namespace ardenvis::ui
