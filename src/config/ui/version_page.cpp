#include "config/ui/version_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace ardenvis::ui {

namespace {
QLineEdit* read_only_field(const QString& name, int width, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  edit->setFixedWidth(width);
  return edit;
}
}  // namespace

VersionPage::VersionPage(FieldControls& fields, QWidget* parent)
    : ConfigPage(core::Page::Version, fields, parent) {
  auto* box = new QGroupBox("Module Versions", this);
  auto* layout = new QVBoxLayout(box);

  auto* software = new QGroupBox("Software Version", box);
  auto* software_row = new QHBoxLayout(software);
  ver_ = read_only_field("verField", 40, software);
  rev_ = read_only_field("revField", 40, software);
  software_row->addWidget(new QLabel("Ver", software));
  software_row->addWidget(ver_);
  software_row->addWidget(new QLabel(".Rev", software));
  software_row->addWidget(rev_);
  software_row->addStretch();

  auto* memory = new QGroupBox("Logger/Gatso Memory", box);
  auto* memory_row = new QHBoxLayout(memory);
  mbits_ = read_only_field("mbitsField", 60, memory);
  memory_row->addWidget(mbits_);
  memory_row->addWidget(new QLabel("MBits", memory));
  memory_row->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(software);
  top->addWidget(memory);
  layout->addLayout(top);

  auto* modules = new QGroupBox("Connected Modules and Status", box);
  auto* modules_layout = new QVBoxLayout(modules);
  modules_ = new QPlainTextEdit(modules);
  modules_->setObjectName("modulesMemo");
  modules_->setReadOnly(true);
  modules_->setMinimumSize(460, 180);
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  modules_->setFont(fixed);
  modules_layout->addWidget(modules_);
  layout->addWidget(modules);
  grid()->addWidget(box, 0, 0);
}

void VersionPage::refresh() {
  const core::VersionPage& page = editor().version_page();
  ver_->setText(to_qstring(page.ver));
  rev_->setText(to_qstring(page.rev));
  mbits_->setText(to_qstring(page.mbits));
  QStringList lines;
  for (const auto& line : page.modules) lines << to_qstring(line);
  const QString text = lines.join('\n');
  if (modules_->toPlainText() != text) modules_->setPlainText(text);
}

}  // namespace ardenvis::ui
