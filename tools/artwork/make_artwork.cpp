// Draws every picture Stelmap ships (tab images, lamps, toolbar buttons, the
// update alert's bell, the About picture and the application icon) with
// QPainter and writes them as PNG files into the folder given. The pictures
// are committed; run this again only to change them.
#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QImage Render(int width, int height, const std::function<void(QPainter&)>& draw)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
    painter.end();
    return image;
}

bool Save(const QDir& dir, const char* name, const QImage& image)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

QPen Outline(const QColor& color, double width = 1.0)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// ---- 16 x 16 tab images ---------------------------------------------------

void DrawHouse(QPainter& p)
{
    // Walls with a door and a window, under a red roof with a chimney.
    p.setPen(Outline(QColor(90, 60, 40)));
    QLinearGradient wall(0, 7, 0, 15);
    wall.setColorAt(0, QColor(255, 248, 225));
    wall.setColorAt(1, QColor(228, 212, 176));
    p.setBrush(wall);
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    p.setBrush(QColor(150, 95, 50));
    p.drawRect(QRectF(6.5, 10.5, 3, 4));
    p.setBrush(QColor(120, 170, 230));
    p.setPen(Outline(QColor(70, 90, 120)));
    p.drawRect(QRectF(10, 9, 1.8, 1.8));
    p.setPen(Outline(QColor(120, 30, 20)));
    p.setBrush(QColor(150, 60, 40));
    p.drawRect(QRectF(10.5, 2.5, 2, 4));
    QLinearGradient roof(0, 1, 0, 8);
    roof.setColorAt(0, QColor(235, 85, 60));
    roof.setColorAt(1, QColor(180, 40, 25));
    p.setBrush(roof);
    QPolygonF top;
    top << QPointF(1, 8.5) << QPointF(8, 1.5) << QPointF(15, 8.5);
    p.drawPolygon(top);
}

void DrawGlobe(QPainter& p)
{
    const QRectF ball(1.5, 1.5, 13, 13);
    QRadialGradient sea(QPointF(5.5, 5), 10);
    sea.setColorAt(0, QColor(140, 200, 255));
    sea.setColorAt(1, QColor(20, 80, 170));
    p.setPen(Outline(QColor(15, 50, 110)));
    p.setBrush(sea);
    p.drawEllipse(ball);
    // Land masses, clipped to the ball.
    QPainterPath clip;
    clip.addEllipse(ball.adjusted(0.5, 0.5, -0.5, -0.5));
    p.save();
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 160, 60));
    QPainterPath land;
    land.moveTo(3, 4);
    land.cubicTo(5, 2, 8, 3, 7.5, 5.5);
    land.cubicTo(7, 7.5, 5, 7, 5.5, 9.5);
    land.cubicTo(6, 12, 4, 12.5, 3, 10);
    land.closeSubpath();
    land.moveTo(9.5, 7);
    land.cubicTo(12, 6, 14.5, 8, 13, 10.5);
    land.cubicTo(12, 13, 10, 12.5, 10, 10.5);
    land.closeSubpath();
    p.drawPath(land);
    p.setPen(Outline(QColor(255, 255, 255, 110), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.restore();
    p.setPen(Outline(QColor(255, 255, 255, 170), 1.2));
    p.drawArc(QRectF(3.5, 3.5, 9, 9), 100 * 16, 60 * 16);
}

void DrawChart(QPainter& p)
{
    p.setPen(Outline(QColor(80, 80, 90)));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Outline(QColor(205, 210, 220), 0.8));
    for (double y : {5.0, 8.5, 12.0})
        p.drawLine(QPointF(2.5, y), QPointF(13.5, y));
    p.setPen(Outline(QColor(40, 90, 200), 1.4));
    QPolygonF rising;
    rising << QPointF(3, 12) << QPointF(6, 9) << QPointF(8.5, 10.5) << QPointF(13, 4);
    p.drawPolyline(rising);
    p.setPen(Outline(QColor(210, 50, 40), 1.2));
    QPolygonF level;
    level << QPointF(3, 7) << QPointF(6, 6.5) << QPointF(9, 7.5) << QPointF(13, 7);
    p.drawPolyline(level);
}

