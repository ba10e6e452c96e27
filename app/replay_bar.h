#pragma once

#include <QTimer>
#include <QToolBar>
#include <functional>
#include <initializer_list>

class QComboBox;
class QLabel;
class QSlider;
class QToolButton;
class PlaybackPacer;

// The bar shown while a file plays: pause and resume, speed, a position
// slider that seeks by time, step to the next fix, elapsed and total time,
// the end-of-file message and Back to Live.
class ReplayBar : public QToolBar {
public:
    struct Handlers {
        std::function<void(int64_t timeUs)> seek;  // the pages start over, then the file plays to the time
        std::function<void()> backToLive;
    };

    ReplayBar(Handlers handlers, QWidget* parent = nullptr);

    // Shows the bar for a playback steered through `pacer`; nullptr hides it.
    void Attach(PlaybackPacer* pacer);
    // The file has ended: the message, and Back to Live stays.
    void ShowFinished(const QString& message);
    // A file's fixes shown without a playback (an analysis): the message
    // and Back to Live only.
    void ShowFileOnly(const QString& message);
    // Playing again after a seek: no end message.
    void ClearFinished();
    // Reads the pacer again (the timer does it five times a second).
    void Refresh();

    // The speeds offered, as factors; 0 plays as fast as possible.
    static const double kSpeeds[6];
    // "m:ss" or "h:mm:ss", with tenths ("m:ss.t") on request.
    static QString TimeText(int64_t us, bool tenths = false);

    QLabel* TimeLabel() const { return m_time; }
    QComboBox* SpeedBox() const { return m_speed; }
    QSlider* Slider() const { return m_slider; }

private:
    Handlers m_handlers;
    PlaybackPacer* m_pacer = nullptr;
    QAction* m_pause = nullptr;
    QAction* m_step = nullptr;
    QComboBox* m_speed = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_message = nullptr;
    QTimer m_refresh;
    bool m_finished = false;
};
