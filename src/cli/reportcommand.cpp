#include "cli/reportcommand.h"

#include "analysis/analysis.h"
#include "cli/analysiscommands.h"
#include "analysis/textstore.h"
#include "quality/readingcaveats.h"
#include "core/daycount.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "charts/recordingsurface.h"
#include "charts/reportprinting.h"
#include "cli/commandline.h"
#include "platform/outputfile.h"
#include "courses/courserules.h"
#include "courses/coursestore.h"
#include "core/currentmeasurement.h"
#include "storage/database.h"
#include "storage/databasefiles.h"
#include "records/measurementrepository.h"
#include "records/recordtransfer.h"
#include "records/subjectrepository.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSize>
#include <QTextStream>

#include <memory>
#include <optional>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct ReportRequest {
    ProgramFolder folder = ProgramFolder::fromEnvironment();
    std::optional<qint64> record;
    QString optionString;
    bool haveOptions = false;
    QString pdfFile;
    QString opsFile;
    int dpi = 600;
    std::optional<QSize> printable;
    CurrentMeasurement measurement;
};

void addReportOptions(CommandLine &cl) {
    cl.addValueOption(u"record"_s, u"MKEY"_s, u"Subject and measurement of record MKEY."_s);
    cl.addFlag(u"readings"_s, u"The 24 plain readings in uA follow as arguments."_s);
    cl.addReadingOptions();
    cl.addValueOption(u"birth"_s, u"YYYY-MM-DD"_s, u"Birth date (with --readings)."_s);
    cl.addHomeOption();
    cl.addValueOption(u"options"_s, u"STRING"_s, u"The 20-character print-option string."_s);
    cl.addValueOption(u"pdf"_s, u"FILE"_s, u"Write the report as an A4 PDF file."_s);
    cl.addValueOption(u"ops"_s, u"FILE"_s, u"Write the drawing operations as JSON lines (- for stdout)."_s);
    cl.addValueOption(u"dpi"_s, u"N"_s, u"Resolution of the recorded page (default 600)."_s);
    cl.addValueOption(u"printable"_s, u"WxH"_s, u"Printable area of the recorded page in pixels."_s);
}

// Fills the request from the parsed options; empty after a usage message on `err`.
std::optional<ReportRequest> readRequest(const CommandLine &cl, QTextStream &err) {
    ReportRequest request;
    request.folder = cl.folder();
    if (cl.isSet(u"record"_s) == cl.isSet(u"readings"_s)) {
        cl.usageError(err, u"give either --record MKEY or --readings V1..V24"_s);
        return std::nullopt;
    }
    if (cl.isSet(u"record"_s)) {
        if (!cl.positional().isEmpty() || cl.isSet(u"sex"_s) || cl.isSet(u"birth"_s)) {
            cl.usageError(err, u"--record takes its subject and readings from the database"_s);
            return std::nullopt;
        }
        bool ok = false;
        request.record = cl.value(u"record"_s).toLongLong(&ok);
        if (!ok || *request.record <= 0) {
            cl.usageError(err,
                          u"--record needs a record key (MKEY), not \"%1\""_s.arg(cl.value(u"record"_s)));
            return std::nullopt;
        }
    } else {
        const std::optional<Readings> readings = cl.readings(cl.positional(), err);
        if (!readings)
            return std::nullopt;
        request.measurement.setAllValues(readings->values);
        request.measurement.subject.male = readings->male;
        request.measurement.measuredAt = toDayCount(QDateTime::currentDateTime());
        if (cl.isSet(u"birth"_s)) {
            const QDate date = QDate::fromString(cl.value(u"birth"_s), Qt::ISODate);
            if (!date.isValid()) {
                cl.usageError(err, u"--birth needs a date as YYYY-MM-DD"_s);
                return std::nullopt;
            }
            request.measurement.subject.birthDate = toDayCount(date);
        }
    }
    if (cl.isSet(u"options"_s)) {
        request.optionString = cl.value(u"options"_s);
        request.haveOptions = true;
        static const QRegularExpression bits(u"^[01]{0,20}$"_s);
        if (!bits.match(request.optionString).hasMatch()) {
            cl.usageError(err, u"--options needs up to 20 characters 0 or 1"_s);
            return std::nullopt;
        }
    }
    request.pdfFile = cl.value(u"pdf"_s);
    request.opsFile = cl.value(u"ops"_s);
    if (cl.isSet(u"dpi"_s)) {
        const std::optional<qint64> dpi = cl.integerValue(u"dpi"_s, 72, 4800, err);
        if (!dpi)
            return std::nullopt;
        request.dpi = static_cast<int>(*dpi);
    }
    if (cl.isSet(u"printable"_s)) {
        static const QRegularExpression size(u"^(\\d{1,5})x(\\d{1,5})$"_s);
        const QRegularExpressionMatch m = size.match(cl.value(u"printable"_s));
        if (!m.hasMatch() || m.captured(1).toInt() < 100 || m.captured(2).toInt() < 100) {
            cl.usageError(err, u"--printable needs WIDTHxHEIGHT in pixels, each at least 100"_s);
            return std::nullopt;
        }
        request.printable = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return request;
}

} // namespace

