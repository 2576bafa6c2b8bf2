#include "analysis/analysis.h"
#include "analysis/analysisjson.h"
#include "core/channels.h"
#include "core/daycount.h"
#include "exportregister.h"
#include "dataexport/dataexport.h"
#include "storage/qualityrows.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QtTest>

#include <charconv>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

using CsvTable = QList<QStringList>;

// An RFC 4180 reader, strict about what the export must produce: every record ends
// with CR LF, and a quote inside a quoted field is doubled.
CsvTable readCsv(const QByteArray &bytes) {
    const QString s = QString::fromUtf8(bytes);
    CsvTable rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar ch = s.at(i);
        if (quoted) {
            if (ch == u'"' && i + 1 < s.size() && s.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (ch == u',') {
            row << field;
            field.clear();
        } else if (ch == u'\r' && i + 1 < s.size() && s.at(i + 1) == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else if (ch == u'\n' || ch == u'\r') {
            qWarning("a bare line break outside quotes");
            return {};
        } else {
            field += ch;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        qWarning("the last record does not end with CR LF");
    return rows;
}

QString column(const CsvTable &t, int row, const QString &name) {
    return t.value(row).value(t.value(0).indexOf(name));
}

QList<QJsonObject> readJsonLines(const QByteArray &bytes) {
    QList<QJsonObject> objects;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError)
            qWarning("not a JSON line: %s", line.constData());
        objects << doc.object();
    }
    return objects;
}

const QByteArray KeyA = "0123456789abcdef0123456789abcdef";
const QByteArray KeyB = "fedcba9876543210fedcba9876543210";

} // namespace

class TestDataExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void csvHasTheHeaderAndOneRowPerMeasurement();
    void csvQuotesTextFields_data();
    void csvQuotesTextFields();
    void chineseTextRoundTrips_data();
    void chineseTextRoundTrips();
    void analysisValuesAreThoseOfTheAnalysis_data();
    void analysisValuesAreThoseOfTheAnalysis();
    void undefinedValuesAreEmptyOrNull();
    void qualityIsExportedOnlyWhereKnown();
    void unmeasuredPointsAreMarkedNotZero();
    void pseudonymsAreStableAndKeyed();
    void shortKeyFileIsRefused();
    void keyFileIsKeptLikeAPrivateKey_data();
    void keyFileIsKeptLikeAPrivateKey();
    void dateFiltersIncludeBothEnds_data();
    void dateFiltersIncludeBothEnds();
    void subjectFilterIgnoresLetterCase();
    void measurementsWithoutSubjectAreLeftOut();
    void numbersAreTheShortestTextThatReadsBack_data();
    void numbersAreTheShortestTextThatReadsBack();

private:
    QByteArray exportBytes(const ExportRequest &request);
    std::unique_ptr<RecordFixture> f;
};

void TestDataExport::init() {
    f = exportRegister();
}

void TestDataExport::cleanup() {
    f.reset();
}

QByteArray TestDataExport::exportBytes(const ExportRequest &request) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const ExportOutcome outcome = exportMeasurements(f->context.records, request, buffer);
    if (!outcome.ok())
        qWarning("export failed: %s", qPrintable(outcome.error));
    return bytes;
}

void TestDataExport::csvHasTheHeaderAndOneRowPerMeasurement() {
    const CsvTable t = readCsv(exportBytes({}));
    QCOMPARE(t.size(), 4);
    const QStringList header = t.first();
    QCOMPARE(header.size(), 6 + 24 + 24 + 1 + 4 + 5 + 24 + 2 + 24 + 1);
    QCOMPARE(header.mid(0, 7), (QStringList{u"subject"_s, u"sex"_s, u"birthYear"_s, u"ageAtMeasurement"_s,
                                            u"measuredAt"_s, u"potential"_s, u"plain1"_s}));
    QVERIFY(header.contains(u"corrected24"_s) && header.contains(u"channelGrades24"_s));
    QCOMPARE(header.last(), u"memo"_s);
    for (const QStringList &row : t)
        QCOMPARE(row.size(), header.size());
    // Subject number, then date and time.
    QCOMPARE(column(t, 1, u"measuredAt"_s), u"2026-03-01T09:30:00"_s);
    QCOMPARE(column(t, 2, u"measuredAt"_s), u"2026-06-01T14:05:07"_s);
    QCOMPARE(column(t, 2, u"potential"_s), u"high"_s);
    QCOMPARE(column(t, 1, u"potential"_s), u"standard"_s);
    QCOMPARE(column(t, 3, u"subject"_s), u"B002"_s);
    QCOMPARE(column(t, 3, u"sex"_s), u"female"_s);
    // Born 31 December 1990: only calendar years count, as everywhere in the program.
    QCOMPARE(column(t, 1, u"birthYear"_s), u"1990"_s);
    QCOMPARE(column(t, 1, u"ageAtMeasurement"_s), u"36"_s);
    QCOMPARE(column(t, 1, u"plain3"_s), u"40.3"_s);
}

