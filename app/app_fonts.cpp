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
    if (HasTahoma())
        return true;
    for (const char* file : kWineFonts)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    return HasTahoma();
}

QFont DialogFont()
{
    EnsureTahomaFont();
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}
