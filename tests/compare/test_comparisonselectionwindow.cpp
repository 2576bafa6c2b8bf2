// The selection window of the multi-record comparison, driven through its widgets.
#include "compare/ui/comparisonselectionwindow.h"
#include "core/daycount.h"
#include "records/ui/recordbrowser.h"
#include "recordfixture.h"
#include "support/windowdriver.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestComparisonSelectionWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void opensOnTheCurrentSubjectWithButtonsOff();
    void addsTheChosenMeasurement();
    void buttonsFollowTheList();
    void refusesTheSameMeasurementAlsoAfterResorting();
    void sixEntriesRefuseTheSeventh();
    void removingRenumbersTheRest_data();
    void removingRenumbersTheRest();
    void aSubjectWithoutMeasurementsAddsNothing();

private:
    std::unique_ptr<RecordFixture> f;
    ComparisonSet set;
    QTableView *subjects(QWidget *w) { return child<QTableView>(w, "subjectList"); }
    QTableView *measurements(QWidget *w) { return child<QTableView>(w, "measurementList"); }
    QTableWidget *grid(QWidget *w) { return child<QTableWidget>(w, "setGrid"); }
    bool enabled(QWidget *w, const char *button) { return child<QToolButton>(w, button)->isEnabled(); }
    QString gridText(QWidget *w, int row, int column) {
        const QTableWidgetItem *item = grid(w)->item(row, column);
        return item ? item->text() : QString();
    }
    QString currentNumber(QWidget *w) {
        return subjects(w)->currentIndex().siblingAtColumn(1).data().toString();
    }
    // Adds measurement `row` of the subject in subject row `subjectRow`.
    void add(QWidget *w, int subjectRow, int row) {
        clickCell(subjects(w), subjectRow, 1);
        clickCell(measurements(w), row, 1);
        click(w, "addButton");
    }
    void fillSet(int count) {
        for (int k = 1; k <= count; ++k) {
            std::array<double, 24> readings;
            readings.fill(10.0 * k);
            set.add(ComparisonEntry::fromReadings(1000 + k, u"X%1"_s.arg(k), u"预置%1"_s.arg(k), 46000 + k,
                                                  false, readings));
        }
    }
};

void TestComparisonSelectionWindow::init() {
    f = std::make_unique<RecordFixture>();
    set = ComparisonSet();
    f->addSubject(u"A001"_s, u"王小明"_s);
    f->addSubject(u"B002"_s, u"李四"_s);
    f->addSubject(u"C003"_s, u"张三"_s);
    f->addMeasurement(u"A001"_s, 46000.25, 10.0);
    f->addMeasurement(u"A001"_s, 46100.5, 30.0, true);
    f->addMeasurement(u"C003"_s, 46200.75, 50.0);
    f->current.subject = subjectOf(u"C003"_s, u"张三"_s);
}

void TestComparisonSelectionWindow::opensOnTheCurrentSubjectWithButtonsOff() {
    fillSet(2);
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"比对分析数据异动"_s);
    QVERIFY(!enabled(&w, "addButton"));
    QVERIFY(!enabled(&w, "removeButton"));
    QCOMPARE(currentNumber(&w), u"C003"_s);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     3  -  [ 1 ]"_s);
    QCOMPARE(subjects(&w)->model()->headerData(1, Qt::Horizontal).toString(), u"编  号"_s);
    QCOMPARE(grid(&w)->horizontalHeaderItem(3)->text(), u"   测量时间"_s);
    QCOMPARE(gridText(&w, 1, 0), u"2"_s);
    QCOMPARE(gridText(&w, 1, 2), u"预置2"_s);
    QCOMPARE(gridText(&w, 2, 1), QString());
    QCOMPARE(grid(&w)->currentRow(), 1);
}

void TestComparisonSelectionWindow::addsTheChosenMeasurement() {
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    add(&w, 0, 1); // A001's high-potential measurement
    QCOMPARE(set.size(), 1);
    const ComparisonEntry &e = set.entries().front();
    QCOMPARE(e.subjectNumber, u"A001"_s);
    QCOMPARE(e.subjectName, u"王小明"_s);
    QCOMPARE(e.measuredAt, 46100.5);
    QVERIFY(e.highPotential);
    QCOMPARE(e.corrected[0], 30.1 * 0.8541);
    QCOMPARE(gridText(&w, 0, 1), u"A001"_s);
    // The date comes with the time: two days' measurements at one hour differ.
    QCOMPARE(gridText(&w, 0, 3), shortDate(QDate(2026, 3, 19)) + u' ' + shortTime(QTime(12, 0)));
    QCOMPARE(grid(&w)->currentRow(), 0);

    // A double click on a measurement adds it as the button does.
    clickCell(subjects(&w), 2, 1);
    doubleClickCell(measurements(&w), 0, 1);
    QCOMPARE(set.size(), 2);
    QCOMPARE(set.entries()[1].subjectNumber, u"C003"_s);
    QCOMPARE(grid(&w)->currentRow(), 1);
    QVERIFY(f->prompter.asked().isEmpty());
}

