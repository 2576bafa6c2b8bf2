#include "platform/launch.h"
#include "courses/coursestore.h"
#include "courses/ui/coursewindow.h"
#include "recordfixture.h"
#include "records/measurementrepository.h"
#include "records/subjectrepository.h"
#include "records/ui/readingwindow.h"
#include "records/ui/savingwindow.h"
#include "support/windowdriver.h"

#include <QLabel>
#include <QTableView>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

// Open list windows follow what other seats change, on the row the operator is on.
class TestListRefresh : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { addBackendRows(); }
    void init();
    void cleanup();
    void readingWindowFollowsOtherSeats();
    void savingWindowFollowsOtherSeats();
    void courseWindowFollowsOtherSeats();
    void ownChangesAreNotAnnouncedBack();

private:
    std::unique_ptr<RecordFixture> f;
    std::unique_ptr<Database> otherSeat;
    qint64 m_second = 0;
};

namespace {

QTableView *list(QWidget *w, const char *name) {
    return child<QTableView>(w, name);
}

QString numberAt(QTableView *view) {
    return view->currentIndex().siblingAtColumn(1).data().toString();
}

class NoLauncher final : public LaunchPort {
public:
    bool fileExists(const QString &) const override { return false; }
    bool startProgram(const QString &, const QString &) override { return true; }
    bool openDocument(const QString &) override { return true; }
    void reportFailure(const QString &) override {}
};

Course courseOf(const QString &number, const QString &name) {
    Course c;
    c.proNo = number;
    c.name = name;
    return c;
}

Condition conditionOf(const QString &name) {
    Condition k;
    k.name = name;
    k.rule.cond = QString(24, u'0');
    k.rule.must = QString(24, u'0');
    return k;
}

MeasurementRecord measurementOf(const QString &number, double at) {
    MeasurementRecord m;
    m.subjectNumber = number;
    m.measuredAt = at;
    return m;
}

} // namespace

void TestListRefresh::init() {
    ORLU_USE_BACKEND_OF_ROW();
    if (currentBackend() == Backend::Sqlite)
        QSKIP("a file announces no changes; its lists are read when a window opens");
    f = std::make_unique<RecordFixture>();
    f->addSubject(u"A1"_s, u"one"_s);
    f->addSubject(u"B2"_s, u"two"_s);
    f->addSubject(u"C3"_s, u"three"_s);
    f->addMeasurement(u"B2"_s, 46000);
    m_second = f->addMeasurement(u"B2"_s, 46001);
    otherSeat = std::make_unique<Database>();
    QVERIFY(openRegister(*otherSeat, f->location()));
}

void TestListRefresh::cleanup() {
    otherSeat.reset();
    f.reset();
}

