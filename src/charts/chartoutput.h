#pragma once

#include <QSize>
#include <QString>

#include <functional>

class QTextStream;

namespace orlu {

class DrawingSurface;

// What a chart command writes: the drawing on an image of `area`, filled with the
// button face first, as PNG to `pngFile`, and the recorded drawing operations as JSON
// lines to `opsFile` ("-", or neither file given: to `out`). Returns 0, or 1 after
// telling `err` which file could not be written.
int writeChartOutputs(const QString &command, const QString &pngFile, const QString &opsFile, QSize area,
                      const std::function<void(DrawingSurface &)> &draw, QTextStream &out, QTextStream &err);

} // namespace orlu