void TestDataExport::csvQuotesTextFields_data() {
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("plain") << u"复查"_s << QByteArray("复查\r\n");
    QTest::newRow("comma") << u"左手, 右手"_s << QByteArray("\"左手, 右手\"\r\n");
    QTest::newRow("quote") << u"称\"良好\""_s << QByteArray("\"称\"\"良好\"\"\"\r\n");
    QTest::newRow("memo lines") << u"第一行\r\n第二行"_s << QByteArray("\"第一行\r\n第二行\"\r\n");
    QTest::newRow("bare line feed") << u"a\nb"_s << QByteArray("\"a\nb\"\r\n");
    QTest::newRow("empty") << QString() << QByteArray(",\r\n");
}

void TestDataExport::csvQuotesTextFields() {
    QFETCH(QString, memo);
    QFETCH(QByteArray, field);
    QSqlQuery(f->db()).exec(u"DELETE FROM KYDATA"_s);
    f->addMeasurement(u"A001"_s, 46000.5, 40.0, false, memo);
    const QByteArray bytes = exportBytes({});
    QVERIFY2(bytes.endsWith(field), bytes.right(40).constData());
    const CsvTable t = readCsv(bytes);
    QCOMPARE(t.size(), 2);
    QCOMPARE(column(t, 1, u"memo"_s), memo.isNull() ? u""_s : memo);
}

void TestDataExport::chineseTextRoundTrips_data() {
    QTest::addColumn<int>("format");
    QTest::newRow("csv") << int(ExportFormat::Csv);
    QTest::newRow("json lines") << int(ExportFormat::JsonLines);
}

void TestDataExport::chineseTextRoundTrips() {
    QFETCH(int, format);
    QSqlQuery(f->db()).exec(u"DELETE FROM KYDATA"_s);
    f->addSubject(u"甲-07"_s, u"陈"_s);
    const QString memo = u"经络能量：偏虚 — “复查”\t𠀀"_s;
    f->addMeasurement(u"甲-07"_s, 46000.5, 40.0, false, memo);
    ExportRequest request;
    request.format = ExportFormat(format);
    const QByteArray bytes = exportBytes(request);
    if (request.format == ExportFormat::Csv) {
        const CsvTable t = readCsv(bytes);
        QCOMPARE(column(t, 1, u"subject"_s), u"甲-07"_s);
        QCOMPARE(column(t, 1, u"memo"_s), memo);
    } else {
        const QList<QJsonObject> rows = readJsonLines(bytes);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][u"subject"_s].toString(), u"甲-07"_s);
        QCOMPARE(rows[0][u"memo"_s].toString(), memo);
    }
}

void TestDataExport::analysisValuesAreThoseOfTheAnalysis_data() {
    chineseTextRoundTrips_data();
}

