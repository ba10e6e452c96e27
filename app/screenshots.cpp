#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include "app/page_set.h"

QStringList SaveScreenshots(QWidget& window, PageSet& pages, const QString& dir)
{
    QDir().mkpath(dir);
    QStringList written;
    const int current = pages.CurrentPage();
    for (int i = 0; i < pages.PageCount(); ++i) {
        pages.ShowPage(i);
        QApplication::processEvents();
        const QString name = QStringLiteral("%1/%2-%3.png")
                                 .arg(dir)
                                 .arg(i + 1)
                                 .arg(pages.PageTitle(i).toLower().replace(QLatin1Char(' '), QLatin1Char('-')));
        if (window.grab().save(name))
            written << name;
    }
    pages.ShowPage(current);
    return written;
}
