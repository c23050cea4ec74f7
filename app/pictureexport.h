// The window's picture and data as files: the plot as PNG or SVG, the last
// fill as CSV, and the write that never leaves a half-written file.
#pragma once

#include "app/samples.h"

#include <QByteArray>
#include <QString>

class PlotWidget;

namespace pictureexport {

enum class Format { Png, Svg };

// SVG when the name ends in ".svg" (any case), PNG otherwise.
Format FormatOf(const QString& fileName);

// The plot's image as shown, as PNG.
QByteArray Png(const PlotWidget& plot);
// The plot drawn once more through a painter on an SVG generator: polygons,
// lines and text as vector shapes, at the plot's size.
QByteArray Svg(PlotWidget& plot);
// The fill's points as CSV (sampling::WriteCsv).
QByteArray Csv(const sampling::FillRecord& record);

// Writes bytes to path through a temporary file that replaces path only when
// complete. Returns the reason when that failed, an empty text when it worked.
QString WriteFile(const QString& path, const QByteArray& bytes);

} // namespace pictureexport
