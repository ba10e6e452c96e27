#include "kit/app_fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "kit/page_fonts.h"

bool EnsureTahomaFont()
{
    RegisterApplicationFonts();
    return QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
}

QFont DialogFont()
{
    EnsureTahomaFont();
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}
