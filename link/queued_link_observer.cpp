#include "link/queued_link_observer.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <QMetaObject>
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
    uint64_t ticket = 0;
    {
        std::lock_guard lock(state->mutex);
        if (state->cancelled)
            return;
        ticket = ++state->issued;
    }
    const bool queued = state->Queue(m_context, [state, ticket] {
        bool run = false;
        {
            std::lock_guard lock(state->mutex);
            run = !state->cancelled;
        }
        if (run && state->handlers.positionUpdate)
            state->handlers.positionUpdate();
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
    state->handled.wait(lock, [&] { return state->cancelled || state->completed >= ticket; });
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
