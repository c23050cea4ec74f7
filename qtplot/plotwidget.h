// The widget that hosts a TPlot3D: it hands the plot its size, visibility
// and mouse moves (tracking on, with the buttons held), lends it an
// off-screen image, and shows the image the plot last finished. The plot
// paints synchronously inside its setters and on resizing; paintEvent only
// copies that image to the screen.
#pragma once

#include <QWidget>

#include <functional>

#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

class PlotWidget : public QWidget {
    Q_OBJECT
  public:
    explicit PlotWidget(QWidget* parent = nullptr);
    ~PlotWidget() override;

    TPlot3D& Plot() { return m_plot; }
    const QImage& Image() const { return m_host.Image(); }
    // Paints the plot once through another host (a painter on an SVG
    // generator, say), then gives it back its own image, which keeps what it
    // showed.
    void PaintThrough(PaintHost& host);
    // The plot's Visible follows the widget's own (not its window's).
    void setVisible(bool visible) override;
    // Screen pixels per widget unit: the plot draws in screen pixels, so that
    // its lines stay sharp on a high-resolution screen.
    double PixelRatio() const;
    // Runs after the plot has taken a new size, before it repaints.
    std::function<void()> onResize;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    ImageHost m_host;
    TPlot3D m_plot;
};
