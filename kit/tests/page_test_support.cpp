#include "kit/tests/page_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <cstdlib>
#include <ostream>

#include "kit/fonts.h"
#include "kit/page_painting.h"

namespace {

// Every page test starts with the fonts registered and the default look.
class PageEnvironment : public ::testing::Environment {
public:
    void SetUp() override { RegisterApplicationFonts(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PageEnvironment);

}  // namespace

void SavePage(const QImage& image, const QString& name)
{
    const QString dir = QStringLiteral(STELMAP_BINARY_DIR) + QStringLiteral("/displays_pages");
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

bool Near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

int CountColor(const QImage& image, const PixelRect& box, const QColor& color)
{
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            n += image.valid(x, y) && image.pixelColor(x, y).rgb() == color.rgb();
    return n;
}

void PrintTo(const QColor& color, std::ostream* os)
{
    *os << "rgb(" << color.red() << "," << color.green() << "," << color.blue() << ")";
}
