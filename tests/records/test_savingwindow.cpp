#include "core/daycount.h"
#include "recordfixture.h"
#include "records/measurementrepository.h"
#include "records/ui/savingwindow.h"
#include "support/windowdriver.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestSavingWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void preselectsTheMeasurementsSubject_data();
    void preselectsTheMeasurementsSubject();
    void storesAtOnceWithoutAQuestion();
    void newMeasurementWaitsForASubject();
    void clickingARowSelectsItsSubject();
    void doubleClickAsksFirst_data();
    void doubleClickAsksFirst();
    void descendingCodeOpensDescending();
    void searchColumnFollowsTheSortCode_data();
    void searchColumnFollowsTheSortCode();
    void sortKeepsTheCurrentRowAndSharesTheCode();
    void newSubjectThenNoKeepsTheWindowOpen();
    void newSubjectThenYesStores();
    void editorLeftWithoutAddingReturnsToTheSelection();
    void failedStoreKeepsTheWindowAndTheKey();
    void serverGoneMidSaveStoresNothing();

private:
    std::unique_ptr<RecordFixture> f;
    QTableView *list(QWidget *w) { return child<QTableView>(w, "subjectList"); }
    QString label(QWidget *w, const char *name) { return child<QLabel>(w, name)->text(); }
    void fillCurrentMeasurement();
};

void TestSavingWindow::init() {
    f = std::make_unique<RecordFixture>();
    f->addSubject(u"A001"_s, u"王小明"_s, true, toDayCount(QDate(1990, 12, 31)), u"北京市"_s, u"010-1"_s);
    f->addSubject(u"B002"_s, u"李四"_s, false, 0, u"上海市"_s, u"021-2"_s);
    f->addSubject(u"C003"_s, u"张三"_s, true, 0, u"广州市"_s, u"020-3"_s);
    fillCurrentMeasurement();
}

void TestSavingWindow::cleanup() {
    f.reset();
}

void TestSavingWindow::fillCurrentMeasurement() {
    std::array<double, 24> v{};
    for (int c = 1; c <= 24; ++c)
        v[size_t(c - 1)] = 20.0 + c;
    f->current.setAllValues(v);
    f->current.measuredAt = 46365.5;
    f->current.highPotential = true;
    f->current.memo = {u"头痛"_s};
}

void TestSavingWindow::preselectsTheMeasurementsSubject_data() {
    QTest::addColumn<QString>("number");
    QTest::newRow("same case") << u"A001"_s;
    QTest::newRow("other letter case") << u"a001"_s;
}

void TestSavingWindow::preselectsTheMeasurementsSubject() {
    QFETCH(QString, number);
    // The measurement's copy of the subject is older than the stored row.
    f->current.subject = subjectOf(number, u"王"_s);
    f->current.subject.male = false;
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(w.windowTitle(), u"经络能量数据储存"_s);
    QVERIFY(child<QToolButton>(&w, "saveButton")->isEnabled());
    QCOMPARE(list(&w)->currentIndex().row(), 0);
    QCOMPARE(QApplication::focusWidget(), list(&w));
    QCOMPARE(label(&w, "numberValue"), u"A001"_s);
    QCOMPARE(label(&w, "ageValue"), u" 36"_s);
    QCOMPARE(label(&w, "sexValue"), u"男性"_s);
    QCOMPARE(label(&w, "nameValue"), u"王小明"_s);
    QCOMPARE(label(&w, "countLabel"), u"     3  -  [ 0 ]"_s);
    click(&w, "saveButton");
    QCOMPARE(f->current.subject.number, u"A001"_s);
    QCOMPARE(f->current.subject.name, u"王小明"_s);
    QCOMPARE(f->rows(u"KYDATA"_s, u"CUSTNO = 'A001'"_s), 1);
}

void TestSavingWindow::storesAtOnceWithoutAQuestion() {
    f->current.subject = subjectOf(u"B002"_s, u"李四"_s);
    f->current.recordKey = 0;
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    click(&w, "saveButton");
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(f->prompter.asked().isEmpty());
    QVERIFY(f->current.recordKey > 0);
    const auto row = MeasurementRepository(f->db()).fetch(f->current.recordKey);
    QVERIFY(row);
    QCOMPARE(row->subjectNumber, u"B002"_s);
    QCOMPARE(row->measuredAt, 46365.5);
    QVERIFY(row->highPotential);
    QCOMPARE(row->memo, u"头痛"_s);
    for (int c = 1; c <= 24; ++c)
        QCOMPARE(row->values[size_t(c - 1)], 20.0 + c);
}

void TestSavingWindow::newMeasurementWaitsForASubject() {
    f->current.subject = subjectOf(u"  "_s);
    f->current.subject.male = false;
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    QVERIFY(!child<QToolButton>(&w, "saveButton")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, "searchBox"));
    QCOMPARE(label(&w, "numberValue"), QString());
    QCOMPARE(label(&w, "sexValue"), u"女性"_s);
    click(&w, "saveButton");
    QVERIFY(w.isVisible());
    QCOMPARE(f->rows(u"KYDATA"_s), 0);
}

