#pragma once
// Small building blocks the pages and panels of "View Data" share: colour
// conversion, named combo and group boxes, the colour chooser and the busy
// cursor for the length of a handler.

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/host.h"
#include "state/program_state.h"

class QComboBox;
class QGroupBox;
class QWidget;

namespace ardenvis::ui::view_data {

// Colours are kept as 0x00BBGGRR.
QColor to_qcolor(uint32_t value);
inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline size_t slot_index(core::DataSetId slot) { return slot == core::DataSetId::B ? 1 : 0; }

QComboBox* combo(const QStringList& items, const QString& name, QWidget* parent, int current = 0);
QGroupBox* group(const QString& title, const QString& name, QWidget* parent);
// A box whose controls arrive with a later part of the viewer: it holds its
// place in the layout and says so.
QGroupBox* reserved_box(const QString& title, const QString& name, QWidget* parent);
// A chooser of the palette's colours (swatches, names as tool tips), showing
// `colour`; the item data is the colour value.
QComboBox* colour_box(uint32_t colour, const QString& name, QWidget* parent);
// Shows `colour` in a colour chooser; a colour outside the palette (from a
// preference file) is added as an item of its own.
void select_colour(QComboBox* box, uint32_t colour);

// The busy cursor for the length of a handler.
class Busy {
 public:
  explicit Busy(core::Host& host) : host_(host) { host_.busy_cursor(true); }
  ~Busy() { host_.busy_cursor(false); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  core::Host& host_;
};

}  // namespace ardenvis::ui::view_data
