#include "charts/chartcommand.h"

#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/charts.h"
#include "charts/recordingsurface.h"

#include <QBuffer>
#include <QSaveFile>
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

bool writeWholeFile(const QString &path, const QByteArray &data, QString &error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

int runChartCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    ChartRequest request;
    if (const QString problem = parse(args, request); !problem.isEmpty()) {
        err << "chart: " << problem << "\nusage: orlu-cli " << ChartCommandUsage << '\n';
        return 2;
    }

    const AnalysisResult result = analyse(correctedValues(request.readings), request.male);
    const bool opsToOut =
        request.opsFile == u"-"_s || (request.opsFile.isEmpty() && request.pngFile.isEmpty());

    if (!request.pngFile.isEmpty()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        renderChartImage(request.selection, result, ChartColour::ButtonFace).save(&buffer, "PNG");
        if (QString error; !writeWholeFile(request.pngFile, png, error)) {
            err << "chart: cannot write " << request.pngFile << ": " << error << '\n';
            return 1;
        }
    }
    if (opsToOut || !request.opsFile.isEmpty()) {
        RecordingSurface recording;
        drawChart(request.selection, recording, result);
        const QByteArray lines = opsToJsonLines(recording.ops());
        if (opsToOut) {
            out << QString::fromUtf8(lines);
        } else if (QString error; !writeWholeFile(request.opsFile, lines, error)) {
            err << "chart: cannot write " << request.opsFile << ": " << error << '\n';
            return 1;
        }
    }
    out.flush();
    return 0;
}

} // namespace orlu
