#include "kit/page_painting.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <atomic>

#include "kit/page_look.h"

namespace {

std::atomic<int> g_appLook{kLookOffice2007Black};
std::atomic<int> g_office2007Style{kLookOffice2007Blue};

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// The fill each look draws behind a navigation-bar caption: a soft vertical
// gradient in the look's own hue.
QLinearGradient CaptionFill(int look, const QRect& rect)
{
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    switch (look) {
    case kLookOffice2007Blue:
        g.setColorAt(0, QColor(227, 239, 255));
        g.setColorAt(1, QColor(175, 210, 255));
        break;
    case kLookOffice2007Silver:
        g.setColorAt(0, QColor(242, 244, 247));
        g.setColorAt(1, QColor(200, 204, 216));
        break;
    case kLookOffice2007Aqua:
        g.setColorAt(0, QColor(225, 229, 238));
        g.setColorAt(1, QColor(181, 182, 206));
        break;
    case kLookOffice2003:
        g.setColorAt(0, QColor(227, 239, 255));
        g.setColorAt(1, QColor(123, 164, 224));
        break;
    case kLookVisualStudio2005:
    case kLookVisualStudio2008:
        g.setColorAt(0, QColor(250, 250, 253));
        g.setColorAt(1, QColor(204, 211, 230));
        break;
    case kLookWindows7:
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, QColor(218, 228, 242));
        break;
    default:  // Office XP, the native theme
        g.setColorAt(0, QColor(246, 246, 246));
        g.setColorAt(1, QColor(220, 220, 220));
        break;
    }
    return g;
}

}  // namespace

int CurrentAppLook() { return g_appLook.load(); }

void SetCurrentAppLook(int appLook)
{
    g_appLook = appLook;
    if (appLook >= kLookOffice2007Blue && appLook <= kLookOffice2007Aqua)
        g_office2007Style = appLook;
}

int CurrentOffice2007Style() { return g_office2007Style.load(); }

void GetPageColors(QColor& background, QColor& text)
{
    const PageColors colors = PageColorsForLook(CurrentAppLook(), CurrentOffice2007Style());
    if (colors.systemColors) {
        const QPalette palette = QApplication::palette();
        background = palette.color(QPalette::Button);
        text = palette.color(QPalette::WindowText);
        return;
    }
    background = ToQColor(colors.background);
    text = ToQColor(colors.text);
}

void FillPageBackground(QPainter& painter, const QRect& rect)
{
    int look = CurrentAppLook();
    if (look < kFirstAppLook || look > kLastAppLook)
        look = CurrentOffice2007Style();
    if (look == kLookPlain)
        return;
    painter.save();
    if (look == kLookOffice2007Black) {
        for (const GradientBand& band : BlackStyleGradientBands(rect.top(), rect.top() + rect.height())) {
            if (band.bottom > band.top)
                painter.fillRect(QRect(rect.left(), band.top, rect.width(), band.bottom - band.top),
                                 QColor(band.grey, band.grey, band.grey));
        }
    } else {
        painter.fillRect(rect, CaptionFill(look, rect));
    }
    painter.restore();
}
