#pragma once

#include <QColor>
#include <QString>
#include <chrono>

#include "compare/compare_page_wnd.h"
#include "kit/fix_feed.h"

// The window's one receiver as the Compare page's receiver 0, timed when
// its fix is handed over.
class CompareFixSubscriber : public FixSubscriber {
public:
    static constexpr int kReceiverId = 0;

    explicit CompareFixSubscriber(ComparePageWnd& page) : m_page(page) {}
    void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) override
    {
        m_page.AddFix(kReceiverId, QStringLiteral("Receiver"), QColor(40, 120, 230), fix, gnss,
                      std::chrono::steady_clock::now());
    }
    void OnFixesRestart() override { m_page.Restart(); }

private:
    ComparePageWnd& m_page;
};
