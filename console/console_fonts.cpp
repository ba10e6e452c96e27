#include "console/console_fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr const char* kWineTahoma = "/usr/share/wine/fonts/tahoma.ttf";

void EnsureTahoma()
{
    static const bool done = [] {
        if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")) && QFile::exists(kWineTahoma))
            QFontDatabase::addApplicationFont(QString::fromUtf8(kWineTahoma));
        return true;
    }();
    (void)done;
}

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
    EnsureTahoma();
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
