#include "app/replay_bar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProxyStyle>
#include <QSlider>

#include "kit/command_ids.h"
#include "kit/command_texts.h"
#include "link/playback_pacer.h"
#include "link/session_recorder.h"

const double ReplayBar::kSpeeds[6] = {0.5, 1.0, 2.0, 5.0, 10.0, PlaybackPacer::kAsFastAsPossible};

namespace {

// The look of the application's style, with a left click on a slider's
// groove setting the value where it lands.
class GrooveClickStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override
    {
        if (hint == QStyle::SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

namespace {
constexpr int kSliderSteps = 1000;

// The bar's button for command `id`, with the text and tooltip of the command table.
QAction* AddCommand(QToolBar& bar, int id)
{
    const CommandText* text = FindCommandText(id);
    QAction* action = bar.addAction(QString::fromUtf8(text->text));
    action->setData(id);
    const QString prompt = QString::fromUtf8(text->prompt);
    action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
    action->setToolTip(prompt.section(QLatin1Char('\n'), 0, 0));
    return action;
}
}  // namespace

QString ReplayBar::TimeText(int64_t us, bool tenths)
{
    const int64_t s = us / 1000000;
    QString text = s >= 3600 ? QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'))
                             : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    if (tenths)
        text += QStringLiteral(".%1").arg(us / 100000 % 10);
    return text;
}

ReplayBar::ReplayBar(Handlers handlers, QWidget* parent)
    : QToolBar(QStringLiteral("Playback"), parent)
    , m_handlers(std::move(handlers))
{
    setObjectName(QStringLiteral("ReplayBar"));
    m_pause = AddCommand(*this, kCmdReplayPause);
    m_pause->setCheckable(true);
    connect(m_pause, &QAction::toggled, this, [this](bool paused) {
        m_pause->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        if (m_pacer != nullptr)
            m_pacer->SetPaused(paused, SteadyMicros());
    });
    m_step = AddCommand(*this, kCmdReplayStep);
    connect(m_step, &QAction::triggered, this, [this] {
        if (m_pacer == nullptr)
            return;
        m_pacer->StepFix(SteadyMicros());
        const QSignalBlocker block(m_pause);
        m_pause->setChecked(true);
        m_pause->setText(QStringLiteral("Resume"));
    });
    m_speed = new QComboBox(this);
    for (double s : kSpeeds)
        m_speed->addItem(s == PlaybackPacer::kAsFastAsPossible ? QStringLiteral("As fast as possible")
                                                               : QStringLiteral("%1\u00d7").arg(s));
    m_speed->setCurrentIndex(1);
    connect(m_speed, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_pacer != nullptr && i >= 0 && i < 6)
            m_pacer->SetSpeed(kSpeeds[i], SteadyMicros());
    });
    addWidget(m_speed);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, kSliderSteps);
    // A click on the groove goes there (and seeks on release), rather than
    // stepping a page towards it.
    auto* style = new GrooveClickStyle;
    style->setParent(m_slider);
    m_slider->setStyle(style);
    m_slider->setMinimumWidth(200);
    connect(m_slider, &QSlider::sliderReleased, this, [this] {
        if (m_pacer != nullptr && m_handlers.seek)
            m_handlers.seek(m_pacer->DurationUs() * m_slider->value() / kSliderSteps);
    });
    addWidget(m_slider);
    m_time = new QLabel(this);
    addWidget(m_time);
    m_message = new QLabel(this);
    addWidget(m_message);
    QAction* live = AddCommand(*this, kCmdBackToLive);
    connect(live, &QAction::triggered, this, [this] {
        if (m_handlers.backToLive)
            m_handlers.backToLive();
    });
    m_refresh.setInterval(200);
    connect(&m_refresh, &QTimer::timeout, this, &ReplayBar::Refresh);
    hide();
}

void ReplayBar::Attach(PlaybackPacer* pacer)
{
    m_pacer = pacer;
    m_finished = false;
    m_message->clear();
    {
        const QSignalBlocker a(m_pause), b(m_speed);
        m_pause->setChecked(false);
        m_pause->setText(QStringLiteral("Pause"));
        m_speed->setCurrentIndex(1);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_speed, m_slider, m_time})
        w->setEnabled(pacer != nullptr);
    if (pacer == nullptr) {
        m_refresh.stop();
        hide();
        return;
    }
    pacer->SetSpeed(1.0, SteadyMicros());
    show();
    m_refresh.start();
    Refresh();
}

void ReplayBar::ShowFinished(const QString& message)
{
    m_finished = true;
    m_message->setText(message);
    Refresh();
}

void ReplayBar::ShowFileOnly(const QString& message)
{
    Attach(nullptr);
    m_pause->setEnabled(false);
    m_step->setEnabled(false);
    m_time->clear();
    m_message->setText(message);
    show();
}

void ReplayBar::ClearFinished()
{
    m_finished = false;
    m_message->clear();
    Refresh();
}

void ReplayBar::Refresh()
{
    if (m_pacer == nullptr)
        return;
    const int64_t total = m_pacer->DurationUs();
    const int64_t at = m_finished ? total : m_pacer->PositionUs(SteadyMicros());
    // Fixes closer than a second apart: a step must show on the clock.
    const int64_t interval = m_pacer->FixIntervalUs();
    const bool tenths = interval > 0 && interval < 1000000;
    m_time->setText(TimeText(at, tenths) + QStringLiteral(" / ") + TimeText(total, tenths));
    if (!m_slider->isSliderDown())
        m_slider->setValue(total > 0 ? static_cast<int>(at * kSliderSteps / total) : 0);
    m_pause->setEnabled(!m_finished);
    m_step->setEnabled(!m_finished);
}
