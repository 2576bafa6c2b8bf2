#include "quality/pointquality.h"
#include "quality/pointqualityjson.h"
#include "quality/verdicts.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// A point as its loop sees it: `settling` readings at tick 1 from contact on,
// then `averaged` readings at tick 4, 62.5 ms apart from 2 s on (times that seconds
// hold exactly, so a slope can lie exactly on its threshold).
std::vector<QualitySample> point(const QList<double> &settling, const QList<double> &averaged) {
    std::vector<QualitySample> samples;
    for (qsizetype i = 0; i < settling.size(); ++i)
        samples.push_back({20.0 * static_cast<double>(i), settling.at(i), 1});
    samples.push_back({1200, 999, 3}); // neither settling nor averaged
    for (qsizetype i = 0; i < averaged.size(); ++i)
        samples.push_back({2000 + 62.5 * static_cast<double>(i), averaged.at(i), 4});
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
    void unknownQualityIsSaidOnlyForAValue();
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
    QList<double> rising; // 200 units a second from 1360 at 2 s
    for (int i = 0; i < 12; ++i) {
        alternating << (i % 2 ? 1100.0 : 900.0);
        rising << 1360.0 + 12.5 * i;
    }
    // Eleven readings about 1000 whose spread or slope lies exactly on a threshold,
    // and just past it: sd 80 of a mean of 1000 is a CV of 8 %; 7.5 units a reading,
    // 120 a second, a drift of 12 %/s.
    const QList<double> spreadAt8{920, 1080, 1080, 920, 920, 1000, 1080, 1080, 920, 920, 1080};
    QList<double> spreadOver8 = spreadAt8;
    spreadOver8[0] = 919;
    QList<double> slopeAt12;
    QList<double> slopeOver12;
    for (int i = -5; i <= 5; ++i) {
        slopeAt12 << 1000 + 7.5 * i;
        slopeOver12 << 1000 + 7.51 * i;
    }
    QTest::newRow("constant") << QList<double>{1000, 1000} << repeated(1000, 12) << 20.0 << 1 << 12 << 1000.0
                              << 0.0 << 0.0 << 0.0 << 0.0 << QStringList{} << u"steady"_s;
    QTest::newRow("settling peak decides nothing")
        << QList<double>{600, 1300, 1150} << repeated(1000, 12) << 20.0 << 1 << 12 << 1000.0 << 0.0 << 0.0
        << 0.0 << 30.0 << QStringList{} << u"steady"_s;
    QTest::newRow("noisy") << QList<double>{1000} << alternating << 20.0 << 1 << 12 << 1000.0
                           << 104.44659357341871 << 10.44465935734187 << 6.713286713286713 << 0.0
                           << QStringList{} << u"noisy"_s;
    QTest::newRow("CV at 8 %: steady") << QList<double>{} << spreadAt8 << 20.0 << 1 << 11 << 1000.0 << 80.0
                                       << 8.0 << 2.3272727272727276 << 0.0 << QStringList{} << u"steady"_s;
    QTest::newRow("CV just over 8 %: noisy")
        << QList<double>{} << spreadOver8 << 20.0 << 1 << 11 << 999.9090909090909 << 80.10050504891282
        << 8.010778757505602 << 2.400218201654696 << 0.0 << QStringList{} << u"noisy"_s;
    QTest::newRow("drifting") << QList<double>{1300} << rising << 20.0 << 1 << 12 << 1428.75
                              << 45.069390943299865 << 3.154463058148722 << 13.99825021872266
                              << -9.011373578302711 << QStringList{} << u"drifting"_s;
    QTest::newRow("drift at 12 %/s: steady")
        << QList<double>{} << slopeAt12 << 20.0 << 1 << 11 << 1000.0 << 24.8746859276655 << 2.48746859276655
        << 12.0 << 0.0 << QStringList{} << u"steady"_s;
    QTest::newRow("drift just over 12 %/s: drifting")
        << QList<double>{} << slopeOver12 << 20.0 << 1 << 11 << 1000.0 << 24.907852175569023
        << 2.4907852175569025 << 12.015999999999986 << 0.0 << QStringList{} << u"drifting"_s;
    QTest::newRow("saturated before too few")
        << QList<double>{4000} << repeated(4000, 7) + QList<double>{4095} << 20.0 << 1 << 8 << 4011.875
        << 33.58757210636101 << 0.837203853718299 << 3.1572934517318383 << -0.29599626109985977
        << QStringList{u"saturated"_s, u"tooFew"_s} << u"saturated"_s;
    QTest::newRow("just under saturation")
        << QList<double>{} << repeated(4094, 12) << 20.0 << 1 << 12 << 4094.0 << 0.0 << 0.0 << 0.0 << 0.0
        << QStringList{} << u"steady"_s;
    QTest::newRow("near the floor") << QList<double>{35} << repeated(35, 12) << 20.0 << 1 << 12 << 35.0 << 0.0
                                    << 0.0 << 0.0 << 0.0 << QStringList{u"nearFloor"_s} << u"nearFloor"_s;
    QTest::newRow("just under 2 x T")
        << QList<double>{} << repeated(39.99, 12) << 20.0 << 1 << 12 << 39.99 << 0.0 << 0.0 << 0.0 << 0.0
        << QStringList{u"nearFloor"_s} << u"nearFloor"_s;
    QTest::newRow("at 2 x T") << QList<double>{40} << repeated(40, 12) << 20.0 << 1 << 12 << 40.0 << 0.0
                              << 0.0 << 0.0 << 0.0 << QStringList{} << u"steady"_s;
    QTest::newRow("short") << QList<double>{1000} << repeated(1000, 5) << 20.0 << 1 << 5 << 1000.0 << 0.0
                           << 0.0 << 0.0 << 0.0 << QStringList{u"tooFew"_s} << u"tooFew"_s;
    QTest::newRow("9 readings: too few")
        << QList<double>{} << repeated(1000, 9) << 20.0 << 1 << 9 << 1000.0 << 0.0 << 0.0 << 0.0 << 0.0
        << QStringList{u"tooFew"_s} << u"tooFew"_s;
    QTest::newRow("10 readings: enough") << QList<double>{} << repeated(1000, 10) << 20.0 << 1 << 10 << 1000.0
                                         << 0.0 << 0.0 << 0.0 << 0.0 << QStringList{} << u"steady"_s;
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

// A typed or imported value is not steady for want of figures: its quality is unknown.
void TestPointQuality::unknownQualityIsSaidOnlyForAValue() {
    QCOMPARE(qualityDescription(std::nullopt, 47.0), u"读数质量: —"_s);
    QCOMPARE(qualityDescription(std::nullopt, 0.0), QString());
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
