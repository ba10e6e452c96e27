#pragma once

#include <vector>

struct AnalysedFix;

// What the link tells the main window. The calls come from the link's own
// threads; an implementation hands them to the GUI thread.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;

    // The display snapshot holds a new fix. Called on the hand-off thread
    // and synchronous: it returns once the fix has been handled, while the
    // reader waits, until the handler returns or the link stops, before
    // framing further bytes.
    virtual void PositionUpdate() = 0;

    // One read returned data. Called on the reader thread; must not block.
    virtual void RxActivity() = 0;

    // The live device went away and the link closed it. Called once per
    // loss on the reader thread; must not block.
    virtual void ReceiverLost() = 0;

    // A lost source was opened again (automatic reconnect). Called on the
    // reader thread; must not block.
    virtual void SourceReconnected() {}
    // The playback reached the end of its file (once), or a seek started
    // it again from its first byte (the pages begin again). Reader thread;
    // must not block.
    virtual void PlaybackEnded() {}
    virtual void PlaybackRewound() {}

    // From the stopping thread, before it joins the link's threads: a
    // PositionUpdate that waits for that very thread must return now, and
    // later ones must not wait, until ResumeUpdates.
    virtual void CancelPendingUpdates() {}
    virtual void ResumeUpdates() {}

    // Whether the fixes of a seek may come in batches, as an analysis hands
    // them over, rather than one PositionUpdate each.
    virtual bool TakesBatches() const { return false; }
    // A batch of a seek's fixes, in order. Reader thread; may block to hold
    // the reader back, and returns at once after CancelPendingUpdates.
    virtual void PositionBatch(std::vector<AnalysedFix>&& /*fixes*/) {}
};
