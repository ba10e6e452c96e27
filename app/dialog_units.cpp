#include "app/dialog_units.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QRawFont>
#include <QString>
#include <QWidget>
#include <algorithm>

namespace {

// units * base / divisor, rounded half away from zero as MulDiv does.
int Scale(int units, int base, int divisor)
{
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

int BigEndian16(const QByteArray& table, int offset)
{
    return (static_cast<uchar>(table[offset]) << 8) | static_cast<uchar>(table[offset + 1]);
}

// The character cell height the other platform measures: the font's Windows
// ascent and descent (OS/2 table), each scaled and rounded. FreeType's hinted
// metrics can be smaller (wine's Tahoma at 11 px reports 11, not 13), which
// would squeeze every layout.
int CellHeight(const QFont& font)
{
    const int measured = QFontMetrics(font).height();
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.unitsPerEm() <= 0)
        return measured;
    const QByteArray os2 = raw.fontTable("OS/2");
    if (os2.size() < 78)
        return measured;
    const double scale = raw.pixelSize() / raw.unitsPerEm();
    const int cell = qRound(BigEndian16(os2, 74) * scale) + qRound(BigEndian16(os2, 76) * scale);
    return std::max(cell, measured);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (alphabet / 26 + 1) / 2;
    m_baseY = CellHeight(font);
    if (m_baseX < 1)
        m_baseX = 1;
    if (m_baseY < 1)
        m_baseY = 1;
}

int DialogUnits::X(int units) const { return Scale(units, m_baseX, 4); }

int DialogUnits::Y(int units) const { return Scale(units, m_baseY, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize DialogUnits::Size(int width, int height) const { return QSize(X(width), Y(height)); }

void PlaceControl(QWidget* control, const QRect& rect)
{
    QRect placed = rect;
    const QSize hint = control->sizeHint();
    if (placed.height() < hint.height())
        placed.setHeight(hint.height());
    if (qobject_cast<QLabel*>(control) != nullptr && placed.width() < hint.width())
        placed.setWidth(hint.width());
    control->setGeometry(placed);
}
