#include "cli/chartcommand.h"

#include "analysis/analysis.h"
#include "charts/chartoutput.h"
#include "cli/commandline.h"
#include "charts/charts.h"

#include <QTextStream>

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

void addChartOptions(CommandLine &cl) {
    cl.addReadingOptions();
    cl.addValueOption(u"png"_s, u"FILE"_s, u"Write the chart as a PNG image."_s);
    cl.addValueOption(u"ops"_s, u"FILE"_s, u"Write the drawing operations as JSON lines."_s);
}

// Fills `request`, or writes the message and returns false.
bool parse(const CommandLine &cl, QTextStream &err, ChartRequest &request) {
    QStringList values = cl.positional();
    if (values.isEmpty()) {
        cl.usageError(err, u"missing chart number"_s);
        return false;
    }
    bool ok = false;
    request.selection = values.takeFirst().toInt(&ok);
    if (!ok || !chartEntry(request.selection)) {
        cl.usageError(err, u"chart number must be 1 to 9"_s);
        return false;
    }
    if (!isOfferedChart(request.selection)) {
        cl.usageError(err, u"chart %1 is not offered; charts are 1 to 6, 8 and 9"_s.arg(request.selection));
        return false;
    }
    const std::optional<Readings> readings = cl.readings(values, err);
    if (!readings)
        return false;
    request.male = readings->male;
    request.readings = readings->values;
    request.pngFile = cl.value(u"png"_s);
    request.opsFile = cl.value(u"ops"_s);
    return true;
}

} // namespace

int runChartCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"chart"_s, u"N V1 .. V24"_s,
                   u"Draw analysis chart N (1-6, 8, 9) for 24 plain readings in uA onto a 757 x 393 image "
                   u"(--png) and/or write its drawing operations as JSON lines (--ops FILE, or standard "
                   u"output). FILE \"-\" is standard output; a pipe or device is written in place."_s);
    addChartOptions(cl);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    ChartRequest request;
    if (!parse(cl, err, request))
        return ExitUsage;

    const AnalysisResult result = analyse(correctedValues(request.readings), request.male);
    return writeChartOutputs(
        u"chart"_s, request.pngFile, request.opsFile, ChartAreaSize,
        [&](DrawingSurface &surface) { drawChart(request.selection, surface, result); }, out, err);
}

} // namespace orlu
