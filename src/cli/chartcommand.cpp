#include "cli/chartcommand.h"

#include "analysis/analysis.h"
#include "charts/analysisreport.h"
#include "charts/chartoutput.h"
#include "charts/reportprinting.h"
#include "cli/commandline.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "charts/charts.h"

#include <QDateTime>

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
    QString pdfFile;
    bool mono = false;
    std::array<double, 24> readings{};
};

void addChartOptions(CommandLine &cl) {
    cl.addReadingOptions();
    cl.addValueOption(u"png"_s, u"FILE"_s, u"Write the chart as a PNG image."_s);
    cl.addValueOption(u"ops"_s, u"FILE"_s, u"Write the drawing operations as JSON lines."_s);
    cl.addValueOption(u"pdf"_s, u"FILE"_s, u"Write the chart as printed, on an A4 PDF page."_s);
    cl.addFlag(u"mono"_s, u"Print the PDF in single colour (\"单色\")."_s);
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
    request.pdfFile = cl.value(u"pdf"_s);
    request.mono = cl.isSet(u"mono"_s);
    if (request.mono && request.pdfFile.isEmpty()) {
        cl.usageError(err, u"--mono is the print mode of --pdf"_s);
        return false;
    }
    return true;
}

} // namespace

int runChartCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"chart"_s, u"N V1 .. V24"_s,
                   u"Draw analysis chart N (1-6, 8, 9) for 24 plain readings in uA onto a 757 x 393 image "
                   u"(--png), as printed on an A4 page (--pdf, --mono for single colour) and/or write its "
                   u"drawing operations as JSON lines (--ops FILE, or standard output). FILE \"-\" is "
                   u"standard output; a pipe or device is written in place."_s);
    addChartOptions(cl);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    ChartRequest request;
    if (!parse(cl, err, request))
        return ExitUsage;

    const AnalysisResult result = analyse(correctedValues(request.readings), request.male);
    // On paper the chart is printed as the report prints it, with only this chart chosen.
    CurrentMeasurement measurement;
    measurement.setAllValues(request.readings);
    measurement.subject.male = request.male;
    measurement.measuredAt = toDayCount(QDateTime::currentDateTime());
    AnalysisReportInput input;
    input.options.set(chartPrintOption(request.selection), true);
    input.options.set(PrintOption::Colour, !request.mono);
    input.result = &result;
    input.measurement = &measurement;
    input.today = QDate::currentDate();
    return writeChartOutputs(u"chart"_s, request.pngFile, request.opsFile, ChartAreaSize,
                             [&](DrawingSurface &surface) { drawChart(request.selection, surface, result); },
                             out, err, {request.pdfFile, analysisReportJob(input)});
}

} // namespace orlu
