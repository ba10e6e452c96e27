#include "displays/satellite_pictures.h"

#include <QString>

// Resources compiled into a static library need an explicit start.
static void InitDisplaysResources()
{
    Q_INIT_RESOURCE(displays);
}

namespace {

QImage LoadTransparent(const QString& path)
{
    InitDisplaysResources();
    QImage image(path);
    if (image.isNull())
        return image;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb magenta = qRgb(255, 0, 255);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0x00ffffff) == (magenta & 0x00ffffff))
                line[x] = 0;
    }
    return image;
}

}  // namespace

QImage SatellitePicture(int pictureId)
{
    static const QImage used = LoadTransparent(QStringLiteral(":/displays/satellite_used.png"));
    static const QImage unused = LoadTransparent(QStringLiteral(":/displays/satellite_unused.png"));
    switch (pictureId) {
    case kUsedSatellitePicture:
        return used;
    case kUnusedSatellitePicture:
        return unused;
    default:
        return {};
    }
}
