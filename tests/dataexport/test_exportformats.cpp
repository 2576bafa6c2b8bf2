// What every export format owes the operator, each test run once per format.
#include "dataexport/dataexport.h"
#include "dataexport/fhirexport.h"
#include "exportregister.h"
#include "storage/originrows.h"
#include "support/pipereader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QtTest>

#include <sys/stat.h>

#include <ctime>
#include <unistd.h>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

enum class Format { Csv, JsonLines, Fhir };

ExportOutcome exportToFile(Format format, const RecordFixture &f, const QString &path,
                           ExportObserver *observer = nullptr, const Pseudonymiser *pseudonymiser = nullptr) {
    if (format == Format::Fhir)
        return exportFhirBundleToFile(f.context.records, {}, pseudonymiser, path, observer);
    ExportRequest request;
    request.format = format == Format::Csv ? ExportFormat::Csv : ExportFormat::JsonLines;
    if (pseudonymiser)
        request.pseudonymiser = *pseudonymiser;
    return exportMeasurementsToFile(f.context.records, request, path, observer);
}

// How many measurements an export holds; -1 when it is not whole.
int measurementsIn(Format format, const QByteArray &bytes) {
    if (format == Format::Fhir) {
        QJsonParseError error{};
        const QJsonDocument bundle = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError)
            return -1;
        int observations = 0;
        for (const QJsonValue &e : bundle[u"entry"_s].toArray())
            observations += e[u"resource"_s][u"resourceType"_s].toString() == u"Observation"_s;
        return observations;
    }
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return -1;
    const int lines = int(bytes.count('\n'));
    return format == Format::Csv ? lines - 1 : lines; // CSV: the header line
}

struct StopAfter final : ExportObserver {
    explicit StopAfter(qint64 limit)
        : rows(limit) {}
    bool exportProgress(qint64 written, qint64 total) override {
        lastTotal = total;
        return written < rows;
    }
    qint64 rows;
    qint64 lastTotal = -1;
};

// The process runs in another time zone while it lives.
class ProcessZone {
public:
    explicit ProcessZone(const char *zone)
        : m_before(qgetenv("TZ")) {
        set(zone);
    }
    ~ProcessZone() {
        if (m_before.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_before);
        ::tzset();
    }
    static void set(const char *zone) {
        qputenv("TZ", zone);
        ::tzset();
    }

private:
    QByteArray m_before;
};

mode_t modeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// A row per format and target (of the export), the target in a column of its own.
void perFormat(std::initializer_list<const char *> targets = {""}) {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("target");
    for (const auto &[name, format] :
         {std::pair{"csv", Format::Csv}, std::pair{"json lines", Format::JsonLines},
          std::pair{"fhir", Format::Fhir}}) {
        for (const char *target : targets)
            QTest::addRow("%s %s", name, target) << int(format) << QString::fromLatin1(target);
    }
}

} // namespace

class TestExportFormats : public QObject {
    Q_OBJECT
private slots:
    void wholeExportReachesItsDestination_data() { perFormat({"file", "pipe", "null device"}); }
    void wholeExportReachesItsDestination();
    void unwritableOutputLeavesNoFile_data() { perFormat({"missing folder", "locked folder", "/proc"}); }
    void unwritableOutputLeavesNoFile();
    void cancelledExportLeavesTheOldFile_data() { perFormat(); }
    void cancelledExportLeavesTheOldFile();
    void pseudonymisedOutputHoldsNoPersonalField_data() { perFormat(); }
    void pseudonymisedOutputHoldsNoPersonalField();
    void sameExportInEveryZone_data() { perFormat(); }
    void sameExportInEveryZone();
};

// A new file is private; a pipe or a device is written in place, not replaced by a renamed
// file; nothing is left beside either.
void TestExportFormats::wholeExportReachesItsDestination() {
    QFETCH(int, format);
    QFETCH(QString, target);
    const auto f = exportRegister();
    const QString path = target == u"null device"_s ? u"/dev/null"_s : f->home.file(u"export.out"_s);
    std::optional<PipeReader> pipe;
    if (target == u"pipe"_s) {
        pipe.emplace(path);
        QVERIFY(pipe->made());
    }
    const mode_t kept = target == u"file"_s ? S_IFREG | 0600 : modeOf(path);
    const ExportOutcome outcome = exportToFile(Format(format), *f, path);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(modeOf(path), kept);
    QVERIFY(!pipe || pipe->finish());
    const QByteArray received = pipe ? pipe->received() : f->home.readFile(u"export.out"_s);
    if (target != u"null device"_s)
        QCOMPARE(measurementsIn(Format(format), received), 3);
    QCOMPARE(QDir(f->home.path())
                 .entryList({u"*export.out*"_s}, QDir::AllEntries | QDir::System | QDir::Hidden)
                 .size(),
             target == u"null device"_s ? 0 : 1);
}

