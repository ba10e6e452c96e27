#pragma once

#include <QFont>
#include <QString>

// The faces the program draws with. Tahoma comes from Debian's fonts-wine when
// the system has none; Liberation Sans and Liberation Mono stand in for Arial
// and Courier New, whose metrics they share.

// Makes those faces available. The application calls it once at start-up;
// every font function below calls it too, and calling it again does nothing.
void RegisterApplicationFonts();

// True when Tahoma is available (after registering it where needed).
bool EnsureTahomaFont();

// A font of the given family whose characters are pixelHeight pixels high:
// the pages' fonts.
QFont PageFont(const QString& family, int pixelHeight);

// The dialogs' font: Tahoma at 8 points on a 96 dpi screen, 11 pixels high.
QFont DialogFont();

// The console's fonts, by point size.
QFont TahomaFont(int pointSize);
QFont CourierNewFont(int pointSize);
QFont ArialFont(int pointSize);
