#pragma once

#include <QString>

class QMainWindow;

// How bad a failure is decides how the user learns of it, and nothing that
// fails is left untold.
enum class Severity {
    // The command did its work but something beside it failed (a setting
    // not saved, a receiver gone): a message in the status bar.
    kNotice,
    // What was asked was not done; the user should know before going on:
    // a message box with the warning icon.
    kWarning,
    // The program cannot do its work (no link, a file it cannot write):
    // a message box with the critical icon.
    kError,
};

struct UserNotice {
    Severity severity = Severity::kNotice;
    QString text;
    QString detail;  // the box's informative text; after the text in the status bar
};

// Tells `window`'s user: in its status bar, or in a box over it titled
// with the window's title. A box waits for the user's answer.
void TellUser(QMainWindow& window, const UserNotice& notice);
