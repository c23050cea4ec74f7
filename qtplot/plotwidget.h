// The widget that hosts a TPlot3D: it hands the plot its size, visibility
// and mouse moves, lends it an off-screen image, and shows the image the
// plot last finished. The plot paints synchronously inside its setters;
// paintEvent only copies that image to the screen.
#pragma once

#include <QWidget>

#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

class PlotWidget : public QWidget {
    Q_OBJECT
  public:
    explicit PlotWidget(QWidget* parent = nullptr);
    ~PlotWidget() override;

    TPlot3D& Plot() { return m_plot; }
    const QImage& Image() const { return m_host.Image(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    ImageHost m_host;
    TPlot3D m_plot;
};
