#pragma once

#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QWidget>

class QPropertyAnimation;
class QTimer;

// The version this program is; an announced version above it is newer.
inline constexpr int kProgramVersion = 11;

// Whether a version announced with WM_UPDATE_AVAILABLE calls for the alert.
bool IsNewerVersion(int announcedVersion);

// The download page the alert's link opens.
QUrl DownloadPageUrl();

// A small frameless popup that slides in at the bottom right of the screen's
// available area, announces a new version with a link to the download page,
// and closes itself after 15 seconds. It deletes itself when closed.
class UpdateAlertWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kAutoCloseMs = 15000;
    static constexpr int kAnimationStepMs = 50;
    static constexpr int kAnimationSteps = 10;

    explicit UpdateAlertWnd(QWidget* owner = nullptr);

    // Shows the alert: it slides up from the bottom edge of the available
    // area into the bottom right corner, and starts the automatic close.
    void ShowAlert();

    // Where the alert comes to rest on the owner's screen (or the primary one).
    QRect RestingGeometry() const;

    int AutoCloseMs() const;
    void SetAutoCloseMs(int ms);

signals:
    void linkActivated();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnLinkClicked();

    QTimer* m_timerClose = nullptr;
    QPropertyAnimation* m_slide = nullptr;
    QPointer<QWidget> m_owner;
};

// The frame's handling of WM_UPDATE_AVAILABLE once it has stored the version:
// shows a new alert owned by `owner` when the version is newer and returns it,
// else returns nullptr.
UpdateAlertWnd* ShowUpdateAlertIfNewer(int announcedVersion, QWidget* owner);
