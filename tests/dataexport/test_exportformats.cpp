// What every export format owes the operator, run once per format (CSV, JSON lines, FHIR):
// the file holds every selected measurement and is private, an output that cannot be
// written or an export cancelled leaves no file and an earlier one as it was, a pipe is
// written in place, and a pseudonymised export names nobody.
#include "dataexport/dataexport.h"
#include "dataexport/fhirexport.h"
#include "exportregister.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

enum class Format { Csv, JsonLines, Fhir };

ExportOutcome exportToFile(Format format, const RecordStore &records,
                           const std::optional<Pseudonymiser> &pseudonymiser, const QString &path,
                           ExportObserver *observer = nullptr) {
    if (format == Format::Fhir)
        return exportFhirBundleToFile(records, {}, pseudonymiser ? &*pseudonymiser : nullptr, path, observer);
    ExportRequest request;
    request.format = format == Format::Csv ? ExportFormat::Csv : ExportFormat::JsonLines;
    request.pseudonymiser = pseudonymiser;
    return exportMeasurementsToFile(records, request, path, observer);
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

class StopAfter final : public ExportObserver {
public:
    explicit StopAfter(qint64 rows)
        : m_rows(rows) {}
    bool exportProgress(qint64 written, qint64 total) override {
        lastTotal = total;
        return written < m_rows;
    }
    qint64 lastTotal = -1;

private:
    qint64 m_rows;
};

mode_t modeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

class TestExportFormats : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fileHoldsEveryMeasurementAndIsPrivate_data() { formats(); }
    void fileHoldsEveryMeasurementAndIsPrivate();
    void unwritableOutputLeavesNoFile_data();
    void unwritableOutputLeavesNoFile();
    void cancelledExportLeavesTheOldFile_data() { formats(); }
    void cancelledExportLeavesTheOldFile();
    void pipeIsWrittenInPlace_data() { formats(); }
    void pipeIsWrittenInPlace();
    void pseudonymisedOutputHoldsNoPersonalField_data() { formats(); }
    void pseudonymisedOutputHoldsNoPersonalField();

private:
    static void formats();
    std::unique_ptr<RecordFixture> f;
};

void TestExportFormats::formats() {
    QTest::addColumn<int>("format");
    QTest::newRow("csv") << int(Format::Csv);
    QTest::newRow("json lines") << int(Format::JsonLines);
    QTest::newRow("fhir") << int(Format::Fhir);
}

void TestExportFormats::init() {
    f = exportRegister();
}

void TestExportFormats::cleanup() {
    f.reset();
}

void TestExportFormats::fileHoldsEveryMeasurementAndIsPrivate() {
    QFETCH(int, format);
    const QString path = f->home.file(u"export.out"_s);
    const ExportOutcome outcome = exportToFile(Format(format), f->context.records, std::nullopt, path);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(measurementsIn(Format(format), f->home.readFile(u"export.out"_s)), 3);
    QCOMPARE(modeOf(path) & 0777, mode_t(0600));
    QCOMPARE(QDir(f->home.path()).entryList({u"*export.out*"_s}, QDir::Files | QDir::Hidden).size(), 1);
}

void TestExportFormats::unwritableOutputLeavesNoFile_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("folder");
    for (const auto &[name, format] :
         {std::pair{"csv", Format::Csv}, std::pair{"json lines", Format::JsonLines},
          std::pair{"fhir", Format::Fhir}}) {
        QTest::addRow("%s, missing folder", name) << int(format) << u"@home/no/such/folder"_s;
        QTest::addRow("%s, folder without write permission", name) << int(format) << u"@locked"_s;
        QTest::addRow("%s, file system that takes no files", name) << int(format) << u"/proc"_s;
    }
}

void TestExportFormats::unwritableOutputLeavesNoFile() {
    QFETCH(int, format);
    QFETCH(QString, folder);
    if (folder == u"@locked"_s) {
        if (::geteuid() == 0)
            QSKIP("the super-user writes into any folder");
        folder = f->home.file(u"locked"_s);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    folder.replace(u"@home/"_s, f->home.path());
    const QString path = folder + u"/export.out"_s;
    const ExportOutcome outcome = exportToFile(Format(format), f->context.records, std::nullopt, path);
    QCOMPARE(outcome.status, ExportOutcome::Status::Failed);
    QVERIFY2(outcome.error.contains(folder), qPrintable(outcome.error));
    QVERIFY(!QFileInfo::exists(path));
    if (QFileInfo(folder).isDir() && folder.startsWith(f->home.path()))
        QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestExportFormats::cancelledExportLeavesTheOldFile() {
    QFETCH(int, format);
    QVERIFY(f->db().transaction());
    for (int i = 0; i < 1200; ++i)
        f->addMeasurement(u"B002"_s, 46000.0 + i);
    QVERIFY(f->db().commit());
    const QString path = f->home.file(u"export.out"_s);
    f->home.writeFile(u"export.out"_s, "earlier export\r\n");
    StopAfter observer(500);
    const ExportOutcome outcome =
        exportToFile(Format(format), f->context.records, std::nullopt, path, &observer);
    QCOMPARE(outcome.status, ExportOutcome::Status::Cancelled);
    QCOMPARE(observer.lastTotal, 1203);
    QCOMPARE(f->home.readFile(u"export.out"_s), QByteArray("earlier export\r\n"));
    QCOMPARE(QDir(f->home.path()).entryList({u"*export.out*"_s}, QDir::Files | QDir::Hidden).size(), 1);
    StopAfter never(1 << 30);
    QVERIFY(exportToFile(Format(format), f->context.records, std::nullopt, path, &never).ok());
    QCOMPARE(measurementsIn(Format(format), f->home.readFile(u"export.out"_s)), 1203);
}

// Renaming a finished file into place would replace a pipe with a plain file.
void TestExportFormats::pipeIsWrittenInPlace() {
    QFETCH(int, format);
    const QString fifo = f->home.file(u"pipe"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray received;
    std::unique_ptr<QThread> reader(QThread::create([&] {
        QFile in(fifo);
        if (in.open(QIODevice::ReadOnly))
            received = in.readAll();
    }));
    reader->start();
    QVERIFY(exportToFile(Format(format), f->context.records, std::nullopt, fifo).ok());
    QVERIFY(reader->wait(10000));
    QCOMPARE(measurementsIn(Format(format), received), 3);
    QVERIFY(S_ISFIFO(modeOf(fifo)));
    QVERIFY(exportToFile(Format(format), f->context.records, std::nullopt, u"/dev/null"_s).ok());
}

void TestExportFormats::pseudonymisedOutputHoldsNoPersonalField() {
    QFETCH(int, format);
    QSqlQuery(f->db()).exec(u"UPDATE KYCUST SET TEL2 = '13900001111', TEL3 = '010-5559999', "
                            "EMAIL = 'wang@example.com', MEMO = '客户备注' WHERE CUSTNO = 'A001'"_s);
    const QString path = f->home.file(u"export.out"_s);
    QVERIFY(exportToFile(Format(format), f->context.records,
                         Pseudonymiser("0123456789abcdef0123456789abcdef"), path)
                .ok());
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

QTEST_GUILESS_MAIN(TestExportFormats)
#include "test_exportformats.moc"
