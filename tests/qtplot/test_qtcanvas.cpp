// The QImage canvas pixel by pixel: lines, clipping, rectangles, polygons,
// text background, fonts, system colours and the image host.
#include <QImage>
#include <gtest/gtest.h>
#include <set>
#include <utility>
#include <vector>

#include "qtplot/qtcanvas.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF;

// A 20 x 16 white image with a canvas on it: pen red, brush blue.
struct Pixels : ::testing::Test {
    QImage image{20, 16, QImage::Format_RGB32};
    QtCanvas canvas;
    Pixels() {
        image.fill(White);
        canvas.Begin(&image);
        canvas.SetPenColor(clRed);
        canvas.SetBrushColor(clBlue);
    }
    ~Pixels() override { canvas.End(); }
    QRgb At(int x, int y) const { return image.pixel(x, y); }
    std::set<std::pair<int, int>> Painted(QRgb color) const {
        std::set<std::pair<int, int>> result;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == color) result.insert({x, y});
        return result;
    }
};

const QRgb Red = QColor(255, 0, 0).rgb();
const QRgb Blue = QColor(0, 0, 255).rgb();

TEST_F(Pixels, LinesLeaveOutTheirLastPixel) {
    struct Row {
        const char* name;
        TPoint from, to;
        std::vector<std::pair<int, int>> pixels;
    };
    const Row rows[] = {
        {"right", {2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}},
        {"left", {6, 5}, {2, 5}, {{6, 5}, {5, 5}, {4, 5}, {3, 5}}},
        {"down", {1, 1}, {1, 4}, {{1, 1}, {1, 2}, {1, 3}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {"shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {"steep up", {5, 10}, {6, 7}, {{5, 10}, {5, 9}, {6, 8}}},
        {"a single step", {3, 3}, {4, 3}, {{3, 3}}},
        {"zero length", {3, 3}, {3, 3}, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        image.fill(White);
        canvas.MoveTo(r.from.x, r.from.y);
        canvas.LineTo(r.to.x, r.to.y);
        EXPECT_EQ(Painted(Red), (std::set<std::pair<int, int>>(r.pixels.begin(), r.pixels.end())));
        EXPECT_EQ(canvas.PenPos(), r.to);
    }
}

TEST_F(Pixels, LinesAreClippedExactly) {
    canvas.MoveTo(-1000000, 5);
    canvas.LineTo(1000000, 5);
    EXPECT_EQ(Painted(Red).size(), 20u);
    image.fill(White);
    // A long diagonal drawn from far outside hits the same pixels as the
    // part inside: y = x - 2 for every x of the image.
    canvas.MoveTo(-99998, -100000);
    canvas.LineTo(100002, 100000);
    std::set<std::pair<int, int>> expected;
    for (int x = 2; x < 18; ++x) expected.insert({x, x - 2});
    EXPECT_EQ(Painted(Red), expected);
    image.fill(White);
    canvas.MoveTo(-16777216, -16777216);
    canvas.LineTo(-16777216, 16777216); // entirely outside
    EXPECT_TRUE(Painted(Red).empty());
}

TEST_F(Pixels, RectangleExcludesRightAndBottom) {
    canvas.Rectangle(2, 3, 7, 8);
    const auto red = Painted(Red), blue = Painted(Blue);
    EXPECT_EQ(red.size(), 2u * 5 + 2u * 3); // the outline of 5 x 5
    EXPECT_EQ(blue.size(), 9u);             // its 3 x 3 interior
    EXPECT_TRUE(red.count({6, 7}));
    EXPECT_FALSE(red.count({7, 8}));
    EXPECT_EQ(At(7, 5), White);
    EXPECT_EQ(At(4, 8), White);
    image.fill(White);
    canvas.SetBrushStyle(bsClear);
    canvas.Rectangle(7, 8, 2, 3); // corners given the other way round
    EXPECT_EQ(Painted(Red).size(), 16u);
    EXPECT_TRUE(Painted(Blue).empty());
}

TEST_F(Pixels, PolygonFillAndOutline) {
    canvas.Polygon({TPoint{2, 2}, TPoint{10, 2}, TPoint{10, 10}, TPoint{2, 10}});
    EXPECT_EQ(Painted(Blue).size(), 7u * 7u);
    EXPECT_EQ(Painted(Red).size(), 4u * 8u);
    EXPECT_EQ(At(10, 10), Red); // every vertex is drawn
    EXPECT_EQ(At(6, 6), Blue);
    EXPECT_EQ(At(11, 6), White);
    image.fill(White);
    canvas.SetBrushStyle(bsClear);
    canvas.Polygon({TPoint{2, 2}, TPoint{10, 2}, TPoint{10, 10}, TPoint{2, 10}});
    EXPECT_TRUE(Painted(Blue).empty());
    EXPECT_EQ(At(6, 6), White);
    // A crossed quadrilateral fills its two triangles left and right.
    image.fill(White);
    canvas.SetBrushColor(clBlue);
    canvas.Polygon({TPoint{0, 0}, TPoint{12, 12}, TPoint{12, 0}, TPoint{0, 12}});
    EXPECT_EQ(At(2, 6), Blue);
    EXPECT_EQ(At(10, 6), Blue);
    EXPECT_EQ(At(6, 2), White);
    EXPECT_EQ(At(6, 10), White);
}

TEST_F(Pixels, PolygonFarOutsideIsHarmless) {
    canvas.Polygon({TPoint{-16777216, -16777216}, TPoint{16777216, -16777216},
                    TPoint{16777216, 16777216}, TPoint{-16777216, 16777216}});
    EXPECT_EQ(Painted(Blue).size(), 20u * 16u);
    image.fill(White);
    canvas.Polygon({TPoint{100, 100}, TPoint{200, 100}, TPoint{200, 200}, TPoint{100, 200}});
    EXPECT_EQ(Painted(White).size(), 20u * 16u);
}

TEST_F(Pixels, TextBackgroundFollowsTheBrush) {
    canvas.SetFontSize(8);
    canvas.SetFontColor(clBlack);
    const int w = canvas.TextWidth("00"), h = canvas.TextHeight("0");
    EXPECT_GT(w, 4);
    EXPECT_GE(h, 10); // 8 points at 96 dots per inch
    EXPECT_LE(h, 16);
    canvas.SetBrushColor(clYellow);
    canvas.TextOut(1, 1, "00");
    EXPECT_EQ(At(1, 1), QColor(255, 255, 0).rgb());
    EXPECT_EQ(At(1 + w, 1 + h), White);
    image.fill(White);
    canvas.SetBrushStyle(bsClear);
    canvas.TextOut(1, 1, "00");
    EXPECT_EQ(At(1, 1), White);
    int dark = 0;
    for (int y = 1; y < 1 + h; ++y)
        for (int x = 1; x < 1 + w; ++x) dark += qGray(At(x, y)) < 128;
    EXPECT_GT(dark, 4);
}

TEST_F(Pixels, MissingFontFaceFallsBack) {
    canvas.SetFontName("No Such Face 12345");
    EXPECT_GT(canvas.TextWidth("123"), 0);
    EXPECT_EQ(canvas.FontName(), "No Such Face 12345");
    canvas.SetFontName("Verdana");
    EXPECT_GT(canvas.TextHeight("0"), 0);
}

TEST(QtCanvasColors, SystemColoursResolve) {
    EXPECT_EQ(QtCanvas::ToQColor(clBtnFace), QColor(192, 192, 192));
    EXPECT_EQ(QtCanvas::ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
}

TEST(ImageHost, SizesTheImageAndPresents) {
    ImageHost host;
    int presents = 0;
    host.onPresent = [&] { ++presents; };
    Canvas& canvas = host.BeginPaint(30, 20);
    canvas.SetBrushColor(clNavy);
    canvas.SetPenColor(clNavy);
    canvas.Rectangle(0, 0, 30, 20);
    host.Present();
    EXPECT_EQ(presents, 1);
    EXPECT_EQ(host.Image().size(), QSize(30, 20));
    EXPECT_EQ(host.Image().pixel(29, 19), QColor(0, 0, 128).rgb());
    Canvas& empty = host.BeginPaint(0, 20); // nothing to draw on, nothing breaks
    empty.Rectangle(0, 0, 10, 10);
    empty.TextOut(0, 0, "x");
    host.Present();
    EXPECT_TRUE(host.Image().isNull());
}

} // namespace