// The export and `orlu-cli analyse` must give the same numbers under the same names.
void TestDataExport::analysisValuesAreThoseOfTheAnalysis() {
    QFETCH(int, format);
    QSqlQuery(f->db()).exec(u"DELETE FROM KYDATA"_s);
    std::array<double, 24> plain{};
    for (int c = 0; c < 24; ++c)
        plain[size_t(c)] = 20.0 + 3.7 * c + (c % 5 == 0 ? 25.0 : 0.0);
    const qint64 key = f->addMeasurement(u"B002"_s, 46000.5);
    QSqlQuery q(f->db());
    for (int c = 0; c < 24; ++c) {
        q.prepare(u"UPDATE KYDATA SET KY%1 = ? WHERE MKEY = ?"_s.arg(c + 1));
        q.addBindValue(plain[size_t(c)]);
        q.addBindValue(key);
        q.exec();
    }
    const QJsonObject analysed =
        QJsonDocument::fromJson(analysisToJson(analyse(correctedValues(plain), false)).toUtf8()).object();

    ExportRequest request;
    request.format = ExportFormat(format);
    const QByteArray bytes = exportBytes(request);
    QJsonObject exported;
    if (request.format == ExportFormat::JsonLines) {
        exported = readJsonLines(bytes).value(0);
    } else {
        // The CSV row, put back together under the JSON names.
        const CsvTable t = readCsv(bytes);
        const auto number = [&](const QString &name) { return QJsonValue(column(t, 1, name).toDouble()); };
        QJsonArray corrected, grades;
        for (int c = 1; c <= 24; ++c) {
            corrected << number(u"corrected%1"_s.arg(c));
            grades << number(u"channelGrades%1"_s.arg(c));
        }
        QJsonObject ratios, verdicts;
        for (const QString &n : {u"spirit"_s, u"musculoskeletal"_s, u"metabolism"_s, u"autonomic"_s})
            ratios[n] = number(u"ratios."_s + n);
        for (const QString &n :
             {u"bodyEnergy"_s, u"spirit"_s, u"musculoskeletal"_s, u"metabolism"_s, u"autonomic"_s})
            verdicts[n] = number(u"verdicts."_s + n);
        exported = {{u"sex"_s, column(t, 1, u"sex"_s)},
                    {u"corrected"_s, corrected},
                    {u"bodyEnergy"_s, number(u"bodyEnergy"_s)},
                    {u"ratios"_s, ratios},
                    {u"verdicts"_s, verdicts},
                    {u"channelGrades"_s, grades}};
    }
    for (const QString &name :
         {u"sex"_s, u"corrected"_s, u"bodyEnergy"_s, u"ratios"_s, u"verdicts"_s, u"channelGrades"_s})
        QVERIFY2(exported[name] == analysed[name], qPrintable(name));
    // The case is not a trivial one: some channels are graded.
    QVERIFY(analysed[u"channelGrades"_s].toArray().contains(QJsonValue(1)) ||
            analysed[u"channelGrades"_s].toArray().contains(QJsonValue(2)));
}

// Values of both signs can make a ratio's divisor 0; the ratio and its verdict are then unknown.
void TestDataExport::undefinedValuesAreEmptyOrNull() {
    QSqlQuery(f->db()).exec(u"DELETE FROM KYDATA"_s);
    const qint64 key = f->addMeasurement(u"B002"_s, 46000.5, 10.0);
    // Yang sum 0, each yang meridian's right channel the negative of its left: the metabolism
    // ratio is undefined. (A 0 would be a point not measured, which leaves every ratio out.)
    QSqlQuery q(f->db());
    for (int c : {10, 11, 12, 22, 23, 24})
        q.exec(u"UPDATE KYDATA SET KY%1 = -KY%2 WHERE MKEY = %3"_s.arg(c).arg(c - 6).arg(key));
    const CsvTable t = readCsv(exportBytes({}));
    QCOMPARE(column(t, 1, u"ratios.metabolism"_s), u""_s);
    QCOMPARE(column(t, 1, u"verdicts.metabolism"_s), u""_s);
    QCOMPARE(column(t, 1, u"birthYear"_s), u""_s);
    QCOMPARE(column(t, 1, u"ageAtMeasurement"_s), u""_s);
    QVERIFY(!column(t, 1, u"ratios.spirit"_s).isEmpty());
    ExportRequest json;
    json.format = ExportFormat::JsonLines;
    const QJsonObject o = readJsonLines(exportBytes(json)).value(0);
    QVERIFY(o[u"ratios"_s][u"metabolism"_s].isNull());
    QVERIFY(o[u"verdicts"_s][u"metabolism"_s].isNull());
    QVERIFY(o[u"birthYear"_s].isNull());
    QVERIFY(o[u"ratios"_s][u"spirit"_s].isDouble());
}

