#include "test_analysiswindow_fixture.h"

#include "analysis/textstore.h"
#include "analysis/ui/analysistextpage.h"
#include "analysis/ui/analysiswidgets.h"
#include "charts/chartcatalogue.h"
#include "widgets/needlegauge.h"

#include <QLabel>
#include <QTableWidget>
#include <QToolButton>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

QString storedText(const AnalysisFixture &fx, int key, TextColumn column) {
    return ReferenceTextStore(fx.textDb.handle()).text(key, column);
}

QString label(const AnalysisFixture &fx, const QString &name) {
    return fx.child<QLabel>(name)->text();
}

} // namespace

class TestAnalysisWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_files.build()); }

    void normalMeasurementShowsOnlyStateRows();
    void abnormalMeridiansFillTheThreeLists();
    void selectingARowMirrorsItsMeridian_data();
    void selectingARowMirrorsItsMeridian();
    void stateRowLeavesTheOtherListsAlone();
    void reopeningReturnsToPageAndChart();
    void exactlyOneChartButtonIsPressed();
    void multiMeridianListOnlyOnTextPages_data();
    void multiMeridianListOnlyOnTextPages();
    void multiMeridianCourseFillsTheTextPages();
    void singleRowEndsTheMultiMeridianChoice();
    void birthDateAndAgeFromDay4000_data();
    void birthDateAndAgeFromDay4000();
    void energyPageShowsTheIndicators();
    void valueGridShowsPlainReadings();
    void pairPageShowsEachPair();
    void pagesShowEveryTextUncut_data();
    void pagesShowEveryTextUncut();

private:
    SharedFiles m_files;
};

void TestAnalysisWindow::normalMeasurementShowsOnlyStateRows() {
    AnalysisFixture fx(m_files);
    fx.open();
    QCOMPARE(AnalysisFixture::rows(fx.list(u"differentiationList"_s)),
             QStringList({u"   身体能量状况"_s, u"   精神压力状态"_s, u"   肌肉骨骼系统"_s,
                          u"   机体新陈代谢"_s, u"   自律神经功能"_s}));
    QCOMPARE(fx.list(u"dietList"_s)->count(), 0);
    QCOMPARE(fx.list(u"prescriptionList"_s)->count(), 0);
    QCOMPARE(fx.text(u"dietText"_s), QString());
    QCOMPARE(fx.text(u"prescriptionText"_s), QString());
    // The body-energy state row is chosen and its normal-verdict text shown.
    QCOMPARE(fx.selectedRow(u"differentiationList"_s), 0);
    QCOMPARE(fx.text(u"differentiationText"_s),
             storedText(fx, 13, TextColumn::DtMA1) + u"\n\n"_s + storedText(fx, 13, TextColumn::DtMA2));
    QVERIFY(!storedText(fx, 13, TextColumn::DtMA1).isEmpty());
    QCOMPARE(fx.text(u"ryodorakuText"_s), QString());
    QVERIFY(fx.prompter.asked().isEmpty());
}

void TestAnalysisWindow::abnormalMeridiansFillTheThreeLists() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.open();
    const QStringList diff = AnalysisFixture::rows(fx.list(u"differentiationList"_s));
    QCOMPARE(diff.size(), 8);
    QCOMPARE(diff.mid(5), QStringList({u"【肺经异常辩证】"_s, u"【肝经异常辩证】"_s, u"【胃经异常辩证】"_s}));
    QCOMPARE(AnalysisFixture::rows(fx.list(u"dietList"_s)),
             QStringList({u"【肺经异常食疗】"_s, u"【肝经异常食疗】"_s, u"【胃经异常食疗】"_s}));
    QCOMPARE(AnalysisFixture::rows(fx.list(u"prescriptionList"_s)),
             QStringList({u"【肺经异常】"_s, u"【胃经异常】"_s}));
    // Opening shows row 0 of each list.
    QCOMPARE(fx.selectedRow(u"dietList"_s), 0);
    QCOMPARE(fx.selectedRow(u"prescriptionList"_s), 0);
    QVERIFY(fx.text(u"dietText"_s).startsWith(storedText(fx, 1, TextColumn::DtMA3)));
    QVERIFY(fx.text(u"prescriptionText"_s).startsWith(storedText(fx, 1, TextColumn::DtMH3)));
}

