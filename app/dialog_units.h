#pragma once

#include <QRect>
#include <QSize>

class QFont;
class QWidget;

// Dialog layouts are given in dialog units: a quarter of the font's average
// character width across, an eighth of its height down. The base units come
// from the dialog's font the way the other platform measures them, so a
// layout keeps its proportions whatever font is installed.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

private:
    int m_baseX = 6;
    int m_baseY = 13;
};

// Puts a control of a dialog-unit layout in place: the rectangle comes from
// the layout, but a control is never made lower than the style needs (a
// combo box or an edit field on a large font), and a label never narrower
// than its text.
void PlaceControl(QWidget* control, const QRect& rect);
