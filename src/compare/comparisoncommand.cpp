#include "compare/comparisoncommand.h"

#include "charts/chartoutput.h"
#include "compare/comparisoncurves.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct CompareChartRequest {
    QSize size{TwoRecordChartWidth, ComparisonChartHeight};
    std::optional<int> band;
    QString pngFile;
    QString opsFile;
    QList<ComparisonEntry> records;
};

// "--record V1 V2 .. V24" becomes "--record=V1,V2,..,V24": the parser takes one
// value per option, and the record's values may also come as one list.
QStringList joinRecordValues(const QStringList &args) {
    QStringList joined{u"compare-chart"_s};
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
    double sum = 0;
    for (int c = 0; c < 24; ++c) {
        bool ok = false;
        const double v = QLocale::c().toDouble(values[c], &ok);
        if (!ok || !std::isfinite(v) || v < 0)
            return u"record %1: value %2 is not a number of 0 or more: \"%3\""_s.arg(number).arg(c + 1).arg(
                values[c]);
        corrected[static_cast<std::size_t>(c)] = v;
        sum += v;
    }
    entry.corrected = corrected;
    entry.energyLevel = sum / 24;
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

// Fills `request` or returns what is wrong; `help` is set for --help.
QString parse(const QStringList &args, CompareChartRequest &request, QCommandLineParser &parser, bool &help) {
    const QCommandLineOption sizeOption(u"size"_s, u"Chart area in pixels (default 600x417)."_s, u"WxH"_s);
    const QCommandLineOption bandOption(u"band"_s, u"Draw the band of record K (1-based)."_s, u"K"_s);
    const QCommandLineOption pngOption(u"png"_s, u"Write the chart as PNG."_s, u"FILE"_s);
    const QCommandLineOption opsOption(u"ops"_s, u"Write the drawing operations (\"-\": standard output)."_s,
                                       u"FILE"_s);
    const QCommandLineOption recordOption(
        u"record"_s, u"24 corrected values of one record (1 to 6 records)."_s, u"V1..V24"_s);
    const QCommandLineOption helpOption({u"h"_s, u"help"_s}, u"This text."_s);
    parser.addOptions({sizeOption, bandOption, pngOption, opsOption, recordOption, helpOption});
    if (!parser.parse(joinRecordValues(args)))
        return parser.errorText();
    if (parser.isSet(helpOption)) {
        help = true;
        return {};
    }
    if (!parser.positionalArguments().isEmpty())
        return u"unexpected argument: "_s + parser.positionalArguments().constFirst();

    if (parser.isSet(sizeOption)) {
        if (QString problem = parseSize(parser.value(sizeOption), request.size); !problem.isEmpty())
            return problem;
    }
    const QStringList records = parser.values(recordOption);
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
    if (parser.isSet(bandOption)) {
        bool ok = false;
        const int k = parser.value(bandOption).toInt(&ok);
        if (!ok || k < 1 || k > request.records.size())
            return u"--band must name a record, 1 to %1, not \"%2\""_s.arg(request.records.size())
                .arg(parser.value(bandOption));
        request.band = k - 1;
    }
    request.pngFile = parser.value(pngOption);
    request.opsFile = parser.value(opsOption);
    return {};
}

} // namespace

int runCompareChartCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CompareChartRequest request;
    QCommandLineParser parser;
    bool help = false;
    if (const QString problem = parse(args, request, parser, help); !problem.isEmpty()) {
        err << "compare-chart: " << problem << "\nusage: orlu-cli " << CompareChartCommandUsage << '\n';
        err.flush();
        return 2;
    }
    if (help) {
        out << "usage: orlu-cli " << CompareChartCommandUsage << "\n\n"
            << parser.helpText().section(u'\n', 2);
        out.flush();
        return 0;
    }
    const ComparisonChart chart = multiRecordChart(request.records, request.band);
    const ComparisonFrame frame = ComparisonFrame::screen(request.size.width(), request.size.height());
    return writeChartOutputs(
        u"compare-chart"_s, request.pngFile, request.opsFile, request.size,
        [&](DrawingSurface &surface) { drawComparisonChart(surface, frame, chart); }, out, err);
}

} // namespace orlu
