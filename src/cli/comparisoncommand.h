#pragma once

#include <QStringList>

class QTextStream;

namespace orlu {

// "compare-chart": the multi-record comparison chart of one to six records of 24
// corrected values, drawn headlessly onto a PNG, printed onto an A4 PDF page (in single
// colour with --mono) and/or as the recorded drawing operations (JSON lines, standard
// output when no file is given). Returns 0,
// 1 when a file cannot be written, 2 for bad arguments. Needs a QGuiApplication.
int runCompareChartCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto CompareChartCommandUsage =
    "compare-chart [--size WxH] [--band K] [--png FILE] [--pdf FILE [--mono]] [--ops FILE] --record V1..V24 "
    "[--record V1..V24 ...]";

} // namespace orlu
