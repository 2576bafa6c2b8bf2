// The chart selections: titles, explanation lines, the hidden radar chart.
#include "chartfixtures.h"

#include "charts/chartcatalogue.h"
#include "charts/charts.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;

class TestChartCatalogue : public QObject {
    Q_OBJECT

private slots:
    void entries_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("explanation");
        const QString energy = u"【平均体能】为基准中线的数据,每一受测者均不相同."_s;
        QTest::newRow("1") << 1 << u"经络虚实长条图"_s << u"经络虚实分析图-长条"_s << energy;
        QTest::newRow("2") << 2 << u"经络虚实曲线图"_s << u"经络虚实分析图-曲线"_s << energy;
        QTest::newRow("3") << 3 << u"阴阳分析图"_s << u"经络阴阳分析图"_s
                           << u"本图为比较阴脏与阳腑间的气血平衡状态，两点之间差距越小越好."_s;
        QTest::newRow("4") << 4 << u"气血分析图"_s << u"经络气血分析图"_s
                           << u"本图为比较身体左侧与右侧表里经络的气血平衡状态，两点之间差距越小越好."_s;
        QTest::newRow("5") << 5 << u"五行相生分析图"_s << u"经络五行相生分析图"_s
                           << u"本图为比较身体十二经络之五行相生能量状态."_s;
        QTest::newRow("6") << 6 << u"五行相克分析图"_s << u"经络五行相克分析图"_s
                           << u"本图为比较身体十二经络之五行相克能量状态."_s;
        QTest::newRow("7") << 7 << u"经络能量雷达图"_s << QString() << QString();
        QTest::newRow("8") << 8 << u"良导络分析图"_s << u"良导络分析图"_s << energy;
        QTest::newRow("9") << 9 << u"自律神经分析图"_s << u"自律神经平衡图"_s
                           << u"本图为比较身体三阴三阳气血平衡状态."_s;
    }

    void entries() {
        QFETCH(int, selection);
        QFETCH(QString, hint);
        QFETCH(QString, title);
        QFETCH(QString, explanation);
        const ChartEntry *entry = chartEntry(selection);
        QVERIFY(entry);
        QCOMPARE(entry->selection, selection);
        QCOMPARE(entry->hint, hint);
        QCOMPARE(entry->title, title);
        QCOMPARE(entry->printOption, title);
        QCOMPARE(entry->explanation, explanation);
        QCOMPARE(entry->offered, selection != 7);
        QCOMPARE(isOfferedChart(selection), selection != 7);
        QCOMPARE(offeredCharts().contains(selection), selection != 7);
    }

    // Every offered chart draws; the radar chart and unknown numbers draw nothing.
    void drawsOnlyOfferedCharts_data() {
        QTest::addColumn<int>("selection");
        for (int selection : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -1})
            QTest::newRow(qPrintable(QString::number(selection))) << selection;
    }

    void drawsOnlyOfferedCharts() {
        QFETCH(int, selection);
        RecordingSurface rec;
        const bool drawn = drawChart(selection, rec, uniformResult(50));
        QCOMPARE(drawn, isOfferedChart(selection));
        QCOMPARE(rec.ops().isEmpty(), !drawn);
        QVERIFY(chartEntry(selection) || !drawn);
    }

    // Drawing reads the result and leaves it as it was.
    void drawingLeavesTheResultUnchanged() {
        std::array<double, 24> w{};
        for (int c = 0; c < 24; ++c)
            w[static_cast<std::size_t>(c)] = 20 + 5 * c;
        const AnalysisResult before = analyse(w, false);
        AnalysisResult r = before;
        for (int selection : offeredCharts()) {
            RecordingSurface rec;
            drawChart(selection, rec, r);
        }
        QCOMPARE(r.deviations, before.deviations);
        QCOMPARE(r.corrected, before.corrected);
        QCOMPARE(r.lowestGroup, before.lowestGroup);
    }
};

QTEST_MAIN(TestChartCatalogue)
#include "test_chartcatalogue.moc"