void TestDataExport::qualityIsExportedOnlyWhereKnown() {
    QSqlQuery q(f->db());
    QVERIFY(q.exec(u"SELECT MKEY FROM KYDATA WHERE CUSTNO = 'B002'"_s) && q.next());
    MeasurementQuality quality{};
    for (int c = 1; c <= 23; ++c)
        quality[size_t(c - 1)] = PointQuality{.verdict = QualityVerdict::Steady};
    quality[13] = PointQuality{.verdict = QualityVerdict::Drifting};
    QVERIFY(writeQualityRows(f->db(), q.value(0).toLongLong(), quality));
    const CsvTable t = readCsv(exportBytes({}));
    QCOMPARE(column(t, 3, u"steadyPoints"_s), u"22"_s);
    QCOMPARE(column(t, 3, u"quality14"_s), u"drifting"_s);
    QCOMPARE(column(t, 3, u"quality1"_s), u"steady"_s);
    QCOMPARE(column(t, 3, u"quality24"_s), QString());
    QCOMPARE(column(t, 1, u"steadyPoints"_s), QString());
    QCOMPARE(column(t, 1, u"quality1"_s), QString());
    ExportRequest json;
    json.format = ExportFormat::JsonLines;
    const QList<QJsonObject> lines = readJsonLines(exportBytes(json));
    QCOMPARE(lines.value(2)[u"steadyPoints"_s].toInt(), 22);
    QCOMPARE(lines.value(2)[u"quality14"_s].toString(), u"drifting"_s);
    QVERIFY(lines.value(0)[u"steadyPoints"_s].isNull());
    QCOMPARE(lines.value(0)[u"quality14"_s].toString(), QString());
}

// A run cut off after 5 points: its other 19 points are no readings of 0 uA, and no sum,
// ratio or grade is made of them.
void TestDataExport::unmeasuredPointsAreMarkedNotZero() {
    QSqlQuery q(f->db());
    QStringList zeros;
    for (int c = 6; c <= 24; ++c)
        zeros << u"KY%1 = 0"_s.arg(c);
    QVERIFY(q.exec(u"UPDATE KYDATA SET "_s + zeros.join(u", "_s) + u" WHERE CUSTNO = 'B002'"_s));
    const CsvTable t = readCsv(exportBytes({}));
    QCOMPARE(column(t, 3, u"unmeasuredPoints"_s), u"19"_s);
    QCOMPARE(column(t, 3, u"plain6"_s), QString());
    QCOMPARE(column(t, 3, u"corrected24"_s), QString());
    QCOMPARE(column(t, 3, u"quality6"_s), u"unmeasured"_s);
    QCOMPARE(column(t, 3, u"channelGrades1"_s), QString());
    QCOMPARE(column(t, 3, u"ratios.spirit"_s), QString());
    QCOMPARE(column(t, 3, u"verdicts.bodyEnergy"_s), QString());
    QVERIFY(!column(t, 3, u"plain5"_s).isEmpty());
    QCOMPARE(column(t, 1, u"unmeasuredPoints"_s), u"0"_s);
    // The mean of the 5 measured points, not of 24 with 19 zeros.
    double sum = 0;
    for (int c = 1; c <= 5; ++c)
        sum += column(t, 3, u"corrected%1"_s.arg(c)).toDouble();
    QCOMPARE(column(t, 3, u"bodyEnergy"_s).toDouble(), sum / 5);
    ExportRequest json;
    json.format = ExportFormat::JsonLines;
    const QJsonObject o = readJsonLines(exportBytes(json)).value(2);
    QCOMPARE(o[u"unmeasuredPoints"_s].toInt(), 19);
    QVERIFY(o[u"plain"_s].toArray()[5].isNull());
    QVERIFY(o[u"channelGrades"_s].toArray()[0].isNull());
    QCOMPARE(o[u"quality24"_s].toString(), u"unmeasured"_s);
}

void TestDataExport::pseudonymsAreStableAndKeyed() {
    ExportRequest request;
    request.pseudonymiser = Pseudonymiser(KeyA);
    const CsvTable first = readCsv(exportBytes(request));
    const CsvTable again = readCsv(exportBytes(request));
    request.pseudonymiser = Pseudonymiser(KeyB);
    const CsvTable otherKey = readCsv(exportBytes(request));

    const QString a = column(first, 1, u"subject"_s);
    QCOMPARE(a.size(), 32);
    QCOMPARE(column(first, 2, u"subject"_s), a); // one subject, two measurements
    QVERIFY(column(first, 3, u"subject"_s) != a);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(column(again, row, u"subject"_s), column(first, row, u"subject"_s));
    QVERIFY(column(otherKey, 1, u"subject"_s) != a);
    // The register does not tell "a001" from "A001".
    QCOMPARE(Pseudonymiser(KeyA).pseudonym(u"a001"_s), a);
}

