#pragma once

// Helpers for the window tests: waiting on the event loop, answering the
// message boxes and dialogs the code under test opens, and catching the
// pages it would open in a browser.

#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/main_window.h"

// Runs the event loop (deferred deletions included) until `done` holds or
// `ms` pass; returns whether it holds.
template <typename Done>
bool WaitFor(Done done, int ms = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

// Hands every modal window that comes up while it lives to `handler`, which
// must close it.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget*)> handler)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [handler] {
            if (QWidget* modal = QApplication::activeModalWidget())
                handler(modal);
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

// Answers message boxes with `button` and notes what they asked.
struct Answers {
    explicit Answers(QMessageBox::StandardButton button)
        : m_driver([this, button](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                icons << box->icon();
                buttons << box->standardButtons();
                if (QAbstractButton* b = box->button(button))
                    b->click();  // done() would leave no clicked button
                else
                    box->done(button);
            }
        })
    {
    }
    QStringList texts;
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButtons> buttons;

private:
    ModalDriver m_driver;
};

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> m_urls;

public slots:
    void Open(const QUrl& url) { m_urls << url; }
};

// A window that does not reach for a receiver at start-up.
inline StartupOptions NoReceiver()
{
    StartupOptions options;
    options.connect = ConnectOption{"/nonexistent/stelmap-test-port", 9600};
    return options;
}
