#include "config/ui/config_page.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace ardenvis::ui {

ConfigPage::ConfigPage(core::Page page, FieldControls& fields, QWidget* parent)
    : QWidget(parent), fields_(fields), page_(page) {
  grid_ = new QGridLayout(this);
  grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  grid_->setHorizontalSpacing(10);
  grid_->setVerticalSpacing(8);
  // Spare width goes to an empty last column, so groups keep their own size.
  grid_->setColumnStretch(8, 1);
  const auto& pages = core::config_pages();
  setObjectName(
      QString::fromUtf8(pages[static_cast<size_t>(page)].panel.data(),
                        static_cast<qsizetype>(pages[static_cast<size_t>(page)].panel.size())));
}

QGroupBox* ConfigPage::group(std::string_view caption, QWidget* parent) {
  return fields_.group_box(page_, caption, parent ? parent : this);
}

QLabel* ConfigPage::note_label(const QString& object_name, QWidget* parent) {
  auto* label = new QLabel(parent ? parent : this);
  label->setObjectName(object_name);
  return label;
}

void ConfigPage::add_row(QGroupBox* group, QWidget* widget) {
  static_cast<QFormLayout*>(group->layout())->addRow(widget);
}

void ConfigPage::add_field_row(QGroupBox* group, QWidget* widget) {
  static_cast<QFormLayout*>(group->layout())->addRow(QString(), widget);
}

QString to_qstring(const std::string& text) { return QString::fromStdString(text); }

}  // namespace ardenvis::ui
