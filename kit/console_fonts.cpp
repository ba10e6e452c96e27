#include "kit/console_fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "kit/page_fonts.h"

namespace {

QFont FontOf(const QStringList& families, int pointSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

}  // namespace

QFont TahomaFont(int pointSize)
{
    RegisterApplicationFonts();
    return FontOf({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, pointSize);
}

QFont CourierNewFont(int pointSize)
{
    QFont font = FontOf({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")}, pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QFont ArialFont(int pointSize)
{
    return FontOf({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pointSize);
}
