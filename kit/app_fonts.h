#pragma once

#include <QFont>

// Tahoma is the face the pages and dialogs are drawn with. Debian's
// fonts-wine carries one; register it when the system has no Tahoma of its
// own. Safe to call more than once; true when Tahoma is available afterwards.
bool EnsureTahomaFont();

// The dialogs' font: Tahoma at 8 points on a 96 dpi screen, 11 pixels high.
QFont DialogFont();
