// The main window's picture rendered through the image canvas.
#include <QDir>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "app/windowplot.h"
#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

namespace {

// The plot as the main window starts, with box and scales switched on.
void MainWindowSettings(TPlot3D& p) {
    p.SetHoldPaint(true);
    windowplot::LoadStartView(p);
    windowplot::ShowBox(p, true);
    windowplot::ShowScales(p, true);
    windowplot::UseLabelFont(p);
}

double Height(int i, int j) {
    const double x = -4 + 8.0 * (i - 1) / 35, y = 4 - 8.0 * (j - 1) / 35;
    return 2.5 * std::sin(x) * std::cos(y / 2);
}

// Smallest distance from p to the lines through the quad's edges.
double EdgeDistance(const TQuad& q, TPoint p) {
    double best = 1e9;
    for (int k = 0; k < 4; ++k) {
        const TPoint a = q[k], b = q[(k + 1) % 4];
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        if (len == 0) continue;
        best = std::min(best, std::fabs(dx * (p.y - a.y) - dy * (p.x - a.x)) / len);
    }
    return best;
}

// Whether p lies inside the quad or on its outline (same side of all edges).
bool Inside(const TQuad& q, TPoint p) {
    int positive = 0, negative = 0;
    for (int k = 0; k < 4; ++k) {
        const TPoint a = q[k], b = q[(k + 1) % 4];
        const long s = long(b.x - a.x) * (p.y - a.y) - long(b.y - a.y) * (p.x - a.x);
        positive += s >= 0;
        negative += s <= 0;
    }
    return positive == 4 || negative == 4;
}

struct MainWindowPicture : ::testing::Test {
    TPlot3D plot;
    ImageHost host;
    struct Cell {
        int i, j;
        TQuad quad;
    };
    std::vector<Cell> cells;
    MainWindowPicture() {
        plot.SetHost(&host);
        MainWindowSettings(plot);
        plot.SurfaceData().Resize(36, 36);
        for (int i = 1; i <= 36; ++i)
            for (int j = 1; j <= 36; ++j) plot.SurfaceData().SetCell(i, j, Height(i, j));
        plot.OnBeforeRenderPolygon = [this](TPlot3D&, Canvas*&, bool&, int i, int j, TQuad q,
                                            TColor&) {
            cells.push_back({i, j, q});
        };
        plot.SetHoldPaint(false);
    }
    QRgb At(int x, int y) const { return host.Image().pixel(x, y); }
};

TEST_F(MainWindowPicture, BackgroundSurfaceAndMesh) {
    const QImage& image = host.Image();
    ASSERT_EQ(image.size(), QSize(823, 653));
    image.save(QDir::current().filePath("plot_main_window.png"));
    EXPECT_EQ(At(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(At(819, 649), qRgb(255, 255, 255));
    ASSERT_EQ(cells.size(), 1225u);

    // The cells drawn last are in front; nothing but scales, the front box
    // edges and cells drawn after them covers them. Where a cell is wide
    // enough and no later cell covers its centre, the centre shows its
    // colour.
    int checked = 0;
    for (size_t k = cells.size() - 40; k < cells.size(); ++k) {
        const Cell& c = cells[k];
        const TPoint centre{(c.quad[0].x + c.quad[1].x + c.quad[2].x + c.quad[3].x) / 4,
                            (c.quad[0].y + c.quad[1].y + c.quad[2].y + c.quad[3].y) / 4};
        if (EdgeDistance(c.quad, centre) < 2) continue;
        bool covered = false;
        for (size_t later = k + 1; later < cells.size(); ++later)
            covered = covered || Inside(cells[later].quad, centre);
        if (covered) continue;
        const double v = std::max(std::max(Height(c.i, c.j), Height(c.i + 1, c.j)),
                                  std::max(Height(c.i + 1, c.j + 1), Height(c.i, c.j + 1)));
        const QRgb expected = QtCanvas::ToQColor(plot.ColorCode(v)).rgb();
        EXPECT_EQ(At(centre.x, centre.y), expected) << c.i << "," << c.j;
        ++checked;
    }
    EXPECT_GE(checked, 15);
    // The last cell is (35, 1): rows descend and columns ascend at 66 / 115.
    EXPECT_EQ(cells.back().i, 35);
    EXPECT_EQ(cells.back().j, 1);
    // An inner mesh point of it is drawn in the mesh colour.
    const TPoint p3 = cells.back().quad[3];
    EXPECT_EQ(At(p3.x, p3.y), QtCanvas::ToQColor(clMaroon).rgb());
}

TEST_F(MainWindowPicture, ScaleLabelsAreDrawn) {
    // Blue x and y ticks and labels and red z ones; the text is smoothed, so
    // count pixels near those colours.
    int blue = 0, red = 0;
    const QImage& image = host.Image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            blue += c.blue() > 200 && c.red() < 120 && c.green() < 120;
            red += c.red() > 200 && c.blue() < 120 && c.green() < 120;
        }
    EXPECT_GT(blue, 150); // 8 labels and ticks
    EXPECT_GT(red, 100);  // 5 labels and ticks
}

TEST_F(MainWindowPicture, FrameStyles) {
    struct Row {
        const char* name;
        TFrameStyle style;
        QRgb topLeft, bottomRight, innerTopLeft, innerBottomRight;
    };
    const Row rows[] = {
        {"lowered", fsLowered, qRgb(128, 128, 128), qRgb(255, 255, 255), qRgb(0, 0, 0),
         qRgb(192, 192, 192)},
        {"raised", fsRaised, qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(192, 192, 192),
         qRgb(128, 128, 128)},
        {"simple", fsSimple, qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(255, 255, 255),
         qRgb(255, 255, 255)},
    };
    plot.SetColorBakGnd(clWhite);
    plot.SetBoundBoxStyle(bbNone);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetFrameStyle(r.style);
        EXPECT_EQ(At(0, 0), r.topLeft);
        EXPECT_EQ(At(411, 0), r.topLeft);
        EXPECT_EQ(At(0, 300), r.topLeft);
        EXPECT_EQ(At(822, 652), r.bottomRight);
        EXPECT_EQ(At(822, 300), r.bottomRight);
        EXPECT_EQ(At(411, 652), r.bottomRight);
        EXPECT_EQ(At(1, 300), r.innerTopLeft);
        EXPECT_EQ(At(411, 1), r.innerTopLeft);
        EXPECT_EQ(At(821, 300), r.innerBottomRight);
        EXPECT_EQ(At(411, 651), r.innerBottomRight);
    }
}

} // namespace
