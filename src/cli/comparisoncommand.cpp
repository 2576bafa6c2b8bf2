#include "cli/comparisoncommand.h"

#include "charts/chartoutput.h"
#include "compare/comparisoncurves.h"
#include "compare/comparisonreport.h"
#include "cli/commandline.h"
#include "quality/readingcaveats.h"
#include "core/readingsrule.h"

#include <QRegularExpression>
#include <QTextStream>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct CompareChartRequest {
    QSize size{TwoRecordChartWidth, ComparisonChartHeight};
    std::optional<int> band;
    QString pngFile;
    QString opsFile;
    QString pdfFile;
    bool mono = false;
    QList<ComparisonEntry> records;
};

// "--record V1 V2 .. V24" becomes "--record=V1,V2,..,V24": the parser takes one
// value per option, and the record's values may also come as one list.
QStringList joinRecordValues(const QStringList &args) {
    QStringList joined;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] != u"--record"_s) {
            joined.append(args[i]);
            continue;
        }
        QStringList values;
        while (i + 1 < args.size() && !args[i + 1].startsWith(u"--"_s))
            values.append(args[++i]);
        joined.append(values.isEmpty() ? args[i]
                                       : u"--record="_s + values.join(u',')); // no values: the parser says so
    }
    return joined;
}

QString parseRecord(const QString &text, int number, ComparisonEntry &entry) {
    static const QRegularExpression separators(u"[,\\s]+"_s);
    const QStringList values = text.split(separators, Qt::SkipEmptyParts);
    if (values.size() != 24)
        return u"record %1: expected 24 corrected values, got %2"_s.arg(number).arg(values.size());
    std::array<double, 24> corrected{};
    for (int c = 0; c < 24; ++c) {
        const std::optional<double> v = readingFromText(values[c]);
        if (!v)
            return u"record %1: value %2 is not a number of 0 or more, below %3, in plain decimals: %4"_s
                .arg(number)
                .arg(c + 1)
                .arg(ReadingLimit, 0, 'f', 0)
                .arg(quotedArgument(values[c]));
        corrected[static_cast<std::size_t>(c)] = *v;
    }
    entry.corrected = corrected;
    // A 0 is a point not measured: it stays out of the energy level, and out of the curve.
    entry.energyLevel = measuredMean(corrected).value_or(0.0);
    return {};
}

QString parseSize(const QString &text, QSize &size) {
    static const QRegularExpression pattern(u"^(\\d{1,5})[xX](\\d{1,5})$"_s);
    const QRegularExpressionMatch m = pattern.match(text);
    const int w = m.hasMatch() ? m.captured(1).toInt() : 0;
    const int h = m.hasMatch() ? m.captured(2).toInt() : 0;
    // The frame needs room for its margins of 30 pixels.
    if (w < 60 || h < 60 || w > 10000 || h > 10000)
        return u"--size must be WIDTHxHEIGHT, each 60 to 10000 pixels, not \"%1\""_s.arg(text);
    size = QSize(w, h);
    return {};
}

// Fills `request` from the parsed options or returns what is wrong.
QString readRequest(const CommandLine &cl, CompareChartRequest &request) {
    if (cl.isSet(u"size"_s)) {
        if (QString problem = parseSize(cl.value(u"size"_s), request.size); !problem.isEmpty())
            return problem;
    }
    const QStringList records = cl.values(u"record"_s);
    if (records.isEmpty())
        return u"at least one --record is needed"_s;
    if (records.size() > ComparisonSet::Capacity)
        return u"at most %1 records, got %2"_s.arg(ComparisonSet::Capacity).arg(records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        ComparisonEntry entry;
        if (QString problem = parseRecord(records[i], static_cast<int>(i) + 1, entry); !problem.isEmpty())
            return problem;
        request.records.append(entry);
    }
    if (cl.isSet(u"band"_s)) {
        bool ok = false;
        const QString band = cl.value(u"band"_s);
        const int k = band.toInt(&ok);
        if (!ok || k < 1 || k > request.records.size())
            return u"--band must name a record, 1 to %1, not \"%2\""_s.arg(request.records.size()).arg(band);
        request.band = k - 1;
    }
    request.pngFile = cl.value(u"png"_s);
    request.opsFile = cl.value(u"ops"_s);
    request.pdfFile = cl.value(u"pdf"_s);
    request.mono = cl.isSet(u"mono"_s);
    if (request.mono && request.pdfFile.isEmpty())
        return u"--mono is the print mode of --pdf"_s;
    return {};
}

} // namespace

int runCompareChartCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"compare-chart"_s, QString(),
                   u"Draw the comparison chart of one to six records of 24 corrected values in uA."_s);
    cl.addValueOption(u"size"_s, u"WxH"_s, u"Chart area in pixels (default 600x417)."_s);
    cl.addValueOption(u"band"_s, u"K"_s, u"Draw the band of record K (1-based)."_s);
    cl.addValueOption(u"png"_s, u"FILE"_s, u"Write the chart as PNG."_s);
    cl.addValueOption(u"ops"_s, u"FILE"_s, u"Write the drawing operations (\"-\": standard output)."_s);
    cl.addValueOption(u"pdf"_s, u"FILE"_s, u"Write the chart as printed, on an A4 PDF page."_s);
    cl.addFlag(u"mono"_s, u"Print the PDF in single colour (\"单色\")."_s);
    cl.addRepeatableValueOption(u"record"_s, u"V1..V24"_s,
                                u"24 corrected values of one record (1 to 6 records)."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(joinRecordValues(args), out, err))
        return *done;
    CompareChartRequest request;
    if (const QString problem = readRequest(cl, request); !problem.isEmpty())
        return cl.usageError(err, problem);
    const ComparisonChart chart = multiRecordChart(request.records, request.band);
    const ComparisonFrame frame = ComparisonFrame::screen(request.size.width(), request.size.height());
    return writeChartOutputs(u"compare-chart"_s, request.pngFile, request.opsFile, request.size,
                             [&](DrawingSurface &surface) { drawComparisonChart(surface, frame, chart); },
                             out, err, {request.pdfFile, comparisonChartJob(chart, request.mono)});
}

} // namespace orlu
