#include "cli/reportcommand.h"

#include "analysis/analysis.h"
#include "analysis/analysiscommands.h"
#include "analysis/textstore.h"
#include "core/daycount.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "charts/recordingsurface.h"
#include "charts/reportprinting.h"
#include "core/commandline.h"
#include "courses/courserules.h"
#include "courses/coursestore.h"
#include "core/currentmeasurement.h"
#include "records/database.h"
#include "records/databasefiles.h"
#include "records/measurementrepository.h"
#include "records/recordtransfer.h"
#include "records/subjectrepository.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSize>
#include <QSaveFile>
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

class UsageError {
public:
    explicit UsageError(QString message)
        : text(std::move(message)) {}
    QString text;
};

// Fills the request from the command line; throws UsageError with a message.
ReportRequest parse(const QStringList &args, QCommandLineParser &parser) {
    const QCommandLineOption record(u"record"_s, u"Subject and measurement of record MKEY."_s, u"MKEY"_s);
    const QCommandLineOption readings(u"readings"_s, u"The 24 plain readings in uA follow as arguments."_s);
    const QCommandLineOption sex(u"sex"_s, u"male or female (with --readings)."_s, u"SEX"_s);
    const QCommandLineOption birth(u"birth"_s, u"Birth date (with --readings)."_s, u"YYYY-MM-DD"_s);
    const QCommandLineOption home(u"home"_s, u"The program folder."_s, u"DIR"_s);
    const QCommandLineOption options(u"options"_s, u"The 20-character print-option string."_s, u"STRING"_s);
    const QCommandLineOption pdf(u"pdf"_s, u"Write the report as an A4 PDF file."_s, u"FILE"_s);
    const QCommandLineOption ops(u"ops"_s, u"Write the drawing operations as JSON lines (- for stdout)."_s,
                                 u"FILE"_s);
    const QCommandLineOption dpi(u"dpi"_s, u"Resolution of the recorded page (default 600)."_s, u"N"_s);
    const QCommandLineOption printable(u"printable"_s, u"Printable area of the recorded page in pixels."_s,
                                       u"WxH"_s);
    parser.addOptions({record, readings, sex, birth, home, options, pdf, ops, dpi, printable});
    parser.addHelpOption();
    parser.addPositionalArgument(u"V1..V24"_s, u"Readings in uA, with --readings."_s);
    if (!parser.parse(QStringList{u"report"_s} + args))
        throw UsageError(parser.errorText());
    if (parser.isSet(u"help"_s))
        return {};

    ReportRequest request;
    if (parser.isSet(home))
        request.folder = ProgramFolder(QDir(parser.value(home)).absolutePath() + u'/');
    if (parser.isSet(record) == parser.isSet(readings))
        throw UsageError(u"give either --record MKEY or --readings V1..V24"_s);
    if (parser.isSet(record)) {
        bool ok = false;
        request.record = parser.value(record).toLongLong(&ok);
        if (!ok || *request.record <= 0)
            throw UsageError(u"--record needs a record key (MKEY), not \"%1\""_s.arg(parser.value(record)));
        if (!parser.positionalArguments().isEmpty() || parser.isSet(sex) || parser.isSet(birth))
            throw UsageError(u"--record takes its subject and readings from the database"_s);
    } else {
        if (parser.isSet(sex) && parser.value(sex) != u"male"_s && parser.value(sex) != u"female"_s)
            throw UsageError(u"--sex must be male or female, not \"%1\""_s.arg(parser.value(sex)));
        QString error;
        const std::optional<std::array<double, 24>> values =
            parseReadings(parser.positionalArguments(), &error);
        if (!values)
            throw UsageError(error);
        request.measurement.setAllValues(*values);
        request.measurement.subject.male = !parser.isSet(sex) || parser.value(sex) == u"male"_s;
        request.measurement.measuredAt = toDayCount(QDateTime::currentDateTime());
        if (parser.isSet(birth)) {
            const QDate date = QDate::fromString(parser.value(birth), Qt::ISODate);
            if (!date.isValid())
                throw UsageError(u"--birth needs a date as YYYY-MM-DD"_s);
            request.measurement.subject.birthDate = toDayCount(date);
        }
    }
    if (parser.isSet(options)) {
        request.optionString = parser.value(options);
        request.haveOptions = true;
        if (request.optionString.size() > 20 ||
            !QRegularExpression(u"^[01]*$"_s).match(request.optionString).hasMatch())
            throw UsageError(u"--options needs up to 20 characters 0 or 1"_s);
    }
    request.pdfFile = parser.value(pdf);
    request.opsFile = parser.value(ops);
    if (parser.isSet(dpi)) {
        bool ok = false;
        request.dpi = parser.value(dpi).toInt(&ok);
        if (!ok || request.dpi < 72 || request.dpi > 4800)
            throw UsageError(u"--dpi needs a resolution from 72 to 4800"_s);
    }
    if (parser.isSet(printable)) {
        const QRegularExpressionMatch m =
            QRegularExpression(u"^(\\d+)x(\\d+)$"_s).match(parser.value(printable));
        if (!m.hasMatch() || m.captured(1).toInt() < 100 || m.captured(2).toInt() < 100)
            throw UsageError(u"--printable needs WIDTHxHEIGHT in pixels, each at least 100"_s);
        request.printable = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return request;
}

bool writeFile(const QString &path, const QByteArray &data, QString &error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    ReportRequest request;
    try {
        request = parse(args, parser);
    } catch (const UsageError &e) {
        err << "report: " << e.text << "\nusage: orlu-cli " << ReportCommandUsage << '\n';
        return ExitUsage;
    }
    if (parser.isSet(u"help"_s)) {
        out << parser.helpText();
        return 0;
    }

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
    } else if (options.at(5) || options.at(6) || options.at(14)) {
        err << "report: the reference texts cannot be read: " << error << '\n';
        return ExitFailed;
    }
    if (options.at(7) && haveMain) {
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
        } else if (!writeFile(request.opsFile, lines, error)) {
            err << "report: cannot write " << request.opsFile << ": " << error << '\n';
            return ExitFailed;
        }
    }
    out.flush();
    return 0;
}

} // namespace orlu
