#pragma once

#include <QColor>

class QPainter;
class QRect;

// The look the drawn pages follow; the application sets it at start-up and
// on every change of look.
int CurrentAppLook();
void SetCurrentAppLook(int appLook);

// The style the Office 2007 look is in (blue, black, silver or aqua).
int CurrentOffice2007Style();

void GetPageColors(QColor& background, QColor& text);

// The page text colour when it reads well on what FillPageBackground paints,
// otherwise black or white (ReadableTextColor): for text drawn straight onto
// the page background.
QColor ReadablePageTextColor();

// Paints a page's background for the current look; the painter's pen and
// brush are left as they were.
void FillPageBackground(QPainter& painter, const QRect& rect);