void TestExportFormats::unwritableOutputLeavesNoFile() {
    QFETCH(int, format);
    QFETCH(QString, target);
    const auto f = exportRegister();
    QString folder = target == u"/proc"_s
                         ? target
                         : f->home.file(target == u"missing folder"_s ? u"no/such"_s : u"locked"_s);
    if (target == u"locked folder"_s) {
        if (::geteuid() == 0)
            QSKIP("the super-user writes into any folder");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString path = folder + u"/export.out"_s;
    const ExportOutcome outcome = exportToFile(Format(format), *f, path);
    QCOMPARE(outcome.status, ExportOutcome::Status::Failed);
    QVERIFY2(outcome.error.contains(folder), qPrintable(outcome.error));
    QVERIFY(!QFileInfo::exists(path));
    if (target == u"locked folder"_s)
        QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestExportFormats::cancelledExportLeavesTheOldFile() {
    QFETCH(int, format);
    const auto f = exportRegister();
    QVERIFY(f->db().transaction());
    for (int i = 0; i < 1200; ++i)
        f->addMeasurement(u"B002"_s, 46000.0 + i);
    QVERIFY(f->db().commit());
    const QString path = f->home.file(u"export.out"_s);
    f->home.writeFile(u"export.out"_s, "earlier export\r\n");
    StopAfter observer(500);
    const ExportOutcome outcome = exportToFile(Format(format), *f, path, &observer);
    QCOMPARE(outcome.status, ExportOutcome::Status::Cancelled);
    QCOMPARE(observer.lastTotal, 1203);
    QCOMPARE(f->home.readFile(u"export.out"_s), QByteArray("earlier export\r\n"));
    QCOMPARE(QDir(f->home.path()).entryList({u"*export.out*"_s}, QDir::Files | QDir::Hidden).size(), 1);
    StopAfter never(1 << 30);
    QVERIFY(exportToFile(Format(format), *f, path, &never).ok());
    QCOMPARE(measurementsIn(Format(format), f->home.readFile(u"export.out"_s)), 1203);
}

void TestExportFormats::pseudonymisedOutputHoldsNoPersonalField() {
    QFETCH(int, format);
    const auto f = exportRegister();
    QSqlQuery(f->db()).exec(u"UPDATE KYCUST SET TEL2 = '13900001111', TEL3 = '010-5559999', "
                            "EMAIL = 'wang@example.com', MEMO = '客户备注' WHERE CUSTNO = 'A001'"_s);
    const QString path = f->home.file(u"export.out"_s);
    const Pseudonymiser pseudonymiser("0123456789abcdef0123456789abcdef");
    QVERIFY(exportToFile(Format(format), *f, path, nullptr, &pseudonymiser).ok());
    const QByteArray bytes = f->home.readFile(u"export.out"_s);
    QCOMPARE(measurementsIn(Format(format), bytes), 3);
    const QString text = QString::fromUtf8(bytes);
    for (const QString &personal :
         {u"A001"_s, u"B002"_s, u"王小明"_s, u"李丽"_s, u"北京市"_s, u"上海市"_s, u"010-5550101"_s,
          u"13900001111"_s, u"010-5559999"_s, u"wang@example.com"_s, u"客户备注"_s, u"第一次"_s,
          u"1990-12-31"_s, u"12-31"_s})
        QVERIFY2(!text.contains(personal), qPrintable(personal));
    if (Format(format) != Format::Fhir)
        QVERIFY(text.contains(u"1990"_s)); // the tables keep the birth year
}

// A measurement keeps the zone it was taken in (one stored before zones were, the register's),
// wherever the export runs.
void TestExportFormats::sameExportInEveryZone() {
    QFETCH(int, format);
    const ProcessZone madeIn("Europe/Berlin");
    const auto f = exportRegister();
    QSqlQuery q(u"SELECT min(MKEY) FROM KYDATA"_s, f->db());
    QVERIFY(q.next() && writeOriginRow(f->db(), q.value(0).toLongLong(), {u"Asia/Tokyo"_s, {}, {}}));
    QByteArrayList exports;
    for (const char *zone : {"UTC", "Asia/Shanghai"}) {
        ProcessZone::set(zone);
        QVERIFY(exportToFile(Format(format), *f, f->home.file(u"export.out"_s)).ok());
        exports << f->home.readFile(u"export.out"_s);
        QVERIFY(QFile::remove(f->home.file(u"export.out"_s)));
    }
    // The bundle says when it was made, in UTC.
    static const QRegularExpression madeAt(uR"("timestamp":"[^"]*Z")"_s);
    QCOMPARE(QString::fromUtf8(exports[0]).remove(madeAt), QString::fromUtf8(exports[1]).remove(madeAt));
    if (Format(format) == Format::Fhir) {
        QVERIFY(exports[0].contains("\"2026-03-01T09:30:00+09:00\""));
        QVERIFY(exports[0].contains("\"2026-06-01T14:05:07+02:00\""));
    }
}

QTEST_GUILESS_MAIN(TestExportFormats)
#include "test_exportformats.moc"
