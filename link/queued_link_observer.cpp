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
    bool cancelled = false;
    uint64_t issued = 0;     // position updates queued
    uint64_t completed = 0;  // the latest one handled (or dropped)
};

QueuedLinkObserver::QueuedLinkObserver(QObject* context, Handlers handlers)
    : m_context(context)
    , m_state(std::make_shared<State>())
{
    m_state->handlers = std::move(handlers);
}

QueuedLinkObserver::~QueuedLinkObserver()
{
    CancelPendingUpdates();
}

void QueuedLinkObserver::PositionUpdate()
{
    const std::shared_ptr<State> state = m_state;
    if (QThread::currentThread() == m_context->thread()) {
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
    QMetaObject::invokeMethod(
        m_context,
        [state, ticket] {
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
        },
        Qt::QueuedConnection);
    std::unique_lock lock(state->mutex);
    state->handled.wait(lock, [&] { return state->cancelled || state->completed >= ticket; });
}

void QueuedLinkObserver::RxActivity()
{
    const std::shared_ptr<State> state = m_state;
    QMetaObject::invokeMethod(
        m_context,
        [state] {
            if (state->handlers.rxActivity)
                state->handlers.rxActivity();
        },
        Qt::QueuedConnection);
}

void QueuedLinkObserver::ReceiverLost()
{
    const std::shared_ptr<State> state = m_state;
    QMetaObject::invokeMethod(
        m_context,
        [state] {
            if (state->handlers.receiverLost)
                state->handlers.receiverLost();
        },
        Qt::QueuedConnection);
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
    m_state->cancelled = false;
}