// Signal bars of four systems, for the Signals tab.
void DrawSignalBars(QPainter& p)
{
    const QColor colors[] = {QColor(38, 132, 222), QColor(220, 96, 24), QColor(0, 166, 120), QColor(236, 166, 0)};
    const double heights[] = {9.0, 12.0, 7.0, 10.5};
    p.setPen(Outline(QColor(70, 70, 80), 0.8));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[i]);
        p.drawRect(QRectF(1.5 + 3.5 * i, 14.5 - heights[i], 2.6, heights[i]));
    }
}

void DrawTextWindow(QPainter& p)
{
    p.setPen(Outline(QColor(60, 70, 90)));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    QLinearGradient title(0, 2.5, 0, 5.5);
    title.setColorAt(0, QColor(90, 150, 235));
    title.setColorAt(1, QColor(30, 90, 190));
    p.setPen(Qt::NoPen);
    p.setBrush(title);
    p.drawRect(QRectF(2, 3, 12, 2.5));
    p.setPen(QPen(QColor(90, 90, 90), 1.0, Qt::SolidLine, Qt::FlatCap));
    const double ends[] = {13, 10, 12};
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(3, 7.5 + 2 * i), QPointF(ends[i], 7.5 + 2 * i));
}

void DrawKey(QPainter& p)
{
    QLinearGradient gold(0, 0, 16, 16);
    gold.setColorAt(0, QColor(255, 230, 120));
    gold.setColorAt(1, QColor(200, 140, 20));
    p.setPen(Outline(QColor(120, 80, 10)));
    p.setBrush(gold);
    QPainterPath key;
    key.addEllipse(QRectF(1.5, 1.5, 7, 7));
    QPainterPath hole;
    hole.addEllipse(QRectF(3.5, 3.5, 2.4, 2.4));
    QPainterPath shaft;
    shaft.moveTo(6.5, 7.5);
    shaft.lineTo(14, 15);
    shaft.lineTo(15, 14);
    shaft.lineTo(7.5, 6.5);
    shaft.closeSubpath();
    QPainterPath teeth;
    teeth.addRect(QRectF(-1.2, 0, 2.4, 2.6));
    QPainterPath shape = key.united(shaft);
    for (double t : {10.5, 12.8}) {
        QTransform at;
        at.translate(t, t);
        at.rotate(45);
        shape = shape.united(at.map(teeth));
    }
    p.drawPath(shape.subtracted(hole));
}

// ---- 16 x 16 lamps --------------------------------------------------------

QImage Lamp(QColor core, QColor rim, bool lit)
{
    return Render(16, 16, [&](QPainter& p) {
        QRadialGradient bezel(QPointF(8, 8), 7.5);
        bezel.setColorAt(0.8, QColor(170, 170, 175));
        bezel.setColorAt(1, QColor(90, 90, 95));
        p.setPen(Outline(QColor(70, 70, 75), 0.8));
        p.setBrush(bezel);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QRadialGradient glass(QPointF(6.5, 6), 7);
        glass.setColorAt(0, lit ? core.lighter(160) : core.lighter(115));
        glass.setColorAt(0.6, core);
        glass.setColorAt(1, rim);
        p.setPen(Outline(rim.darker(140), 0.6));
        p.setBrush(glass);
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, lit ? 190 : 70));
        p.drawEllipse(QRectF(4.5, 4, 4, 2.6));
    });
}

// ---- 32 x 32 toolbar buttons ----------------------------------------------

