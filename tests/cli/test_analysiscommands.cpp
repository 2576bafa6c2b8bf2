#include "cli/commandtable.h"
#include "analysis/referencetextbuilder.h"
#include "core/channels.h"
#include "support/temphome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QStringList &args) {
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = runCommand(args, out, err);
    return r;
}

QStringList repeated(const QString &value, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << value;
    return l;
}

QJsonObject analyseJson(const QStringList &args) {
    const Run r = run(QStringList{u"analyse"_s} + args);
    if (r.status != 0)
        return {};
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}

} // namespace

class TestAnalysisCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void badArguments_data();
    void badArguments();
    void analyseOutput();
    void analyseFullPrecision();
    void analyseSex();
    void analyseUndefinedRatio();
    void scrambleAndDescramble();
    void texts_data();
    void texts();
    void help();

private:
    test::TempHome m_home;
};

void TestAnalysisCommands::initTestCase() {
    QString error;
    QVERIFY2(buildReferenceTextDatabase(m_home.file(u"orluCn.mdb"_s), shippedReferenceTextSource(), &error),
             qPrintable(error));
}

void TestAnalysisCommands::badArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("analyse without readings") << QStringList{u"analyse"_s};
    QTest::newRow("analyse 23 readings") << QStringList{u"analyse"_s} + repeated(u"50"_s, 23);
    QTest::newRow("analyse 25 readings") << QStringList{u"analyse"_s} + repeated(u"50"_s, 25);
    QTest::newRow("analyse not a number")
        << QStringList{u"analyse"_s} + repeated(u"50"_s, 23) + QStringList{u"5O"_s};
    QTest::newRow("analyse nan") << QStringList{u"analyse"_s} + repeated(u"50"_s, 23) + QStringList{u"nan"_s};
    QTest::newRow("analyse inf") << QStringList{u"analyse"_s} + repeated(u"50"_s, 23) + QStringList{u"inf"_s};
    QTest::newRow("analyse unknown option") << QStringList{u"analyse"_s, u"--fast"_s} + repeated(u"50"_s, 24);
    QTest::newRow("analyse bad sex") << QStringList{u"analyse"_s, u"--sex"_s, u"m"_s} + repeated(u"50"_s, 24);
    QTest::newRow("analyse sex without value")
        << QStringList{u"analyse"_s} + repeated(u"50"_s, 24) + QStringList{u"--sex"_s};
    QTest::newRow("descramble without text") << QStringList{u"descramble"_s};
    QTest::newRow("descramble not hex") << QStringList{u"descramble"_s, u"41zz"_s};
    QTest::newRow("descramble too short") << QStringList{u"descramble"_s, u"411"_s};
    QTest::newRow("scramble without text") << QStringList{u"scramble"_s};
    QTest::newRow("scramble two texts") << QStringList{u"scramble"_s, u"a"_s, u"b"_s};
    QTest::newRow("scramble seed too big") << QStringList{u"scramble"_s, u"肺"_s, u"--seed"_s, u"256"_s};
    QTest::newRow("scramble seed not a number") << QStringList{u"scramble"_s, u"肺"_s, u"--seed"_s, u"x"_s};
    QTest::newRow("scramble outside GBK") << QStringList{u"scramble"_s, u"😀"_s};
    QTest::newRow("texts without key") << QStringList{u"texts"_s};
    QTest::newRow("texts key not a number") << QStringList{u"texts"_s, u"--key"_s, u"lung"_s};
    QTest::newRow("texts unknown option") << QStringList{u"texts"_s, u"--key"_s, u"1"_s, u"--all"_s};
    QTest::newRow("unknown command") << QStringList{u"analyze"_s};
}

void TestAnalysisCommands::badArguments() {
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
}

void TestAnalysisCommands::analyseOutput() {
    const QJsonObject o = analyseJson(repeated(u"50"_s, 24));
    QVERIFY(!o.isEmpty());
    for (const char *key : {"corrected",     "groups",          "yinSum",        "yangSum",
                            "upperSum",      "lowerSum",        "leftSum",       "rightSum",
                            "bodyEnergy",    "bandScale",       "excessLimits",  "deficiencyLimits",
                            "deviations",    "channelGrades",   "meridianMeans", "elementMeans",
                            "elementGrades", "highestGroup",    "lowestGroup",   "ratios",
                            "verdicts",      "verdictTexts",    "pairs",         "differentiationList",
                            "dietList",      "prescriptionList"})
        QVERIFY2(o.contains(QLatin1StringView(key)), key);
    QCOMPARE(o[u"corrected"_s].toArray().size(), 24);
    QCOMPARE(o[u"groups"_s].toArray().size(), 8);
    QCOMPARE(o[u"excessLimits"_s].toArray().size(), 2);
    QCOMPARE(o[u"meridianMeans"_s].toArray().size(), 12);
    QCOMPARE(o[u"elementGrades"_s].toArray().size(), 5);
    QCOMPARE(o[u"sex"_s].toString(), u"male"_s);
    const QJsonArray pairs = o[u"pairs"_s].toArray();
    QCOMPARE(pairs.size(), 6);
    QCOMPARE(pairs[0].toObject()[u"text"_s].toString(), u"正常"_s);
    // LR-GB: both meridians carry the factor 1.2424, so their means agree exactly.
    QCOMPARE(pairs[4].toObject()[u"difference"_s].toDouble(), 0.0);
    const QJsonArray list = o[u"differentiationList"_s].toArray();
    QCOMPARE(list.size(), 5);
    QCOMPARE(list[0].toObject()[u"caption"_s].toString(), u"   身体能量状况"_s);
    QCOMPARE(list[4].toObject()[u"key"_s].toInt(), 17);
    QCOMPARE(o[u"verdictTexts"_s].toObject()[u"bodyEnergy"_s].toString(), u"体能及元气状态正常"_s);
}