int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(u"report"_s, u"[V1 .. V24]"_s,
                   u"Produce the printed analysis report of a stored record or of 24 plain readings."_s);
    addReportOptions(cl);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    std::optional<ReportRequest> parsed = readRequest(cl, err);
    if (!parsed)
        return ExitUsage;
    ReportRequest &request = *parsed;

    const QDate today = QDate::currentDate();
    QString error;
    const Settings settings = loadSettings(request.folder.file(dbfile::Settings), today, &error);
    const PrintOptions options =
        parsePrintOptions(request.haveOptions ? request.optionString : settings.printOptions);

    // The main database holds the record and the user's course set.
    Database mainDb;
    const QString mainPath = request.folder.file(dbfile::Main);
    const bool haveMain =
        QFileInfo::exists(mainPath) && mainDb.open(mainPath, Database::Access::ReadOnly, &error);
    if (request.record) {
        if (!haveMain) {
            err << "report: no main database in " << request.folder.path() << '\n';
            return ExitUsage;
        }
        const std::optional<MeasurementRecord> row =
            MeasurementRepository(mainDb.handle()).fetch(*request.record);
        if (!row) {
            err << "report: there is no measurement record " << *request.record << '\n';
            return ExitUsage;
        }
        // As the analysis window, the report analyses only a complete measurement: a point
        // never measured is no reading of 0 uA.
        if (const qsizetype missing = unmeasuredChannels(row->values).size(); missing > 0) {
            err << "report: measurement record " << *request.record << " is incomplete (" << missing
                << " of 24 points not measured); the analysis needs all 24\n";
            return ExitFailed;
        }
        const std::optional<SubjectRecord> subject =
            SubjectRepository(mainDb.handle()).findByNumber(row->subjectNumber);
        Subject owner;
        owner.number = row->subjectNumber;
        loadIntoCurrent(request.measurement, subject ? subject->subject : owner, *row);
    }

    const AnalysisResult result = analyse(request.measurement.corrected, request.measurement.subject.male);
    AnalysisReportInput input;
    input.options = options;
    input.result = &result;
    input.measurement = &request.measurement;
    input.treatmentRecord = request.measurement.memo.join(u'\n');
    input.reportTitle = settings.reportTitle;
    input.organisation = settings.userData1;
    input.department = settings.userData2;
    input.today = today;

    Database textDb;
    std::unique_ptr<ReferenceTextStore> texts;
    if (textDb.open(request.folder.file(dbfile::ReferenceTexts), Database::Access::ReadOnly, &error)) {
        texts = std::make_unique<ReferenceTextStore>(textDb.handle());
        input.texts = texts.get();
    } else if (options.at(PrintOption::SingleMeridianVerdict) || options.at(PrintOption::DietAdvice) ||
               options.at(PrintOption::PrescriptionPoints)) {
        err << "report: the reference texts cannot be read: " << error << '\n';
        return ExitFailed;
    }
    if (options.at(PrintOption::ExpertCourses) && haveMain) {
        const auto names = matchCourseSet(
            mainDb.handle(), matchInputs(result, request.measurement.subject.birthDate, today), &error);
        const CourseStore store(mainDb.handle());
        for (const QString &name : names.value_or(QStringList())) {
            const std::optional<Course> course = store.findByName(name);
            input.courses.append({name, course ? course->description : QString()});
        }
    }

    const bool opsToOut =
        request.opsFile == u"-"_s || (request.opsFile.isEmpty() && request.pdfFile.isEmpty());
    if (!request.pdfFile.isEmpty() && !writeAnalysisReportPdf(request.pdfFile, input, &error)) {
        err << "report: cannot write " << request.pdfFile << ": " << error << '\n';
        return ExitFailed;
    }
    if (opsToOut || !request.opsFile.isEmpty()) {
        PageGeometry geometry = pdfPageGeometry(request.dpi);
        if (request.printable)
            geometry = {request.dpi, request.printable->width(), request.printable->height()};
        RecordingSurface recording(request.dpi);
        produceAnalysisReport(recording, geometry, input);
        const QByteArray lines = opsToJsonLines(recording.ops());
        if (opsToOut) {
            out << QString::fromUtf8(lines);
        } else if (!writeOutputFile(request.opsFile, lines, &error)) {
            err << "report: cannot write " << request.opsFile << ": " << error << '\n';
            return ExitFailed;
        }
    }
    out.flush();
    return 0;
}

} // namespace orlu
