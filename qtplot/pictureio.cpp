// PNG and SVG bytes of the plot's pictures, and files written whole.
#include "qtplot/pictureio.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace pictureio {

namespace {

// A short write is followed by another until all is written or one fails.
bool WriteAll(QFileDevice& file, const QByteArray& bytes) {
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

} // namespace

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return {};
    return bytes;
}

QByteArray Svg(QSize size, const std::function<void(QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(DotsPerInch);
    generator.setTitle(QStringLiteral("Tessarel"));
    QPainter painter(&generator);
    paint(painter);
    painter.end();
    return bytes;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    const auto mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile file(path);
        if (file.open(mode) && WriteAll(file, bytes)) return {};
        return file.errorString();
    }
    QSaveFile file(path);
    if (file.open(mode) && WriteAll(file, bytes) && file.commit()) return {};
    const QString reason = file.errorString();
    file.cancelWriting();
    return reason;
}

} // namespace pictureio
