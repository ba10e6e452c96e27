#include "kit/page_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

const char* const kTahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

}  // namespace

void RegisterApplicationFonts()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
        for (const char* file : kTahomaFiles)
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

QFont PageFont(const QString& family, int pixelHeight)
{
    QFont font(family);
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