void TestAnalysisWindow::selectingARowMirrorsItsMeridian_data() {
    QTest::addColumn<QString>("listName");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("differentiationRow");
    QTest::addColumn<int>("dietRow");
    QTest::addColumn<int>("prescriptionRow");

    QTest::newRow("first diet row") << u"dietList"_s << 0 << 5 << 0 << 0;
    // The liver's grades differ in sign: it has no prescription row.
    QTest::newRow("diet row without prescription") << u"dietList"_s << 1 << 6 << 1 << -1;
    // Position 2 does not exist in the prescription list; the stomach is its row 1.
    QTest::newRow("diet row of the same meridian") << u"dietList"_s << 2 << 7 << 2 << 1;
    QTest::newRow("prescription row") << u"prescriptionList"_s << 1 << 7 << 2 << 1;
    QTest::newRow("differentiation row") << u"differentiationList"_s << 6 << 6 << 1 << -1;
}

void TestAnalysisWindow::selectingARowMirrorsItsMeridian() {
    QFETCH(QString, listName);
    QFETCH(int, row);
    QFETCH(int, differentiationRow);
    QFETCH(int, dietRow);
    QFETCH(int, prescriptionRow);
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.open();
    fx.showPage(3);
    fx.clickRow(listName, row);

    QCOMPARE(fx.selectedRow(u"differentiationList"_s), differentiationRow);
    QCOMPARE(fx.selectedRow(u"dietList"_s), dietRow);
    QCOMPARE(fx.selectedRow(u"prescriptionList"_s), prescriptionRow);
    const int meridian =
        fx.list(u"differentiationList"_s)->item(differentiationRow)->data(RowKeyRole).toInt();
    QVERIFY(fx.text(u"differentiationText"_s)
                .startsWith(fx.list(u"differentiationList"_s)->item(differentiationRow)->text()));
    QVERIFY(fx.text(u"dietText"_s).startsWith(storedText(fx, meridian, TextColumn::DtMA3)));
    QCOMPARE(fx.text(u"prescriptionText"_s).isEmpty(), prescriptionRow < 0);
}

void TestAnalysisWindow::stateRowLeavesTheOtherListsAlone() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.open();
    fx.clickRow(u"dietList"_s, 2);
    const QString dietText = fx.text(u"dietText"_s);
    fx.clickRow(u"differentiationList"_s, 3);
    QCOMPARE(fx.selectedRow(u"differentiationList"_s), 3);
    QCOMPARE(fx.selectedRow(u"dietList"_s), 2);
    QCOMPARE(fx.selectedRow(u"prescriptionList"_s), 1);
    QCOMPARE(fx.text(u"dietText"_s), dietText);
    QVERIFY(fx.text(u"differentiationText"_s).startsWith(storedText(fx, 16, TextColumn::DtMA1)));
}

void TestAnalysisWindow::reopeningReturnsToPageAndChart() {
    AnalysisFixture fx(m_files);
    fx.open();
    QCOMPARE(fx.tabs()->currentIndex(), 0);
    QVERIFY(fx.child<QToolButton>(u"chartButton1"_s)->isChecked());
    fx.showPage(1);
    fx.click(u"chartButton5"_s);
    QCOMPARE(label(fx, u"statusText"_s), chartEntry(5)->explanation);
    fx.reopen();
    QCOMPARE(fx.tabs()->currentIndex(), 1);
    QVERIFY(fx.child<QToolButton>(u"chartButton5"_s)->isChecked());
    QVERIFY(!fx.child<QToolButton>(u"chartButton1"_s)->isChecked());
    QCOMPARE(fx.view.chart, 5);

    fx.showPage(7);
    fx.reopen();
    QCOMPARE(fx.tabs()->currentIndex(), 7);
    QCOMPARE(label(fx, u"statusText"_s), AnalysisWindow::pageStatusText(7));
}

