#include "kit/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

const char* const kTahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

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

QFont TahomaFont(int pointSize)
{
    RegisterApplicationFonts();
    return FontOf({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, pointSize);
}

QFont CourierNewFont(int pointSize)
{
    RegisterApplicationFonts();
    QFont font = FontOf({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")}, pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QFont ArialFont(int pointSize)
{
    RegisterApplicationFonts();
    return FontOf({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pointSize);
}
