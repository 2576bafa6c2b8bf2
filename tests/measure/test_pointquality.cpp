#include "measure/pointquality.h"
#include "measure/pointqualityjson.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// A point as its loop sees it: `settling` readings at tick 1 from contact on,
// then `averaged` readings at tick 4, 50 ms apart from 1.8 s on.
std::vector<QualitySample> point(const QList<double> &settling, const QList<double> &averaged) {
    std::vector<QualitySample> samples;
    for (qsizetype i = 0; i < settling.size(); ++i)
        samples.push_back({20.0 * static_cast<double>(i), settling.at(i), 1});
    samples.push_back({1200, 999, 3}); // neither settling nor averaged
    for (qsizetype i = 0; i < averaged.size(); ++i)
        samples.push_back({1800 + 50.0 * static_cast<double>(i), averaged.at(i), 4});
    return samples;
}

QList<double> repeated(double reading, int count) {
    return QList<double>(count, reading);
}

} // namespace

class TestPointQuality : public QObject {
    Q_OBJECT
private slots:
    void assessesTheAveragedReadings_data();
    void assessesTheAveragedReadings();
    void descriptionIsInMicroamps();
    void jsonCarriesEveryFigureExactly();
    void jsonStaysJsonOnFuzzedInputs();
    void refusesInputThatIsNoPoint_data();
    void refusesInputThatIsNoPoint();
};

void TestPointQuality::assessesTheAveragedReadings_data() {
    QTest::addColumn<QList<double>>("settling");
    QTest::addColumn<QList<double>>("averaged");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("sd");
    QTest::addColumn<double>("cv");
    QTest::addColumn<double>("drift");
    QTest::addColumn<double>("settlingPercent");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QString>("verdict");

    QList<double> alternating;
    QList<double> rising; // 200 units a second from 1360 at 1.8 s
    for (int i = 0; i < 12; ++i) {
        alternating << (i % 2 ? 1100.0 : 900.0);
        rising << 1360.0 + 10 * i;
    }
    QTest::newRow("constant") << QList<double>{1000, 1000} << repeated(1000, 12) << 20.0 << 1 << 12 << 1000.0
                              << 0.0 << 0.0 << 0.0 << 0.0 << QStringList{} << u"steady"_s;
    QTest::newRow("settling peak") << QList<double>{600, 1300, 1150} << repeated(1000, 12) << 20.0 << 1 << 12
                                   << 1000.0 << 0.0 << 0.0 << 0.0 << 30.0 << QStringList{} << u"steady"_s;
    QTest::newRow("noisy") << QList<double>{1000} << alternating << 20.0 << 1 << 12 << 1000.0
                           << 104.44659357341871 << 10.44465935734187 << 8.391608391608392 << 0.0
                           << QStringList{} << u"noisy"_s;
    QTest::newRow("drifting") << QList<double>{1300} << rising << 20.0 << 1 << 12 << 1415.0
                              << 36.05551275463989 << 2.548092774179498 << 14.134275618374557
                              << -8.12720848056537 << QStringList{} << u"drifting"_s;
    QTest::newRow("saturated before too few")
        << QList<double>{4000} << repeated(4000, 7) + QList<double>{4095} << 20.0 << 1 << 8 << 4011.875
        << 33.58757210636101 << 0.837203853718299 << 3.946616814664797 << -0.29599626109985977
        << QStringList{u"saturated"_s, u"tooFew"_s} << u"saturated"_s;
    QTest::newRow("near the floor") << QList<double>{35} << repeated(35, 12) << 20.0 << 1 << 12 << 35.0 << 0.0
                                    << 0.0 << 0.0 << 0.0 << QStringList{u"nearFloor"_s} << u"nearFloor"_s;
    QTest::newRow("just above the floor") << QList<double>{40} << repeated(40, 12) << 20.0 << 1 << 12 << 40.0
                                          << 0.0 << 0.0 << 0.0 << 0.0 << QStringList{} << u"steady"_s;
    QTest::newRow("short") << QList<double>{1000} << repeated(1000, 5) << 20.0 << 1 << 5 << 1000.0 << 0.0
                           << 0.0 << 0.0 << 0.0 << QStringList{u"tooFew"_s} << u"tooFew"_s;
    QTest::newRow("retried, no settling")
        << QList<double>{} << repeated(1000, 12) << 20.0 << 3 << 12 << 1000.0 << 0.0 << 0.0 << 0.0 << 0.0
        << QStringList{u"retried"_s} << u"steady"_s;
    QTest::newRow("one sample") << QList<double>{} << QList<double>{1000} << 20.0 << 1 << 1 << 1000.0 << 0.0
                                << 0.0 << 0.0 << 0.0 << QStringList{u"tooFew"_s} << u"tooFew"_s;
}