void TestAnalysisWindow::exactlyOneChartButtonIsPressed() {
    AnalysisFixture fx(m_files);
    fx.open();
    fx.showPage(1);
    for (int chart : {8, 9, 3, 3, 2}) {
        fx.click(u"chartButton"_s + QString::number(chart));
        for (int n = 1; n <= 9; ++n)
            QCOMPARE(fx.child<QToolButton>(u"chartButton"_s + QString::number(n))->isChecked(), n == chart);
    }
    QVERIFY(fx.child<QToolButton>(u"chartButton7"_s)->isHidden());
    QCOMPARE(fx.child<QLabel>(u"chartTitleLabel"_s)->text(), chartEntry(2)->title);
    // A remembered radar chart has no drawing: the first chart is shown instead.
    fx.view.chart = 7;
    fx.reopen();
    QVERIFY(fx.child<QToolButton>(u"chartButton1"_s)->isChecked());
}

void TestAnalysisWindow::multiMeridianListOnlyOnTextPages_data() {
    QTest::addColumn<int>("page");
    for (int page = 0; page < AnalysisWindow::PageCount; ++page)
        QTest::addRow("page %d", page) << page;
}

void TestAnalysisWindow::multiMeridianListOnlyOnTextPages() {
    QFETCH(int, page);
    AnalysisFixture fx(m_files);
    fx.open();
    fx.showPage(page == 0 ? 4 : 0);
    fx.showPage(page);
    QCOMPARE(fx.list(u"multiMeridianList"_s)->isVisible(), page >= 3 && page <= 5);
    // On the chart page the chart's own line replaces the page's once the chart is drawn.
    if (page == 1)
        QTRY_COMPARE(label(fx, u"statusText"_s), chartEntry(1)->explanation);
    else
        QCOMPARE(label(fx, u"statusText"_s), AnalysisWindow::pageStatusText(page));
    QCOMPARE(label(fx, u"noticeText"_s), u"本功能所有数据仅供研究参考，身体不适仍应洽询专业医师。"_s);
    QCOMPARE(fx.tabs()->tabText(page), AnalysisWindow::pageCaption(page));
}

void TestAnalysisWindow::multiMeridianCourseFillsTheTextPages() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.open();
    fx.showPage(4);
    QVERIFY(!fx.child<QToolButton>(u"medicineButton1"_s)->isEnabled());
    QCOMPARE(AnalysisFixture::rows(fx.list(u"multiMeridianList"_s)),
             QStringList({u"肺经实证调理"_s, u"体能保养"_s}));
    QCOMPARE(fx.selectedRow(u"multiMeridianList"_s), -1);

    fx.clickRow(u"multiMeridianList"_s, 0);
    QVERIFY(fx.window->isMultiItemSelected());
    QCOMPARE(fx.text(u"differentiationText"_s), u"肺经说明第一行\n第二行"_s);
    QCOMPARE(fx.text(u"ryodorakuText"_s), QString());
    QCOMPARE(fx.text(u"prescriptionText"_s), u"针灸一"_s);
    QCOMPARE(fx.text(u"dietText"_s), u"营养素一"_s);
    for (const QString &list : {u"differentiationList"_s, u"dietList"_s, u"prescriptionList"_s})
        QCOMPARE(fx.selectedRow(list), -1);
    QVERIFY(fx.child<QToolButton>(u"medicineButton1"_s)->isChecked());
    QVERIFY(fx.child<QToolButton>(u"medicineButton2"_s)->isEnabled());
    QVERIFY(fx.child<QToolButton>(u"medicineButton3"_s)->isHidden());

    fx.click(u"medicineButton2"_s);
    QCOMPARE(fx.text(u"prescriptionText"_s), u"汉方二"_s);
    QVERIFY(!fx.child<QToolButton>(u"medicineButton1"_s)->isChecked());
    fx.showPage(5);
    fx.click(u"healthButton4"_s);
    QCOMPARE(fx.text(u"dietText"_s), u"花草茶四"_s);
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(fx.child<QToolButton>(u"healthButton"_s + QString::number(k))->isChecked(), k == 4);
}

void TestAnalysisWindow::singleRowEndsTheMultiMeridianChoice() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.open();
    fx.showPage(5);
    fx.clickRow(u"multiMeridianList"_s, 1);
    QVERIFY(fx.child<QToolButton>(u"healthButton2"_s)->isEnabled());
    fx.clickRow(u"dietList"_s, 0);
    QVERIFY(!fx.window->isMultiItemSelected());
    QCOMPARE(fx.selectedRow(u"multiMeridianList"_s), -1);
    QVERIFY(!fx.child<QToolButton>(u"healthButton2"_s)->isEnabled());
    // Page changes keep the tool buttons in step with the choice.
    fx.showPage(4);
    QVERIFY(!fx.child<QToolButton>(u"medicineButton1"_s)->isEnabled());
}

