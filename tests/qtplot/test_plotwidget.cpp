// The Qt widget that hosts the plot: size and image, painting, a hidden plot
// and dragging.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "qtplot/plotwidget.h"

namespace {

void Move(QWidget& w, int x, int y, Qt::MouseButtons buttons) {
    const QPointF local(x, y);
    QMouseEvent event(QEvent::MouseMove, local, w.mapToGlobal(local), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

struct Widget : ::testing::Test {
    PlotWidget widget;
    int paints = 0;
    Widget() {
        widget.Plot().OnDataRendered = [this](TPlot3D&, Canvas*&) { ++paints; };
        widget.resize(823, 653);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
};

TEST_F(Widget, SizeAndImageFollowTheWidget) {
    EXPECT_EQ(widget.Plot().Width(), 823);
    EXPECT_EQ(widget.Plot().Height(), 653);
    EXPECT_EQ(widget.Image().size(), QSize(823, 653));
    EXPECT_GT(paints, 0);
    widget.resize(400, 300);
    EXPECT_EQ(widget.Plot().Width(), 400);
    EXPECT_EQ(widget.Image().size(), QSize(400, 300));
    EXPECT_TRUE(widget.hasMouseTracking());
}

TEST_F(Widget, PaintEventShowsTheImage) {
    widget.Plot().SetColorBakGnd(clNavy);
    const QImage shown = widget.grab().toImage();
    EXPECT_EQ(shown.pixel(20, 20), qRgb(0, 0, 128));
    EXPECT_EQ(shown.pixel(20, 20), widget.Image().pixel(20, 20));
}

TEST_F(Widget, HiddenPlotDoesNotPaint) {
    widget.hide();
    EXPECT_FALSE(widget.Plot().Visible());
    const int before = paints;
    widget.Plot().SetColorMesh(clRed);
    EXPECT_EQ(paints, before);
    widget.show();
    EXPECT_TRUE(widget.Plot().Visible());
    EXPECT_GT(paints, before);
}

TEST_F(Widget, DragTurnsTheView) {
    TPlot3D& plot = widget.Plot();
    plot.SetViewAngleX(66);
    plot.SetViewAngleZ(115);
    int overPlot = 0;
    plot.OnMouseMoveOverPlot = [&](TPlot3D&, bool, TShiftState, int, int) { ++overPlot; };
    Move(widget, 400, 300, Qt::NoButton);
    Move(widget, 500, 250, Qt::LeftButton);
    EXPECT_NEAR(plot.ViewAngleZ(), 71.26, 0.005);
    EXPECT_NEAR(plot.ViewAngleX(), 93.57, 0.005);
    EXPECT_EQ(overPlot, 2);
    // Outside the widget (the mouse is grabbed during a drag) nothing turns.
    Move(widget, 900, 250, Qt::LeftButton);
    EXPECT_NEAR(plot.ViewAngleZ(), 71.26, 0.005);
}

} // namespace