void TestSavingWindow::clickingARowSelectsItsSubject() {
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    clickCell(list(&w), 2, 2);
    QVERIFY(child<QToolButton>(&w, "saveButton")->isEnabled());
    QCOMPARE(label(&w, "nameValue"), u"张三"_s);
    QCOMPARE(label(&w, "addressValue"), u"广州市"_s);
    QCOMPARE(label(&w, "birthDateValue"), QString());
    click(&w, "saveButton");
    QCOMPARE(f->current.subject.number, u"C003"_s);
    QCOMPARE(f->rows(u"KYDATA"_s, u"CUSTNO = 'C003'"_s), 1);
}

void TestSavingWindow::doubleClickAsksFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes stores") << true;
    QTest::newRow("no keeps the window") << false;
}

void TestSavingWindow::doubleClickAsksFirst() {
    QFETCH(bool, yes);
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    f->prompter.answer(yes);
    doubleClickCell(list(&w), 1, 1);
    QCOMPARE(f->prompter.asked().size(), 1);
    QCOMPARE(f->prompter.asked().at(0).type, MessageType::AskQuestion);
    QCOMPARE(f->prompter.asked().at(0).text, u"您要将检测资料存于这个受测者资料中吗？"_s);
    QCOMPARE(w.isVisible(), !yes);
    QCOMPARE(f->rows(u"KYDATA"_s, u"CUSTNO = 'B002'"_s), yes ? 1 : 0);
    QCOMPARE(f->current.subject.number, yes ? u"B002"_s : QString());
}

void TestSavingWindow::descendingCodeOpensDescending() {
    f->subjectOrder = SubjectOrder::fromCode(-1);
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    QCOMPARE(child<QComboBox>(&w, "directionBox")->currentText(), u"递减"_s);
    QCOMPARE(child<QComboBox>(&w, "columnBox")->currentText(), u"编号"_s);
    auto *m = list(&w)->model();
    QCOMPARE(m->index(0, 1).data().toString(), u"C003"_s);
    QCOMPARE(m->index(2, 1).data().toString(), u"A001"_s);
    QCOMPARE(m->index(0, 0).data().toInt(), 1);
}

void TestSavingWindow::searchColumnFollowsTheSortCode_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("number");
    QTest::newRow("1 number") << 1 << u"c0"_s << u"C003"_s;
    QTest::newRow("2 name") << 2 << u"李"_s << u"B002"_s;
    QTest::newRow("3 sex searches the address") << 3 << u"广州"_s << u"C003"_s;
    QTest::newRow("5 telephone") << 5 << u"021"_s << u"B002"_s;
    QTest::newRow("7 e-mail searches the address") << 7 << u" 上海 "_s << u"B002"_s;
}

void TestSavingWindow::searchColumnFollowsTheSortCode() {
    QFETCH(int, code);
    QFETCH(QString, typed);
    QFETCH(QString, number);
    f->subjectOrder = SubjectOrder::fromCode(code);
    f->current.subject = subjectOf(u"A001"_s);
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    type(&w, "searchBox", typed);
    QCOMPARE(list(&w)->currentIndex().siblingAtColumn(1).data().toString(), number);
    // Searching moves the row, not the subject the measurement goes to.
    QCOMPARE(label(&w, "numberValue"), u"A001"_s);
    typeText(child<QWidget>(&w, "searchBox"), u"~~"_s);
    QCOMPARE(list(&w)->currentIndex().siblingAtColumn(1).data().toString(), number);
}

void TestSavingWindow::sortKeepsTheCurrentRowAndSharesTheCode() {
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    clickCell(list(&w), 1, 1); // B002
    auto *columns = child<QComboBox>(&w, "columnBox");
    columns->setFocus();
    QTest::keyClick(columns, Qt::Key_Down); // 姓名
    QCOMPARE(f->subjectOrder.code(), 2);
    auto *direction = child<QComboBox>(&w, "directionBox");
    direction->setFocus();
    QTest::keyClick(direction, Qt::Key_Down); // 递减
    QCOMPARE(f->subjectOrder.code(), -2);
    QCOMPARE(list(&w)->currentIndex().siblingAtColumn(1).data().toString(), u"B002"_s);
    QCOMPARE(QApplication::focusWidget(), list(&w));
    // Names descending in pinyin order: zhang, wang, li.
    QCOMPARE(list(&w)->model()->index(0, 2).data().toString(), u"张三"_s);
}

