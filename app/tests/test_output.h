#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

// Pictures of what the widget tests built, for a person to look at:
// build/<preset>/test-output/app/NAME.png
inline QString SaveTestPicture(QWidget& widget, const QString& name)
{
    const QString dir = QStringLiteral(STELMAP_BINARY_DIR "/test-output/app");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    widget.grab().save(path);
    return path;
}
