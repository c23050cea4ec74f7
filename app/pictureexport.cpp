// The window's exports: PNG, SVG and CSV bytes and their safe writing.
#include "app/pictureexport.h"

#include "app/windowplot.h"
#include "qtplot/paintercanvas.h"
#include "qtplot/pictureio.h"
#include "qtplot/plotwidget.h"

#include <QPainter>

#include <sstream>

namespace pictureexport {

Format FormatOf(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive) ? Format::Svg
                                                                         : Format::Png;
}

QByteArray Png(const PlotWidget& plot) {
    return pictureio::Png(plot.Image());
}

QByteArray Svg(PlotWidget& plot) {
    return pictureio::Svg(plot.Image().size(), [&](QPainter& painter) {
        PainterHost host(painter, 1.0);
        // The label font the window's canvas holds from its earlier paints.
        windowplot::SetLabelFont(host.CanvasRef());
        plot.PaintThrough(host);
    });
}

QByteArray Csv(const sampling::FillRecord& record) {
    std::ostringstream out;
    sampling::WriteCsv(out, record);
    return QByteArray::fromStdString(out.str());
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) return QStringLiteral("Es gibt nichts zu schreiben.");
    return pictureio::WriteFile(path, bytes);
}

} // namespace pictureexport
