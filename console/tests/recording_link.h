#pragma once

#include <string>
#include <vector>

#include "console/sentence_link.h"

// Records every write; open, playback and short writes are set by the test.
class RecordingLink : public SentenceLink {
public:
    bool IsOpen() const override { return open; }
    bool IsPlayback() const override { return playback; }
    long Write(const void* data, size_t size) override
    {
        writes.emplace_back(static_cast<const char*>(data), size);
        if (failWrites)
            return -1;
        return shortWrites ? static_cast<long>(size) - 1 : static_cast<long>(size);
    }

    bool open = true;
    bool playback = false;
    bool failWrites = false;
    bool shortWrites = false;
    std::vector<std::string> writes;
};
