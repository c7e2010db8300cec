#include "config/ui/field_widgets.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QVBoxLayout>

namespace ardenvis::ui {

namespace {
// The characters an integer field takes from the keyboard (a widget property).
constexpr const char* kTypingLength = "typingLength";

using core::FieldColour;
using core::FieldKind;
using core::FieldMeta;

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The caption a radio or check button shows: "&&" is one ampersand.
QString button_text(std::string_view text) { return qs(text); }

}  // namespace

void paint_field(QWidget* control, FieldColour colour) {
  QPalette palette = control->palette();
  const QPalette standard = control->style() ? control->style()->standardPalette() : QPalette();
  switch (colour) {
    case FieldColour::Valid:
      palette.setColor(QPalette::Base, standard.color(QPalette::Base));
      break;
    case FieldColour::Error:
      palette.setColor(QPalette::Base, Qt::red);
      break;
    case FieldColour::Background:
      palette.setColor(QPalette::Base, standard.color(QPalette::Window));
      break;
  }
  control->setPalette(palette);
}

FieldControls::FieldControls(core::ConfigEditor& editor, QObject* parent)
    : QObject(parent), editor_(editor) {}

FieldWidget* FieldControls::find(core::FieldId id) {
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : &it->second;
}

FieldWidget& FieldControls::create(core::FieldId id, QWidget* parent) {
  if (FieldWidget* existing = find(id)) return *existing;
  const FieldMeta& meta = core::field_meta(id);
  FieldWidget w{id};
  w.row = new QWidget(parent);
  auto* row = new QHBoxLayout(w.row);
  row->setContentsMargins(0, 0, 0, 0);
  switch (meta.kind) {
    case FieldKind::Integer:
    case FieldKind::Ratio: {
      auto* edit = new QLineEdit(w.row);
      if (meta.kind == FieldKind::Integer) {
        // The length limits typing only (see eventFilter): a value read from a
        // file or the unit is shown whole, in red when out of range. QLineEdit's
        // own maximum length would cut it to a number that looks valid.
        edit->setProperty(kTypingLength, core::integer_field_length(meta));
        edit->installEventFilter(this);
        edit->setFixedWidth(std::max(48, 14 * core::integer_field_length(meta) + 16));
      } else {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression("[0-9 ]{0,2}\\.?[0-9 ]{0,3}"), edit));
        edit->setFixedWidth(64);
      }
      w.control = edit;
      break;
    }
    case FieldKind::Real:
    case FieldKind::Coordinate: {
      auto* spin = new QDoubleSpinBox(w.row);
      spin->setRange(meta.minimum, meta.maximum);
      spin->setDecimals(meta.decimals);
      spin->setSingleStep(meta.kind == FieldKind::Coordinate ? 0.000001 : meta.increment);
      if (meta.kind == FieldKind::Coordinate) {
        spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        spin->setFixedWidth(110);
      } else {
        spin->setFixedWidth(80);
      }
      // The battery alarm moves by its arrows only.
      if (id == core::FieldId::AbNumSpin2) {
        if (auto* line = spin->findChild<QLineEdit*>()) line->setReadOnly(true);
      }
      spin->setKeyboardTracking(false);
      w.control = spin;
      break;
    }
    case FieldKind::Check:
      w.control = new QCheckBox(button_text(meta.caption), w.row);
      break;
    case FieldKind::Choice: {
      const bool titled = meta.caption != meta.group;
      auto* box = new QGroupBox(titled ? qs(meta.caption) : QString(), w.row);
      if (!titled) box->setFlat(true);
      auto* layout = new QVBoxLayout(box);
      layout->setContentsMargins(6, titled ? 6 : 0, 6, 2);
      layout->setSpacing(2);
      w.buttons = new QButtonGroup(box);
      for (size_t i = 0; i < meta.choices.size(); ++i) {
        auto* radio = new QRadioButton(button_text(meta.choices[i]), box);
        w.buttons->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
      }
      w.control = box;
      break;
    }
    case FieldKind::List: {
      auto* list = new QComboBox(w.row);
      for (auto choice : meta.choices) list->addItem(qs(choice));
      w.control = list;
      break;
    }
  }
  w.control->setObjectName(qs(meta.name));
  if (!meta.hint.empty()) w.control->setToolTip(qs(meta.hint));
  row->addWidget(w.control);
  if (!meta.unit_label.empty()) {
    w.unit = new QLabel(qs(meta.unit_label), w.row);
    row->addWidget(w.unit);
  }
  row->addStretch();
  if (meta.kind != FieldKind::Check && meta.kind != FieldKind::Choice && !meta.caption.empty()) {
    w.caption = new QLabel(qs(meta.caption), parent);
  }
  auto [it, inserted] = widgets_.emplace(id, w);
  connect_control(it->second);
  sync(it->second);
  return it->second;
}

