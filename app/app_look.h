#pragma once

#include <QPalette>
#include <QString>

// The application looks, by the command id that selects each (kLookPlain ..
// kLookWindows7 in displays/page_look.h). Every look is the Fusion style
// with a palette and a small style sheet for the bars and tabs in the
// colours of its namesake; the drawn pages follow through SetCurrentAppLook.

// The look that an id shows: the id itself when it is one of the eleven,
// else the Office 2007 look in its current style.
int EffectiveAppLook(int appLook);

QPalette PaletteForLook(int appLook);
QString StyleSheetForLook(int appLook);

// Applies a look to the whole application and makes the drawn pages follow.
// An unknown id is kept as the current look (so it is written back as it
// came) but shows the Office 2007 look in its current style.
void ApplyAppLook(int appLook);
