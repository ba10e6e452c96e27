#include "link/gpsd_lines.h"

size_t GpsdLineFilter::Filter(uint8_t* bytes, size_t count)
{
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        if (m_atLineStart && b == '{')
            m_inJson = true;
        m_atLineStart = b == '\n';
        if (m_inJson) {
            if (b == '\n')
                m_inJson = false;
            continue;
        }
        bytes[kept++] = b;
    }
    return kept;
}
