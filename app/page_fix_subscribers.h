#pragma once

#include "kit/fix_feed.h"

class CChildView;

// The five specified pages as one subscriber of the fix feed: the front
// panel (snapshot and sky trails), the scatter plot and the position plot
// take each fix as they always have. A page added later subscribes itself:
// implement FixSubscriber and call FixFeed::Subscribe from the main window.
class SpecifiedPagesSubscriber : public FixSubscriber {
public:
    explicit SpecifiedPagesSubscriber(CChildView& view) : m_view(view) {}
    void OnFix(const DisplaySnapshot& fix) override;
    void OnFixesRestart() override;

private:
    CChildView& m_view;
};