void DrawConnect(QPainter& p)
{
    // A nine-pin serial plug with its cable, and a small receiver antenna.
    p.setPen(Outline(QColor(60, 60, 70), 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(16, 22);
    cable.cubicTo(16, 28, 6, 26, 4, 31);
    p.setPen(Outline(QColor(40, 40, 45), 3));
    p.drawPath(cable);
    QLinearGradient metal(0, 8, 0, 22);
    metal.setColorAt(0, QColor(235, 238, 242));
    metal.setColorAt(1, QColor(140, 146, 156));
    p.setPen(Outline(QColor(60, 64, 72), 1.2));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(3.5, 9.5, 25, 12), 2, 2);
    QPolygonF shell;
    shell << QPointF(7, 11.5) << QPointF(25, 11.5) << QPointF(23, 19.5) << QPointF(9, 19.5);
    p.setBrush(QColor(40, 44, 52));
    p.drawPolygon(shell);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 190, 80));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(10 + 3 * i, 14), 1.0, 1.0);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(11.5 + 3 * i, 17), 1.0, 1.0);
    p.setBrush(QColor(120, 126, 136));
    p.drawEllipse(QPointF(5.5, 15.5), 1.2, 1.2);
    p.drawEllipse(QPointF(26.5, 15.5), 1.2, 1.2);
    // Signal arcs above the plug: the receiver on the other end.
    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(QColor(30, 130, 60), 1.6));
    p.drawArc(QRectF(11, 1, 10, 10), 40 * 16, 100 * 16);
    p.drawArc(QRectF(7, -2, 18, 16), 45 * 16, 90 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 130, 60));
    p.drawEllipse(QPointF(16, 7), 1.6, 1.6);
}

void DrawRecord(QPainter& p)
{
    QRadialGradient red(QPointF(13, 12), 14);
    red.setColorAt(0, QColor(255, 130, 120));
    red.setColorAt(0.7, QColor(220, 30, 25));
    red.setColorAt(1, QColor(150, 10, 10));
    p.setPen(Outline(QColor(110, 10, 10), 1.2));
    p.setBrush(red);
    p.drawEllipse(QRectF(5.5, 5.5, 21, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(QRectF(10, 8.5, 9, 5));
}

void DrawStop(QPainter& p)
{
    QLinearGradient slate(0, 6, 0, 26);
    slate.setColorAt(0, QColor(120, 135, 160));
    slate.setColorAt(1, QColor(45, 55, 75));
    p.setPen(Outline(QColor(30, 36, 50), 1.2));
    p.setBrush(slate);
    p.drawRoundedRect(QRectF(6.5, 6.5, 19, 19), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(8, 8, 16, 6), 2, 2);
}

void DrawPlayBack(QPainter& p)
{
    QLinearGradient green(0, 5, 0, 27);
    green.setColorAt(0, QColor(130, 225, 110));
    green.setColorAt(1, QColor(25, 130, 35));
    p.setPen(Outline(QColor(15, 80, 20), 1.2));
    p.setBrush(green);
    QPolygonF play;
    play << QPointF(9, 5.5) << QPointF(27, 16) << QPointF(9, 26.5);
    p.drawPolygon(play);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    QPolygonF shine;
    shine << QPointF(10.5, 8) << QPointF(22, 14.5) << QPointF(10.5, 14.5);
    p.drawPolygon(shine);
}

void DrawAbout(QPainter& p)
{
    QRadialGradient blue(QPointF(12, 11), 15);
    blue.setColorAt(0, QColor(120, 180, 255));
    blue.setColorAt(1, QColor(20, 70, 170));
    p.setPen(Outline(QColor(15, 45, 120), 1.2));
    p.setBrush(blue);
    p.drawEllipse(QRectF(3.5, 3.5, 25, 25));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 10), 2.2, 2.2);
    p.drawRoundedRect(QRectF(14, 14, 4, 10), 1.2, 1.2);
    p.drawRect(QRectF(12, 14, 4, 2));
    p.drawRect(QRectF(12, 22.5, 8, 2));
}

