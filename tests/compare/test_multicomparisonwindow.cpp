// The multi-record comparison window, driven through its widgets.
#include "charts/recordingsurface.h"
#include "compare/ui/comparisonchartarea.h"
#include "compare/ui/multicomparisonwindow.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"

#include <QLabel>
#include <QListWidget>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

ComparisonEntry entry(int k, double reading, bool high = false) {
    std::array<double, 24> readings;
    readings.fill(reading);
    return ComparisonEntry::fromReadings(k, u"N%1"_s.arg(k), u"受测者%1"_s.arg(k), 46000.5 + k, high,
                                         readings);
}

QString detail(QWidget *w, const char *row) {
    return child<QLabel>(child(w, "detailBlock"), row)->text();
}

void clickRow(QWidget *w, int row) {
    auto *list = child<QListWidget>(w, "recordList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

const ComparisonChart &chartOf(QWidget *w) {
    return child<ComparisonChartArea>(w, "chartArea")->chart();
}

} // namespace

class TestMultiComparisonWindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        set = ComparisonSet();
        printed.clear();
        prompter.clear();
    }
    void anEmptySetShowsNothing();
    void listsTheEntriesAndTheHidingRow();
    void aRecordRowShowsItsDetailsAndBand();
    void theSetSurvivesClosingAndReopening();
    void printsEveryEntryAndTheChosenBand();

private:
    ComparisonSet set;
    QList<ComparisonPrintout> printed;
    ScriptedPrompter prompter;
    ComparisonPrinting printing() {
        return {[this](const ComparisonPrintout &p, QWidget *) {
                    printed.append(p);
                    return QString();
                },
                {},
                &prompter};
    }
    QStringList rows(QWidget *w) {
        QStringList texts;
        auto *list = child<QListWidget>(w, "recordList");
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->item(i)->text());
        return texts;
    }
};

void TestMultiComparisonWindow::anEmptySetShowsNothing() {
    MultiComparisonWindow w(set, {}, printing());
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"多重能量比对"_s);
    QVERIFY(rows(&w).isEmpty());
    QCOMPARE(child<QLabel>(&w, "statusText")->text(), u"请按 [加载数据] 键更改欲比对数据。"_s);
    QVERIFY(chartOf(&w).curves.isEmpty());
    // Nothing to print: said so, instead of a blank report.
    click(&w, "printButton");
    QVERIFY(printed.isEmpty());
    QCOMPARE(prompter.texts(), QStringList{emptyComparisonMessage()});
}

void TestMultiComparisonWindow::listsTheEntriesAndTheHidingRow() {
    set.add(entry(1, 40));
    set.add(entry(2, 50));
    MultiComparisonWindow w(set, {}, printing());
    QVERIFY(showAndActivate(&w));
    QCOMPARE(rows(&w), (QStringList{u"1.  受测者1"_s, u"2.  受测者2"_s, u"[隐藏生理界线]"_s}));
    QCOMPARE(child<QLabel>(&w, "statusText")->text(),
             u"请至 [受测者资料] 中点选以绘出生理界线及查阅相关资料."_s);
    QCOMPARE(chartOf(&w).curves.size(), 2);
    QVERIFY(!chartOf(&w).band);
}

void TestMultiComparisonWindow::aRecordRowShowsItsDetailsAndBand() {
    set.add(entry(1, 40, true));
    set.add(entry(2, 50));
    MultiComparisonWindow w(set, {}, printing());
    QVERIFY(showAndActivate(&w));
    clickRow(&w, 1);
    // All plain readings 50: the energy level is the corrected mean, not 50.
    QCOMPARE(detail(&w, "numberValue"), u"N2"_s);
    QCOMPARE(detail(&w, "energyValue"), u"   50.6"_s);
    QCOMPARE(detail(&w, "potentialValue"), u"标准"_s);
    QCOMPARE(chartOf(&w).band, std::optional<int>(1));
    clickRow(&w, 0);
    QCOMPARE(detail(&w, "potentialValue"), u"高电位"_s);
    QCOMPARE(chartOf(&w).band, std::optional<int>(0));
    clickRow(&w, 2); // "[隐藏生理界线]"
    QCOMPARE(detail(&w, "numberValue"), QString());
    QCOMPARE(detail(&w, "energyValue"), QString());
    QVERIFY(!chartOf(&w).band);
}

void TestMultiComparisonWindow::theSetSurvivesClosingAndReopening() {
    int selections = 0;
    auto selection = [this, &selections](QWidget *parent) {
        ++selections;
        QVERIFY(!parent->isVisible());
        set.add(entry(10 + selections, 30));
    };
    {
        set.add(entry(1, 40));
        MultiComparisonWindow w(set, selection, printing());
        QVERIFY(showAndActivate(&w));
        clickRow(&w, 0);
        click(&w, "loadButton");
        QVERIFY(w.isVisible());
        // Shown again: the list is rebuilt and nothing is picked.
        QCOMPARE(rows(&w).size(), 3);
        QVERIFY(!w.selectedEntry());
        QCOMPARE(detail(&w, "numberValue"), QString());
        click(&w, "leaveButton");
    }
    MultiComparisonWindow again(set, selection, printing());
    QVERIFY(showAndActivate(&again));
    QCOMPARE(rows(&again), (QStringList{u"1.  受测者1"_s, u"2.  受测者11"_s, u"[隐藏生理界线]"_s}));
    QCOMPARE(chartOf(&again).curves.size(), 2);
    QVERIFY(!chartOf(&again).band);
    QCOMPARE(detail(&again, "nameValue"), QString());
}

void TestMultiComparisonWindow::printsEveryEntryAndTheChosenBand() {
    for (int k = 1; k <= 6; ++k)
        set.add(entry(k, 10.0 * k));
    MultiComparisonWindow w(set, {}, printing());
    QVERIFY(showAndActivate(&w));
    click(&w, "printButton");
    QCOMPARE(printed.size(), 1);
    QCOMPARE(printed[0].kind, ComparisonKind::MultiRecord);
    QCOMPARE(printed[0].records.size(), 6);
    QVERIFY(!printed[0].chart.band);

    clickRow(&w, 3);
    click(&w, "printButton");
    QCOMPARE(printed[1].records[3].subjectName, u"受测者4"_s);
    QCOMPARE(printed[1].chart.band, std::optional<int>(3));
    RecordingSurface paper;
    drawComparisonChart(paper, ComparisonFrame::printed(600, 3000, BandOwnerMark::RedNumber),
                        printed[1].chart);
    QVERIFY(paper.findText(u"[ 4]:"_s));
    QVERIFY(paper.findText(u" 6:"_s));
}

QTEST_MAIN(TestMultiComparisonWindow)
#include "test_multicomparisonwindow.moc"
