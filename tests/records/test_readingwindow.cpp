#include "core/channels.h"
#include "core/daycount.h"
#include "core/displaycolumns.h"
#include "recordfixture.h"
#include "records/measurementrepository.h"
#include "records/ui/readingwindow.h"
#include "support/windowdriver.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestReadingWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensWithButtonsOff();
    void opensOnTheMeasurementsSubject_data();
    void opensOnTheMeasurementsSubject();
    void descendingCodeOpensDescending();
    void measurementListFollowsTheSubject();
    void buttonsFollowTheList();
    void emptyMeasurementListKeepsButtonsOff();
    void loadsIntoTheCurrentMeasurement_data();
    void loadsIntoTheCurrentMeasurement();
    void loadsForAComparison();
    void leavingClearsTheLoadedFlag();
    void deletesASubjectWithItsMeasurements();
    void answeringNoDeletesNothing();
    void deleteButtonsNeedTheirList();
    void faultWhileDeletingLeavesEverything();
    void deletingTheCurrentMeasurementClearsTheKey_data();
    void deletingTheCurrentMeasurementClearsTheKey();
    void searchColumnFollowsTheSortCode_data();
    void searchColumnFollowsTheSortCode();
    void sortKeepsTheSubjectAndTurnsButtonsOff();
    void changesASubjectInTheEditor();
    void changingAMeasurementOpensManualEntry();

private:
    std::unique_ptr<RecordFixture> f;
    qint64 m_wangFirst = 0;
    qint64 m_wangHigh = 0;
    QTableView *subjects(QWidget *w) { return child<QTableView>(w, "subjectList"); }
    QTableView *measurements(QWidget *w) { return child<QTableView>(w, "measurementList"); }
    bool enabled(QWidget *w, const char *button) { return child<QToolButton>(w, button)->isEnabled(); }
    QString currentNumber(QWidget *w) {
        return subjects(w)->currentIndex().siblingAtColumn(1).data().toString();
    }
};

void TestReadingWindow::init() {
    f = std::make_unique<RecordFixture>();
    f->addSubject(u"A001"_s, u"王小明"_s, true, toDayCount(QDate(1990, 12, 31)), u"北京市"_s, u"010-1"_s);
    f->addSubject(u"B002"_s, u"李四"_s, false, 0, u"上海市"_s, u"021-2"_s);
    f->addSubject(u"C003"_s, u"张三"_s, true, 0, u"广州市"_s, u"020-3"_s);
    f->addSubject(u"D004"_s, u"赵六"_s, true, 0, u"深圳市"_s, u"0755"_s);
    QSqlQuery(f->db()).exec(u"UPDATE KYCUST SET TEL2 = '139' || MKEY, TEL3 = 'fax' || MKEY, "
                            "EMAIL = 'm' || MKEY || '@x', MEMO = '备注 ' || CUSTNO"_s);
    m_wangFirst = f->addMeasurement(u"A001"_s, 46000.25, 10.0, false, u"第一次"_s);
    m_wangHigh = f->addMeasurement(u"a001"_s, 46100.5, 30.0, true, u"高\r\n电位"_s);
    for (int i = 0; i < 3; ++i)
        f->addMeasurement(u"C003"_s, 46000 + i);
}

void TestReadingWindow::cleanup() {
    f.reset();
}

void TestReadingWindow::opensWithButtonsOff() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"经络能量数据读取"_s);
    for (const char *b : {"loadButton", "editSubjectButton", "deleteSubjectButton", "editMeasurementButton",
                          "deleteMeasurementButton"})
        QVERIFY2(!enabled(&w, b), b);
    QCOMPARE(QApplication::focusWidget(), subjects(&w));
    QCOMPARE(currentNumber(&w), u"A001"_s);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     4  -  [ 2 ]"_s);
    QCOMPARE(child<QPlainTextEdit>(&w, "subjectMemo")->toPlainText(), u"备注 A001"_s);
}

