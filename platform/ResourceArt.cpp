#include "platform/ResourceArt.h"

#include "platform/ResourceLibrary.h"

#include <QImageReader>

namespace ResourceArt {

QIcon Icon(int id) {
    QIcon icon;
    for (const QString& path : ResourceLibrary::IconPaths(id)) {
        QPixmap picture(path);
        if (picture.isNull())
            continue;
        // By pixel size alone: a double's "@2x" ratio would make Qt shrink it for a small icon
        // at ratio 2 rather than take the drawing made for that size.
        picture.setDevicePixelRatio(1);
        icon.addPixmap(picture);
    }
    return icon;
}

QPixmap IconPixmap(int id, int size, qreal ratio) {
    const QIcon icon = Icon(id);
    if (icon.isNull())
        return {};
    QSize logical(size, size);
    if (size <= 0)
        logical = QImageReader(ResourceLibrary::IconPath(id)).size();
    return logical.isValid() ? icon.pixmap(logical, ratio) : QPixmap();
}

QPixmap Bitmap(int id, qreal ratio) {
    if (ratio > 1) {
        QPixmap doubled(ResourceLibrary::BitmapPath(id, 2));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2);
            return doubled;
        }
    }
    return QPixmap(ResourceLibrary::BitmapPath(id));
}

} // namespace ResourceArt