void TestAnalysisWindow::birthDateAndAgeFromDay4000_data() {
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<bool>("shown");
    QTest::newRow("1910-12-12") << QDate(1910, 12, 12) << false;
    QTest::newRow("1910-12-13, day 4000") << QDate(1910, 12, 13) << true;
    QTest::newRow("recent") << QDate(1980, 6, 30) << true;
    QTest::newRow("none") << QDate() << false;
}

void TestAnalysisWindow::birthDateAndAgeFromDay4000() {
    QFETCH(QDate, birth);
    QFETCH(bool, shown);
    AnalysisFixture fx(m_files);
    fx.measurement.subject.birthDate = birth.isValid() ? QDate(1899, 12, 30).daysTo(birth) : 0;
    fx.open();
    QCOMPARE(label(fx, u"birthDateLabel"_s).isEmpty(), !shown);
    QCOMPARE(label(fx, u"ageLabel"_s),
             shown ? QString::number(Today.year() - birth.year()).rightJustified(3, u' ') : QString());
}

void TestAnalysisWindow::energyPageShowsTheIndicators() {
    AnalysisFixture fx(m_files);
    fx.measurement.subject.male = false;
    fx.measurement.highPotential = true;
    fx.open();
    const AnalysisResult &r = fx.window->result();
    QCOMPARE(label(fx, u"numberLabel"_s), u"A0001"_s);
    QCOMPARE(label(fx, u"sexLabel"_s), u"女  性"_s);
    QCOMPARE(label(fx, u"potentialLabel"_s), u"高电位 (扩大)"_s);
    QCOMPARE(fx.child<QLabel>(u"potentialLabel"_s)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(label(fx, u"stateSumLabel0"_s), u"12经络平均能量="_s);
    QCOMPARE(label(fx, u"stateValueLabel0"_s), u"50.00"_s);
    QCOMPARE(label(fx, u"stateRangeLabel0"_s), u"(26 - 58)"_s);
    QCOMPARE(label(fx, u"stateVerdictLabel0"_s), u"体能及元气状态正常"_s);
    const std::array<int, 5> ranges{180, 20, 20, 20, 40};
    for (int i = 0; i < 5; ++i) {
        auto *gauge = fx.child<NeedleGauge>(u"stateGauge"_s + QString::number(i));
        QCOMPARE(gauge->maximum(), double(ranges[static_cast<std::size_t>(i)]));
        QCOMPARE(gauge->value(), double(r.states[static_cast<std::size_t>(i)].gauge.value()));
        QCOMPARE(label(fx, u"stateSumLabel"_s + QString::number(i)),
                 r.states[static_cast<std::size_t>(i)].sumText);
    }
    QCOMPARE(fx.child<NeedleGauge>(u"stateGauge1"_s)->value(), 10.0);
    for (int i = 0; i < 5; ++i) {
        auto *gauge = fx.child<NeedleGauge>(u"elementGauge"_s + QString::number(i));
        QCOMPARE(gauge->maximum(), 150.0);
        QCOMPARE(gauge->value(), 50.0);
        QCOMPARE(gauge->colour(), QColor(0, 128, 0));
    }
    QCOMPARE(label(fx, u"measureDateLabel"_s), QString());
    QCOMPARE(label(fx, u"measureTimeLabel"_s), QString());
}

void TestAnalysisWindow::valueGridShowsPlainReadings() {
    AnalysisFixture fx(m_files);
    std::array<double, 24> readings = threeAbnormalMeridians();
    readings[13] = 0.0;    // channel 14, left liver: not measured
    readings[18] = 123.45; // channel 19, right spleen
    fx.measurement.setAllValues(readings);
    fx.measurement.measuredAt = 46000.75;
    fx.open();
    auto *grid = fx.child<QTableWidget>(u"valueGrid"_s);
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->columnCount(), 13);
    QCOMPARE(grid->item(0, 1)->text(), u"肺　经"_s);
    QCOMPARE(grid->item(0, 12)->text(), u"胃　经"_s);
    QCOMPARE(grid->item(2, 0)->text(), u"右　侧"_s);
    // Plain readings, not the corrected values the analysis uses.
    QCOMPARE(grid->item(1, 1)->text(), QString::asprintf("%4.1f", readings[0]));
    QCOMPARE(grid->item(2, 7)->text(), u"123.5"_s);
    QCOMPARE(grid->item(1, 8)->text(), QString());
    QVERIFY(!label(fx, u"measureDateLabel"_s).isEmpty());
    QVERIFY(!label(fx, u"measureTimeLabel"_s).isEmpty());
}

