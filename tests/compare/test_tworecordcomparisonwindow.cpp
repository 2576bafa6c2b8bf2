// The two-record comparison window, driven through its widgets.
#include "analysis/analysis.h"
#include "charts/recordingsurface.h"
#include "compare/ui/comparisonchartarea.h"
#include "compare/ui/tworecordcomparisonwindow.h"
#include "core/numberformat.h"
#include "recordfixture.h"
#include "records/ui/readingwindow.h"
#include "support/windowdriver.h"

#include <QLabel>
#include <QTableView>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

ComparisonRecord storedRecord(double plain) {
    ComparisonRecord r;
    r.subjectNumber = u"B002"_s;
    r.subjectName = u"李四"_s;
    r.measuredAt = 46100.5;
    r.highPotential = true;
    r.corrected = correctedValues([plain] {
        std::array<double, 24> a;
        a.fill(plain);
        return a;
    }());
    r.average = plain;
    r.loaded = true;
    return r;
}

QString value(QWidget *w, const char *block, const char *row) {
    return child<QLabel>(child(w, block), row)->text();
}

} // namespace

class TestTwoRecordComparisonWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void opensWithTheCurrentMeasurementOnly();
    void printingAtOnceShowsOneRecordAndNoBand();
    void loadingFillsSlotTwo();
    void leavingTheReadingWindowChangesNothing();
    void bandButtonsMoveTheBand_data();
    void bandButtonsMoveTheBand();
    void loadsThroughTheReadingWindow();
    void changeIsLaterMinusEarlier_data();
    void changeIsLaterMinusEarlier();

private:
    CurrentMeasurement current;
    QList<ComparisonPrintout> printed;
    ComparisonPrinting printing() {
        return {[this](const ComparisonPrintout &p, QWidget *) {
                    printed.append(p);
                    return QString();
                },
                {}};
    }
    // A loader that hands `record` over, checking that the window hides meanwhile.
    TwoRecordComparisonWindow::ComparisonLoader loader(const ComparisonRecord &record,
                                                       bool *wasHidden = nullptr) {
        return [record, wasHidden](ComparisonRecord &out, QWidget *parent) {
            if (wasHidden)
                *wasHidden = !parent->isVisible();
            out = record;
        };
    }
};

void TestTwoRecordComparisonWindow::init() {
    current = CurrentMeasurement();
    current.subject.number = u"A001"_s;
    current.subject.name = u"王小明"_s;
    std::array<double, 24> values;
    values.fill(50);
    values[0] = 74; // plain mean 51.00, corrected mean lower
    current.setAllValues(values);
    current.measuredAt = 46000.25;
    printed.clear();
}

void TestTwoRecordComparisonWindow::opensWithTheCurrentMeasurementOnly() {
    TwoRecordComparisonWindow w(current, {}, printing());
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"能量比对"_s);
    QCOMPARE(value(&w, "originalBlock", "numberValue"), u"A001"_s);
    QCOMPARE(value(&w, "originalBlock", "nameValue"), u"王小明"_s);
    QCOMPARE(value(&w, "originalBlock", "energyValue"), u"51.00"_s); // the plain readings' mean
    QCOMPARE(value(&w, "originalBlock", "potentialValue"), u"标准电位"_s);
    QCOMPARE(value(&w, "comparisonBlock", "numberValue"), QString());
    QCOMPARE(value(&w, "comparisonBlock", "energyValue"), QString());
    QVERIFY(child<QToolButton>(&w, "hideBandButton")->isChecked());
    QVERIFY(!child<QToolButton>(&w, "comparisonBandButton")->isEnabled());
    QCOMPARE(child<QLabel>(&w, "statusText")->text(), u"请按 [加载数据] 键更改欲比对数据。"_s);
    const ComparisonChart &chart = child<ComparisonChartArea>(&w, "chartArea")->chart();
    QCOMPARE(chart.curves.size(), 1);
    QVERIFY(!chart.band);
}

void TestTwoRecordComparisonWindow::printingAtOnceShowsOneRecordAndNoBand() {
    TwoRecordComparisonWindow w(current, {}, printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "printButton");
    QCOMPARE(printed.size(), 1);
    const ComparisonPrintout &p = printed.front();
    QCOMPARE(p.kind, ComparisonKind::TwoRecord);
    QCOMPARE(p.records.size(), 1);
    QCOMPARE(p.records[0].energyLevel, 51.0);
    QCOMPARE(p.chart.curves.size(), 1);
    QVERIFY(!p.chart.band);
    RecordingSurface paper;
    drawComparisonChart(paper, ComparisonFrame::printed(600, 3000, BandOwnerMark::CrossBefore), p.chart);
    QVERIFY(!paper.findText(u"XX"_s));
    QVERIFY(!paper.findText(u" 2:"_s));
}

void TestTwoRecordComparisonWindow::loadingFillsSlotTwo() {
    bool wasHidden = false;
    TwoRecordComparisonWindow w(current, loader(storedRecord(80), &wasHidden), printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "originalBandButton");
    click(&w, "loadButton");
    QVERIFY(wasHidden);
    QVERIFY(w.isVisible());
    QCOMPARE(value(&w, "comparisonBlock", "numberValue"), u"B002"_s);
    QCOMPARE(value(&w, "comparisonBlock", "energyValue"), u"80.00"_s);
    QCOMPARE(value(&w, "comparisonBlock", "potentialValue"), u"高电位"_s);
    QVERIFY(child<QToolButton>(&w, "comparisonBandButton")->isEnabled());
    // Loading releases the band buttons back to "隐  藏".
    QVERIFY(child<QToolButton>(&w, "hideBandButton")->isChecked());
    QVERIFY(!child<QToolButton>(&w, "originalBandButton")->isChecked());
    const ComparisonChart &chart = child<ComparisonChartArea>(&w, "chartArea")->chart();
    QCOMPARE(chart.curves.size(), 2);
    QVERIFY(!chart.band);
}

