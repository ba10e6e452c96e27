#pragma once

#include <cstddef>
#include <string>

// Where sentences to the receiver are written: the open serial port, or
// nothing while the port is closed or a recording is played back in its
// place. The main window adapts the receiver link to this.
class SentenceLink {
public:
    virtual ~SentenceLink() = default;

    virtual bool IsOpen() const = 0;
    virtual bool IsPlayback() const = 0;
    // Returns the number of bytes written, or -1.
    virtual long Write(const void* data, size_t size) = 0;
    // Why the open link takes no writes at all (a source that only reads);
    // empty when it does.
    virtual std::string Refusal() const { return {}; }
    // Why the last Write returned less than it was given, as the user
    // reads it; empty when the link does not say.
    virtual std::string LastFailure() const { return {}; }
};
