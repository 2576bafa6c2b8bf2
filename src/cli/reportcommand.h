#pragma once

#include <QStringList>

class QTextStream;

namespace orlu {

// "report (--record MKEY | --readings V1..V24 [--sex male|female] [--birth YYYY-MM-DD])
//  [--home DIR] [--options STRING] [--pdf FILE] [--ops FILE] [--dpi N] [--printable WxH]":
// the printed analysis report without a window, as an A4 PDF and/or as the
// recorded drawing operations (JSON lines; "--ops -" or neither output: standard
// output). Returns 0 done, 1 when the report cannot be produced or written,
// 2 for bad arguments or an unknown record. Needs a QGuiApplication.
int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto ReportCommandUsage =
    "report (--record MKEY | --readings V1..V24 [--sex male|female] [--birth YYYY-MM-DD]) [--home DIR] "
    "[--options STRING] [--pdf FILE] [--ops FILE] [--dpi N] [--printable WxH]";

} // namespace orlu