void TestTwoRecordComparisonWindow::leavingTheReadingWindowChangesNothing() {
    ComparisonRecord notLoaded = storedRecord(80);
    notLoaded.loaded = false;
    TwoRecordComparisonWindow w(current, loader(notLoaded), printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "loadButton");
    QVERIFY(!w.comparison());
    QCOMPARE(value(&w, "comparisonBlock", "numberValue"), QString());
    QVERIFY(!child<QToolButton>(&w, "comparisonBandButton")->isEnabled());
    QCOMPARE(child<ComparisonChartArea>(&w, "chartArea")->chart().curves.size(), 1);
}

void TestTwoRecordComparisonWindow::bandButtonsMoveTheBand_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("owner"); // -1: no band
    QTest::newRow("原始资料") << u"originalBandButton"_s << 0;
    QTest::newRow("比对数据") << u"comparisonBandButton"_s << 1;
    QTest::newRow("隐  藏") << u"hideBandButton"_s << -1;
}
void TestTwoRecordComparisonWindow::bandButtonsMoveTheBand() {
    QFETCH(QString, button);
    QFETCH(int, owner);
    TwoRecordComparisonWindow w(current, loader(storedRecord(80)), printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "loadButton");
    click(&w, "originalBandButton");
    click(&w, qPrintable(button));
    QVERIFY(child<QToolButton>(&w, qPrintable(button))->isChecked());
    const ComparisonChart &chart = child<ComparisonChartArea>(&w, "chartArea")->chart();
    QCOMPARE(chart.band.value_or(-1), owner);
    if (owner >= 0)
        QCOMPARE(chart.curves[owner].energyLevel, owner == 0 ? 51.0 : 80.0);

    // The printout carries the same band, with the legend places of paper.
    click(&w, "printButton");
    QCOMPARE(printed.back().chart.band.value_or(-1), owner);
    QCOMPARE(printed.back().chart.curves[1].legendSlot, 6);
    QCOMPARE(printed.back().records.size(), 2);
}

void TestTwoRecordComparisonWindow::loadsThroughTheReadingWindow() {
    RecordFixture f;
    f.addSubject(u"A001"_s, u"王小明"_s);
    f.addMeasurement(u"A001"_s, 46000.25, 20.0, true);
    f.current = current;
    auto readThrough = [&f](ComparisonRecord &record, QWidget *parent) {
        ReadingWindow reading(f.context, ReadingWindow::Caller::ComparisonWindow, &record, {}, {}, parent);
        onNextModal(parent, [](QWidget *window) {
            clickCell(child<QTableView>(window, "measurementList"), 0, 1);
            click(window, "loadButton");
        });
        reading.exec();
    };
    TwoRecordComparisonWindow w(current, readThrough, printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "loadButton");
    QVERIFY(w.comparison());
    QCOMPARE(value(&w, "comparisonBlock", "nameValue"), u"王小明"_s);
    QCOMPARE(value(&w, "comparisonBlock", "energyValue"), u"21.25"_s); // 20 + 0.1 .. 2.4
    QCOMPARE(w.comparison()->corrected[0], 20.1 * 0.8541);
}

void TestTwoRecordComparisonWindow::changeIsLaterMinusEarlier_data() {
    QTest::addColumn<double>("currentAt");
    QTest::addColumn<bool>("currentIsLater");
    QTest::newRow("loaded one taken later") << 46000.25 << false;
    QTest::newRow("loaded one taken earlier") << 46200.0 << true;
}

// The change once flipped sign with the loading order and used another body energy than
// the one shown beside it, the analysis's and the trend's.
void TestTwoRecordComparisonWindow::changeIsLaterMinusEarlier() {
    QFETCH(double, currentAt);
    QFETCH(bool, currentIsLater);
    current.measuredAt = currentAt;
    const ComparisonRecord stored = storedRecord(80);
    TwoRecordComparisonWindow w(current, loader(stored), printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "loadButton");
    QString earlier = u"1.原始资料: "_s + formatFixed(analyse(current.corrected, true).bodyEnergy, 1, 2);
    QString later = u"2.比对数据: "_s + formatFixed(analyse(stored.corrected, true).bodyEnergy, 1, 2);
    if (currentIsLater)
        std::swap(earlier, later);
    // The change is the later value shown less the earlier one.
    const double change = later.section(u' ', 1).toDouble() - earlier.section(u' ', 1).toDouble();
    const QString changeLine = u"变化: "_s + (change >= 0 ? u"+"_s : QString()) + formatFixed(change, 1, 2);
    const QString text = child<QLabel>(&w, "changesLabel")->text();
    for (const QString &line :
         QStringList{u"较早 "_s + earlier, u"较晚 "_s + later, changeLine, u"超出测量误差"_s})
        QVERIFY2(text.contains(line), qPrintable(text));
    QVERIFY(child<QLabel>(&w, "changesLabel")->toolTip().startsWith(u"MDC95 (最小可测变化)"_s));
    click(&w, "printButton"); // paper says the same
    QVERIFY2(printed.last().notes.value(0).contains(changeLine), qPrintable(printed.last().notes.value(0)));
}

QTEST_MAIN(TestTwoRecordComparisonWindow)
#include "test_tworecordcomparisonwindow.moc"
