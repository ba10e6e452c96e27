#include "app/app_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr const char* kWineFonts[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

bool HasTahoma()
{
    return QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
}

}  // namespace

bool EnsureTahomaFont()
{
    // Fonts are registered on the user-interface thread only; once found, done.
    static bool available = false;
    if (available || (available = HasTahoma()))
        return true;
    for (const char* file : kWineFonts)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    available = HasTahoma();
    return available;
}

QFont DialogFont()
{
    EnsureTahomaFont();
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}