void TestPointQuality::assessesTheAveragedReadings() {
    QFETCH(QList<double>, settling);
    QFETCH(QList<double>, averaged);
    QFETCH(double, threshold);
    QFETCH(int, attempts);
    const std::vector<QualitySample> samples = point(settling, averaged);
    const PointQuality q = assessPoint(samples, threshold, attempts);
    QTEST(q.samples, "n");
    const auto near = [](double actual, double expected) { return std::abs(actual - expected) <= 1e-9; };
    QFETCH(double, mean);
    QFETCH(double, sd);
    QFETCH(double, cv);
    QFETCH(double, drift);
    QFETCH(double, settlingPercent);
    QVERIFY2(near(q.mean, mean), qPrintable(QString::number(q.mean, 'g', 17)));
    QVERIFY2(near(q.sd, sd), qPrintable(QString::number(q.sd, 'g', 17)));
    QVERIFY2(near(q.cvPercent, cv), qPrintable(QString::number(q.cvPercent, 'g', 17)));
    QVERIFY2(near(q.driftPercentPerSecond, drift),
             qPrintable(QString::number(q.driftPercentPerSecond, 'g', 17)));
    QVERIFY2(near(q.settlingPercent, settlingPercent),
             qPrintable(QString::number(q.settlingPercent, 'g', 17)));
    QTEST(flagWords(q.flags), "flags");
    QTEST(verdictWord(q.verdict), "verdict");
    QCOMPARE(verdictFromWord(verdictWord(q.verdict)), q.verdict);
}

// The operator reads uA, not the probe's raw units: a 47 uA point does not say "平均: 944.4".
void TestPointQuality::descriptionIsInMicroamps() {
    const QString text = qualityDescription(PointQuality{.mean = 944.4, .sd = 20.1}, 47.0);
    QVERIFY2(text.contains(u"平均: 47.0 uA\n标准差: 1.0 uA"_s), qPrintable(text));
}

void TestPointQuality::jsonCarriesEveryFigureExactly() {
    const QByteArray in = R"({"threshold": 20, "attempts": 2, "samples": [[0, 1300, 1], [1800, 900, 4],
        [1850.5, 1100, 4], [1900, 950, 4], [1950, 1075, 5]]})";
    QString error;
    const std::optional<QualityInput> input = parseQualityInput(in, &error);
    QVERIFY2(input, qPrintable(error));
    const PointQuality q = assessPoint(input->samples, input->threshold, input->attempts);
    const QJsonObject out = QJsonDocument::fromJson(qualityJson(q)).object();
    QCOMPARE(out.value("samples"_L1).toInt(), 4);
    QCOMPARE(out.value("mean"_L1).toDouble(), q.mean);
    QCOMPARE(out.value("sd"_L1).toDouble(), q.sd);
    QCOMPARE(out.value("cvPercent"_L1).toDouble(), q.cvPercent);
    QCOMPARE(out.value("driftPercentPerSecond"_L1).toDouble(), q.driftPercentPerSecond);
    QCOMPARE(out.value("settlingPercent"_L1).toDouble(), q.settlingPercent);
    QCOMPARE(out.value("flags"_L1).toArray(), (QJsonArray{u"tooFew"_s, u"retried"_s}));
    QCOMPARE(out.value("verdict"_L1).toString(), u"tooFew"_s);
}

// Each input the fuzzer kept (readings near a double's limit spread beyond it): the answer
// stays one JSON object, such a figure null.
void TestPointQuality::jsonStaysJsonOnFuzzedInputs() {
    const QDir kept(QStringLiteral(ORLU_FUZZ_DIR) + u"/regressions/quality"_s);
    const QFileInfoList files = kept.entryInfoList(QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QFileInfo &file : files) {
        QFile in(file.filePath());
        QVERIFY(in.open(QIODevice::ReadOnly));
        QString error;
        const std::optional<QualityInput> input = parseQualityInput(in.readAll(), &error);
        QVERIFY2(input, qPrintable(error));
        const QJsonDocument out = QJsonDocument::fromJson(
            qualityJson(assessPoint(input->samples, input->threshold, input->attempts)));
        QVERIFY2(out.isObject() && out.object().value("verdict"_L1).isString(), qPrintable(file.fileName()));
    }
}

void TestPointQuality::refusesInputThatIsNoPoint_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");
    QTest::newRow("not JSON") << QByteArray("{\"threshold\": ") << u"not JSON"_s;
    QTest::newRow("an array") << QByteArray("[]") << u"one JSON object"_s;
    QTest::newRow("no threshold") << QByteArray(R"({"samples": []})") << u"\"threshold\""_s;
    QTest::newRow("attempts 0") << QByteArray(R"({"threshold": 20, "attempts": 0, "samples": []})")
                                << u"\"attempts\""_s;
    QTest::newRow("samples not an array")
        << QByteArray(R"({"threshold": 20, "samples": 3})") << u"\"samples\""_s;
    QTest::newRow("a pair") << QByteArray(R"({"threshold": 20, "samples": [[0, 1000, 1], [10, 1000]]})")
                            << u"sample 2"_s;
    QTest::newRow("tick 2.5") << QByteArray(R"({"threshold": 20, "samples": [[0, 1000, 2.5]]})")
                              << u"sample 1"_s;
    QTest::newRow("reading text") << QByteArray(R"({"threshold": 20, "samples": [[0, "1000", 1]]})")
                                  << u"sample 1"_s;
}

void TestPointQuality::refusesInputThatIsNoPoint() {
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!parseQualityInput(json, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestPointQuality)
#include "test_pointquality.moc"