void TestReadingWindow::opensOnTheMeasurementsSubject_data() {
    QTest::addColumn<int>("caller");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const int fromMeasuring = int(ReadingWindow::Caller::MeasurementWindow);
    const int fromComparison = int(ReadingWindow::Caller::ComparisonWindow);
    QTest::newRow("number prefix") << fromComparison << 1 << u"C0"_s << QString() << u"C003"_s;
    QTest::newRow("no match stays on the first row")
        << fromComparison << 1 << u"X"_s << QString() << u"A001"_s;
    QTest::newRow("code 2 positions on the name") << fromMeasuring << 2 << u"A001"_s << u"张"_s << u"C003"_s;
    QTest::newRow("code 2 from the comparison uses the number")
        << fromComparison << 2 << u"B002"_s << u"张"_s << u"B002"_s;
}

void TestReadingWindow::opensOnTheMeasurementsSubject() {
    QFETCH(int, caller);
    QFETCH(int, code);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    f->subjectOrder = SubjectOrder::fromCode(code);
    f->current.subject = subjectOf(number, name);
    ComparisonRecord comparison;
    ReadingWindow w(f->context, ReadingWindow::Caller(caller), &comparison);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(currentNumber(&w), expected);
}

void TestReadingWindow::descendingCodeOpensDescending() {
    f->subjectOrder = SubjectOrder::fromCode(-2);
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(child<QComboBox>(&w, "directionBox")->currentText(), u"递减"_s);
    QCOMPARE(child<QComboBox>(&w, "columnBox")->currentText(), u"姓名"_s);
    QCOMPARE(subjects(&w)->model()->index(0, 2).data().toString(), u"赵六"_s);
    QCOMPARE(subjects(&w)->model()->index(3, 0).data().toInt(), 4);
}

void TestReadingWindow::measurementListFollowsTheSubject() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    auto *m = measurements(&w)->model();
    // Both letter cases of the number belong to the subject, oldest first.
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->index(1, 3).data().toString(), u"高电位"_s);
    QCOMPARE(child<QPlainTextEdit>(&w, "measurementMemo")->toPlainText(), u"第一次"_s);
    QTest::keyClick(subjects(&w), Qt::Key_Down);
    QCOMPARE(m->rowCount(), 0);
    QTest::keyClick(subjects(&w), Qt::Key_Down);
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     4  -  [ 3 ]"_s);
    QCOMPARE(child<QPlainTextEdit>(&w, "subjectMemo")->toPlainText(), u"备注 C003"_s);
}

void TestReadingWindow::buttonsFollowTheList() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 0, 2);
    QVERIFY(enabled(&w, "editSubjectButton"));
    QVERIFY(enabled(&w, "deleteSubjectButton"));
    QVERIFY(!enabled(&w, "loadButton"));
    clickCell(measurements(&w), 1, 5);
    QVERIFY(enabled(&w, "loadButton"));
    QVERIFY(enabled(&w, "editMeasurementButton"));
    QVERIFY(enabled(&w, "deleteMeasurementButton"));
    QVERIFY(!enabled(&w, "editSubjectButton"));
    QVERIFY(!enabled(&w, "deleteSubjectButton"));
    QCOMPARE(child<QPlainTextEdit>(&w, "measurementMemo")->toPlainText(), u"高\n电位"_s);
    // Moving to another column by keyboard enters a cell too.
    subjects(&w)->setFocus();
    QVERIFY(!enabled(&w, "deleteSubjectButton"));
    QTest::keyClick(subjects(&w), Qt::Key_Right);
    QVERIFY(enabled(&w, "deleteSubjectButton"));
    QVERIFY(!enabled(&w, "loadButton"));
}

void TestReadingWindow::emptyMeasurementListKeepsButtonsOff() {
    f->current.subject = subjectOf(u"B002"_s);
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(measurements(&w)->model()->rowCount(), 0);
    measurements(&w)->setFocus();
    QTest::mouseClick(measurements(&w)->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    for (const char *b : {"loadButton", "editMeasurementButton", "deleteMeasurementButton"})
        QVERIFY2(!enabled(&w, b), b);
    click(&w, "loadButton");
    QVERIFY(w.isVisible());
}

void TestReadingWindow::loadsIntoTheCurrentMeasurement_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("load button") << false;
    QTest::newRow("double click") << true;
}

