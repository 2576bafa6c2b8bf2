#pragma once

#include <QStringList>

class QTextStream;

namespace orlu {

// "chart N [--sex male|female] [--png FILE] [--pdf FILE [--mono]] [--ops FILE] V1 .. V24":
// draws chart N for 24 plain readings onto a chart-area image (PNG), prints it as the
// report does onto an A4 PDF page (in single colour with --mono) and/or writes the
// recorded drawing operations, one JSON object per line ("--ops -" or no file: to `out`). Returns 0 on
// success, 1 when a file cannot be written, 2 for bad arguments. Needs a QGuiApplication for the fonts.
int runChartCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto ChartCommandUsage =
    "chart N [--sex male|female] [--png FILE] [--pdf FILE [--mono]] [--ops FILE] V1 .. V24";

} // namespace orlu