void TestAnalysisWindow::pairPageShowsEachPair() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(readingsFor({{1, 130}, {7, 130}, {6, 5}, {12, 5}}));
    fx.open();
    const AnalysisResult &r = fx.window->result();
    for (int i = 0; i < 6; ++i) {
        const PairBalance &p = r.pairs[static_cast<std::size_t>(i)];
        QCOMPARE(label(fx, u"pairDifferenceLabel"_s + QString::number(i)), p.differenceText);
        QCOMPARE(label(fx, u"pairTextLabel"_s + QString::number(i)), p.text);
        QCOMPARE(label(fx, u"pairYinMeanLabel"_s + QString::number(i)), p.yinMeanText);
        auto *gauge = fx.child<NeedleGauge>(u"pairGauge"_s + QString::number(i));
        QCOMPARE(gauge->maximum(), 100.0);
        QCOMPARE(gauge->value(), double(p.gauge));
        QCOMPARE(gauge->colour(), toQColor(p.colour));
    }
    QCOMPARE(label(fx, u"pairTextLabel0"_s), u"表里不平衡"_s);
    QCOMPARE(fx.child<NeedleGauge>(u"pairGauge0"_s)->colour(), QColor(255, 0, 0));
}

void TestAnalysisWindow::pagesShowEveryTextUncut_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("chart");
    for (int page = 0; page < AnalysisWindow::PageCount; ++page) {
        if (page != 1)
            QTest::addRow("page %d", page) << page << 1;
    }
    for (int chart : {1, 2, 8, 5, 6, 9, 3, 4})
        QTest::addRow("chart %d", chart) << 1 << chart;
}

// Every label, button and gauge on a page is as large as its content needs
// and lies inside the widget that holds it, so nothing is cut off. ORLU_SCREENSHOTS names a folder for
// pictures of the pages.
void TestAnalysisWindow::pagesShowEveryTextUncut() {
    QFETCH(int, page);
    QFETCH(int, chart);
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.measurement.subject.birthDate = 29000;
    fx.measurement.subject.telephone = u"02-2345-6789"_s;
    fx.measurement.measuredAt = 46000.6;
    fx.view.page = page;
    fx.view.chart = chart;
    fx.addUserCourse(u"肺经疗程"_s, false, u"000002"_s);
    fx.open();
    if (page == 3)
        fx.clickRow(u"differentiationList"_s, 5);
    QVERIFY(QTest::qWaitForWindowExposed(fx.window.get()));
    const QWidget *shown = fx.tabs()->currentWidget();
    const QRect inside = fx.window->rect();
    for (QWidget *w : fx.window->findChildren<QWidget *>()) {
        if (!w->isVisible() || !(qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) ||
                                 qobject_cast<NeedleGauge *>(w)))
            continue;
        if (w != fx.child<QWidget>(u"closeButton"_s) && !shown->isAncestorOf(w) &&
            w->parentWidget()->objectName() != u"statusBar"_s)
            continue;
        const QString what = w->objectName() + u" "_s + w->property("text").toString();
        // A gauge draws to whatever size it is given.
        const QSize need = qobject_cast<NeedleGauge *>(w) ? w->minimumSizeHint() : w->sizeHint();
        QVERIFY2(w->width() >= need.width() && w->height() >= need.height() - 2, qPrintable(what));
        QVERIFY2(inside.contains(QRect(w->mapTo(fx.window.get(), QPoint(0, 0)), w->size())),
                 qPrintable(what));
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(what));
    }
    const QString folder = qEnvironmentVariable("ORLU_SCREENSHOTS");
    if (!folder.isEmpty())
        fx.window->grab().save(folder + u"/analysis-page%1-chart%2.png"_s.arg(page).arg(chart));
}

QTEST_MAIN(TestAnalysisWindow)
#include "test_analysiswindow.moc"