void DrawBell(QPainter& p)
{
    QLinearGradient gold(4, 0, 28, 0);
    gold.setColorAt(0, QColor(250, 215, 90));
    gold.setColorAt(0.45, QColor(255, 245, 180));
    gold.setColorAt(1, QColor(190, 130, 15));
    QPainterPath bell;
    bell.moveTo(16, 4);
    bell.cubicTo(9, 4, 8.5, 10, 8.5, 15);
    bell.cubicTo(8.5, 20, 6.5, 22, 4.5, 24);
    bell.lineTo(27.5, 24);
    bell.cubicTo(25.5, 22, 23.5, 20, 23.5, 15);
    bell.cubicTo(23.5, 10, 23, 4, 16, 4);
    bell.closeSubpath();
    p.setPen(Outline(QColor(130, 85, 10), 1.2));
    p.setBrush(QColor(160, 110, 20));
    p.drawEllipse(QPointF(16, 26), 3, 3);
    p.setBrush(gold);
    p.drawPath(bell);
    p.drawEllipse(QPointF(16, 3.5), 1.8, 1.8);
    p.setPen(Outline(QColor(130, 85, 10), 1.0));
    p.drawLine(QPointF(6, 22.5), QPointF(26, 22.5));
    // Ringing.
    p.setPen(Outline(QColor(200, 60, 40), 1.4));
    p.drawArc(QRectF(0.5, 5, 8, 12), 110 * 16, 70 * 16);
    p.drawArc(QRectF(23.5, 5, 8, 12), -(0 * 16), 70 * 16);
}

// ---- The sky-plot motif of the About picture and the icon -----------------

struct Star {
    double x, y, r;
    int alpha;
};

// Deterministic scatter, so the pictures come out the same on every run.
std::vector<Star> Stars(int count, double width, double height, uint32_t seed)
{
    std::vector<Star> stars;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1u << 24);
    };
    for (int i = 0; i < count; ++i) {
        Star s{next() * width, next() * height, 0.4 + next() * 0.9, 90 + int(next() * 165)};
        stars.push_back(s);
    }
    return stars;
}

