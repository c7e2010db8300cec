#pragma once
// The session report painted on A4 pages of a PDF file: the layout of what
// core decided (viewer/session_report), with the best lap's plot drawn by
// the same chart the viewer uses. Needs a QApplication (any platform, also
// "offscreen") but no display.

#include <QString>
#include <functional>

#include "viewer/session_report.h"

class QPainter;

namespace ardenvis::ui {

// Paints the report's pages onto an open painter on an A4 device of
// `dots_per_inch`; pages after the first are begun with `new_page`.
void paint_session_report(const core::SessionReport& report, QPainter& painter, int dots_per_inch,
                          const std::function<bool()>& new_page);

// Writes the report as a PDF, atomically; false when it cannot be written.
bool write_session_report(const core::SessionReport& report, const QString& path);

}  // namespace ardenvis::ui