void TestAnalysisCommands::analyseFullPrecision() {
    QStringList readings = repeated(u"50"_s, 24);
    readings[0] = u"100"_s;
    readings[13] = u"37.3"_s;
    const QJsonObject o = analyseJson(readings);
    const QJsonArray w = o[u"corrected"_s].toArray();
    // Exact equality: the printed digits must read back to the same double.
    QVERIFY(w[0].toDouble() == correctedValue(1, 100.0));
    QVERIFY(w[13].toDouble() == correctedValue(14, 37.3));
    const Run r = run(QStringList{u"analyse"_s} + readings);
    QVERIFY(r.out.contains(QString::number(correctedValue(14, 37.3), 'g', 17)));
}

void TestAnalysisCommands::analyseSex() {
    // Readings of 58.5 give a body energy of about 59.2: normal for a man, high for a woman.
    const QJsonObject male = analyseJson(repeated(u"58.5"_s, 24));
    const QJsonObject female = analyseJson(QStringList{u"--sex"_s, u"female"_s} + repeated(u"58.5"_s, 24));
    QCOMPARE(male[u"verdicts"_s].toObject()[u"bodyEnergy"_s].toInt(), 0);
    QCOMPARE(female[u"verdicts"_s].toObject()[u"bodyEnergy"_s].toInt(), 1);
    QCOMPARE(female[u"sex"_s].toString(), u"female"_s);
    // The option may come after the readings, too.
    const QJsonObject late = analyseJson(repeated(u"58.5"_s, 24) + QStringList{u"--sex"_s, u"female"_s});
    QCOMPARE(late[u"verdicts"_s].toObject()[u"bodyEnergy"_s].toInt(), 1);
}

void TestAnalysisCommands::analyseUndefinedRatio() {
    // No foot channel measured: lower sum 0.
    const QStringList readings = repeated(u"40"_s, 12) + repeated(u"0"_s, 12);
    const QJsonObject o = analyseJson(readings);
    QVERIFY(!o.isEmpty());
    QVERIFY(o[u"ratios"_s].toObject()[u"spirit"_s].isNull());
    QVERIFY(o[u"verdicts"_s].toObject()[u"spirit"_s].isNull());
    QVERIFY(o[u"verdictTexts"_s].toObject()[u"spirit"_s].isNull());
    QVERIFY(o[u"ratios"_s].toObject()[u"musculoskeletal"_s].isDouble());
    QVERIFY(o[u"verdicts"_s].toObject()[u"autonomic"_s].isDouble());
}

void TestAnalysisCommands::scrambleAndDescramble() {
    const Run s = run({u"scramble"_s, u"【肺经异常辩证】咳嗽"_s, u"--seed"_s, u"0x41"_s});
    QCOMPARE(s.status, 0);
    const QString stored = s.out.trimmed();
    QVERIFY(stored.startsWith(u"41"_s));
    const Run d = run({u"descramble"_s, stored.toLower()});
    QCOMPARE(d.status, 0);
    QCOMPARE(d.out, u"【肺经异常辩证】咳嗽\n"_s);
    QCOMPARE(run({u"scramble"_s, u"肺"_s}).out.left(2), u"00"_s);
}

void TestAnalysisCommands::texts_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("contains");
    const QString home = m_home.path();
    QTest::newRow("meridian record") << QStringList{u"--home"_s, home, u"--key"_s, u"1"_s} << 0
                                     << u"[DtPot1] 测 定 点:\n太渊 LU9"_s;
    QTest::newRow("diagram reported") << QStringList{u"--key"_s, u"12"_s, u"--home"_s, home} << 0 << u"PNG"_s;
    QTest::newRow("state record, program folder from the environment")
        << QStringList{u"--key"_s, u"13"_s} << 0 << u"[DtML1]\n您的身体能量低于正常范围"_s;
    QTest::newRow("no such record") << QStringList{u"--home"_s, home, u"--key"_s, u"18"_s} << 1 << QString();
    QTest::newRow("no database") << QStringList{u"--home"_s, home + u"nowhere"_s, u"--key"_s, u"1"_s} << 1
                                 << QString();
}

void TestAnalysisCommands::texts() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, contains);
    const Run r = run(QStringList{u"texts"_s} + args);
    QCOMPARE(r.status, status);
    if (status == 0) {
        QVERIFY2(r.out.contains(contains), qPrintable(r.out.left(300)));
        QVERIFY(r.err.isEmpty());
    } else {
        QVERIFY(!r.err.isEmpty());
    }
}

void TestAnalysisCommands::help() {
    QString help;
    QTextStream out(&help);
    printHelp(out);
    out.flush();
    for (const char *command : {"analyse", "descramble", "scramble", "texts"}) {
        QVERIFY(help.contains(u"orlu-cli "_s + QLatin1StringView(command)));
        QVERIFY(findCommand(QLatin1StringView(command)));
    }
}

QTEST_GUILESS_MAIN(TestAnalysisCommands)
#include "test_analysiscommands.moc"