// A sky plot centred at c with horizon radius r: elevation rings at 0, 30 and
// 60 degrees, spokes every 30 degrees, and a few satellites with their trails.
// `pixel` is the size of one device pixel in the painter's units; small
// renderings drop the fine detail and keep every stroke at least a pixel wide.
void DrawSkyPlot(QPainter& p, QPointF c, double r, bool labels, double pixel = 1.0)
{
    const bool small = pixel > 4.0;
    auto width = [pixel](double w) { return std::max(w, pixel); };
    QRadialGradient dome(c, r);
    dome.setColorAt(0, QColor(40, 80, 140, 120));
    dome.setColorAt(1, QColor(20, 40, 90, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(dome);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 12; ++i) {
        if (small && i % 3 != 0)
            continue;
        const double a = qDegreesToRadians(30.0 * i);
        p.setPen(Outline(QColor(150, 190, 255, i % 3 == 0 ? 130 : 60), width(r / 120)));
        p.drawLine(c, c + QPointF(r * std::sin(a), -r * std::cos(a)));
    }
    for (double e : {0.0, 30.0, 60.0}) {
        if (small && e == 30.0)
            continue;
        const double rr = r * (90.0 - e) / 90.0;
        p.setPen(Outline(QColor(150, 190, 255, e == 0.0 ? 220 : 140), width(e == 0.0 ? r / 60 : r / 100)));
        p.drawEllipse(c, rr, rr);
    }
    if (labels) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(int(r / 7));
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(190, 215, 255, 220));
        const double off = r + r / 9;
        p.drawText(QRectF(c.x() - 10, c.y() - off - 8, 20, 16), Qt::AlignCenter, QStringLiteral("N"));
        p.drawText(QRectF(c.x() + off - 10, c.y() - 8, 20, 16), Qt::AlignCenter, QStringLiteral("E"));
        p.drawText(QRectF(c.x() - 10, c.y() + off - 8, 20, 16), Qt::AlignCenter, QStringLiteral("S"));
        p.drawText(QRectF(c.x() - off - 10, c.y() - 8, 20, 16), Qt::AlignCenter, QStringLiteral("W"));
    }
    struct Sat {
        double azimuth, elevation, trail;
        QColor color;
        bool keepWhenSmall;
    };
    const Sat sats[] = {
        {40, 55, -25, QColor(90, 230, 120), true},   {135, 30, 20, QColor(90, 230, 120), false},
        {215, 70, 30, QColor(255, 200, 80), false},  {300, 20, -20, QColor(90, 230, 120), true},
        {250, 42, 15, QColor(120, 190, 255), false}, {120, 25, 18, QColor(255, 110, 90), true},
    };
    auto at = [&](double az, double el) {
        const double rr = r * (90.0 - el) / 90.0;
        const double a = qDegreesToRadians(az);
        return c + QPointF(rr * std::sin(a), -rr * std::cos(a));
    };
    for (const Sat& s : sats) {
        if (small && !s.keepWhenSmall)
            continue;
        const QPointF where = at(s.azimuth, s.elevation);
        if (!small) {
            QPainterPath trail;
            trail.moveTo(at(s.azimuth - s.trail, s.elevation - s.trail / 3));
            trail.quadTo(at(s.azimuth - s.trail / 2, s.elevation - s.trail / 8), where);
            QColor faint = s.color;
            faint.setAlpha(120);
            p.setPen(Outline(faint, width(r / 70)));
            p.drawPath(trail);
        }
        const double glowRadius = small ? std::max(r / 7, 2.2 * pixel) : r / 12;
        QRadialGradient glow(where, glowRadius);
        glow.setColorAt(0, s.color);
        glow.setColorAt(small ? 0.6 : 0.0, s.color);
        glow.setColorAt(1, QColor(s.color.red(), s.color.green(), s.color.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(where, glowRadius, glowRadius);
        p.setBrush(s.color.lighter(130));
        const double core = std::max(r / 30, 0.8 * pixel);
        p.drawEllipse(where, core, core);
    }
}

QImage AboutPicture()
{
    return Render(447, 189, [](QPainter& p) {
        QLinearGradient night(0, 0, 0, 189);
        night.setColorAt(0, QColor(8, 16, 44));
        night.setColorAt(0.7, QColor(18, 42, 92));
        night.setColorAt(1, QColor(30, 62, 120));
        p.fillRect(QRect(0, 0, 447, 189), night);
        for (const Star& s : Stars(140, 447, 189, 20250613u)) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, s.alpha));
            p.drawEllipse(QPointF(s.x, s.y), s.r, s.r);
        }
        DrawSkyPlot(p, QPointF(352, 95), 72, true);

        QFont title(QStringLiteral("Liberation Sans"));
        title.setPixelSize(46);
        title.setBold(true);
        p.setFont(title);
        p.setPen(QColor(0, 0, 0, 110));
        p.drawText(QPointF(28, 92), QStringLiteral("Stelmap"));
        p.setPen(QColor(245, 248, 255));
        p.drawText(QPointF(26, 90), QStringLiteral("Stelmap"));

        QFont sub(QStringLiteral("Liberation Sans"));
        sub.setPixelSize(15);
        p.setFont(sub);
        p.setPen(QColor(170, 200, 245));
        p.drawText(QPointF(28, 116), QStringLiteral("GNSS receiver monitor"));
        sub.setPixelSize(12);
        sub.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        p.setFont(sub);
        p.setPen(QColor(130, 160, 210));
        p.drawText(QPointF(28, 158), QStringLiteral("HELMARC"));
        p.setPen(Outline(QColor(120, 160, 230, 150), 1));
        p.drawLine(QPointF(28, 128), QPointF(230, 128));
    });
}

