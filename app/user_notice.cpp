#include "app/user_notice.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

void TellUser(QMainWindow& window, const UserNotice& notice)
{
    if (notice.severity == Severity::kNotice) {
        // Stays until the next message: a failure must not vanish before it is read.
        window.statusBar()->showMessage(notice.detail.isEmpty() ? notice.text
                                                                : notice.text + QLatin1Char(' ') + notice.detail);
        return;
    }
    QMessageBox box(notice.severity == Severity::kError ? QMessageBox::Critical : QMessageBox::Warning,
                    window.windowTitle(), notice.text, QMessageBox::Ok, &window);
    if (!notice.detail.isEmpty())
        box.setInformativeText(notice.detail);
    box.exec();
}
