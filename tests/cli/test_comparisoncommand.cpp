// "orlu-cli compare-chart": the multi-record comparison chart drawn headlessly.
#include "charts/recordingsurface.h"
#include "cli/comparisoncommand.h"
#include "compare/comparisoncurves.h"
#include "support/commandrun.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QStringList record(double value = 50, int count = 24) {
    QStringList r{u"--record"_s};
    for (int i = 0; i < count; ++i)
        r.append(QString::number(value + i));
    return r;
}

using Run = test::CommandRun;

Run run(const QStringList &args) {
    return test::runCommand(runCompareChartCommand, args);
}

} // namespace

class TestComparisonCommand : public QObject {
    Q_OBJECT

private slots:
    void badArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no record") << QStringList{u"--band"_s, u"1"_s} << u"at least one --record"_s;
        QTest::newRow("23 values") << record(50, 23) << u"record 1: expected 24 corrected values, got 23"_s;
        QTest::newRow("25 values") << record(50, 25) << u"expected 24 corrected values, got 25"_s;
        QTest::newRow("empty record") << QStringList{u"--record"_s} << u"record"_s;
        QTest::newRow("not a number") << (record() + QStringList{u"--record"_s, u"x"_s}) << u"record 2"_s;
        QTest::newRow("negative") << (QStringList{u"--record"_s, u"-1"_s} + record().mid(2))
                                  << u"not a number of 0"_s;
        QTest::newRow("seven records")
            << (record() + record() + record() + record() + record() + record() + record())
            << u"at most 6 records, got 7"_s;
        QTest::newRow("band 0") << (record() + QStringList{u"--band"_s, u"0"_s})
                                << u"--band must name a record"_s;
        QTest::newRow("band beyond") << (record() + record() + QStringList{u"--band"_s, u"3"_s})
                                     << u"1 to 2, not \"3\""_s;
        QTest::newRow("bad size") << (record() + QStringList{u"--size"_s, u"600"_s}) << u"--size must be"_s;
        QTest::newRow("tiny size") << (record() + QStringList{u"--size"_s, u"20x20"_s})
                                   << u"--size must be"_s;
        QTest::newRow("unknown option") << (record() + QStringList{u"--colour"_s}) << u"colour"_s;
        QTest::newRow("stray argument") << (QStringList{u"7"_s} + record()) << u"unexpected argument \"7\""_s;
        QTest::newRow("mono without pdf")
            << (record() + QStringList{u"--mono"_s}) << u"--mono is the print mode of --pdf"_s;
    }
    void badArguments() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = run(args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.err.contains(u"usage: orlu-cli compare-chart"_s));
    }

    void opsAreTheChartsOperations_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("band");
        QTest::addColumn<QSize>("size");
        QTest::newRow("one record") << record() << 1 << -1 << QSize(600, 417);
        QTest::newRow("three, band 2, larger")
            << (record(10) + record(40) + record(90) +
                QStringList{u"--band"_s, u"2"_s, u"--size"_s, u"800x500"_s})
            << 3 << 1 << QSize(800, 500);
        // One value list instead of 24 arguments.
        QStringList listed{u"--record"_s, record().mid(1).join(u',')};
        QTest::newRow("values as one list")
            << (listed + QStringList{u"--band=1"_s}) << 1 << 0 << QSize(600, 417);
    }
    void opsAreTheChartsOperations() {
        QFETCH(QStringList, args);
        QFETCH(int, records);
        QFETCH(int, band);
        QFETCH(QSize, size);
        const Run r = run(args);
        QCOMPARE(r.status, 0);

        const QList<double> starts{50, 10, 40, 90};
        QList<ComparisonEntry> entries;
        for (int k = 0; k < records; ++k) {
            ComparisonEntry e;
            const double first = records == 1 ? 50 : starts[k + 1];
            double sum = 0;
            for (int c = 0; c < 24; ++c) {
                e.corrected[static_cast<std::size_t>(c)] = first + c;
                sum += first + c;
            }
            e.energyLevel = sum / 24;
            entries.append(e);
        }
        RecordingSurface expected;
        drawComparisonChart(expected, ComparisonFrame::screen(size.width(), size.height()),
                            multiRecordChart(entries, band >= 0 ? std::optional(band) : std::nullopt));
        QCOMPARE(r.out, QString::fromUtf8(opsToJsonLines(expected.ops())));
    }

    void writesThePrintedChartAsPdf() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"chart.pdf"_s);
        const Run r = run(record() + record(90) + QStringList{u"--pdf"_s, pdf, u"--mono"_s});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
    }

    void writesThePngAndTheOpsFile() {
        QTemporaryDir dir;
        const QString png = dir.filePath(u"chart.png"_s);
        const QString ops = dir.filePath(u"chart.jsonl"_s);
        const Run r = run(record() + QStringList{u"--png"_s, png, u"--ops"_s, ops});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QImage(png).size(), QSize(600, 417));
        QFile file(ops);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(
            file.readAll().startsWith("{\"op\": \"line\", \"x1\": 30, \"y1\": 0, \"x2\": 30, \"y2\": 387"));
    }

    void unwritableFileFails() {
        const Run r = run(record() + QStringList{u"--png"_s, u"/nonexistent-folder/chart.png"_s});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(u"cannot write /nonexistent-folder/chart.png"_s));
    }
};

QTEST_MAIN(TestComparisonCommand)
#include "test_comparisoncommand.moc"
