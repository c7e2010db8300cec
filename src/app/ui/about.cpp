#include "app/ui/about.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/start_up.h"
#include "state/program_state.h"

namespace ardenvis::ui {

namespace {
QLabel* read_only_text(const QString& text, const QString& name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setFrameShape(QFrame::StyledPanel);
  label->setFrameShadow(QFrame::Sunken);
  label->setMargin(6);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setObjectName(name);
  return label;
}
}  // namespace

TForm6::TForm6(QWidget* parent) : PelorantWindow("About Pelorant Tools", parent) {
  setObjectName("TForm6");
  auto* version_group = new QGroupBox("Version", this);
  version_ = new QLabel(version_group);
  version_->setObjectName("versionLabel");
  auto* version_layout = new QVBoxLayout(version_group);
  version_layout->addWidget(version_);

  auto* description = read_only_text(
      "1) Download and analyse the data logged by your Pelorant: save it to disc, plot it and "
      "review your lap times. Car setup notes are saved with the data, or on their own as "
      "setup files.\n\n"
      "2) Configure the Pelorant from the computer instead of its own setup menus, and save "
      "and load configurations.\n\n"
      "3) Calculate the calibration parameters for the speedometer, odometer and gear "
      "indicator from the tyre type and size, the differential ratio and the speed sensor "
      "position.",
      "descriptionText", this);
  auto* contact = read_only_text(
      "Pelorant Instruments\nTechnical support: support@pelorant.example\n"
      "Please quote the version above with any question.",
      "contactText", this);
  auto* notice = read_only_text(
      "This program works only with Pelorant units running software builds 4.00 to 4.30 "
      "(speed camera functions need 4.23 or later).",
      "noticeText", this);

  auto* back = make_button("Back", {}, "backButton", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(version_group);
  layout->addWidget(description);
  layout->addWidget(contact);
  layout->addWidget(notice);
  layout->addWidget(back, 0, Qt::AlignRight);
  setFixedWidth(440);
  adjustSize();

  connect(back, &QPushButton::clicked, this, &TForm6::back_to_main_menu);
  connect(this, &PelorantWindow::closed_by_user, this, &TForm6::back_to_main_menu);
}

QString TForm6::version_text() const { return version_->text(); }

void TForm6::activated() { version_->setText(QString::fromStdString(core::about_version_text())); }

}  // namespace ardenvis::ui
