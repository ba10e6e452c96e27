#include "link/source_status.h"

#include <cmath>

namespace {

const char* const kDash = " \u2014 ";

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string SourcePaneText(const SourceState& state)
{
    if (state.playback)
        return "Playback: " + FileName(state.playbackFile);
    if (state.retrying)
        return state.name + kDash + "gone, retrying";
    if (!state.open)
        return state.lost && !state.name.empty() ? state.name + kDash + "gone" : "No source";
    std::string text = state.name;
    if (!state.network && state.baudRate > 0)
        text += " @ " + std::to_string(state.baudRate);
    // A receiver sends at least once a second; two quiet seconds are news.
    if (state.silentSeconds < 2)
        return text + kDash + "receiving";
    return text + kDash + "silent for " + std::to_string(static_cast<long long>(std::floor(state.silentSeconds))) + " s";
}

BaudSearch::Step BaudSearch::Update(unsigned long long sentences, double seconds)
{
    if (m_index >= m_rates.size())
        return Step::NoneFound;
    if (sentences >= kSentencesNeeded)
        return Step::Found;
    if (seconds < kSecondsPerRate)
        return Step::Wait;
    return ++m_index < m_rates.size() ? Step::TryNext : Step::NoneFound;
}