void TestReadingWindow::loadsIntoTheCurrentMeasurement() {
    QFETCH(bool, doubleClick);
    const unsigned begunBefore = f->current.measurementsBegun;
    const unsigned readingsBefore = f->current.readingsTaken;
    f->current.pointsSinceCounterUpdate = 7;
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    if (doubleClick) {
        doubleClickCell(measurements(&w), 1, 2);
    } else {
        clickCell(measurements(&w), 1, 2);
        click(&w, "loadButton");
    }
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    const CurrentMeasurement &m = f->current;
    QCOMPARE(m.recordKey, m_wangHigh);
    QVERIFY(m.highPotential);
    QCOMPARE(m.measuredAt, 46100.5);
    QCOMPARE(m.memo, (QStringList{u"高"_s, u"电位"_s}));
    QCOMPARE(m.subject.number, u"A001"_s);
    QCOMPARE(m.subject.name, u"王小明"_s);
    QCOMPARE(m.subject.telephone3, u"fax1"_s);
    QCOMPARE(m.subject.birthDate, toDayCount(QDate(1990, 12, 31)));
    QCOMPARE(m.value(24), 32.4);
    QCOMPARE(m.correctedValue(1), correctedValue(1, 30.1));
    // The analysis then opens afresh on its first page and chart.
    QCOMPARE(m.measurementsBegun, begunBefore + 1);
    QCOMPARE(m.readingsTaken, readingsBefore + 1);
    QCOMPARE(m.pointsSinceCounterUpdate, 0);
}

void TestReadingWindow::loadsForAComparison() {
    QSqlQuery(f->db()).exec(
        u"UPDATE KYDATA SET KY1=10,KY2=10,KY3=10,KY4=10,KY5=10,KY6=10,KY7=10,KY8=10,KY9=10,KY10=10,KY11=10,"
        "KY12=10,KY13=10,KY14=10,KY15=10,KY16=10,KY17=10,KY18=10,KY19=10,KY20=10,KY21=10,KY22=10,KY23=10,"
        "KY24=10"_s);
    const CurrentMeasurement before = f->current;
    ComparisonRecord comparison;
    ReadingWindow w(f->context, ReadingWindow::Caller::ComparisonWindow, &comparison);
    QVERIFY(showAndActivate(&w));
    doubleClickCell(measurements(&w), 0, 1);
    QVERIFY(!w.isVisible());
    QVERIFY(comparison.loaded);
    QCOMPARE(comparison.subjectNumber, u"A001"_s);
    QCOMPARE(comparison.subjectName, u"王小明"_s);
    QCOMPARE(comparison.average, 10.0);
    QVERIFY(qAbs(comparison.corrected[0] - 8.541) < 1e-9);
    QCOMPARE(comparison.measuredAt, 46000.25);
    // The current measurement is not touched.
    QCOMPARE(f->current.recordKey, before.recordKey);
    QCOMPARE(f->current.subject.number, before.subject.number);
}

void TestReadingWindow::leavingClearsTheLoadedFlag() {
    ComparisonRecord comparison;
    comparison.loaded = true;
    ReadingWindow w(f->context, ReadingWindow::Caller::ComparisonWindow, &comparison);
    QVERIFY(showAndActivate(&w));
    click(&w, "leaveButton");
    QVERIFY(!w.isVisible());
    QVERIFY(!comparison.loaded);
}

void TestReadingWindow::deletesASubjectWithItsMeasurements() {
    f->current.subject = subjectOf(u"C003"_s);
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 2, 2);
    f->prompter.answer(true);
    click(&w, "deleteSubjectButton");
    QCOMPARE(f->tones, QList<int>{1});
    QCOMPARE(f->prompter.asked().size(), 1);
    QCOMPARE(f->prompter.asked().at(0).type, MessageType::AskCaution);
    // The question names whom it is about and how much goes with the subject.
    const QString question = f->prompter.asked().at(0).text;
    QVERIFY2(
        question.startsWith(u"确定要删除本受测者的所有数据吗? (包括所有检测数据)\n编号: C003    姓名: "_s) &&
            question.endsWith(u"\n检测数据: 3 笔"_s),
        qPrintable(question));
    QCOMPARE(f->rows(u"KYDATA"_s, u"CUSTNO = 'C003'"_s), 0);
    QCOMPARE(f->rows(u"KYCUST"_s, u"CUSTNO = 'C003'"_s), 0);
    QCOMPARE(f->rows(u"KYDATA"_s), 2);
    QCOMPARE(subjects(&w)->model()->rowCount(), 3);
    // The row that took its place is current and its measurements are shown.
    QCOMPARE(currentNumber(&w), u"D004"_s);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     3  -  [ 0 ]"_s);
}

