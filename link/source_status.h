#pragma once

#include <string>
#include <vector>

// The status bar's source pane: which source, and what it is doing.
struct SourceState {
    bool open = false;
    bool playback = false;
    bool retrying = false;     // gone, and the link tries to open it again
    bool lost = false;         // gone, and the link stays closed
    bool network = false;      // no baud rate to show
    std::string name;          // device path or network source text
    std::string playbackFile;
    int baudRate = 0;
    double silentSeconds = 0;  // since the last byte (or the open)
};

// "/dev/ttyUSB0 @ 115200 — receiving", "gpsd://localhost — silent for 12 s",
// "/dev/ttyACM0 — gone, retrying", "Playback: name", "No source".
std::string SourcePaneText(const SourceState& state);

// The rates Find Baud Rate tries, in order.
inline const std::vector<int> kSearchedBaudRates{4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

// Find Baud Rate: each rate gets 2 s; the first that gives three valid
// sentences is kept. Fed what the link counted since the current rate was
// set; says what to do next.
class BaudSearch {
public:
    enum class Step { Wait, TryNext, Found, NoneFound };
    static constexpr int kSentencesNeeded = 3;
    static constexpr double kSecondsPerRate = 2.0;

    explicit BaudSearch(std::vector<int> rates = kSearchedBaudRates) : m_rates(std::move(rates)) {}

    int Rate() const { return m_index < m_rates.size() ? m_rates[m_index] : 0; }
    // `sentences` valid since Rate() was set, `seconds` since then.
    Step Update(unsigned long long sentences, double seconds);

private:
    std::vector<int> m_rates;
    size_t m_index = 0;
};
