#pragma once

#include <QFont>

// Makes the pages' fonts available: Tahoma from fonts-wine when the system
// has none, and the Liberation fonts standing in for Arial and Courier New,
// whose metrics they share. The application calls it once at start-up;
// calling it again does nothing.
void RegisterApplicationFonts();

// A font of the given family whose characters are pixelHeight pixels high.
QFont PageFont(const QString& family, int pixelHeight);
