#pragma once
// Widgets generated from the configuration field table: one control per
// field, its caption and its unit label, kept in step with the editor model.
// A user's edit goes to the model, which runs the field's reaction; the
// window then shows the model again (value, colour, visibility, enabled).

#include <QWidget>
#include <map>
#include <vector>

#include "config/config_editor.h"

class QBoxLayout;
class QButtonGroup;
class QFormLayout;
class QGroupBox;
class QLabel;

namespace ardenvis::ui {

class FieldControls;

// One field's widgets.
struct FieldWidget {
  core::FieldId id;
  QLabel* caption = nullptr;  // null for check boxes and radio groups
  QWidget* control = nullptr;
  QLabel* unit = nullptr;
  QButtonGroup* buttons = nullptr;  // radio groups
  QWidget* row = nullptr;           // control and unit label together
};

// The registry of every field widget of the window.
class FieldControls : public QObject {
  Q_OBJECT
 public:
  explicit FieldControls(core::ConfigEditor& editor, QObject* parent = nullptr);

  core::ConfigEditor& editor() { return editor_; }

  // Creates the widgets of a field (once) as children of `parent`.
  FieldWidget& create(core::FieldId id, QWidget* parent);
  FieldWidget* find(core::FieldId id);
  // Adds a field to a form: caption on the left, control and unit on the right
  // (check boxes and radio groups span the row).
  void add_to_form(QFormLayout* form, core::FieldId id, QWidget* parent);
  // A group box holding every field the table places in `group` on `page`,
  // in table order.
  QGroupBox* group_box(core::Page page, std::string_view group, QWidget* parent);

  // Shows the model in every widget.
  void sync_all();
  void sync(FieldWidget& w);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void connect_control(FieldWidget& w);

  core::ConfigEditor& editor_;
  std::map<core::FieldId, FieldWidget> widgets_;
  bool syncing_ = false;
};

// Paints a field in one of the three colours.
void paint_field(QWidget* control, core::FieldColour colour);

}  // namespace ardenvis::ui
