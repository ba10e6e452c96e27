#pragma once

#include <cstddef>
#include <cstdint>

// gpsd interleaves its own JSON reports ({"class":"VERSION",...}) with the
// receiver's NMEA on a watching client's socket, one per line. This drops
// the JSON lines and keeps every other byte as it came. Reads split lines
// anywhere, so the filter remembers where the last read stopped.
class GpsdLineFilter {
public:
    // Compacts `bytes` in place; returns how many remain.
    size_t Filter(uint8_t* bytes, size_t count);

private:
    bool m_atLineStart = true;
    bool m_inJson = false;
};
