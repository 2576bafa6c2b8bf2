#include "cli/trendcommand.h"

#include "charts/chartoutput.h"
#include "charts/reportprinting.h"
#include "trend/trendchart.h"
#include "trend/trendreport.h"
#include "cli/registerreading.h"
#include "cli/commandline.h"
#include "core/settings.h"
#include "storage/databasefiles.h"
#include "storage/database.h"
#include "records/recordstore.h"
#include "trend/trendloader.h"

#include <QDateTime>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Description =
    u"Draws the trend of one subject's measurements in time order: body energy with its normal band, "
    "the four ratios against their normal ranges and the number of abnormal meridians per visit, "
    "Standard and High potential drawn apart. --png writes a 900 x 600 image, --ops the drawing "
    "operations as JSON lines (\"-\": standard output; the default without any output option), "
    "--pdf the printed trend report (A4). A pipe or device is written in place."_s;

} // namespace

int runTrendCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const QString command = u"trend"_s;
    CommandLine cl(command, QString(), Description);
    cl.addValueOption(u"subject"_s, u"NUMBER"_s, u"The subject NUMBER (letter case ignored)."_s);
    cl.addHomeOption();
    cl.addValueOption(u"png"_s, u"FILE"_s, u"Write the chart as a PNG image."_s);
    cl.addValueOption(u"ops"_s, u"FILE"_s, u"Write the drawing operations as JSON lines."_s);
    cl.addValueOption(u"pdf"_s, u"FILE"_s, u"Write the printed trend report as PDF."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    const QString number = cl.value(u"subject"_s);
    if (number.isEmpty())
        return cl.usageError(err, u"--subject NUMBER is required"_s);
    Database db;
    if (!openRegisterForReading(db, cl.folder(), command, err))
        return ExitFailed;
    const RecordStore records(db);
    if (!records.subjects().findByNumber(number)) {
        err << command << ": no subject " << number << " in " << db.path() << '\n';
        return ExitFailed;
    }
    QString error;
    const std::optional<TrendSeries> series = loadTrendSeries(records, number, &error);
    if (!series) {
        err << command << ": " << error << '\n';
        return ExitFailed;
    }
    const QString png = cl.value(u"png"_s);
    const QString ops = cl.value(u"ops"_s);
    const QString pdf = cl.value(u"pdf"_s);
    if (!png.isEmpty() || !ops.isEmpty() || pdf.isEmpty()) {
        const int status = writeChartOutputs(
            command, png, ops, TrendChartSize,
            [&](DrawingSurface &surface) {
                drawTrendChart(surface, *series, QRect(QPoint(0, 0), TrendChartSize));
            },
            out, err);
        if (status != ExitOk)
            return status;
    }
    if (!pdf.isEmpty()) {
        const Settings settings =
            loadSettings(cl.folder().file(dbfile::Settings), QDate::currentDate(), &error);
        const TrendReportHeader header{settings.userData1, settings.userData2, QDateTime::currentDateTime()};
        if (!writeReportPdf(pdf, trendReportJob(*series, header), &error)) {
            err << command << ": cannot write " << pdf << ": " << error << '\n';
            return ExitFailed;
        }
    }
    return ExitOk;
}

} // namespace orlu
