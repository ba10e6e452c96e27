#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <limits>
#include <random>

#include "analysis/tests/page_test_support.h"
#include "analysis/v_plot.h"

namespace {

const QColor kSentinel(10, 20, 30);
const QColor kGreen(0, 255, 0);
const QColor kMagenta(255, 0, 255);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

class Plot : public ::testing::Test {
protected:
    void SetUp() override { UseTahoma(); }

    QImage Render(VPlot& plot, QSize size = {400, 300})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(kSentinel);
        QPainter painter(&image);
        plot.Draw(painter, QRect(QPoint(0, 0), size));
        return image;
    }
};

TEST_F(Plot, EmptyPlotIsAFramedBlackAreaAndNothingElse)
{
    VPlot plot;
    plot.m_title.clear();
    plot.m_xLabel.clear();
    plot.m_yLabel.clear();
    const QImage image = Render(plot);
    const PlotRect p = plot.Layout().plot;
    ASSERT_EQ(p, (PlotRect{50, 30, 320, 270}));
    EXPECT_EQ(Pixel(image, p.left, 100), kWhite);
    EXPECT_EQ(Pixel(image, p.right - 1, 100), kWhite);
    EXPECT_EQ(Pixel(image, 100, p.top), kWhite);
    EXPECT_EQ(Pixel(image, 100, p.bottom - 1), kWhite);
    // Nothing outside the frame; no grid inside it.
    EXPECT_EQ(Pixel(image, p.left - 1, 100), kSentinel);
    EXPECT_EQ(Pixel(image, p.right, 100), kSentinel);
    EXPECT_EQ(Pixel(image, 100, p.bottom), kSentinel);
    for (int y = p.top + 1; y < p.bottom - 1; ++y)
        for (int x = p.left + 1; x < p.right - 1; ++x)
            ASSERT_EQ(Pixel(image, x, y), kBlack) << x << "," << y;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x < p.left || x >= p.right || y < p.top || y >= p.bottom) {
                ASSERT_EQ(Pixel(image, x, y), kSentinel) << x << "," << y;
            }
        }
    }
}

TEST_F(Plot, AddPointRefusesSeriesOutsideTheSixteen)
{
    VPlot plot;
    EXPECT_TRUE(plot.AddPoint(15, 1, 2));
    EXPECT_FALSE(plot.AddPoint(16, 1, 2));
    EXPECT_FALSE(plot.AddPoint(-1, 1, 2));
    int points = 0;
    for (int i = 0; i < kMaxSeries; ++i)
        points += plot.Series(i).PointCount();
    EXPECT_EQ(points, 1);
}

TEST_F(Plot, GridLinesStandWhereTheScalesPutThem)
{
    VPlot plot;
    plot.m_gridColor = QColor(96, 96, 96);
    for (int x = 0; x < 100; ++x)
        plot.AddPoint(0, x, x < 50 ? 0.0 : 100.0);
    const QImage image = Render(plot, {600, 400});
    const PlotRect p = plot.Layout().plot;
    const auto xLines = ComputeXGrid(plot.Scales(), p, 10);
    const auto yLines = ComputeYGrid(plot.Scales(), p, 10);
    ASSERT_EQ(xLines.size(), 5u);  // 18, 36, 54, 72, 90
    ASSERT_FALSE(yLines.empty());
    const int freeRow = p.top + 3;  // above the series and between grid rows
    for (const GridLine& line : xLines) {
        EXPECT_EQ(Pixel(image, line.pixel, freeRow), plot.m_gridColor) << line.value;
        EXPECT_EQ(Pixel(image, line.pixel + 1, freeRow), kBlack) << line.value;
    }
    const int freeColumn = xLines[0].pixel + 2;
    for (const GridLine& line : yLines) {
        if (std::abs(line.pixel - ToPixelY(plot.Scales(), p, 0.0)) < 2
            || std::abs(line.pixel - ToPixelY(plot.Scales(), p, 100.0)) < 2)
            continue;  // rows the series runs along
        EXPECT_EQ(Pixel(image, freeColumn, line.pixel), plot.m_gridColor) << line.value;
    }
    // Tick labels: white text left of the plot area on the grid rows, and
    // below it under the grid columns.
    auto hasText = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (Pixel(image, x, y).lightness() > 128 && Pixel(image, x, y) != plot.m_gridColor)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasText(p.left - 40, p.left - 3, yLines[0].pixel - 4, yLines[0].pixel + 4));
    EXPECT_FALSE(hasText(p.left - 3, p.left, p.top, p.bottom));
    EXPECT_TRUE(hasText(xLines[0].pixel - 6, xLines[0].pixel + 6, p.bottom, p.bottom + 12));
}

TEST_F(Plot, PolylineThroughItsPointsAndMarkersAsCircles)
{
    VPlot plot;
    plot.AddPoint(0, 0, 0);
    plot.AddPoint(0, 5, 50);
    plot.AddPoint(0, 10, 100);
    plot.AddPoint(15, 2, 80);
    plot.AddPoint(15, 8, 80);
    const QImage image = Render(plot);
    const PlotScales& s = plot.Scales();
    const PlotRect p = plot.Layout().plot;
    const int mx = ToPixelX(s, p, 5), my = ToPixelY(s, p, 50);
    EXPECT_EQ(Pixel(image, mx, my), kGreen);
    // The line leaves the plot area at its top right: nothing is drawn
    // outside, the point at x = 10 lies on the excluded right edge.
    EXPECT_EQ(Pixel(image, p.right, ToPixelY(s, p, 100)), kSentinel);

    for (double x : {2.0, 8.0}) {
        const int cx = ToPixelX(s, p, x), cy = ToPixelY(s, p, 80);
        EXPECT_EQ(Pixel(image, cx, cy), kMagenta);       // the stroke starts at the centre
        EXPECT_EQ(Pixel(image, cx + 3, cy), kMagenta);   // ... and meets the circle at its right
        EXPECT_EQ(Pixel(image, cx, cy - 3), kMagenta);   // top of the circle
        EXPECT_EQ(Pixel(image, cx - 3, cy), kMagenta);   // left
        EXPECT_EQ(Pixel(image, cx, cy + 3), kMagenta);   // bottom
        EXPECT_EQ(Pixel(image, cx - 1, cy - 1), kBlack); // inside, off the stroke
    }
    // Markers are never joined.
    EXPECT_EQ(Pixel(image, ToPixelX(s, p, 5), ToPixelY(s, p, 80)), kBlack);
}