void TestDataExport::shortKeyFileIsRefused() {
    f->home.writeFile(u"short.key"_s, "0123456789");
    QString error;
    QVERIFY(!Pseudonymiser::fromKeyFile(f->home.file(u"short.key"_s), &error));
    QVERIFY2(error.contains(u"at least 16"_s), qPrintable(error));
    QVERIFY(!Pseudonymiser::fromKeyFile(f->home.file(u"missing.key"_s), &error));
    f->home.writeFile(u"good.key"_s, KeyA);
    QFile::setPermissions(f->home.file(u"good.key"_s), QFile::ReadOwner | QFile::WriteOwner);
    const auto p = Pseudonymiser::fromKeyFile(f->home.file(u"good.key"_s), &error);
    QVERIFY(p);
    QCOMPARE(p->pseudonym(u"A001"_s), Pseudonymiser(KeyA).pseudonym(u"A001"_s));
}

void TestDataExport::keyFileIsKeptLikeAPrivateKey_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("refusal"); // empty: the key is taken
    QTest::newRow("owner only") << u"key"_s << 0600 << QString();
    QTest::newRow("owner reads only") << u"key"_s << 0400 << QString();
    QTest::newRow("group reads") << u"key"_s << 0640 << u"mode 0640"_s;
    QTest::newRow("everyone reads") << u"key"_s << 0644 << u"mode 0644"_s;
    QTest::newRow("16 zero bytes") << u"zeros"_s << 0600 << u"the same"_s;
    QTest::newRow("endless device") << u"/dev/zero"_s << 0 << u"not a regular file"_s;
    QTest::newRow("pipe") << u"fifo"_s << 0600 << u"not a regular file"_s;
    QTest::newRow("link to a good key") << u"link"_s << 0600 << u"symbolic links"_s;
    QTest::newRow("folder") << u"folder"_s << 0700 << u"not a regular file"_s;
    QTest::newRow("too long") << u"long"_s << 0600 << u"more than"_s;
}

void TestDataExport::keyFileIsKeptLikeAPrivateKey() {
    QFETCH(QString, kind);
    QFETCH(int, mode);
    QFETCH(QString, refusal);
    const QString good = f->home.file(u"good.key"_s);
    f->home.writeFile(u"good.key"_s, KeyA);
    QFile::setPermissions(good, QFile::ReadOwner | QFile::WriteOwner);
    QString path = f->home.file(u"test.key"_s);
    const QByteArray native = QFile::encodeName(path);
    if (kind == u"key"_s || kind == u"zeros"_s || kind == u"long"_s) {
        f->home.writeFile(u"test.key"_s, kind == u"key"_s     ? KeyA
                                         : kind == u"zeros"_s ? QByteArray(16, '\0')
                                                              : QByteArray(5000, 'k') + KeyA);
    } else if (kind == u"fifo"_s) {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (kind == u"link"_s) {
        QCOMPARE(::symlink(QFile::encodeName(good).constData(), native.constData()), 0);
    } else if (kind == u"folder"_s) {
        QVERIFY(QDir().mkdir(path));
    } else {
        path = kind;
    }
    if (mode != 0 && kind != u"link"_s)
        QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
    QString error;
    const std::optional<Pseudonymiser> p = Pseudonymiser::fromKeyFile(path, &error);
    QCOMPARE(bool(p), refusal.isEmpty());
    if (!p) {
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QVERIFY2(error.contains(u"head -c 32 /dev/urandom"_s), qPrintable(error));
    }
}

void TestDataExport::dateFiltersIncludeBothEnds_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<int>("rows");
    // Measurements at 00:00 and 23:59:59 on 1 March, at noon on 2 March and on 3 March.
    QTest::newRow("one day") << QDate(2026, 3, 1) << QDate(2026, 3, 1) << 2;
    QTest::newRow("the second day only") << QDate(2026, 3, 2) << QDate(2026, 3, 2) << 1;
    QTest::newRow("from the last day") << QDate(2026, 3, 3) << QDate() << 1;
    QTest::newRow("up to the first day") << QDate() << QDate(2026, 3, 1) << 2;
    QTest::newRow("all three days") << QDate(2026, 3, 1) << QDate(2026, 3, 3) << 4;
    QTest::newRow("a day without measurements") << QDate(2026, 3, 4) << QDate(2026, 3, 9) << 0;
}

