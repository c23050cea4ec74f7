// The plot widget: size, visibility and mouse moves passed on to the plot,
// and the plot's finished image copied to the screen.
#include "qtplot/plotwidget.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

TShiftState ShiftOf(const QMouseEvent& event) {
    TShiftState shift;
    const Qt::KeyboardModifiers keys = event.modifiers();
    const Qt::MouseButtons buttons = event.buttons();
    shift.shift = keys.testFlag(Qt::ShiftModifier);
    shift.alt = keys.testFlag(Qt::AltModifier);
    shift.ctrl = keys.testFlag(Qt::ControlModifier);
    shift.left = buttons.testFlag(Qt::LeftButton);
    shift.right = buttons.testFlag(Qt::RightButton);
    shift.middle = buttons.testFlag(Qt::MiddleButton);
    return shift;
}

} // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_host.onPresent = [this] { update(); };
    m_plot.SetHost(&m_host);
    m_plot.SetSize(width(), height());
}

PlotWidget::~PlotWidget() {
    m_plot.SetHost(nullptr);
}

void PlotWidget::PaintThrough(PaintHost& host) {
    m_plot.SetHost(&host);
    try {
        m_plot.Paint();
    } catch (...) {
        m_plot.SetHost(&m_host);
        throw;
    }
    m_plot.SetHost(&m_host);
}

void PlotWidget::setVisible(bool visible) {
    QWidget::setVisible(visible);
    m_plot.SetVisible(visible);
    if (visible) m_plot.Paint();
}

double PlotWidget::PixelRatio() const {
    return devicePixelRatioF();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QRectF(0, 0, width(), height()), m_host.Image());
}

void PlotWidget::resizeEvent(QResizeEvent*) {
    const double ratio = PixelRatio();
    m_host.SetPixelRatio(ratio);
    m_plot.SetSize(static_cast<int>(std::lround(width() * ratio)),
                   static_cast<int>(std::lround(height() * ratio)));
    if (onResize) onResize();
    m_plot.Paint();
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position() * PixelRatio();
    m_plot.MouseMoveMessage(ShiftOf(*event), static_cast<int>(std::lround(p.x())),
                            static_cast<int>(std::lround(p.y())));
}