void TestReadingWindow::answeringNoDeletesNothing() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 0, 2);
    f->prompter.answer(false);
    click(&w, "deleteSubjectButton");
    clickCell(measurements(&w), 0, 2);
    f->prompter.answer(false);
    click(&w, "deleteMeasurementButton");
    QCOMPARE(f->prompter.asked().size(), 2);
    QCOMPARE(f->rows(u"KYCUST"_s), 4);
    QCOMPARE(f->rows(u"KYDATA"_s), 5);
}

void TestReadingWindow::deleteButtonsNeedTheirList() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    // Nothing entered yet: the buttons are off, and clicking them asks nothing.
    child<QToolButton>(&w, "deleteSubjectButton")->setEnabled(true);
    child<QToolButton>(&w, "deleteMeasurementButton")->setEnabled(true);
    click(&w, "deleteSubjectButton");
    click(&w, "deleteMeasurementButton");
    QCOMPARE(f->tones, (QList<int>{1, 1}));
    QVERIFY(f->prompter.asked().isEmpty());
    // With the subject list active the measurement delete still asks nothing.
    clickCell(subjects(&w), 0, 2);
    child<QToolButton>(&w, "deleteMeasurementButton")->setEnabled(true);
    click(&w, "deleteMeasurementButton");
    QVERIFY(f->prompter.asked().isEmpty());
    QCOMPARE(f->rows(u"KYDATA"_s), 5);
}

void TestReadingWindow::faultWhileDeletingLeavesEverything() {
    f->failOn(u"BEFORE DELETE ON KYCUST"_s);
    f->current.subject = subjectOf(u"C003"_s);
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 2, 2);
    f->prompter.answer(true);
    click(&w, "deleteSubjectButton");
    QCOMPARE(f->prompter.asked().size(), 2);
    QCOMPARE(f->prompter.asked().at(1).type, MessageType::NoteError);
    QCOMPARE(f->rows(u"KYDATA"_s, u"CUSTNO = 'C003'"_s), 3);
    QCOMPARE(f->rows(u"KYCUST"_s), 4);
    QVERIFY(w.isVisible());
    QCOMPARE(measurements(&w)->model()->rowCount(), 3);
}

void TestReadingWindow::deletingTheCurrentMeasurementClearsTheKey_data() {
    QTest::addColumn<bool>("isCurrent");
    QTest::newRow("the current measurement's row") << true;
    QTest::newRow("another row") << false;
}

void TestReadingWindow::deletingTheCurrentMeasurementClearsTheKey() {
    QFETCH(bool, isCurrent);
    f->current.recordKey = isCurrent ? m_wangHigh : m_wangFirst;
    f->current.setValue(1, 50.0);
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(measurements(&w), 1, 2);
    f->prompter.answer(true);
    const double at = MeasurementRepository(f->db()).fetch(m_wangHigh)->measuredAt;
    click(&w, "deleteMeasurementButton");
    const QString question = f->prompter.asked().at(0).text;
    QVERIFY2(question.startsWith(u"确定要删除这笔经络能量数据吗?\n编号: "_s) &&
                 question.endsWith(u"测量日期: "_s + measurementDateText(at) + u"    测量时间: "_s +
                                   measurementTimeText(at)),
             qPrintable(question));
    QVERIFY(!MeasurementRepository(f->db()).fetch(m_wangHigh));
    QCOMPARE(f->current.recordKey, isCurrent ? 0 : m_wangFirst);
    QCOMPARE(f->current.value(1), 50.0);
    QCOMPARE(measurements(&w)->model()->rowCount(), 1);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     4  -  [ 1 ]"_s);
}

