#pragma once
// Files dragged onto a window from the desktop or a file manager.

#include <QString>

class QMimeData;

namespace ardenvis::ui {

// The one local file a drag carries when its name ends in `extension`
// (".plr", compared as the load dialogs compare it); empty otherwise, so a
// window refuses drags of anything else, or of several files at once.
QString dragged_file(const QMimeData* data, const QString& extension);

}  // namespace ardenvis::ui
