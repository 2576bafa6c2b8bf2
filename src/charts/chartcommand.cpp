#include "charts/chartcommand.h"

#include "analysis/analysis.h"
#include "charts/chartoutput.h"
#include "charts/charts.h"

#include <QTextStream>

#include <cmath>
#include <optional>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct ChartRequest {
    int selection = 0;
    bool male = true;
    QString pngFile;
    QString opsFile;
    std::array<double, 24> readings{};
};

std::optional<bool> parseSex(const QString &text) {
    const QString s = text.toLower();
    if (s == u"male"_s || s == u"m"_s || s == u"男"_s)
        return true;
    if (s == u"female"_s || s == u"f"_s || s == u"女"_s)
        return false;
    return std::nullopt;
}

// Fills `request` or returns the message that explains what is wrong.
QString parse(const QStringList &args, ChartRequest &request) {
    QStringList values;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool takesValue = arg == u"--sex"_s || arg == u"--png"_s || arg == u"--ops"_s;
        if (takesValue) {
            if (i + 1 >= args.size())
                return arg + u" needs a value"_s;
            const QString value = args[++i];
            if (arg == u"--sex"_s) {
                const std::optional<bool> male = parseSex(value);
                if (!male)
                    return u"--sex must be male or female, not \"%1\""_s.arg(value);
                request.male = *male;
            } else if (arg == u"--png"_s) {
                request.pngFile = value;
            } else {
                request.opsFile = value;
            }
        } else if (arg.startsWith(u"--"_s)) {
            return u"unknown option: "_s + arg;
        } else {
            values.append(arg);
        }
    }
    if (values.isEmpty())
        return u"missing chart number"_s;

    bool ok = false;
    request.selection = values.takeFirst().toInt(&ok);
    if (!ok || !chartEntry(request.selection))
        return u"chart number must be 1 to 9"_s;
    if (!isOfferedChart(request.selection))
        return u"chart %1 is not offered; charts are 1 to 6, 8 and 9"_s.arg(request.selection);

    if (values.size() != 24)
        return u"expected 24 readings in uA, got %1"_s.arg(values.size());
    for (int c = 0; c < 24; ++c) {
        const double v = values[c].toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0)
            return u"reading %1 is not a number of uA of 0 or more: \"%2\""_s.arg(c + 1).arg(values[c]);
        request.readings[static_cast<std::size_t>(c)] = v;
    }
    return {};
}

} // namespace

int runChartCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    ChartRequest request;
    if (const QString problem = parse(args, request); !problem.isEmpty()) {
        err << "chart: " << problem << "\nusage: orlu-cli " << ChartCommandUsage << '\n';
        return 2;
    }

    const AnalysisResult result = analyse(correctedValues(request.readings), request.male);
    return writeChartOutputs(
        u"chart"_s, request.pngFile, request.opsFile, ChartAreaSize,
        [&](DrawingSurface &surface) { drawChart(request.selection, surface, result); }, out, err);
}

} // namespace orlu