void TestReadingWindow::searchColumnFollowsTheSortCode_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("number");
    QTest::newRow("1 number") << 1 << u"d"_s << u"D004"_s;
    QTest::newRow("2 name") << 2 << u"李"_s << u"B002"_s;
    QTest::newRow("3 sex searches the fax") << 3 << u"FAX3"_s << u"C003"_s;
    QTest::newRow("6 address") << 6 << u"深圳"_s << u"D004"_s;
    QTest::newRow("7 e-mail") << 7 << u"m2@"_s << u"B002"_s;
    QTest::newRow("8 mobile") << 8 << u"1393"_s << u"C003"_s;
    QTest::newRow("9 fax") << -9 << u"fax2"_s << u"B002"_s;
}

void TestReadingWindow::searchColumnFollowsTheSortCode() {
    QFETCH(int, code);
    QFETCH(QString, typed);
    QFETCH(QString, number);
    f->subjectOrder = SubjectOrder::fromCode(code);
    ReadingWindow w(f->context, ReadingWindow::Caller::ComparisonWindow);
    QVERIFY(showAndActivate(&w));
    type(&w, "searchBox", typed);
    QCOMPARE(currentNumber(&w), number);
    QCOMPARE(measurements(&w)->model()->rowCount(), number == u"C003"_s ? 3 : 0);
}

void TestReadingWindow::sortKeepsTheSubjectAndTurnsButtonsOff() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 1, 2); // B002
    QVERIFY(enabled(&w, "deleteSubjectButton"));
    auto *direction = child<QComboBox>(&w, "directionBox");
    direction->setFocus();
    QTest::keyClick(direction, Qt::Key_Down);
    QCOMPARE(f->subjectOrder.code(), -1);
    QCOMPARE(currentNumber(&w), u"B002"_s);
    QCOMPARE(subjects(&w)->currentIndex().row(), 2);
    QCOMPARE(subjects(&w)->model()->index(2, 0).data().toInt(), 3);
    QVERIFY(!enabled(&w, "deleteSubjectButton"));
    QVERIFY(!enabled(&w, "editSubjectButton"));
    QCOMPARE(QApplication::focusWidget(), subjects(&w));
}

void TestReadingWindow::changesASubjectInTheEditor() {
    f->subjectOrder = SubjectOrder::fromCode(2);
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    QVERIFY(showAndActivate(&w));
    clickCell(subjects(&w), 0, 1);
    QCOMPARE(currentNumber(&w), u"B002"_s); // li, wang, zhang, zhao
    onNextModal(&w, [](QWidget *editor) {
        QCOMPARE(editor->windowTitle(), u"受测者数据修改"_s);
        type(editor, "nameEdit", u"周七"_s);
        click(editor, "saveButton");
    });
    click(&w, "editSubjectButton");
    // The new name sorts elsewhere; the subject stays the current row.
    QCOMPARE(currentNumber(&w), u"B002"_s);
    QCOMPARE(subjects(&w)->currentIndex().siblingAtColumn(2).data().toString(), u"周七"_s);
    QCOMPARE(subjects(&w)->currentIndex().row(), 3);
    QCOMPARE(f->rows(u"KYCUST"_s, u"NAME = '周七'"_s), 1);
}

void TestReadingWindow::changingAMeasurementOpensManualEntry() {
    QList<qint64> opened;
    MeasurementRepository repo(f->db());
    auto manualEntry = [&](qint64 key, QWidget *parent) {
        QCOMPARE(parent, static_cast<QWidget *>(QApplication::activeModalWidget()));
        opened << key;
        MeasurementRecord r = *repo.fetch(key);
        r.measuredAt = 40000; // now the oldest
        repo.update(r);
    };
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow, nullptr, manualEntry);
    QVERIFY(showAndActivate(&w));
    clickCell(measurements(&w), 1, 1);
    click(&w, "editMeasurementButton");
    QCOMPARE(opened, QList<qint64>{m_wangHigh});
    QCOMPARE(currentNumber(&w), u"A001"_s);
    QCOMPARE(measurements(&w)->currentIndex().row(), 0);
    QCOMPARE(measurements(&w)->model()->index(0, 1).data().toString(), shortDate(dateOfDayCount(40000)));
    QCOMPARE(QApplication::focusWidget(), measurements(&w));
}

QTEST_MAIN(TestReadingWindow)
#include "test_readingwindow.moc"
