// "orlu-cli chart": a chart for 24 plain readings as PNG and/or recorded operations.
#include "charts/chartfixtures.h"

#include "cli/chartcommand.h"
#include "charts/charts.h"
#include "support/commandrun.h"
#include "support/pipereader.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;

namespace {

QStringList readings(int count = 24, const QString &value = u"50"_s) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(value);
    return list;
}

using Run = test::CommandRun;

Run run(const QStringList &args) {
    return test::runCommand(runChartCommand, args);
}

} // namespace

class TestChartCommand : public QObject {
    Q_OBJECT

private slots:
    void badArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList() << u"missing chart number"_s;
        QTest::newRow("radar chart") << (QStringList{u"7"_s} + readings()) << u"chart 7 is not offered"_s;
        QTest::newRow("chart 0") << (QStringList{u"0"_s} + readings()) << u"chart number must be 1 to 9"_s;
        QTest::newRow("chart 10") << (QStringList{u"10"_s} + readings()) << u"chart number must be 1 to 9"_s;
        QTest::newRow("chart x") << (QStringList{u"x"_s} + readings()) << u"chart number must be 1 to 9"_s;
        QTest::newRow("23 readings") << (QStringList{u"1"_s} + readings(23))
                                     << u"expected 24 readings in uA, got 23"_s;
        QTest::newRow("25 readings") << (QStringList{u"1"_s} + readings(25))
                                     << u"expected 24 readings in uA, got 25"_s;
        QTest::newRow("negative") << (QStringList{u"1"_s} + readings(23) + QStringList{u"-1"_s})
                                  << u"reading 24"_s;
        QTest::newRow("not a number") << (QStringList{u"2"_s, u"abc"_s} + readings(23)) << u"reading 1"_s;
        QTest::newRow("nan") << (QStringList{u"2"_s, u"nan"_s} + readings(23)) << u"reading 1"_s;
        QTest::newRow("infinite") << (QStringList{u"2"_s, u"inf"_s} + readings(23)) << u"reading 1"_s;
        QTest::newRow("bad sex") << (QStringList{u"1"_s, u"--sex"_s, u"x"_s} + readings())
                                 << u"--sex must be"_s;
        QTest::newRow("png without file")
            << (QStringList{u"1"_s} + readings() + QStringList{u"--png"_s}) << u"--png needs a value"_s;
        QTest::newRow("unknown option")
            << (QStringList{u"1"_s, u"--svg"_s, u"a"_s} + readings()) << u"unknown option: --svg"_s;
        QTest::newRow("mono without pdf")
            << (QStringList{u"3"_s, u"--mono"_s} + readings()) << u"--mono is the print mode of --pdf"_s;
    }

    void badArguments() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = run(args);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.err.contains(u"usage: orlu-cli chart N"_s));
        QVERIFY(r.out.isEmpty());
    }

    // The operations file holds what the chart draws, one JSON object per line.
    void writesOperationsAndImage_data() {
        QTest::addColumn<int>("selection");
        for (int selection : offeredCharts())
            QTest::newRow(qPrintable(QString::number(selection))) << selection;
    }

    void writesOperationsAndImage() {
        QFETCH(int, selection);
        QTemporaryDir dir;
        const QString png = dir.filePath(u"chart.png"_s);
        const QString ops = dir.filePath(u"chart.jsonl"_s);
        QStringList values;
        for (int c = 1; c <= 24; ++c)
            values.append(QString::number(20 + 4 * c));
        const Run r = run(QStringList{QString::number(selection), u"--sex"_s, u"female"_s, u"--png"_s, png,
                                      u"--ops"_s, ops} +
                          values);
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());

        const QImage image(png);
        QCOMPARE(image.size(), QSize(757, 393));

        QFile file(ops);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        std::array<double, 24> readings{};
        for (int c = 0; c < 24; ++c)
            readings[static_cast<std::size_t>(c)] = 20 + 4 * (c + 1);
        RecordingSurface expected;
        drawChart(selection, expected, analysedReadings(readings, false));
        QCOMPARE(lines.size(), expected.ops().size() + 1); // ends with a newline
        for (qsizetype i = 0; i < expected.ops().size(); ++i)
            QCOMPARE(lines[i], opToJson(expected.ops()[i]));
        const QJsonObject first = QJsonDocument::fromJson(lines.first()).object();
        QCOMPARE(first.value(u"op"_s).toString(), u"line"_s);
        QCOMPARE(first.value(u"x1"_s).toInt(), 50);
        QCOMPARE(first.value(u"pen"_s).toObject().value(u"width"_s).toInt(), 3);
    }

    void operationsToStandardOutput_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("no output option") << QStringList();
        QTest::newRow("--ops -") << QStringList{u"--ops"_s, u"-"_s};
    }

    void operationsToStandardOutput() {
        QFETCH(QStringList, extra);
        const Run r = run(QStringList{u"8"_s} + extra + readings());
        QCOMPARE(r.status, 0);
        RecordingSurface expected;
        drawChart(8, expected,
                  analysedReadings(std::array<double, 24>{50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,
                                                          50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50}));
        QCOMPARE(r.out.toUtf8(), opsToJsonLines(expected.ops()));
    }

    // The printed form on an A4 page, here in single colour; nothing on standard output.
    void writesThePrintedChartAsPdf() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"chart.pdf"_s);
        const Run r = run(QStringList{u"8"_s, u"--pdf"_s, pdf, u"--mono"_s} + readings());
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
    }

    void unwritableFile() {
        const Run r = run(QStringList{u"1"_s, u"--png"_s, u"/nonexistent-folder/chart.png"_s} + readings());
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(u"cannot write /nonexistent-folder/chart.png"_s));
    }

    // A device or pipe named as the output is written, never replaced by a regular file.
    void specialFilesStayWhatTheyAre() {
        const Run r =
            run(QStringList{u"3"_s, u"--png"_s, u"/dev/null"_s, u"--ops"_s, u"/dev/null"_s} + readings());
        QCOMPARE(r.status, 0);
        QVERIFY(QFileInfo(u"/dev/null"_s).exists() && !QFileInfo(u"/dev/null"_s).isFile());
        QTemporaryDir dir;
        const QString pipe = dir.filePath(u"ops"_s);
        test::PipeReader reader(pipe);
        QVERIFY(reader.made());
        QCOMPARE(run(QStringList{u"3"_s, u"--ops"_s, pipe} + readings()).status, 0);
        QVERIFY(reader.finish());
        QVERIFY(reader.received().startsWith("{"));
        QVERIFY(!QFileInfo(pipe).isFile());
    }
};

QTEST_MAIN(TestChartCommand)
#include "test_chartcommand.moc"