void FieldControls::connect_control(FieldWidget& w) {
  const core::FieldId id = w.id;
  const FieldMeta& meta = core::field_meta(id);
  switch (meta.kind) {
    case FieldKind::Integer:
    case FieldKind::Ratio:
      connect(static_cast<QLineEdit*>(w.control), &QLineEdit::textEdited, this,
              [this, id](const QString& text) {
                if (!syncing_) editor_.set_text(id, text.toStdString());
              });
      break;
    case FieldKind::Real:
    case FieldKind::Coordinate:
      connect(static_cast<QDoubleSpinBox*>(w.control), &QDoubleSpinBox::valueChanged, this,
              [this, id](double value) {
                if (!syncing_) editor_.set_value(id, value);
              });
      break;
    case FieldKind::Check:
      connect(static_cast<QCheckBox*>(w.control), &QCheckBox::clicked, this,
              [this, id](bool on) { editor_.set_checked(id, on); });
      break;
    case FieldKind::Choice:
      connect(w.buttons, &QButtonGroup::idClicked, this,
              [this, id](int item) { editor_.set_item(id, item); });
      break;
    case FieldKind::List:
      connect(static_cast<QComboBox*>(w.control), &QComboBox::activated, this,
              [this, id](int item) { editor_.user_select(id, item); });
      break;
  }
}

void FieldControls::sync(FieldWidget& w) {
  const FieldMeta& meta = core::field_meta(w.id);
  const core::FieldState& f = editor_.field(w.id);
  syncing_ = true;
  switch (meta.kind) {
    case FieldKind::Integer:
    case FieldKind::Ratio: {
      auto* edit = static_cast<QLineEdit*>(w.control);
      const QString text = QString::fromStdString(
          meta.kind == FieldKind::Ratio ? core::ratio_display_text(f.text) : f.text);
      // Leave the text alone while it reads the same, so the cursor stays put.
      const bool same = meta.kind == FieldKind::Ratio
                            ? core::TMaskEdit_to_word(edit->text().toStdString()) ==
                                  core::TMaskEdit_to_word(f.text)
                            : edit->text() == text;
      if (!same || (!edit->hasFocus() && edit->text() != text)) edit->setText(text);
      edit->setReadOnly(f.read_only);
      paint_field(edit, f.colour);
      break;
    }
    case FieldKind::Real:
    case FieldKind::Coordinate: {
      auto* spin = static_cast<QDoubleSpinBox*>(w.control);
      const double value = QString::fromStdString(f.text).toDouble();
      if (spin->value() != value) {
        QSignalBlocker block(spin);
        spin->setValue(value);
      }
      paint_field(spin, f.colour);
      break;
    }
    case FieldKind::Check: {
      auto* check = static_cast<QCheckBox*>(w.control);
      check->setChecked(f.item != 0);
      break;
    }
    case FieldKind::Choice:
      if (QAbstractButton* b = w.buttons->button(f.item)) {
        b->setChecked(true);
      } else if (QAbstractButton* checked = w.buttons->checkedButton()) {
        w.buttons->setExclusive(false);
        checked->setChecked(false);
        w.buttons->setExclusive(true);
      }
      break;
    case FieldKind::List: {
      auto* list = static_cast<QComboBox*>(w.control);
      QSignalBlocker block(list);
      list->setCurrentIndex(f.item);
      break;
    }
  }
  w.control->setEnabled(f.enabled);
  w.row->setVisible(f.visible);
  if (w.caption) {
    w.caption->setVisible(f.visible);
    w.caption->setEnabled(f.enabled);
  }
  syncing_ = false;
}

void FieldControls::sync_all() {
  for (auto& [id, w] : widgets_) sync(w);
}

void FieldControls::add_to_form(QFormLayout* form, core::FieldId id, QWidget* parent) {
  FieldWidget& w = create(id, parent);
  if (w.caption) {
    form->addRow(w.caption, w.row);
  } else {
    form->addRow(w.row);
  }
}

QGroupBox* FieldControls::group_box(core::Page page, std::string_view group, QWidget* parent) {
  auto* box = new QGroupBox(qs(group), parent);
  for (const auto& g : core::config_groups()) {
    if (g.page == page && g.caption == group && !g.hint.empty()) box->setToolTip(qs(g.hint));
  }
  auto* form = new QFormLayout(box);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  for (const FieldMeta& meta : core::config_fields()) {
    if (meta.page == page && meta.group == group) add_to_form(form, meta.id, box);
  }
  return box;
}

bool FieldControls::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const QString text = key->text();
  if (text.size() != 1 || (!text[0].isPrint() && text[0] != '\b')) return false;
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit) return false;
  if (edit->isReadOnly()) return false;
  const char c = text[0].toLatin1();
  const int typing_length = edit->property(kTypingLength).toInt();
  switch (core::TEdit_int_key_press(c, typing_length)) {
    case core::IntKeyAction::Discard:
      return true;
    case core::IntKeyAction::Accept:
      // A digit that would make the text longer than the field's length is dropped.
      return c != '\b' && edit->text().size() - edit->selectedText().size() >= typing_length;
    case core::IntKeyAction::ReplaceText:
      edit->setText(text);
      emit edit->textEdited(text);
      return true;
  }
  return false;
}

}  // namespace ardenvis::ui