TEST_F(Plot, OneEqualValueLiesOnTheBottomEdgeOutsideTheClip)
{
    VPlot plot;
    for (int x = 0; x < 10; ++x)
        plot.AddPoint(0, x, 16.0);
    const QImage image = Render(plot);
    const PlotRect p = plot.Layout().plot;
    EXPECT_EQ(ToPixelY(plot.Scales(), p, 16.0), p.bottom);
    for (int y = p.top; y <= p.bottom; ++y)
        EXPECT_NE(Pixel(image, (p.left + p.right) / 2, y), kGreen) << y;
}

TEST_F(Plot, LegendListsTheSeriesThatHoldPointsInIndexOrder)
{
    VPlot plot;
    plot.m_seriesNames[0] = "Raw";
    plot.m_seriesNames[1] = "LSF";
    plot.m_seriesNames[2] = "AVG";
    plot.AddPoint(2, 0, 1);
    plot.AddPoint(0, 1, 2);
    const QImage image = Render(plot);
    const PlotRect legend = plot.Layout().legend;
    // Walk down the legend's colour bars.
    std::vector<QRgb> bars;
    for (int y = legend.top; y < image.height(); ++y) {
        const QRgb c = image.pixel(legend.left + 2, y);
        const bool seriesColour = std::find(plot.m_seriesColors.begin(), plot.m_seriesColors.end(), QColor(c))
            != plot.m_seriesColors.end();
        if (seriesColour && (bars.empty() || bars.back() != c))
            bars.push_back(c);
    }
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(QColor(bars[0]), kGreen);
    EXPECT_EQ(QColor(bars[1]), QColor(192, 192, 255));
}

TEST_F(Plot, VerticalLabelReadsUpwardCentredOnThePlot)
{
    VPlot plot;
    plot.m_yLabel = "Altitude (M)";
    plot.m_yLabelColor = QColor(255, 255, 0);
    plot.m_title.clear();
    plot.m_xLabel.clear();
    const QImage image = Render(plot, {400, 400});
    const PlotRect box = plot.Layout().yLabel;
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = Pixel(image, x, y);
            if (c.red() > 128 && c.green() > 128 && c.blue() < 60) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    ASSERT_GE(bottom, 0);
    EXPECT_GT(bottom - top, 3 * (right - left));  // tall and narrow: turned
    EXPECT_GE(left, box.left);
    EXPECT_LE(right, box.left + 16);
    EXPECT_NEAR((top + bottom) / 2.0, (box.top + box.bottom) / 2.0, 3.0);
}

TEST_F(Plot, MergingColumnsChangesNoPixel)
{
    std::mt19937 rng(17);
    std::normal_distribution<double> noise(0.0, 1.0);
    struct Case {
        int points;
        bool monotoneX;
        QSize size;
    };
    const Case cases[] = {{86400, true, {782, 195}}, {3000, false, {400, 300}}, {200, true, {900, 300}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points);
        VPlot merged, plain;
        plain.m_mergeColumns = false;
        double walk = 0.0;
        for (int i = 0; i < c.points; ++i) {
            walk += noise(rng);
            const double x = c.monotoneX ? i : std::floor(rng() % 1000 / 3.0);
            const double spike = rng() % 97 == 0 ? 40.0 * noise(rng) : 0.0;
            const bool marker = rng() % 5 == 0;
            for (VPlot* plot : {&merged, &plain}) {
                plot->AddPoint(0, x, walk + spike);
                plot->AddPoint(2, x, walk * 0.5);
                plot->AddPoint(3, x, i % 500 < 250 ? 1.0 : -1.0);
                if (marker)
                    plot->AddPoint(15, x, walk);
            }
        }
        EXPECT_TRUE(Render(merged, c.size) == Render(plain, c.size));
    }
}

TEST_F(Plot, ValuesThatAreNotNumbersAreLeftOut)
{
    VPlot plot;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    const PlotDataItem points[] = {{1, 0}, {inf, 1}, {nan, 2}, {3, nan}, {2, 3}, {-inf, 4}, {4, 5}};
    for (const PlotDataItem& point : points)
        plot.AddPoint(0, point.x, point.y);
    plot.AddPoint(15, inf, 1);
    const QImage image = Render(plot);
    EXPECT_EQ(Pixel(image, ToPixelX(plot.Scales(), plot.Layout().plot, 3), ToPixelY(plot.Scales(), plot.Layout().plot, 2)),
              kGreen);
}

TEST_F(Plot, AsAWindowItPaintsItsClientAreaInOneCopy)
{
    VPlot plot;
    plot.resize(320, 240);
    for (int i = 0; i < 50; ++i)
        plot.AddPoint(i % 3, i, std::sin(i * 0.2) * (1 + i % 3));
    const QImage shown = plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage expected(320, 240, QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter painter(&expected);
    plot.Draw(painter, QRect(0, 0, 320, 240));
    painter.end();
    EXPECT_EQ(shown, expected);
}

}  // namespace