QImage AppIcon(int size)
{
    return Render(size, size, [size](QPainter& p) {
        const double s = size;
        p.scale(s / 256.0, s / 256.0);
        QLinearGradient night(0, 0, 0, 256);
        night.setColorAt(0, QColor(16, 34, 82));
        night.setColorAt(1, QColor(34, 76, 150));
        p.setPen(Outline(QColor(8, 20, 52), 6));
        p.setBrush(night);
        p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
        if (size >= 32) {
            for (const Star& st : Stars(24, 220, 220, 77u)) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(255, 255, 255, st.alpha));
                p.drawEllipse(QPointF(18 + st.x, 18 + st.y), st.r * 2.2, st.r * 2.2);
            }
        }
        DrawSkyPlot(p, QPointF(128, 128), 96, false, 256.0 / s);
    });
}

// Every picture of at most 48 pixels, enlarged without smoothing on a light
// and on a dark background, so the pixels can be judged.
bool ContactSheet(const QDir& dir, const QString& out)
{
    const QStringList names = dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    std::vector<QImage> images;
    for (const QString& name : names) {
        QImage image(dir.filePath(name));
        if (!image.isNull() && image.width() <= 48)
            images.push_back(image);
    }
    const int cell = 48 * 4 + 8;
    QImage sheet(cell * int(images.size()), cell * 2, QImage::Format_ARGB32);
    sheet.fill(QColor(214, 216, 222));
    QPainter p(&sheet);
    p.fillRect(QRect(0, cell, sheet.width(), cell), QColor(40, 40, 44));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int scale = (48 * 4) / images[i].width();
        const QSize size = images[i].size() * scale;
        for (int row = 0; row < 2; ++row)
            p.drawImage(QRect(QPoint(int(i) * cell + 4, row * cell + 4), size), images[i]);
    }
    p.end();
    return sheet.save(out, "PNG");
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--sheet")
        return ContactSheet(QDir(QString::fromLocal8Bit(argv[2])), QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: stelmap-artwork OUTPUT_FOLDER\n"
                             "       stelmap-artwork --sheet FOLDER SHEET.png   (small pictures enlarged, to look at)\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "no folder %s\n", argv[1]);
        return 2;
    }
    struct Item {
        const char* name;
        int size;
        void (*draw)(QPainter&);
    };
    const Item items[] = {
        {"tab_house.png", 16, DrawHouse},        {"tab_globe.png", 16, DrawGlobe},
        {"tab_chart.png", 16, DrawChart},        {"tab_text_window.png", 16, DrawTextWindow},
        {"tab_key.png", 16, DrawKey},            {"tool_connect.png", 32, DrawConnect},
        {"tool_record.png", 32, DrawRecord},     {"tool_stop.png", 32, DrawStop},
        {"tool_play_back.png", 32, DrawPlayBack}, {"tool_about.png", 32, DrawAbout},
        {"alert_bell.png", 32, DrawBell},        {"tab_signals.png", 16, DrawSignalBars},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = Save(dir, item.name, Render(item.size, item.size, item.draw)) && ok;
    ok = Save(dir, "lamp_red_lit.png", Lamp(QColor(240, 30, 30), QColor(140, 0, 0), true)) && ok;
    ok = Save(dir, "lamp_red_idle.png", Lamp(QColor(100, 20, 20), QColor(50, 5, 5), false)) && ok;
    ok = Save(dir, "lamp_green_lit.png", Lamp(QColor(40, 225, 40), QColor(0, 120, 0), true)) && ok;
    ok = Save(dir, "lamp_green_idle.png", Lamp(QColor(20, 85, 20), QColor(5, 40, 5), false)) && ok;
    ok = Save(dir, "about.png", AboutPicture()) && ok;
    for (int size : {16, 32, 48, 256}) {
        const QByteArray name = "stelmap_" + QByteArray::number(size) + ".png";
        ok = Save(dir, name.constData(), AppIcon(size)) && ok;
    }
    return ok ? 0 : 1;
}
