// The plot's pictures as file contents (PNG from an image, SVG from a paint
// through a painter) and the writing of a file that never leaves it
// half-written. Shared by the window's exports and the command line.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>

class QImage;
class QPainter;

namespace pictureio {

// The pictures are 96 dots per inch, as the window's.
inline constexpr int DotsPerInch = 96;
inline constexpr int DotsPerMeter = 3780;

// The image as PNG; empty when it is null or cannot be encoded.
QByteArray Png(const QImage& image);

// An SVG of the given size whose content paint draws through the painter it
// is handed.
QByteArray Svg(QSize size, const std::function<void(QPainter&)>& paint);

// Writes bytes to path unbuffered, so that a short write (a full disk) shows
// where it happens. A file appears under its name only when complete (through
// a temporary file); a device or a pipe is written in place, since renaming
// over it would replace it. Returns the reason of a failure, an empty text
// when it worked.
QString WriteFile(const QString& path, const QByteArray& bytes);

} // namespace pictureio
