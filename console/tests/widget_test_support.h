#pragma once

#include <QApplication>
#include <QColor>
#include <QContextMenuEvent>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdlib>

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    int count = 0;
};

inline bool Near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

inline int CountPixels(const QImage& image, QColor colour, int tolerance)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (Near(image.pixelColor(x, y), colour, tolerance))
                ++count;
        }
    }
    return count;
}

// Sends a context-menu event and returns the menu that popped up, if any.
inline QMenu* OpenContextMenu(QWidget* target, QPoint pos, QContextMenuEvent::Reason reason)
{
    QContextMenuEvent event(reason, pos, target->mapToGlobal(pos));
    QApplication::sendEvent(target, &event);
    QApplication::processEvents();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

inline void CloseMenu(QMenu* menu)
{
    QPointer<QMenu> guard(menu);
    menu->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// Saves a rendered page where a developer can look at it.
inline void SavePageImage(const QImage& image, const char* name)
{
    const QString dir = QStringLiteral(STELMAP_BINARY_DIR "/page_images");
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + QString::fromLatin1(name));
}
