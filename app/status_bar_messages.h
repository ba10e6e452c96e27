#pragma once

#include <QObject>
#include <QString>

class QMainWindow;
class QStatusBar;
class StatusMessageRoom;

// Keeps the main window's status bar messages readable and in their place.
// A message the window shows stands until the next one; command hints shown
// while the pointer is over a menu entry or a toolbar button only lend the
// space, and the standing message comes back when the pointer leaves or the
// menu closes (menus hide without saying so, and the last hint stayed). The
// message area takes the room the status panes leave, the source and
// health panes giving way first; a message still too long ends in "…", and
// the whole message is the message area's tooltip.
class StatusBarMessages : public QObject {
    Q_OBJECT

public:
    // The message area keeps at least `messageRoom` pixels: the panes give
    // way first, and the window gets no narrower than the bar then needs.
    explicit StatusBarMessages(QMainWindow& window, int messageRoom = 120);

    // The message that stands when no hint is shown.
    QString Standing() const { return m_standing; }
    // Where the message area ends: the left edge of the leftmost pane.
    int MessageAreaRight() const;
    // The message as the area shows it, cut or whole.
    QString ShownMessage() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowHint(const QString& hint);
    void RestoreStanding();
    void OnMessageChanged(const QString& text);
    void FitPanes();

    QMainWindow& m_window;
    QStatusBar* m_bar = nullptr;
    StatusMessageRoom* m_room = nullptr;
    int m_minimumRoom = 0;
    QString m_standing;
    bool m_showingHint = false;  // set while this object puts a hint up
};
