#include "link/queued_link_observer.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <QMetaObject>

#include "link/recording_analysis.h"
#include <QObject>
#include <QThread>

struct QueuedLinkObserver::State {
    Handlers handlers;
    std::mutex mutex;
    std::condition_variable handled;
    bool cancelled = false;    // position updates do not wait
    bool contextGone = false;  // nothing may be queued to the context any more
    uint64_t issued = 0;       // position updates queued
    uint64_t completed = 0;    // the latest one handled (or dropped)

    // Queues `call` to the context unless it is gone. Under the mutex, so
    // the context cannot be destroyed between the test and the queueing.
    template <typename Call>
    bool Queue(QObject* context, Call&& call)
    {
        std::lock_guard lock(mutex);
        if (contextGone)
            return false;
        QMetaObject::invokeMethod(context, std::forward<Call>(call), Qt::QueuedConnection);
        return true;
    }
};

QueuedLinkObserver::QueuedLinkObserver(QObject* context, Handlers handlers)
    : m_context(context)
    , m_contextThread(context->thread())
    , m_state(std::make_shared<State>())
{
    m_state->handlers = std::move(handlers);
    // Calls queued to a context that is gone never run: nobody may wait for them.
    const std::shared_ptr<State> state = m_state;
    QObject::connect(context, &QObject::destroyed, [state] {
        {
            std::lock_guard lock(state->mutex);
            state->contextGone = true;
            state->cancelled = true;
        }
        state->handled.notify_all();
    });
}

QueuedLinkObserver::~QueuedLinkObserver()
{
    CancelPendingUpdates();
}

void QueuedLinkObserver::PositionUpdate()
{
    const std::shared_ptr<State> state = m_state;
    if (QThread::currentThread() == m_contextThread) {
        if (state->handlers.positionUpdate)
            state->handlers.positionUpdate();
        return;
    }
    QueueAndWait([state] {
        if (state->handlers.positionUpdate)
            state->handlers.positionUpdate();
    }, 0);
}

bool QueuedLinkObserver::TakesBatches() const { return static_cast<bool>(m_state->handlers.positionBatch); }

void QueuedLinkObserver::PositionBatch(std::vector<AnalysedFix>&& fixes)
{
    const std::shared_ptr<State> state = m_state;
    auto batch = std::make_shared<std::vector<AnalysedFix>>(std::move(fixes));
    if (QThread::currentThread() == m_contextThread) {
        if (state->handlers.positionBatch)
            state->handlers.positionBatch(*batch);
        return;
    }
    // Two batches may wait while the next is decoded, as an analysis's do.
    QueueAndWait([state, batch] {
        if (state->handlers.positionBatch)
            state->handlers.positionBatch(*batch);
    }, 2);
}

template <typename Call>
void QueuedLinkObserver::QueueAndWait(Call call, uint64_t ahead)
{
    const std::shared_ptr<State> state = m_state;
    uint64_t ticket = 0;
    {
        std::lock_guard lock(state->mutex);
        if (state->cancelled)
            return;
        ticket = ++state->issued;
    }
    const bool queued = state->Queue(m_context, [state, ticket, call = std::move(call)] {
        bool run = false;
        {
            std::lock_guard lock(state->mutex);
            run = !state->cancelled;
        }
        if (run)
            call();
        {
            std::lock_guard lock(state->mutex);
            if (ticket > state->completed)
                state->completed = ticket;
        }
        state->handled.notify_all();
    });
    if (!queued)
        return;
    std::unique_lock lock(state->mutex);
    state->handled.wait(lock, [&] { return state->cancelled || state->completed + ahead >= ticket; });
}

void QueuedLinkObserver::RxActivity()
{
    const std::shared_ptr<State> state = m_state;
    state->Queue(m_context, [state] {
        if (state->handlers.rxActivity)
            state->handlers.rxActivity();
    });
}

void QueuedLinkObserver::ReceiverLost()
{
    const std::shared_ptr<State> state = m_state;
    state->Queue(m_context, [state] {
        if (state->handlers.receiverLost)
            state->handlers.receiverLost();
    });
}

void QueuedLinkObserver::SourceReconnected()
{
    const std::shared_ptr<State> state = m_state;
    state->Queue(m_context, [state] {
        if (state->handlers.sourceReconnected)
            state->handlers.sourceReconnected();
    });
}

void QueuedLinkObserver::PlaybackEnded()
{
    const std::shared_ptr<State> state = m_state;
    state->Queue(m_context, [state] {
        if (state->handlers.playbackEnded)
            state->handlers.playbackEnded();
    });
}

void QueuedLinkObserver::PlaybackRewound()
{
    const std::shared_ptr<State> state = m_state;
    state->Queue(m_context, [state] {
        if (state->handlers.playbackRewound)
            state->handlers.playbackRewound();
    });
}

void QueuedLinkObserver::CancelPendingUpdates()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->cancelled = true;
    }
    m_state->handled.notify_all();
}

void QueuedLinkObserver::ResumeUpdates()
{
    std::lock_guard lock(m_state->mutex);
    m_state->cancelled = m_state->contextGone;
}