void TestComparisonSelectionWindow::buttonsFollowTheList() {
    fillSet(2);
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    clickCell(measurements(&w), 0, 2);
    QVERIFY(enabled(&w, "addButton"));
    QVERIFY(!enabled(&w, "removeButton"));
    clickCell(grid(&w), 0, 1);
    QVERIFY(!enabled(&w, "addButton"));
    QVERIFY(enabled(&w, "removeButton"));
    // An empty row: nothing to remove, the selection goes back to the last entry.
    clickCell(grid(&w), 4, 1);
    QVERIFY(!enabled(&w, "removeButton"));
    QCOMPARE(grid(&w)->currentRow(), 1);
    clickCell(grid(&w), 1, 1);
    QVERIFY(enabled(&w, "removeButton"));
    clickCell(subjects(&w), 0, 1);
    QVERIFY(!enabled(&w, "addButton"));
    QVERIFY(!enabled(&w, "removeButton"));
    // A new sort turns both off.
    clickCell(measurements(&w), 0, 1);
    QVERIFY(enabled(&w, "addButton"));
    auto *direction = child<QComboBox>(&w, "directionBox");
    direction->setFocus();
    QTest::keyClick(direction, Qt::Key_Down);
    QCOMPARE(f->subjectOrder.code(), -1);
    QVERIFY(!enabled(&w, "addButton"));
    QVERIFY(!enabled(&w, "removeButton"));
}

void TestComparisonSelectionWindow::refusesTheSameMeasurementAlsoAfterResorting() {
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    add(&w, 0, 0); // A001, first measurement
    QCOMPARE(set.size(), 1);

    // By name in pinyin order 李 (li) < 王 (wang) < 张 (zhang): A001 moves to the second row.
    auto *column = child<QComboBox>(&w, "columnBox");
    column->setFocus();
    QTest::keyClick(column, Qt::Key_Down);
    QCOMPARE(f->subjectOrder.code(), 2);
    const int row = w.browser().subjectList().locateNumber(u"A001"_s);
    QCOMPARE(row, 1);
    add(&w, row, 0);
    QCOMPARE(set.size(), 1);
    QCOMPARE(f->prompter.asked().size(), 1);
    QCOMPARE(f->prompter.asked()[0].type, MessageType::NoteCaution);
    QCOMPARE(f->prompter.asked()[0].text, u"这笔数据已经选取! 请勿重复加载要比对的数据!!"_s);
    QCOMPARE(f->tones, QList<int>{1});

    // The other measurement of the same subject is another record.
    add(&w, row, 1);
    QCOMPARE(set.size(), 2);
}

void TestComparisonSelectionWindow::sixEntriesRefuseTheSeventh() {
    fillSet(6);
    const QList<ComparisonEntry> before = set.entries();
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    add(&w, 0, 0);
    QCOMPARE(set.size(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(set.entries()[i].measurementKey, before[i].measurementKey);
    QCOMPARE(f->prompter.texts(),
             QStringList{u"您已选取了超过 6 个比对数据,请先删除不需比对的数据后,再行选取!"_s});
    QCOMPARE(f->prompter.asked()[0].type, MessageType::NoteCaution);
    QCOMPARE(f->tones, QList<int>{1});
    QCOMPARE(gridText(&w, 5, 2), u"预置6"_s);
}

void TestComparisonSelectionWindow::removingRenumbersTheRest_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<bool>("removeEnabled");
    QTest::newRow("entry 2 of 4") << 4 << 1 << QStringList{u"预置1"_s, u"预置3"_s, u"预置4"_s} << 1 << true;
    QTest::newRow("the last of 4") << 4 << 3 << QStringList{u"预置1"_s, u"预置2"_s, u"预置3"_s} << 2 << true;
    QTest::newRow("the only one") << 1 << 0 << QStringList{} << 0 << false;
}
void TestComparisonSelectionWindow::removingRenumbersTheRest() {
    QFETCH(int, entries);
    QFETCH(int, row);
    QFETCH(QStringList, names);
    QFETCH(int, selectedAfter);
    QFETCH(bool, removeEnabled);
    fillSet(entries);
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    clickCell(grid(&w), row, 1);
    click(&w, "removeButton");
    QStringList left;
    for (const ComparisonEntry &e : set.entries())
        left.append(e.subjectName);
    QCOMPARE(left, names);
    for (int r = 0; r < ComparisonSet::Capacity; ++r) {
        QCOMPARE(gridText(&w, r, 0), r < names.size() ? QString::number(r + 1) : QString());
        QCOMPARE(gridText(&w, r, 2), names.value(r));
    }
    QCOMPARE(grid(&w)->currentRow(), selectedAfter);
    QCOMPARE(enabled(&w, "removeButton"), removeEnabled);
}

void TestComparisonSelectionWindow::aSubjectWithoutMeasurementsAddsNothing() {
    ComparisonSelectionWindow w(f->context, set);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 1, 1); // B002 has none
    QCOMPARE(measurements(&w)->model()->rowCount(), 0);
    measurements(&w)->setFocus();
    QVERIFY(!enabled(&w, "addButton"));
    QTest::mouseDClick(measurements(&w)->viewport(), Qt::LeftButton);
    QVERIFY(set.isEmpty());
    QVERIFY(f->prompter.asked().isEmpty());
}

QTEST_MAIN(TestComparisonSelectionWindow)
#include "test_comparisonselectionwindow.moc"
