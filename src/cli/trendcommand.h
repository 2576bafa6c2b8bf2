#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "trend --subject NUMBER [--home DIR] [--png FILE] [--ops FILE] [--pdf FILE]": the trend
// chart of one subject's measurements as an image, as its drawing operations (JSON lines;
// "--ops -" or no output option: on `out`) and as a printed page. Exit status 0 done,
// 1 no database, no such subject or a file that cannot be written, 2 bad arguments.
// Needs a QGuiApplication for the fonts.
int runTrendCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto TrendCommandUsage =
    "trend --subject NUMBER [--home DIR] [--png FILE] [--ops FILE] [--pdf FILE]";

} // namespace orlu
