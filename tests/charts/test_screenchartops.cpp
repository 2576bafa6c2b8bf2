// The screen charts draw exactly what they drew before the printed forms came to
// share their drawing functions: every operation of every chart is compared with
// a recording kept beside this test.
#include "chartfixtures.h"

#include "charts/charts.h"
#include "charts/recordingsurface.h"

#include <QFile>
#include <QTest>

using namespace orlu;
using namespace orlu::testing;
using namespace Qt::StringLiterals;

namespace {

std::array<double, 24> readingsOf(const QString &set) {
    // The readings the recordings were made from (see data/screenops).
    static const QMap<QString, std::array<double, 24>> sets{
        {u"A"_s,
         {42, 55, 61, 38, 47, 50, 44, 58, 66, 35, 49, 52, 30, 72, 45, 51, 40, 60, 33, 75, 48, 55, 41, 62}},
        {u"B"_s,
         {50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50}},
        {u"C"_s,
         {5, 160, 20, 140, 10, 150, 180, 2, 90, 3, 120, 60, 0, 170, 15, 130, 8, 110, 175, 1, 100, 4, 95, 50}},
    };
    return sets.value(set);
}

} // namespace

class TestScreenChartOps : public QObject {
    Q_OBJECT

private slots:
    void unchanged_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("male");
        for (const QString &set : {u"A"_s, u"B"_s, u"C"_s}) {
            for (int n : offeredCharts())
                QTest::addRow("%s-%d", qPrintable(set), n) << set << n << true;
        }
        QTest::newRow("A-6-female") << u"A"_s << 6 << false;
    }

    void unchanged() {
        QFETCH(QString, set);
        QFETCH(int, selection);
        QFETCH(bool, male);
        const QString name = u"%1-%2%3.jsonl"_s.arg(set).arg(selection).arg(male ? u""_s : u"-female"_s);
        QFile file(qEnvironmentVariable("ORLU_TEST_DATA") + u"/data/screenops/"_s + name);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QList<QByteArray> expected = file.readAll().split('\n');

        const RecordingSurface rec = recordChart(selection, analysedReadings(readingsOf(set), male));
        const QList<QByteArray> actual = opsToJsonLines(rec.ops()).split('\n');
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype i = 0; i < actual.size(); ++i)
            QCOMPARE(actual[i], expected[i]);
    }
};

QTEST_MAIN(TestScreenChartOps)
#include "test_screenchartops.moc"
