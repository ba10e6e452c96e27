#include "app/app_look.h"

#include <QApplication>

#include "kit/page_look.h"
#include "kit/page_painting.h"

namespace {

// The colours of one look: the palette roles, and the bars (menu bar,
// toolbars, status bar) that carry most of a look's character.
struct LookScheme {
    QColor window;
    QColor windowText;
    QColor base;
    QColor text;
    QColor button;
    QColor buttonText;
    QColor highlight;
    QColor highlightedText;
    QColor barTop;      // menu bar and toolbars, top to bottom
    QColor barBottom;
    QColor barText;
    QColor statusTop;   // status bar
    QColor statusBottom;
    QColor statusText;
    QColor hover;       // a toolbar button or menu title under the mouse
    QColor hoverBorder;
    QColor border;      // lines between the bars and the client area
};

LookScheme SchemeForLook(int look)
{
    switch (look) {
    case kLookPlain:  // the classic grey face with a navy selection
        return {{212, 208, 200}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {212, 208, 200}, {0, 0, 0},
                {10, 36, 106}, {255, 255, 255},
                {212, 208, 200}, {212, 208, 200}, {0, 0, 0},
                {212, 208, 200}, {212, 208, 200}, {0, 0, 0},
                {232, 230, 225}, {128, 128, 128}, {128, 128, 128}};
    case kLookOfficeXP:  // flat light bars, lavender selection with a navy edge
        return {{236, 233, 216}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {239, 237, 229}, {0, 0, 0},
                {182, 189, 210}, {0, 0, 0},
                {249, 248, 243}, {239, 237, 229}, {0, 0, 0},
                {236, 233, 216}, {236, 233, 216}, {0, 0, 0},
                {182, 189, 210}, {10, 36, 106}, {172, 168, 153}};
    case kLookWindowsNative:  // the desktop's own light theme
        return {{240, 240, 240}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {240, 240, 240}, {0, 0, 0},
                {0, 120, 215}, {255, 255, 255},
                {250, 250, 250}, {233, 233, 233}, {0, 0, 0},
                {240, 240, 240}, {240, 240, 240}, {0, 0, 0},
                {229, 243, 255}, {204, 232, 255}, {204, 204, 204}};
    case kLookOffice2003:  // blue gradient bars, warm orange hover
        return {{195, 218, 249}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {221, 236, 254}, {0, 0, 0},
                {255, 238, 194}, {0, 0, 0},
                {221, 236, 254}, {129, 169, 226}, {0, 0, 0},
                {158, 190, 245}, {89, 135, 214}, {255, 255, 255},
                {255, 238, 194}, {0, 0, 128}, {59, 97, 156}};
    case kLookVisualStudio2005:  // warm silver-beige bars, pale blue selection
        return {{238, 237, 229}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {245, 244, 238}, {0, 0, 0},
                {193, 210, 238}, {0, 0, 0},
                {251, 250, 246}, {220, 218, 203}, {0, 0, 0},
                {238, 237, 229}, {238, 237, 229}, {0, 0, 0},
                {193, 210, 238}, {49, 106, 197}, {172, 168, 153}};
    case kLookVisualStudio2008:  // cool blue-grey bars
        return {{233, 236, 244}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {240, 242, 248}, {0, 0, 0},
                {193, 210, 238}, {0, 0, 0},
                {250, 250, 253}, {196, 203, 219}, {0, 0, 0},
                {233, 236, 244}, {233, 236, 244}, {0, 0, 0},
                {193, 210, 238}, {49, 106, 197}, {160, 168, 186}};
    case kLookWindows7:  // white-to-blue glass bars, light blue selection
        return {{233, 239, 247}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {241, 245, 251}, {0, 0, 0},
                {204, 232, 255}, {0, 0, 0},
                {255, 255, 255}, {218, 229, 243}, {30, 57, 91},
                {241, 245, 251}, {218, 229, 243}, {30, 57, 91},
                {224, 238, 252}, {153, 209, 255}, {182, 193, 212}};
    case kLookOffice2007Black:  // dark frame and bars, light content, amber selection
        return {{83, 83, 83}, {240, 240, 240}, {250, 250, 250}, {0, 0, 0}, {104, 104, 104}, {240, 240, 240},
                {255, 189, 105}, {0, 0, 0},
                {112, 112, 112}, {62, 62, 62}, {255, 255, 255},
                {77, 77, 77}, {38, 38, 38}, {255, 255, 255},
                {255, 213, 140}, {194, 155, 81}, {30, 30, 30}};
    case kLookOffice2007Silver:
        return {{208, 212, 221}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {228, 231, 237}, {0, 0, 0},
                {255, 213, 140}, {0, 0, 0},
                {243, 245, 248}, {200, 204, 213}, {76, 83, 92},
                {221, 224, 231}, {185, 190, 201}, {76, 83, 92},
                {255, 223, 154}, {194, 155, 81}, {139, 144, 151}};
    case kLookOffice2007Aqua:
        return {{196, 202, 217}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {218, 223, 235}, {0, 0, 0},
                {255, 213, 140}, {0, 0, 0},
                {231, 235, 243}, {181, 190, 214}, {0, 0, 96},
                {203, 208, 226}, {169, 177, 203}, {0, 0, 96},
                {255, 223, 154}, {194, 155, 81}, {128, 136, 165}};
    case kLookOffice2007Blue:
    default:
        return {{191, 219, 255}, {21, 66, 139}, {255, 255, 255}, {0, 0, 0}, {214, 232, 255}, {21, 66, 139},
                {255, 213, 140}, {0, 0, 0},
                {227, 239, 255}, {175, 210, 255}, {21, 66, 139},
                {214, 232, 255}, {175, 210, 255}, {21, 66, 139},
                {255, 223, 154}, {194, 155, 81}, {101, 147, 207}};
    }
}

QColor Blend(const QColor& a, const QColor& b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

QString Css(const QColor& c) { return c.name(QColor::HexRgb); }

QString Gradient(const QColor& top, const QColor& bottom)
{
    return QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)")
        .arg(Css(top), Css(bottom));
}

}  // namespace

