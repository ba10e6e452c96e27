#pragma once

#include <QColor>
#include <QFontDatabase>
#include <QImage>
#include <QString>
#include <fstream>
#include <iterator>
#include <string>

#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"

// The pages draw in Tahoma; the system here has it only as a loose file.
inline void UseTahoma()
{
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"));
}

inline QColor Pixel(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// Decodes a recording and hands every fix's snapshot to `onFix`, as the
// main window hands them to the pages.
template <typename OnFix>
size_t FeedRecording(const std::string& path, OnFix&& onFix)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ReceiverState parser;
    DisplaySnapshot snapshot;
    size_t fixes = 0;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        ++fixes;
        onFix(snapshot);
    });
    parser.ProcessBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return fixes;
}
