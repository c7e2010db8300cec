#pragma once
// Base of the "Configuration" window's pages: each page builds its groups
// from the field table and shows the notes its reactions write.

#include <QWidget>

#include "config/config_editor.h"
#include "config/ui/field_widgets.h"

class QGridLayout;
class QGroupBox;
class QLabel;

namespace ardenvis::ui {

class ConfigPage : public QWidget {
  Q_OBJECT
 public:
  ConfigPage(core::Page page, FieldControls& fields, QWidget* parent = nullptr);
  core::Page page() const { return page_; }
  // Shows what the editor's reactions wrote besides the fields.
  virtual void refresh() {}

 protected:
  core::ConfigEditor& editor() { return fields_.editor(); }
  const core::EditorNotes& notes() { return fields_.editor().notes(); }
  // The table's group of this page, as a group box.
  QGroupBox* group(std::string_view caption, QWidget* parent = nullptr);
  // The page's grid, for groups placed by row and column.
  QGridLayout* grid() { return grid_; }
  QLabel* note_label(const QString& object_name, QWidget* parent);
  // Adds a widget across the whole width of a group made by group().
  static void add_row(QGroupBox* group, QWidget* widget);
  // Adds a widget in the field column of such a group, under the fields.
  static void add_field_row(QGroupBox* group, QWidget* widget);

  FieldControls& fields_;

 private:
  core::Page page_;
  QGridLayout* grid_;
};

QString to_qstring(const std::string& text);

}  // namespace ardenvis::ui
