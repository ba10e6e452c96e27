#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "link/link_observer.h"

class QObject;
class QThread;

// Hands the link's reports to the thread of a QObject (the main window).
// Receive activity and a lost receiver are queued. A position update is
// queued too, and the hand-off thread then waits until the handler has run:
// synchronous like a blocking invocation, but a stopping GUI thread can
// release the wait (CancelPendingUpdates), which a blocking invocation
// cannot do, so joining the hand-off thread from the GUI thread never
// deadlocks.
class QueuedLinkObserver : public LinkObserver {
public:
    struct Handlers {
        std::function<void()> positionUpdate;
        std::function<void()> rxActivity;
        std::function<void()> receiverLost;
        std::function<void()> sourceReconnected = {};
        std::function<void()> playbackEnded = {};
        std::function<void()> playbackRewound = {};
        // A seek's fixes, a batch at a time; without it they come one by one.
        std::function<void(const std::vector<AnalysedFix>&)> positionBatch = {};
    };

    // The handlers run on `context`'s thread, and not at all once `context`
    // is destroyed (which also cancels the updates, as CancelPendingUpdates).
    QueuedLinkObserver(QObject* context, Handlers handlers);
    ~QueuedLinkObserver() override;

    void PositionUpdate() override;
    void RxActivity() override;
    void ReceiverLost() override;
    void SourceReconnected() override;
    void PlaybackEnded() override;
    void PlaybackRewound() override;
    bool TakesBatches() const override;
    void PositionBatch(std::vector<AnalysedFix>&& fixes) override;
    void CancelPendingUpdates() override;
    void ResumeUpdates() override;

private:
    struct State;
    // Queues `call` and waits until at most `ahead` queued calls are not yet
    // handled (or until updates are cancelled).
    template <typename Call>
    void QueueAndWait(Call call, uint64_t ahead);
    QObject* m_context = nullptr;
    QThread* m_contextThread = nullptr;
    // Shared with the queued calls, which may outlive this object.
    std::shared_ptr<State> m_state;
};
