// The window's exports: PNG, SVG and CSV bytes and their safe writing.
#include "app/pictureexport.h"

#include "app/windowplot.h"
#include "qtplot/paintercanvas.h"
#include "qtplot/plotwidget.h"

#include <QBuffer>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <sstream>

namespace pictureexport {

namespace {

// The pictures are 96 dots per inch, as the window's.
constexpr int DotsPerInch = 96;

} // namespace

Format FormatOf(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive) ? Format::Svg
                                                                         : Format::Png;
}

QByteArray Png(const PlotWidget& plot) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (plot.Image().isNull() || !plot.Image().save(&buffer, "PNG")) return {};
    return bytes;
}

QByteArray Svg(PlotWidget& plot) {
    const QSize size = plot.Image().size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(DotsPerInch);
    generator.setTitle(QStringLiteral("Tessarel"));
    QPainter painter(&generator);
    PainterHost host(painter, 1.0);
    // The label font the window's canvas holds from its earlier paints.
    windowplot::SetLabelFont(host.CanvasRef());
    plot.PaintThrough(host);
    painter.end();
    return bytes;
}

QByteArray Csv(const sampling::FillRecord& record) {
    std::ostringstream out;
    sampling::WriteCsv(out, record);
    return QByteArray::fromStdString(out.str());
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) return QStringLiteral("Es gibt nichts zu schreiben.");
    // Unbuffered, so that a short write (a full disk) shows at the write
    // itself and not only in a flush whose failure could go unnoticed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        done += n;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace pictureexport
