#include "widgets/file_drop.h"

#include <QMimeData>
#include <QUrl>

namespace ardenvis::ui {

QString dragged_file(const QMimeData* data, const QString& extension) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString path = urls.front().toLocalFile();
  return path.endsWith(extension, Qt::CaseSensitive) ? path : QString();
}

}  // namespace ardenvis::ui
