#include "rtcm/rtcm_tally.h"

std::vector<std::string> RtcmTally::Feed(std::string_view bytes, double now)
{
    m_bytes += bytes.size();
    std::vector<std::string> frames = m_framer.Feed(bytes);
    for (const std::string& frame : frames)
        TakeFrame(frame, now);
    return frames;
}

void RtcmTally::TakeFrame(std::string_view frame, double now)
{
    if (frame.size() < kRtcmHeaderSize + kRtcmCrcSize)
        return;
    const std::string_view payload = RtcmPayload(frame);
    ++m_frames;
    m_lastFrame = now;
    TypeCount& type = m_types[RtcmMessageNumber(payload)];
    if (type.frames++ == 0)
        type.first = now;
    type.last = now;
    if (const std::optional<int> id = RtcmStationId(payload))
        m_stationId = *id;
    if (auto station = DecodeStationPosition(payload)) {
        m_station = station;
        m_stationId = station->stationId;
    } else if (auto descriptor = DecodeStationDescriptor(payload)) {
        m_descriptor = std::move(descriptor);
    } else if (auto msm = DecodeMsmHeader(payload)) {
        m_msmSatellites[static_cast<size_t>(msm->system)] = msm->satellites;
    }
}

std::optional<double> RtcmTally::Age(double now) const
{
    if (!m_lastFrame)
        return std::nullopt;
    return now - *m_lastFrame;
}
