#pragma once

#include <QString>
#include <QStringList>

class PageSet;
class QWidget;

// Saves a PNG of `window` with each page shown in turn into `dir` (created
// when missing), named "<tab number>-<page title in lower case, spaces as
// dashes>.png", and shows the page that was shown before. Returns the
// files written; a file that cannot be written is left out.
QStringList SaveScreenshots(QWidget& window, PageSet& pages, const QString& dir);