void TestListRefresh::readingWindowFollowsOtherSeats() {
    ReadingWindow w(f->context, ReadingWindow::Caller::MeasurementWindow);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    clickCell(list(&w, "subjectList"), 1, 1);
    clickCell(list(&w, "measurementList"), 1, 1);
    QCOMPARE(numberAt(list(&w, "subjectList")), u"B2"_s);

    // The other seat adds a subject above this one and an earlier measurement of it.
    SubjectRepository(otherSeat->handle()).append(SubjectRecord{0, subjectOf(u"0A"_s, u"new"_s), {}});
    MeasurementRepository(otherSeat->handle()).append(measurementOf(u"b2"_s, 45000));
    QTRY_COMPARE_WITH_TIMEOUT(w.subjectList().rowCount(), 4, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(w.measurementList().rowCount(), 3, 1000);
    QCOMPARE(numberAt(list(&w, "subjectList")), u"B2"_s);
    QCOMPARE(list(&w, "subjectList")->currentIndex().row(), 2);
    QCOMPARE(w.measurementList().keyAt(list(&w, "measurementList")->currentIndex().row()), m_second);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     4  -  [ 3 ]"_s);

    // A subject the other seat deletes goes; the list stays on this subject.
    const qint64 first = SubjectRepository(f->db()).findByNumber(u"A1"_s)->key;
    QVERIFY(SubjectRepository(otherSeat->handle()).removeWithMeasurements(first));
    QTRY_COMPARE_WITH_TIMEOUT(w.subjectList().rowCount(), 3, 1000);
    QCOMPARE(numberAt(list(&w, "subjectList")), u"B2"_s);
    w.reject();
}

void TestListRefresh::savingWindowFollowsOtherSeats() {
    SavingWindow w(f->context);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    clickCell(list(&w, "subjectList"), 2, 1);
    QCOMPARE(numberAt(list(&w, "subjectList")), u"C3"_s);
    SubjectRepository(otherSeat->handle()).append(SubjectRecord{0, subjectOf(u"0A"_s, u"new"_s), {}});
    QTRY_COMPARE_WITH_TIMEOUT(w.subjectList().rowCount(), 4, 1000);
    QCOMPARE(numberAt(list(&w, "subjectList")), u"C3"_s);
    QCOMPARE(child<QLabel>(&w, "countLabel")->text(), u"     4  -  [ 2 ]"_s);
    w.reject();
}

void TestListRefresh::courseWindowFollowsOtherSeats() {
    CourseStore theirs(otherSeat->handle());
    Course second = courseOf(u"P2"_s, u"second"_s);
    for (Course c : {courseOf(u"P1"_s, u"first"_s), courseOf(u"P3"_s, u"third"_s)})
        QVERIFY(theirs.addCourse(c));
    QVERIFY(theirs.addCourse(second));
    Condition one = conditionOf(u"one"_s);
    Condition two = conditionOf(u"two"_s);
    QVERIFY(theirs.saveCondition(one, second) && theirs.saveCondition(two, second));
    NoLauncher launcher;
    CourseWindow w(CourseStore(f->db()), f->prompter, launcher, {});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *courses = list(&w, "courseList");
    auto *conditions = list(&w, "conditionList");
    courses->setCurrentIndex(courses->model()->index(1, 1));
    conditions->setCurrentIndex(conditions->model()->index(1, 1));
    auto currentText = [](QTableView *view, int column) {
        return view->currentIndex().siblingAtColumn(column).data().toString();
    };
    const QString shownCondition = currentText(conditions, 1);

    // The other seat adds a course before this one and a condition to it: the window stays put.
    Course before = courseOf(u"P0"_s, u"zero"_s);
    QVERIFY(theirs.addCourse(before));
    Condition three = conditionOf(u"three"_s);
    QVERIFY(theirs.saveCondition(three, second));
    QTRY_COMPARE_WITH_TIMEOUT(courses->model()->rowCount(), 4, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(conditions->model()->rowCount(), 3, 1000);
    QCOMPARE(courses->currentIndex().row(), 2);
    QCOMPARE(child<QLabel>(&w, "courseNoLabel")->text(), u"P2"_s);
    QCOMPARE(currentText(conditions, 1), shownCondition);

    // A course deleted elsewhere gives way to its neighbour.
    QVERIFY(theirs.deleteCourse(second.key));
    QTRY_COMPARE_WITH_TIMEOUT(courses->model()->rowCount(), 3, 1000);
    QCOMPARE(child<QLabel>(&w, "courseNoLabel")->text(), u"P3"_s);
    w.reject();
}

void TestListRefresh::ownChangesAreNotAnnouncedBack() {
    RegisterWatcher watcher(f->db());
    QVERIFY(watcher.isActive());
    QSignalSpy changed(&watcher, &RegisterWatcher::changed);
    SubjectRepository(f->db()).append(SubjectRecord{0, subjectOf(u"own"_s), {}});
    QTest::qWait(RegisterWatcher::SettleMs * 3);
    QCOMPARE(changed.size(), 0);
    // A burst of the other seat's changes gives one refresh.
    for (int i = 0; i < 5; ++i)
        MeasurementRepository(otherSeat->handle()).append(measurementOf(u"A1"_s, 46100 + i));
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 1000);
    QTest::qWait(RegisterWatcher::SettleMs * 2);
    QCOMPARE(changed.size(), 1);
}

QTEST_MAIN(TestListRefresh)
#include "test_listrefresh.moc"
