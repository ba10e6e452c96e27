#include "app/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace {

// units * base / divisor, rounded half away from zero as MulDiv does.
int Scale(int units, int base, int divisor)
{
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (alphabet / 26 + 1) / 2;
    m_baseY = metrics.height();
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
