#include "cli/trendcommand.h"

#include "charts/chartcolours.h"
#include "charts/chartcommand.h"
#include "charts/recordingsurface.h"
#include "charts/trendchart.h"
#include "cli/commandline.h"
#include "records/database.h"
#include "records/subjectrepository.h"
#include "records/trendloader.h"

#include <QBuffer>
#include <QCommandLineParser>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Description =
    u"Draws the trend of one subject's measurements in time order: body energy with its normal band, "
    "the four ratios against their normal ranges and the number of abnormal meridians per visit, "
    "Standard and High potential drawn apart. --png writes a 900 x 600 image, --ops the drawing "
    "operations as JSON lines (\"-\": standard output; the default without any output option), "
    "--pdf the printed trend page (A4)."_s;

} // namespace

int runTrendCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"trend"_s;
    QCommandLineParser parser;
    parser.addOptions({
        {u"subject"_s, u"The subject NUMBER (letter case ignored)."_s, u"NUMBER"_s},
        {u"home"_s, u"The program folder DIR (default: the installation folder)."_s, u"DIR"_s},
        {u"png"_s, u"Write the chart as a PNG image."_s, u"FILE"_s},
        {u"ops"_s, u"Write the drawing operations as JSON lines."_s, u"FILE"_s},
        {u"pdf"_s, u"Write the printed trend page as PDF."_s, u"FILE"_s},
    });
    if (const auto status = parseCommandLine(parser, command, Description, args, out, err))
        return *status;
    const QString number = parser.value(u"subject"_s);
    if (number.isEmpty()) {
        err << command << ": --subject NUMBER is required\n";
        return 2;
    }
    Database db;
    if (!openMainDatabaseForReading(db, parser.value(u"home"_s), command, err))
        return 1;
    if (!SubjectRepository(db.handle()).findByNumber(number)) {
        err << command << ": no subject " << number << " in " << db.path() << '\n';
        return 1;
    }
    QString error;
    const std::optional<TrendSeries> series = loadTrendSeries(db.handle(), number, &error);
    if (!series) {
        err << command << ": " << error << '\n';
        return 1;
    }
    const QString png = parser.value(u"png"_s);
    const QString ops = parser.value(u"ops"_s);
    const QString pdf = parser.value(u"pdf"_s);
    const auto fail = [&](const QString &file, const QString &why) {
        err << command << ": cannot write " << file << ": " << why << '\n';
        return 1;
    };
    if (!png.isEmpty()) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        renderTrendImage(*series, ChartColour::ButtonFace).save(&buffer, "PNG");
        if (!writeWholeFile(png, bytes, error))
            return fail(png, error);
    }
    const bool opsToOut = ops == u"-"_s || (ops.isEmpty() && png.isEmpty() && pdf.isEmpty());
    if (opsToOut || !ops.isEmpty()) {
        RecordingSurface recording;
        drawTrendChart(recording, *series, QRect(QPoint(0, 0), TrendChartSize));
        const QByteArray lines = opsToJsonLines(recording.ops());
        if (opsToOut)
            out << QString::fromUtf8(lines);
        else if (!writeWholeFile(ops, lines, error))
            return fail(ops, error);
    }
    out.flush();
    return 0;
}

} // namespace orlu
