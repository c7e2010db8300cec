#include "widgets/com_port_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "link/unit_session.h"

namespace ardenvis::ui {

ComPortBox::ComPortBox(core::ProgramState& state, core::Host& host, QWidget* parent)
    : QComboBox(parent), state_(state), host_(host) {
  addItem("None");
  for (int i = 1; i <= 9; ++i) addItem(QString("COM%1").arg(i));
  setMaxVisibleItems(10);
  setObjectName("comPortBox");
  connect(this, &QComboBox::activated, this, [this](int) { change_serial_port(); });
  sync_from_state();
}

void ComPortBox::sync_from_state() {
  QSignalBlocker block(this);
  setCurrentIndex(state_.link.serial_port_number <= 9 ? state_.link.serial_port_number : 0);
}

void ComPortBox::change_serial_port() {
  const int shown = core::change_serial_port(state_.link, host_, currentIndex());
  {
    QSignalBlocker block(this);
    setCurrentIndex(shown);
  }
  emit port_changed(state_.link.serial_port_open);
}

UnitWindow::UnitWindow(const QString& caption, core::ProgramState& state, core::Host& host,
                       QWidget* parent)
    : PelorantWindow(caption, parent), com_port_(new ComPortBox(state, host, this)) {}

QWidget* UnitWindow::com_port_row() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel("COM Port", row));
  layout->addWidget(com_port_);
  layout->addStretch();
  return row;
}

}  // namespace ardenvis::ui
