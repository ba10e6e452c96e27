#include "app/page_restart.h"

#include "kit/fix_feed.h"
#include "link/source_text.h"

void PageRestart::SourceOpened(const std::string& source)
{
    if (m_source.empty() || !SameSource(m_source, source))
        Restart(source);
}

void PageRestart::FileStarted() { Restart({}); }

void PageRestart::Restart(const std::string& source)
{
    m_source = source;
    m_feed.Restart();
}
