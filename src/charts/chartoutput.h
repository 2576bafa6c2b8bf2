#pragma once

#include "charts/reportpage.h"

#include <QSize>
#include <QString>

#include <functional>

class QTextStream;

namespace orlu {

class DrawingSurface;

// The printed form of a chart, written as an A4 PDF when `file` is set.
struct PrintedChart {
    QString file;
    ReportJob job;
};

// What a chart command writes: the drawing on an image of `area`, filled with the
// button face first, as PNG to `pngFile`, the recorded drawing operations as JSON
// lines to `opsFile` ("-", or no file given at all: to `out`), and the printed form.
// Returns 0, or 1 after telling `err` which file could not be written.
int writeChartOutputs(const QString &command, const QString &pngFile, const QString &opsFile, QSize area,
                      const std::function<void(DrawingSurface &)> &draw, QTextStream &out, QTextStream &err,
                      const PrintedChart &printed = {});

} // namespace orlu
