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
    const PageBackground background = PageBackgroundForLook(look);
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0, ToQColor(background.top));
    g.setColorAt(1, ToQColor(background.bottom));
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

QColor ReadablePageTextColor()
{
    QColor background;
    QColor text;
    GetPageColors(background, text);
    const auto toRgb = [](const QColor& c) {
        return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
    };
    const PageBackground fill = PageBackgroundForLook(CurrentAppLook(), CurrentOffice2007Style());
    if (fill.systemColors) {
        // Nothing painted: the window colour shows, or the button face.
        const QPalette palette = QApplication::palette();
        return ToQColor(ReadableTextColor(toRgb(text), toRgb(palette.color(QPalette::Window)),
                                          toRgb(palette.color(QPalette::Button))));
    }
    return ToQColor(ReadableTextColor(toRgb(text), fill.top, fill.bottom));
}