void TestSavingWindow::newSubjectThenNoKeepsTheWindowOpen() {
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    onNextModal(&w, [](QWidget *editor) {
        type(editor, "numberEdit", u"D004"_s);
        type(editor, "nameEdit", u"赵六"_s);
        click(editor, "saveButton");
    });
    f->prompter.answer(false);
    click(&w, "addSubjectButton");
    QCOMPARE(f->tones, QList<int>{1});
    QCOMPARE(f->prompter.texts(), QStringList{u"您要将检测资料存于这个受测者资料中吗？"_s});
    QVERIFY(w.isVisible());
    QCOMPARE(label(&w, "numberValue"), u"D004"_s);
    QVERIFY(child<QToolButton>(&w, "saveButton")->isEnabled());
    QCOMPARE(list(&w)->currentIndex().siblingAtColumn(1).data().toString(), u"D004"_s);
    QCOMPARE(f->rows(u"KYDATA"_s), 0);
    QCOMPARE(label(&w, "countLabel"), u"     4  -  [ 0 ]"_s);
}

void TestSavingWindow::newSubjectThenYesStores() {
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    onNextModal(&w, [](QWidget *editor) {
        type(editor, "numberEdit", u"D004"_s);
        click(editor, "saveButton");
    });
    f->prompter.answer(true);
    click(&w, "addSubjectButton");
    QVERIFY(!w.isVisible());
    QCOMPARE(f->current.subject.number, u"D004"_s);
    QCOMPARE(f->rows(u"KYDATA"_s, u"CUSTNO = 'D004'"_s), 1);
}

void TestSavingWindow::editorLeftWithoutAddingReturnsToTheSelection() {
    f->current.subject = subjectOf(u"B002"_s);
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    type(&w, "searchBox", u"C"_s);
    QCOMPARE(list(&w)->currentIndex().row(), 2);
    onNextModal(&w, [](QWidget *editor) { click(editor, "leaveButton"); });
    click(&w, "addSubjectButton");
    QCOMPARE(list(&w)->currentIndex().row(), 1);
    QVERIFY(child<QToolButton>(&w, "saveButton")->isEnabled());
    QCOMPARE(w.focusWidget(), list(&w));
    QVERIFY(f->prompter.asked().isEmpty());
}

void TestSavingWindow::failedStoreKeepsTheWindowAndTheKey() {
    f->current.subject = subjectOf(u"A001"_s);
    f->current.recordKey = 17;
    f->failOn(u"BEFORE INSERT ON KYDATA"_s);
    SavingWindow w(f->context);
    QVERIFY(showAndActivate(&w));
    click(&w, "saveButton");
    QVERIFY(w.isVisible());
    QCOMPARE(f->current.recordKey, 17);
    QCOMPARE(f->prompter.asked().size(), 1);
    QCOMPARE(f->prompter.asked().at(0).type, MessageType::NoteError);
    QVERIFY(f->prompter.asked().at(0).text.contains(u"disk fault"_s));
    QVERIFY(child<QToolButton>(&w, "saveButton")->isEnabled());
}

void TestSavingWindow::serverGoneMidSaveStoresNothing() {
    if (testServerConnection().isEmpty())
        QSKIP("no PostgreSQL test server (ORLU_TEST_PG is not set)");
    setCurrentBackend(Backend::Postgres);
    auto server = std::make_unique<RecordFixture>();
    setCurrentBackend(Backend::Sqlite);
    server->addSubject(u"A001"_s, u"王小明"_s);
    server->current = f->current;
    server->current.subject = subjectOf(u"A001"_s);
    server->current.recordKey = 17;
    // The connection ends in the middle of storing the row, as when the server stops.
    QSqlQuery q(server->db());
    QVERIFY(q.exec(u"CREATE FUNCTION test_gone() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                   "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NEW; END $$"_s));
    QVERIFY(q.exec(
        u"CREATE TRIGGER test_gone BEFORE INSERT ON KYDATA FOR EACH ROW EXECUTE FUNCTION test_gone()"_s));
    q = QSqlQuery();
    SavingWindow w(server->context);
    QVERIFY(showAndActivate(&w));
    click(&w, "saveButton");
    QVERIFY(w.isVisible());
    QCOMPARE(server->current.recordKey, 17);
    QCOMPARE(server->prompter.asked().size(), 1);
    QCOMPARE(server->prompter.asked().at(0).type, MessageType::NoteError);
    QVERIFY2(server->prompter.asked().at(0).text.contains(u"没有任何更改"_s),
             qPrintable(server->prompter.asked().at(0).text));
    {
        Database other;
        QVERIFY(openRegister(other, server->location()));
        QVERIFY(QSqlQuery(other.handle()).exec(u"DROP TRIGGER test_gone ON KYDATA"_s));
        QSqlQuery count(other.handle());
        QVERIFY(count.exec(u"SELECT count(*) FROM KYDATA"_s) && count.next());
        QCOMPARE(count.value(0).toInt(), 0);
    }

    // The server is back: the same window stores on the next try.
    click(&w, "saveButton");
    QVERIFY(!w.isVisible());
    QCOMPARE(server->rows(u"KYDATA"_s), 1);
    QVERIFY(server->current.recordKey > 0 && server->current.recordKey != 17);
}

QTEST_MAIN(TestSavingWindow)
#include "test_savingwindow.moc"