int EffectiveAppLook(int appLook)
{
    if (appLook >= kFirstAppLook && appLook <= kLastAppLook)
        return appLook;
    return CurrentOffice2007Style();
}

QPalette PaletteForLook(int appLook)
{
    const LookScheme s = SchemeForLook(EffectiveAppLook(appLook));
    QPalette palette(s.button, s.window);
    palette.setColor(QPalette::Window, s.window);
    palette.setColor(QPalette::WindowText, s.windowText);
    palette.setColor(QPalette::Base, s.base);
    palette.setColor(QPalette::AlternateBase, Blend(s.base, s.window));
    palette.setColor(QPalette::Text, s.text);
    palette.setColor(QPalette::Button, s.button);
    palette.setColor(QPalette::ButtonText, s.buttonText);
    palette.setColor(QPalette::BrightText, QColor(255, 0, 0));
    palette.setColor(QPalette::Highlight, s.highlight);
    palette.setColor(QPalette::HighlightedText, s.highlightedText);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
    palette.setColor(QPalette::Link, s.window.lightness() < 128 ? QColor(128, 192, 255) : QColor(0, 102, 204));
    palette.setColor(QPalette::PlaceholderText, Blend(s.text, s.base));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, Blend(palette.color(role), s.window));
    palette.setColor(QPalette::Disabled, QPalette::Text, Blend(s.text, s.base));
    palette.setColor(QPalette::Disabled, QPalette::Base, s.window);
    return palette;
}

QString StyleSheetForLook(int appLook)
{
    const LookScheme s = SchemeForLook(EffectiveAppLook(appLook));
    const QString bars = Gradient(s.barTop, s.barBottom);
    return QStringLiteral(
               "QMenuBar { background: %1; color: %2; }\n"
               "QMenuBar::item { background: transparent; padding: 3px 8px; }\n"
               "QMenuBar::item:selected { background: %3; color: %4; border: 1px solid %5; }\n"
               "QToolBar { background: %1; border: none; border-bottom: 1px solid %6; spacing: 2px; padding: 1px; }\n"
               "QToolBar QToolButton:hover { background: %9; border: 1px solid %5; border-radius: 2px; }\n"
               "QStatusBar { background: %7; color: %8; border-top: 1px solid %6; }\n"
               "QStatusBar QLabel { color: %8; }\n"
               "QTabWidget::pane { border: 1px solid %6; }\n")
        .arg(bars, Css(s.barText), Css(s.highlight), Css(s.highlightedText), Css(s.hoverBorder), Css(s.border),
             Gradient(s.statusTop, s.statusBottom), Css(s.statusText), Css(s.hover))
        // Tabs in the bars' colours, the chosen one lifted towards the page
        // like the look's own tab strips; the style's plain grey tabs would
        // stand out of every look but the plain one.
        + QStringLiteral(
              "QTabBar::tab { background: %1; color: %2; border: 1px solid %3; border-bottom: none;"
              " border-top-left-radius: 3px; border-top-right-radius: 3px; padding: 3px 10px; margin-right: 1px;"
              " margin-top: 2px; }\n"
              "QTabBar::tab:selected { background: %4; color: %5; margin-top: 0px; }\n"
              "QTabBar::tab:hover:!selected { background: %6; color: %5; }\n")
              .arg(bars, Css(s.barText), Css(s.border), Gradient(s.base, Blend(s.base, s.window)), Css(s.text),
                   Gradient(s.hover, Blend(s.hover, s.barBottom)));
}

void ApplyAppLook(int appLook)
{
    // First, so that an unknown id is measured against the Office 2007 style in force.
    SetCurrentAppLook(appLook);
    const int look = EffectiveAppLook(appLook);
    // Once: under a style sheet the application's style no longer tells its name.
    static bool fusion = false;
    if (!fusion) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        fusion = true;
    }
    QApplication::setPalette(PaletteForLook(look));
    // Menus are drawn on the light base colour in every look, and their
    // radio marks in the button text colour, which the dark looks make light:
    // in menus the button text is the ordinary text.
    QPalette menus = PaletteForLook(look);
    menus.setColor(QPalette::ButtonText, menus.color(QPalette::Text));
    menus.setColor(QPalette::Disabled, QPalette::ButtonText, menus.color(QPalette::Disabled, QPalette::Text));
    QApplication::setPalette(menus, "QMenu");
    qApp->setStyleSheet(StyleSheetForLook(look));
}
