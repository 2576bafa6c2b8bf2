#include "charts/chartcommand.h"

#include "analysis/analysis.h"
#include "core/commandline.h"
#include "core/outputfile.h"
#include "charts/chartcolours.h"
#include "charts/charts.h"
#include "charts/recordingsurface.h"

#include <QBuffer>
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
    const bool opsToOut =
        request.opsFile == u"-"_s || (request.opsFile.isEmpty() && request.pngFile.isEmpty());

    if (!request.pngFile.isEmpty()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        renderChartImage(request.selection, result, ChartColour::ButtonFace).save(&buffer, "PNG");
        if (QString error; !writeOutputFile(request.pngFile, png, &error)) {
            err << "chart: cannot write " << request.pngFile << ": " << error << '\n';
            return ExitFailed;
        }
    }
    if (opsToOut || !request.opsFile.isEmpty()) {
        RecordingSurface recording;
        drawChart(request.selection, recording, result);
        const QByteArray lines = opsToJsonLines(recording.ops());
        if (opsToOut) {
            out << QString::fromUtf8(lines);
        } else if (QString error; !writeOutputFile(request.opsFile, lines, &error)) {
            err << "chart: cannot write " << request.opsFile << ": " << error << '\n';
            return ExitFailed;
        }
    }
    out.flush();
    return ExitOk;
}

} // namespace orlu