void TestDataExport::dateFiltersIncludeBothEnds() {
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(int, rows);
    QSqlQuery(f->db()).exec(u"DELETE FROM KYDATA"_s);
    f->addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 3, 1), QTime(0, 0))));
    f->addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59))));
    f->addMeasurement(u"B002"_s, toDayCount(QDateTime(QDate(2026, 3, 2), QTime(12, 0))));
    f->addMeasurement(u"B002"_s, toDayCount(QDateTime(QDate(2026, 3, 3), QTime(7, 0))));
    ExportRequest request;
    if (from.isValid())
        request.filter.from = from;
    if (to.isValid())
        request.filter.to = to;
    QCOMPARE(readCsv(exportBytes(request)).size(), 1 + rows);
    QCOMPARE(MeasurementCursor::count(f->db(), request.filter).value_or(-1), rows);
}

void TestDataExport::subjectFilterIgnoresLetterCase() {
    f->addMeasurement(u"a001"_s, 46200.0);
    ExportRequest request;
    request.filter.subjectNumber = u"a001"_s;
    const CsvTable t = readCsv(exportBytes(request));
    QCOMPARE(t.size(), 4);
    for (int row = 1; row < t.size(); ++row)
        QCOMPARE(column(t, row, u"subject"_s), u"A001"_s); // the subject's own number
}

void TestDataExport::measurementsWithoutSubjectAreLeftOut() {
    f->addMeasurement(u"Z999"_s, 46000.5);
    // A number held by two subject rows (an import may append one) is not exported twice.
    f->addSubject(u"b002"_s, u"另一个"_s, true);
    const CsvTable t = readCsv(exportBytes({}));
    QCOMPARE(t.size(), 4);
    QCOMPARE(column(t, 3, u"sex"_s), u"female"_s); // the first subject row's
}

void TestDataExport::numbersAreTheShortestTextThatReadsBack_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::newRow("edges of the quick form") << QList<double>{0.001,
                                                              0.00099999,
                                                              0.0012,
                                                              0.5,
                                                              1,
                                                              10,
                                                              99999.99999999,
                                                              1e5,
                                                              1e4,
                                                              0.1 + 0.2,
                                                              79.20698800000001,
                                                              1.0 / 3,
                                                              -2.5,
                                                              -0.004,
                                                              12345.67890123,
                                                              0.00100001,
                                                              5e-9,
                                                              1e-300,
                                                              123456789.5,
                                                              4.35,
                                                              0};
    // Two-decimal readings, their corrected values, any double, small and large ones.
    std::mt19937_64 random(19);
    std::uniform_real_distribution<double> any(0, 2e5);
    std::uniform_int_distribution<int> hundredths(0, 20000);
    QList<double> drawn;
    for (int i = 0; i < 20000; ++i) {
        const double reading = hundredths(random) / 100.0;
        drawn << reading << reading * correctionFactor(1 + i % 24) << any(random) << any(random) / 1e7
              << -reading << std::round(any(random));
    }
    QTest::newRow("drawn") << drawn;
}

void TestDataExport::numbersAreTheShortestTextThatReadsBack() {
    QFETCH(QList<double>, values);
    ExportRecord record;
    QByteArray out;
    for (qsizetype first = 0; first < values.size(); first += 24) {
        for (std::size_t c = 0; c < 24; ++c)
            record.plain[c] = values.value(first + qsizetype(c));
        out.clear();
        appendExportRecord(out, ExportFormat::Csv, record);
        const QList<QByteArray> fields = out.trimmed().split(',');
        for (std::size_t c = 0; c < 24; ++c) {
            const double v = record.plain[c];
            char expected[32];
            const auto end = std::to_chars(expected, expected + sizeof expected, v).ptr;
            const QByteArray &text = fields[6 + qsizetype(c)];
            // A reading of 0 is a point not measured: no value.
            QCOMPARE(text, v == 0.0 ? QByteArray() : QByteArray(expected, end - expected));
        }
    }
}

QTEST_GUILESS_MAIN(TestDataExport)
#include "test_dataexport.moc"
